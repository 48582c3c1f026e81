#pragma once
// What the main window owns for the link to the encoder: the serial port, the one-second tick
// timer and the reply time-out timer. Every other window reaches them through the main window.

#include "link/CommPort.h"

#include <QObject>
#include <QTimer>

namespace qpes {

class Link : public QObject {
    Q_OBJECT
public:
    explicit Link(QObject* parent = nullptr);

    CommControl MSComm1;
    QTimer Timer1; // 1000 ms, one-shot: sets TickElapsed
    QTimer Timer2; // reply time-out, 6000 ms until someone sets another: sets ReplyTimedOut

    // True while an exchange or a whole sequence of them (detection, read, program, a page)
    // uses the port. Every wait yields to the user interface, so a menu command could
    // otherwise start a second conversation in the middle of the first one and take its reply.
    bool exchangeRunning = false;
};

// Marks the link busy for its lifetime and puts back the earlier state afterwards.
class ExchangeGuard {
public:
    explicit ExchangeGuard(Link& link) : m_link(link), m_was(link.exchangeRunning) {
        link.exchangeRunning = true;
    }
    ~ExchangeGuard() { m_link.exchangeRunning = m_was; }
    ExchangeGuard(const ExchangeGuard&) = delete;
    ExchangeGuard& operator=(const ExchangeGuard&) = delete;

private:
    Link& m_link;
    bool m_was;
};

} // namespace qpes
