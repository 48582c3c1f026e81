#include "link/Lookup.h"

#include "link/Exchange.h"
#include "link/Link.h"
#include "model/PagerDatabase.h"
#include "model/Tap.h"
#include "model/Text.h"
#include "platform/TerminalControls.h"

namespace qpes {

namespace {

constexpr int LookupTimeoutMs = 4000;

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
    if (!port.Output(command))
        reportPendingError(link);

    s.ReplyTimedOut = false;
    link.Timer2.setInterval(LookupTimeoutMs);
    // A cancel left over from another operation does not end this wait; the user's stop does.
    const QByteArray reply = waitForReply(link, {EndCRLF}, CancelEnds::No).reply;
    s.ReplyTimedOut = false;

    t->setCaption(Control::lblLookup,
                  QStringLiteral("Response: ") + QString::fromLatin1(readableReply(reply)));
    // An edit or a closed port during the wait has disabled it for good reason.
    t->setControlEnabled(Control::cmdLookup, buttonWasEnabled && port.PortOpen() && s.EncoderMatches);
}

} // namespace qpes
