#include "support/WhenReceived.h"

#include "sim/EncoderSim.h"

namespace qpes::test {

WhenReceived::WhenReceived(const sim::EncoderSim& encoder, QByteArray text, std::function<void()> action)
    : m_encoder(encoder), m_text(std::move(text)), m_action(std::move(action)) {
    m_timer.setInterval(5);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (!m_encoder.received().contains(m_text))
            return;
        m_timer.stop();
        m_fired = true;
        m_action();
    });
    m_timer.start();
}

} // namespace qpes::test
