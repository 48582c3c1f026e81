#include "link/Exchange.h"

#include "link/Link.h"
#include "model/PagerDatabase.h"
#include "platform/Dialogs.h"

#include <QCoreApplication>

namespace qpes {

namespace {

constexpr int PollMs = 50;

bool holdsTerminator(const QByteArray& reply, const QList<QByteArray>& terminators) {
    for (const QByteArray& t : terminators)
        if (reply.contains(t))
            return true;
    return false;
}

// With `ownTimer` the wait starts the reply timer afresh and stops it at its end; without, it
// runs under the time-out someone started before it.
ExchangeResult wait(Link& link, const QList<QByteArray>& terminators, bool ownTimer) {
    ExchangeGuard guard(link);
    CommControl& port = link.MSComm1;
    const SharedState& s = shared();
    // A port that was never open has nothing to close under us: the wait then runs to its time-out.
    const bool wasOpen = port.PortOpen();
    auto aborted = [&] { return s.ExitConfirmed || (wasOpen && !port.PortOpen()); };

    ExchangeResult result;
    if (ownTimer)
        link.Timer2.start();
    bool answered = false;
    for (;;) {
        QCoreApplication::processEvents();
        if (!aborted()) {
            port.waitForInput(PollMs);
            result.reply += port.Input();
        }
        answered = holdsTerminator(result.reply, terminators);
        if (answered || s.ReplyTimedOut || s.CancelRequested || aborted())
            break;
    }
    if (ownTimer)
        link.Timer2.stop();

    if (answered)
        result.end = ExchangeResult::Answered;
    else if (aborted())
        result.end = ExchangeResult::Aborted;
    else if (s.ReplyTimedOut)
        result.end = ExchangeResult::TimedOut;
    else
        result.end = ExchangeResult::Cancelled;
    return result;
}

} // namespace

ExchangeResult waitForReply(Link& link, const QList<QByteArray>& terminators) {
    return wait(link, terminators, true);
}

ExchangeResult waitForReplyWithin(Link& link, const QList<QByteArray>& terminators) {
    return wait(link, terminators, false);
}

ExchangeResult EncoderExchange(Link& link, const QByteArray& command, const QList<QByteArray>& terminators,
                               bool dropFirst) {
    ExchangeGuard guard(link);
    CommControl& port = link.MSComm1;
    if (dropFirst)
        port.clearInBuffer();
    if (!port.Output(command)) {
        Dialogs::failure(port.errorDescription());
        port.clearError();
    }
    return waitForReply(link, terminators);
}

} // namespace qpes
