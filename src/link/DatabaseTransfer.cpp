#include "link/DatabaseTransfer.h"

#include "link/Link.h"
#include "model/PagerDatabase.h"
#include "model/Tap.h"
#include "platform/Dialogs.h"
#include "platform/TerminalControls.h"

namespace qpes {

ExchangeResult TransferExchange(Link& link, PortAtStart port, const QByteArray& command,
                                const QList<QByteArray>& terminators, bool dropFirst) {
    if (shared().ExitConfirmed || link.stopRequested() ||
        (port == PortAtStart::Open && !link.MSComm1.PortOpen())) {
        ExchangeResult stopped;
        stopped.end = ExchangeResult::Aborted;
        return stopped;
    }
    return EncoderExchange(link, command, terminators, dropFirst);
}

void SetToolbarEnabled(TerminalControls& t, bool enabled) {
    for (int n = 1; n <= 7; ++n)
        t.setControlEnabled(toolbarButton(n), enabled);
}

void RestoreToolbar(TerminalControls& t) {
    const bool open = t.link().MSComm1.PortOpen();
    for (int n = 1; n <= 4; ++n)
        t.setControlEnabled(toolbarButton(n), true);
    t.setControlEnabled(toolbarButton(5), open);
    t.setControlEnabled(toolbarButton(6), open);
    t.setControlEnabled(toolbarButton(7), open && shared().EncoderMatches);
}

void ReportImproperIdAsCapResponse() {
    Dialogs::message(
        QStringLiteral("The Quillmar Paging Encoder did not Properly Respond to IDASCAP Command.\r"
                       "Please Check Connections, Paging Encoder Configuration,\r"
                       "or COM Port Settings, and Try Again"),
        Buttons::Ok, Icon::None, QStringLiteral("Paging Encoder Improper Response"));
}

void RestoreIdAsCapMode(Link& link) {
    SharedState& s = shared();
    CommControl& port = link.MSComm1;
    if (s.ExitConfirmed || !port.PortOpen() || port.deviceGone())
        return;
    s.ReplyTimedOut = false;
    link.despiteStop([&] {
        ExchangeGuard guard(link);
        if (!port.Output(idAsCapSet(true)))
            reportPendingError(link);
        return waitForReply(link, {EndLF}, CancelEnds::No);
    });
    s.ReplyTimedOut = false;
}

} // namespace qpes
