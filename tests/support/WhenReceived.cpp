#include "support/WhenReceived.h"

#include "sim/EncoderSim.h"

#include <condition_variable>
#include <mutex>

namespace qpes::test {

struct WhenReceived::Hold {
    std::mutex mutex;
    std::condition_variable changed;
    bool queued = false;
    bool begun = false;
    bool over = false; // the WhenReceived has gone: nothing more is queued or waited for
};

WhenReceived::WhenReceived(sim::EncoderSim& encoder, QByteArray text, std::function<void()> action)
    : m_encoder(encoder), m_action(std::move(action)), m_hold(std::make_shared<Hold>()) {
    // On the simulator's thread, before it answers the bytes that complete the text.
    encoder.setReceiveHook([hold = m_hold, &encoder, text = std::move(text), this] {
        std::unique_lock lock(hold->mutex);
        if (hold->queued || hold->over || !encoder.received().contains(text))
            return;
        hold->queued = true;
        QMetaObject::invokeMethod(
            &m_windowThread,
            [hold, this] {
                {
                    std::lock_guard lock(hold->mutex);
                    hold->begun = true;
                }
                // The reply may go out now: the window thread runs the action before it can
                // read it. The action may hang up the simulator, which waits for this thread.
                hold->changed.notify_all();
                m_fired = true;
                m_action();
            },
            Qt::QueuedConnection);
        hold->changed.wait(lock, [&] { return hold->begun || hold->over; });
    });
}

WhenReceived::~WhenReceived() {
    {
        std::lock_guard lock(m_hold->mutex);
        m_hold->over = true;
    }
    m_hold->changed.notify_all();
    m_encoder.setReceiveHook({});
}

} // namespace qpes::test
