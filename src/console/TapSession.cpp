#include "console/TapSession.h"

#include "console/CommunicationsLog.h"
#include "link/Exchange.h"
#include "link/Link.h"
#include "link/frmCancelSend.h"
#include "model/PagerDatabase.h"
#include "model/Tap.h"
#include "model/TapPaging.h"
#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace qpes {

namespace {

constexpr int PollMs = 50;

void writeOrReport(CommControl& port, const QByteArray& bytes) {
    if (port.Output(bytes))
        return;
    const QString description = port.errorDescription();
    port.clearError();
    Dialogs::failure(description);
    AddLogLine("Error: " + description.toLatin1());
}

PageEnd loginError() {
    Dialogs::message(
        QStringLiteral("Error Logging Into Paging Encoder\rCheck Power, Connections and/or DIP Switch\r"
                       "and Try Again."),
        Buttons::Ok, Icon::None, QStringLiteral("Login Error"));
    AddLogLine("Error Initializing");
    shared().LoggedIn = false;
    frmCancelSend::unload();
    return PageEnd::Failed;
}

PageEnd communicationError() {
    Dialogs::message(QStringLiteral("Error Communicating With Paging Encoder\r"
                                    "Check Power, Connections and/or DIP Switch\rand Try Again."),
                     Buttons::Ok, Icon::None, QStringLiteral("Communication Error"));
    AddLogLine("Error Communicating");
    shared().LoggedIn = false;
    frmCancelSend::unload();
    return PageEnd::Failed;
}

// The end of a wait that came without its terminator: leaving the program ends everything at
// once, anything else (time-out, a closed port) is the communication error.
PageEnd unanswered(Link& link) {
    link.Timer2.stop();
    shared().ReplyTimedOut = false;
    return shared().ExitConfirmed ? PageEnd::Abandoned : communicationError();
}

// Takes the buffer's first line, CR included, once it holds one.
std::optional<QByteArray> nextLine(Link& link, QByteArray& buffer) {
    if (!buffer.contains(CR)) {
        const ExchangeResult r = waitForReplyWithin(link, {EndCR});
        buffer += r.reply;
        if (r.end != ExchangeResult::Answered)
            return std::nullopt;
    }
    const qsizetype cr = buffer.indexOf(CR);
    const QByteArray line = buffer.left(cr + 1);
    buffer.remove(0, cr + 1);
    return line;
}

} // namespace

PageEnd LogInToEncoder(Link& link) {
    SharedState& s = shared();
    CommControl& port = link.MSComm1;
    s.CancelRequested = false;
    AddLogLine("Initiating Login Session");
    writeOrReport(port, tapLoginWake());
    s.ReplyTimedOut = false;
    const ExchangeResult prompt = waitForReply(link, {TapPrompt});
    s.ReplyTimedOut = false;
    if (s.ExitConfirmed)
        return PageEnd::Abandoned;
    if (!prompt.reply.contains(TapPrompt))
        return loginError();
    AddLogLine("Encoder: ID=<CR><LF>");
    port.clearInBuffer();
    frmCancelSend::setLabel(QStringLiteral("Sending Terminal ID"));
    AddLogLine("Sending Terminal ID");

    // The four answers to the login request share one time-out.
    writeOrReport(port, tapLoginRequest());
    link.Timer2.start();
    const ExchangeResult version = waitForReplyWithin(link, {EndCRLF});
    QByteArray buffer = version.reply;
    if (version.end != ExchangeResult::Answered || !buffer.startsWith("110 1.8\r\n"))
        return unanswered(link);
    buffer.remove(0, 9);
    AddLogLine("Encoder: 110 1.8<CR><LF>");

    const auto first = nextLine(link, buffer);
    if (!first)
        return unanswered(link);
    AddLogLine("Encoder: " + NameControlCharacters(*first, false));
    if (!nextLine(link, buffer))
        return unanswered(link);
    AddLogLine("Encoder: <ACK><CR>");
    if (!buffer.contains(CR)) {
        const ExchangeResult r = waitForReplyWithin(link, {EndCR});
        buffer += r.reply;
        if (r.end != ExchangeResult::Answered)
            return unanswered(link);
    }
    link.Timer2.stop();
    s.ReplyTimedOut = false;
    if (!buffer.startsWith("\x1b[p\r"))
        return communicationError();
    AddLogLine("Encoder: <ESC>[p<CR>");
    s.LoggedIn = true;
    return PageEnd::Done;
}

PageEnd SendTestPage(Link& link, const QByteArray& pin, const QByteArray& message,
                     const std::function<void()>& loggedIn) {
    ExchangeGuard guard(link);
    SharedState& s = shared();
    CommControl& port = link.MSComm1;
    port.clearInBuffer();
    if (!s.LoggedIn) {
        const PageEnd login = LogInToEncoder(link);
        if (login != PageEnd::Done)
            return login;
    }
    s.CancelRequested = false;
    s.LoggedIn = true;
    if (loggedIn)
        loggedIn();
    const QByteArray page =
        message.isEmpty() ? QByteArray() : ExpandMessageEscapes(message, PageKind::Send).text;
    const QByteArray block = BuildTapBlock(pin, page);
    s.CancelRequested = false;
    AddLogLine("Message: " + page);
    writeOrReport(port, block);

    s.ReplyTimedOut = false;
    const ExchangeResult r = waitForReply(link, {EndCR});
    s.ReplyTimedOut = false;
    if (s.ExitConfirmed)
        return PageEnd::Abandoned;
    QByteArray reply = r.reply;
    while (port.InBufferCount() > 0) {
        QThread::msleep(PollMs);
        reply += port.Input();
    }
    if (reply.isEmpty())
        return communicationError();
    if (!reply.contains(CR)) {
        const ExchangeResult more = waitForReply(link, {EndCR});
        s.ReplyTimedOut = false;
        reply += more.reply;
        if (more.end != ExchangeResult::Answered)
            return s.ExitConfirmed ? PageEnd::Abandoned : communicationError();
    }
    s.CancelRequested = false;
    AddLogLine("Encoder: " + NameControlCharacters(reply, true));
    frmCancelSend::unload();
    return PageEnd::Done;
}

bool TickWait(QTimer& timer, const std::function<bool()>& stop) {
    const SharedState& s = shared();
    bool fired = false;
    const auto connection = QObject::connect(&timer, &QTimer::timeout, [&fired] { fired = true; });
    timer.start();
    while (!fired && timer.isActive() && !s.ExitConfirmed && !(stop && stop()))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QObject::disconnect(connection);
    shared().TickElapsed = false;
    return fired;
}

namespace {

// One tick, then everything received so far; nullopt when the program is closing.
std::optional<QByteArray> tickRead(Link& link) {
    TickWait(link.Timer1);
    if (shared().ExitConfirmed)
        return std::nullopt;
    QThread::msleep(PollMs);
    return link.MSComm1.Input();
}

PageEnd rangeTestLogin(Link& link, const std::function<bool()>& ended) {
    SharedState& s = shared();
    CommControl& port = link.MSComm1;
    for (;;) {
        s.CancelRequested = false;
        AddLogLine("Initiating Login Session");
        writeOrReport(port, tapLoginWake());
        const auto prompt = tickRead(link);
        if (!prompt)
            return PageEnd::Abandoned;
        if (!prompt->startsWith(TapPrompt))
            return loginError();
        AddLogLine("Encoder: ID=<CR>");
        port.clearInBuffer();
        AddLogLine("Sending Terminal ID");
        writeOrReport(port, tapLoginRequest());
        const auto answer = tickRead(link);
        if (!answer)
            return PageEnd::Abandoned;
        if (answer->contains("[p")) {
            for (const QByteArray& line : loginAnswerLines(*answer))
                AddLogLine("Encoder: " + line + "<CR>");
            return PageEnd::Done;
        }
        Dialogs::message(QStringLiteral("Error Logging In.  Will Attempt Again"), Buttons::Ok, Icon::None,
                         QStringLiteral("Terminal ID Error"));
        // Once the test has stopped or its console has gone there is nobody left to try for.
        if (s.ExitConfirmed || (ended && ended())) {
            frmCancelSend::unload();
            return PageEnd::Abandoned;
        }
    }
}

} // namespace

PageEnd SendRangeTestPage(Link& link, const QByteArray& pin, const QByteArray& message,
                          const std::function<bool()>& ended) {
    ExchangeGuard guard(link);
    SharedState& s = shared();
    CommControl& port = link.MSComm1;
    s.TickElapsed = false;
    port.clearInBuffer();
    if (!s.LoggedIn) {
        const PageEnd login = rangeTestLogin(link, ended);
        if (login != PageEnd::Done)
            return login;
    }
    s.LoggedIn = true;
    const ExpandedMessage page = ExpandMessageEscapes(message, PageKind::RangeTest);
    const QByteArray block = BuildTapBlock(pin, page.expanded ? page.text : message);
    s.CancelRequested = false;
    AddLogLine("Sending Message");
    AddLogLine("ID: " + pin);
    AddLogLine("Message: " + message);
    writeOrReport(port, block);
    const auto reply = tickRead(link);
    if (!reply)
        return PageEnd::Abandoned;
    if (reply->isEmpty())
        return communicationError();
    AddLogLine("Encoder: " + NameControlCharacters(*reply, false));
    frmCancelSend::unload();
    return PageEnd::Done;
}

} // namespace qpes
