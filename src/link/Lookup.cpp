#include "link/Lookup.h"

#include "link/Link.h"
#include "model/PagerDatabase.h"
#include "model/Tap.h"
#include "model/Text.h"
#include "platform/Dialogs.h"
#include "platform/TerminalControls.h"

#include <QCoreApplication>

namespace qpes {

namespace {

constexpr int LookupTimeoutMs = 4000;
constexpr int PollMs = 50;

// A CR or LF typed or pasted into the box would end the command early and start another.
QByteArray withoutControlCharacters(const QByteArray& text) {
    QByteArray out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 32 && code != 127)
            out += c;
    }
    return out;
}

// The encoder's terse field words made readable, in this order.
QByteArray readableReply(QByteArray reply) {
    reply = ReplaceText(reply, "list", "Group");
    reply = ReplaceText(reply, " capcode ", ", Cap=");
    reply = ReplaceText(reply, "msg enc:", "Type=");
    reply = ReplaceText(reply, "baud:", "Rate=");
    reply = ReplaceText(reply, " func bits:00", ", Func=1");
    reply = ReplaceText(reply, " func bits:01", ", Func=2");
    reply = ReplaceText(reply, " func bits:10", ", Func=3");
    reply = ReplaceText(reply, " func bits:11", ", Func=4");
    return reply;
}

// Collects the reply until CR LF or the reply timer; a cancel left over from another operation
// does not end it. Leaving the program, or the port closing under the wait, ends it at once.
QByteArray awaitReply(Link& link) {
    const SharedState& s = shared();
    CommControl& port = link.MSComm1;
    const bool wasOpen = port.PortOpen();
    const auto aborted = [&] { return s.ExitConfirmed || (wasOpen && !port.PortOpen()); };
    QByteArray reply;
    do {
        QCoreApplication::processEvents();
        if (aborted())
            break;
        port.waitForInput(PollMs);
        reply += port.Input();
    } while (!reply.contains(EndCRLF) && !s.ReplyTimedOut && !aborted());
    return reply;
}

} // namespace

void LookupId() {
    TerminalControls* t = terminal();
    if (!t)
        return;
    Link& link = t->link();
    ExchangeGuard guard(link);
    SharedState& s = shared();
    CommControl& port = link.MSComm1;

    // The button rests while its own exchange runs.
    const bool buttonWasEnabled = t->controlEnabled(Control::cmdLookup);
    t->setControlEnabled(Control::cmdLookup, false);

    t->setCaption(Control::lblLookup, QString());
    port.clearInBuffer();
    const QByteArray command =
        lookupCommand(withoutControlCharacters(t->caption(Control::txLookup).toLatin1()));
    port.clearInBuffer();
    if (!port.Output(command)) {
        Dialogs::failure(port.errorDescription());
        port.clearError();
    }

    s.ReplyTimedOut = false;
    link.Timer2.start();
    link.Timer2.setInterval(LookupTimeoutMs);
    const QByteArray reply = awaitReply(link);
    link.Timer2.stop();
    s.ReplyTimedOut = false;

    // The main window may have gone while the lookup waited (the user left the program).
    t = terminal();
    if (!t)
        return;
    t->setCaption(Control::lblLookup,
                  QStringLiteral("Response: ") + QString::fromLatin1(readableReply(reply)));
    // An edit or a closed port during the wait has disabled it for good reason.
    t->setControlEnabled(Control::cmdLookup, buttonWasEnabled && port.PortOpen() && s.EncoderMatches);
}

} // namespace qpes
