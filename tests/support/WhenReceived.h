#pragma once
// Runs an action on the window thread once the simulated encoder has taken in a text, while
// the program waits for the reply to the command that ended it: the simulator holds that reply
// back until the action has begun, so however fast the line, the action cannot come late.
// One at a time on a simulator: it takes the simulator's receive hook for its lifetime.

#include <QByteArray>
#include <QObject>
#include <functional>
#include <memory>

namespace sim {
class EncoderSim;
}

namespace qpes::test {

class WhenReceived {
public:
    WhenReceived(sim::EncoderSim& encoder, QByteArray text, std::function<void()> action);
    ~WhenReceived();
    WhenReceived(const WhenReceived&) = delete;
    WhenReceived& operator=(const WhenReceived&) = delete;
    bool fired() const { return m_fired; }

private:
    struct Hold; // shared with the simulator's thread, which may outlast this object in its hook

    sim::EncoderSim& m_encoder;
    std::function<void()> m_action;
    std::shared_ptr<Hold> m_hold;
    QObject m_windowThread; // the action is queued to it; its end drops an action not yet run
    bool m_fired = false;
};

} // namespace qpes::test
