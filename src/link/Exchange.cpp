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

} // namespace

void reportPendingError(Link& link) {
    CommControl& port = link.MSComm1;
    if (port.hasError()) {
        Dialogs::failure(port.errorDescription());
        port.clearError();
    }
}

ExchangeResult waitForReply(Link& link, const QList<QByteArray>& terminators, CancelEnds cancel,
                            ReplyTimer timer) {
    const bool ownTimer = timer == ReplyTimer::Fresh;
    ExchangeGuard guard(link);
    CommControl& port = link.MSComm1;
    const SharedState& s = shared();
    // A port that was never open has nothing to close under us: the wait then runs to its time-out.
    const bool wasOpen = port.PortOpen();
    const auto aborted = [&] {
        return s.ExitConfirmed || link.stopRequested() || (wasOpen && !port.PortOpen());
    };
    const auto cancelled = [&] { return cancel == CancelEnds::Yes && s.CancelRequested; };

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
        if (answered || s.ReplyTimedOut || cancelled() || aborted() || port.deviceGone())
            break;
    }
    if (ownTimer)
        link.Timer2.stop();

    if (answered) {
        result.end = ExchangeResult::Answered;
    } else if (aborted()) {
        result.end = ExchangeResult::Aborted;
    } else if (port.deviceGone()) {
        result.end = ExchangeResult::DeviceGone;
        reportPendingError(link);
        link.closePortAfterRun();
    } else if (s.ReplyTimedOut) {
        result.end = ExchangeResult::TimedOut;
    } else {
        result.end = ExchangeResult::Cancelled;
    }
    return result;
}

ExchangeResult EncoderExchange(Link& link, const QByteArray& command, const QList<QByteArray>& terminators,
                               bool dropFirst) {
    ExchangeGuard guard(link);
    CommControl& port = link.MSComm1;
    if (dropFirst)
        port.clearInBuffer();
    if (!port.Output(command))
        reportPendingError(link);
    return waitForReply(link, terminators);
}

} // namespace qpes
