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
#include <QPointer>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>

namespace qpes {

namespace {

constexpr int PollMs = 50;

// Whether a page's outcome is still shown in a box: not once the console it belongs to has gone.
enum class Boxes { Shown, Dropped };

void writeOrReport(CommControl& port, const QByteArray& bytes, Boxes boxes = Boxes::Shown) {
    // A device already gone fails the write with nothing pending: its loss was told when it went.
    if (port.Output(bytes) || !port.hasError())
        return;
    const QString description = port.errorDescription();
    port.clearError();
    // The loss of the device is told whoever is left to see it, as it explains the port closing.
    if (boxes == Boxes::Shown || port.deviceGone())
        Dialogs::failure(description);
    AddLogLine("Error: " + description.toLatin1());
}

bool quietEnd(ExchangeResult::End end) {
    return shared().ExitConfirmed || end == ExchangeResult::Aborted;
}

PageEnd loginError(Boxes boxes = Boxes::Shown) {
    if (boxes == Boxes::Shown)
        Dialogs::message(
            QStringLiteral("Error Logging Into Paging Encoder\rCheck Power, Connections and/or DIP Switch\r"
                           "and Try Again."),
            Buttons::Ok, Icon::None, QStringLiteral("Login Error"));
    AddLogLine("Error Initializing");
    shared().LoggedIn = false;
    frmCancelSend::unload();
    return PageEnd::Failed;
}

PageEnd communicationError(Boxes boxes = Boxes::Shown) {
    if (boxes == Boxes::Shown)
        Dialogs::message(QStringLiteral("Error Communicating With Paging Encoder\r"
                                        "Check Power, Connections and/or DIP Switch\rand Try Again."),
                         Buttons::Ok, Icon::None, QStringLiteral("Communication Error"));
    AddLogLine("Error Communicating");
    shared().LoggedIn = false;
    frmCancelSend::unload();
    return PageEnd::Failed;
}

// The end of a wait that came without its terminator: leaving the program or the user's stop
// of the conversation ends everything quietly; anything else (a time-out, the device gone)
// is the communication error.
PageEnd unanswered(Link& link, ExchangeResult::End end) {
    link.Timer2.stop();
    shared().ReplyTimedOut = false;
    return quietEnd(end) ? PageEnd::Abandoned : communicationError();
}

// A page left before its reply (the console closed, the user's stop, the exit): the encoder's
// answer is still to come, so the login no longer stands. The next page logs in afresh, and the
// login's wait for its prompt passes over that late answer.
PageEnd pageAbandoned() {
    shared().LoggedIn = false;
    return PageEnd::Abandoned;
}

// Waits under the login's running time-out until the buffer holds a CR.
ExchangeResult::End awaitCR(Link& link, QByteArray& buffer) {
    if (buffer.contains(CR))
        return ExchangeResult::Answered;
    const ExchangeResult r = waitForReply(link, {EndCR}, CancelEnds::No, ReplyTimer::Running);
    buffer += r.reply;
    return r.end;
}

// Takes the buffer's first line, CR included; the buffer holds one.
QByteArray takeLine(QByteArray& buffer) {
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
    if (quietEnd(prompt.end))
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
    const ExchangeResult version = waitForReply(link, {EndCRLF}, CancelEnds::No, ReplyTimer::Running);
    QByteArray buffer = version.reply;
    if (version.end != ExchangeResult::Answered || !buffer.startsWith("110 1.8\r\n"))
        return unanswered(link, version.end);
    buffer.remove(0, 9);
    AddLogLine("Encoder: 110 1.8<CR><LF>");

    ExchangeResult::End end = awaitCR(link, buffer);
    if (end != ExchangeResult::Answered)
        return unanswered(link, end);
    AddLogLine("Encoder: " + NameControlCharacters(takeLine(buffer), false));
    end = awaitCR(link, buffer);
    if (end != ExchangeResult::Answered)
        return unanswered(link, end);
    takeLine(buffer); // whatever it holds
    AddLogLine("Encoder: <ACK><CR>");
    end = awaitCR(link, buffer);
    if (end != ExchangeResult::Answered)
        return unanswered(link, end);
    link.Timer2.stop();
    s.ReplyTimedOut = false;
    if (!buffer.startsWith("\x1b[p\r"))
        return communicationError();
    AddLogLine("Encoder: <ESC>[p<CR>");
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
    if (quietEnd(r.end))
        return pageAbandoned();
    QByteArray reply = r.reply;
    while (port.InBufferCount() > 0) {
        QThread::msleep(PollMs);
        reply += port.Input();
    }
    if (reply.isEmpty())
        return communicationError();
    if (!reply.contains(CR)) {
        const ExchangeResult more = waitForReply(link, {EndCR}, CancelEnds::No);
        s.ReplyTimedOut = false;
        reply += more.reply;
        if (more.end != ExchangeResult::Answered)
            return quietEnd(more.end) ? pageAbandoned() : communicationError();
    }
    s.CancelRequested = false;
    AddLogLine("Encoder: " + NameControlCharacters(reply, true));
    frmCancelSend::unload();
    return PageEnd::Done;
}

void TickWait(QTimer& timer, const std::function<bool()>& stop) {
    const SharedState& s = shared();
    bool fired = false;
    // The timer may belong to a window that goes away during the wait: that ends the wait.
    const QPointer<QTimer> alive(&timer);
    const auto connection = QObject::connect(&timer, &QTimer::timeout, [&fired] { fired = true; });
    timer.start();
    while (!fired && !s.ExitConfirmed && !(stop && stop()) && alive && alive->isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (alive)
        QObject::disconnect(connection);
}

namespace {

// One tick, then everything received so far; nullopt when the program is closing or the user
// has stopped the conversation. A device gone meanwhile is reported, and the port is closed
// once the page has unwound.
std::optional<QByteArray> tickRead(Link& link) {
    TickWait(link.Timer1, [&link] { return link.stopRequested(); });
    if (shared().ExitConfirmed || link.stopRequested())
        return std::nullopt;
    QThread::msleep(PollMs);
    link.MSComm1.waitForInput(1); // notices a line that has hung up
    const QByteArray reply = link.MSComm1.Input();
    if (link.MSComm1.deviceGone()) {
        reportPendingError(link);
        link.closePortAfterRun();
    }
    return reply;
}

PageEnd rangeTestLogin(Link& link, const std::function<bool()>& ended, const std::function<Boxes()>& boxes) {
    SharedState& s = shared();
    CommControl& port = link.MSComm1;
    for (;;) {
        s.CancelRequested = false;
        AddLogLine("Initiating Login Session");
        writeOrReport(port, tapLoginWake(), boxes());
        const auto prompt = tickRead(link);
        if (!prompt)
            return PageEnd::Abandoned;
        if (!prompt->startsWith(TapPrompt))
            return loginError(boxes());
        AddLogLine("Encoder: ID=<CR>");
        port.clearInBuffer();
        AddLogLine("Sending Terminal ID");
        writeOrReport(port, tapLoginRequest(), boxes());
        const auto answer = tickRead(link);
        if (!answer)
            return PageEnd::Abandoned;
        if (answer->contains("[p")) {
            for (const QByteArray& line : loginAnswerLines(*answer))
                AddLogLine("Encoder: " + line + "<CR>");
            return PageEnd::Done;
        }
        if (boxes() == Boxes::Shown)
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
                          const std::function<bool()>& ended, const std::function<bool()>& consoleGone) {
    ExchangeGuard guard(link);
    SharedState& s = shared();
    // A cancel pressed meanwhile meant nothing to this page; it must not stop whatever runs next.
    const auto clearCancel = qScopeGuard([&s] { s.CancelRequested = false; });
    const auto boxes = [&consoleGone] {
        return consoleGone && consoleGone() ? Boxes::Dropped : Boxes::Shown;
    };
    CommControl& port = link.MSComm1;
    port.clearInBuffer();
    if (!s.LoggedIn) {
        const PageEnd login = rangeTestLogin(link, ended, boxes);
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
    writeOrReport(port, block, boxes());
    const auto reply = tickRead(link);
    if (!reply)
        return PageEnd::Abandoned;
    if (reply->isEmpty())
        return communicationError(boxes());
    AddLogLine("Encoder: " + NameControlCharacters(*reply, false));
    frmCancelSend::unload();
    return PageEnd::Done;
}

} // namespace qpes
