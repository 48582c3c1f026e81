#pragma once
// Runs an action on the window thread once the simulated encoder has taken in a text: the
// program is then waiting for that command's reply.

#include <QByteArray>
#include <QTimer>
#include <functional>

namespace sim {
class EncoderSim;
}

namespace qpes::test {

class WhenReceived {
public:
    WhenReceived(const sim::EncoderSim& encoder, QByteArray text, std::function<void()> action);
    bool fired() const { return m_fired; }

private:
    const sim::EncoderSim& m_encoder;
    QByteArray m_text;
    std::function<void()> m_action;
    QTimer m_timer;
    bool m_fired = false;
};

} // namespace qpes::test
