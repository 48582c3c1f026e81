#pragma once
// What the main window owns for the link to the encoder: the serial port, the one-second tick
// timer and the reply time-out timer. Every other window reaches them through the main window.

#include "link/CommPort.h"

#include <QObject>
#include <QTimer>
#include <utility>

namespace qpes {

// What is to follow a conversation with the encoder once it has unwound.
enum class AfterRun {
    Nothing,
    ClosePort,      // the port closed with the closing steps of the port toggle
    OpenProperties, // the port closed, then the port properties dialog
};

class Link : public QObject {
    Q_OBJECT
public:
    explicit Link(QObject* parent = nullptr);

    CommControl MSComm1;
    QTimer Timer1; // 1000 ms, one-shot: the tick the console waits for
    QTimer Timer2; // reply time-out, 6000 ms until someone sets another: sets ReplyTimedOut

    // True while an exchange or a whole sequence of them (detection, read, program, a page)
    // uses the port, that is while an ExchangeGuard lives. Every wait yields to the user
    // interface, so a menu command could otherwise start a second conversation in the middle
    // of the first one and take its reply.
    bool exchangeRunning = false;

    // The user's stop of the conversation under way (the port toggle or Properties during a
    // run): every wait ends at its next poll as Aborted, nothing more is sent, the run ends
    // without a failure box, and `then` follows once it has unwound.
    void stopConversation(AfterRun then);
    bool stopRequested() const { return m_stopRequested; }
    // The device has gone under a wait: the run goes on to its own failure path, and the port
    // is closed once it has unwound.
    void closePortAfterRun();
    // Runs `exchange` as if no stop had been asked: the one exchange with which a stopped run
    // puts back what it changed on the encoder. The stop holds again afterwards.
    template <class F> auto despiteStop(F&& exchange) {
        const bool stopped = std::exchange(m_stopRequested, false);
        auto result = exchange();
        m_stopRequested = m_stopRequested || stopped;
        return result;
    }

signals:
    // The outermost ExchangeGuard has been released, with what is to follow. The main window
    // carries it out; until then the port stays as the run left it.
    void conversationEnded(AfterRun then);

private:
    friend class ExchangeGuard;
    void followUp(AfterRun then);
    void endConversation();

    bool m_stopRequested = false;
    AfterRun m_after = AfterRun::Nothing;
};

// Marks the link busy for its lifetime and puts back the earlier state afterwards. Releasing
// the outermost guard ends the conversation: a stop request is forgotten and
// conversationEnded() tells what is to follow.
class ExchangeGuard {
public:
    explicit ExchangeGuard(Link& link) : m_link(link), m_was(link.exchangeRunning) {
        link.exchangeRunning = true;
    }
    ~ExchangeGuard() {
        m_link.exchangeRunning = m_was;
        if (!m_was)
            m_link.endConversation();
    }
    ExchangeGuard(const ExchangeGuard&) = delete;
    ExchangeGuard& operator=(const ExchangeGuard&) = delete;

private:
    Link& m_link;
    bool m_was;
};

} // namespace qpes
