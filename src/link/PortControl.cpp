#include "link/PortControl.h"

#include "link/Exchange.h"
#include "link/Link.h"
#include "link/ReadDatabase.h"
#include "link/frmCancelSend.h"
#include "model/PagerDatabase.h"
#include "model/Tap.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "platform/TerminalControls.h"

namespace qpes {

namespace {

// Every run of the toggle starts with this reply time-out; detection sets its own per attempt.
constexpr int RunInterval = 8000;

// The settings an attempt tries (none: whatever the port holds) and how long it waits.
struct Attempt {
    const char* settings;
    int intervalMs;
};
constexpr Attempt Attempts[] = {
    {nullptr, 500},       {"9600,n,8,1", 500},  {"9600,e,7,1", 500},
    {"2400,n,8,1", 1500}, {"2400,e,7,1", 1500}, {"1200,n,8,1", 2000},
    {"1200,e,7,1", 2000}, {"300,n,8,1", 3500},  {"300,e,7,1", 3500},
};

const char* const V7Banner = "Quillmar Paging Encoder v7";

// How one detection run ends.
enum class Outcome { Found, Failed, Closed };

QString portNumber(const CommControl& port) {
    return QString::number(port.CommPort());
}

void endSteps() {
    frmCancelSend::unload();
    setBusy(false);
    shared().EncoderDetected = false;
}

void closingSteps(TerminalControls& t) {
    CommControl& port = t.link().MSComm1;
    const QString n = portNumber(port);
    t.setControlEnabled(Control::mnuTest, false);
    t.setControlEnabled(Control::cmdLookup, false);
    t.setControlEnabled(Control::mnuSendMsg, false);
    t.setControlEnabled(toolbarButton(7), false);
    t.setControlEnabled(toolbarButton(6), false);
    t.setControlEnabled(toolbarButton(5), false);
    t.bringToFront(Control::ImgNotConnected);
    t.setCaption(Control::mnuOpen, QStringLiteral("&Open Port"));
    t.setCaption(Control::cmdComStatus, QStringLiteral("Open COM ") + n);
    t.setStatus(2, QStringLiteral("COM ") + n + QStringLiteral(" Closed"));
    t.setControlEnabled(Control::mnuReadDB, false);
    t.setControlEnabled(Control::mnuWriteDB, false);
    t.unloadTestConsole();
    port.setPortOpen(false);
    port.setSettings(QStringLiteral("9600,n,8,1"));
    port.clearError(); // nothing here is worth a box: the port is closed either way
    endSteps();
}

// Closes the port the way a run of its own would: a fresh run's time-out, the closing steps
// and the end steps. Used where detection gives up, so an already closed port is never
// flipped open again.
void closePort(TerminalControls& t) {
    shared().CancelRequested = false;
    t.link().Timer2.setInterval(RunInterval);
    closingSteps(t);
}

void failureExit(TerminalControls& t) {
    frmCancelSend::unload();
    setBusy(false);
    t.bringToFront(Control::ImgNotConnected);
    closePort(t);
}

void showModeBox(const QString& title, const QString& text) {
    Dialogs::message(text, Buttons::Ok, Icon::None, title);
}

// The boxes for a reply that gives away a mode this program cannot use; false when the reply
// names none of them.
bool reportMode(const QByteArray& reply) {
    if (reply.contains("Encoder")) {
        showModeBox(QStringLiteral("Quillmar Mode Detected"),
                    QStringLiteral("Quillmar mode detected. Program in TAP mode.\r"
                                   "Please note DIP switch settings, move all DIPs\r"
                                   "to ON position, then cycle power.  After\r"
                                   "programming, restore DIPs and cycle power."));
    } else if (reply.contains("COMP1>")) {
        showModeBox(QStringLiteral("COMP1 Mode Detected"),
                    QStringLiteral("COMP1 mode detected. Program in TAP mode.\r"
                                   "Please note DIP switch settings, move all DIPs\r"
                                   "to ON position, then cycle power.  After\r"
                                   "programming, restore DIPs and cycle power"));
    } else if (reply.contains("COMP2>")) {
        showModeBox(QStringLiteral("COMP2 Mode Detected"),
                    QStringLiteral("COMP2 mode detected.  Program in TAP mode.\r"
                                   "Please note DIP switch settings, move all DIPs\r"
                                   "to ON position, then cycle power.  After\r"
                                   "programming, restore DIPs and cycle power"));
    } else if (reply.contains("INVALID")) {
        showModeBox(QStringLiteral("PET Protocol Mode Detected"),
                    QStringLiteral("PET protocol mode detected.  Program in TAP mode.\r"
                                   "Please cycle power and try again."));
    } else {
        return false;
    }
    return true;
}

// Sends the probe at up to nine settings. Found leaves `reply` holding the answer that
// carried the TAP prompt; the other outcomes have already closed the port.
Outcome detect(TerminalControls& t, int savedInterval, QByteArray& reply) {
    Link& link = t.link();
    CommControl& port = link.MSComm1;
    SharedState& s = shared();
    for (const Attempt& attempt : Attempts) {
        setBusy(true);
        if (attempt.settings)
            port.setSettings(QString::fromLatin1(attempt.settings));
        link.Timer2.setInterval(attempt.intervalMs);
        frmCancelSend::setLabel(QStringLiteral("Attempting to Detect Paging Encoder\ron COM Port ") +
                                portNumber(port) + QStringLiteral(" at ") + port.Settings());
        frmCancelSend::showBox();

        // Input already waiting is kept: an answer that came late still counts.
        port.Output(detectCommand());
        reportPendingError(link);
        const ExchangeResult r = waitForReply(link, {QByteArray(TapPrompt)});
        link.Timer2.setInterval(savedInterval);

        // A cancel, the user's stop, or a device gone (its error already shown): close.
        if (s.CancelRequested || r.end == ExchangeResult::Aborted || r.end == ExchangeResult::DeviceGone) {
            s.ReplyTimedOut = false;
            closePort(t);
            return Outcome::Closed;
        }
        s.ReplyTimedOut = false;

        if (r.reply.contains(TapPrompt)) {
            reply = r.reply;
            return Outcome::Found;
        }
        if (reportMode(r.reply)) {
            failureExit(t);
            return Outcome::Failed;
        }
    }
    Dialogs::message(QStringLiteral("The Quillmar Paging Encoder was Not Detected.\r"
                                    "Please Check Connections, Paging Encoder Configuration,\r"
                                    "or COM Port Settings, and Try Again"),
                     Buttons::Ok, Icon::None, QStringLiteral("Paging Encoder Not Detected"));
    failureExit(t);
    return Outcome::Failed;
}

// The encoder answered: the connected state, the settings kept for the next start, and the read.
void encoderFound(TerminalControls& t, const QByteArray& reply) {
    CommControl& port = t.link().MSComm1;
    SharedState& s = shared();
    const QString settings = port.Settings();
    if (settings != QLatin1String("9600,n,8,1") && settings != QLatin1String("9600,e,7,1") &&
        Dialogs::message(QStringLiteral("Baud rate other than 9600 was detected.\r"
                                        "Programming may be slow.  To speed up\r"
                                        "programming, note DIP switch settings,\r"
                                        "move all DIPs to ON position, then cycle\r"
                                        "power.  After programming, restore DIPs\r"
                                        "and cycle power.\r"
                                        "\r"
                                        "Press OK to use current baud settings,\r"
                                        "or Cancel to change baud settings."),
                         Buttons::OkCancel, Icon::None,
                         QStringLiteral("Slower Baud Rate Detected")) == Answer::Cancel) {
        failureExit(t);
        return;
    }
    frmCancelSend::unload();
    setBusy(false);
    s.EncoderDetected = true;
    t.setControlEnabled(Control::mnuTest, true);
    const QString n = portNumber(port);
    t.setStatus(2, QStringLiteral("COM ") + n + QStringLiteral(" Open at ") + port.Settings());
    t.setCaption(Control::mnuOpen, QStringLiteral("&Close Port"));
    t.setCaption(Control::cmdComStatus, QStringLiteral("Close COM ") + n);
    t.setControlEnabled(Control::mnuReadDB, true);
    t.setControlEnabled(Control::mnuWriteDB, true);
    SettingsStore::set(QStringLiteral("Settings"), port.Settings());

    Dialogs::message(QStringLiteral("Paging Encoder Was Detected\rThe Encoder Database will Now be Read"),
                     Buttons::Ok, Icon::None, QStringLiteral("Paging Encoder Detected"));
    if (s.EncoderMatches ||
        Dialogs::message(
            QStringLiteral("You are About to Read the Encoder and Replace the Current Configuration\r"
                           "Are You Sure?"),
            Buttons::YesNo, Icon::Question, QStringLiteral("Read Encoder?")) == Answer::Yes)
        ReadEncoderDatabase();

    if (reply.startsWith(V7Banner)) {
        t.setCaption(Control::Label25, QStringLiteral("Paging Encoder V7"));
        t.setControlEnabled(Control::mnuTXTune, true);
    }
    endSteps();
}

void openingSteps(TerminalControls& t, int savedInterval) {
    t.setCaption(Control::mnuOpen, QStringLiteral("&Close Port"));
    if (shared().EncoderMatches) {
        t.setControlEnabled(Control::cmdLookup, true);
        t.setControlEnabled(Control::mnuSendMsg, true);
        t.setControlEnabled(toolbarButton(7), true);
    }
    t.setControlEnabled(toolbarButton(6), true);
    t.setControlEnabled(toolbarButton(5), true);
    t.bringToFront(Control::ImgConnected);
    if (shared().EncoderDetected) {
        endSteps();
        return;
    }
    QByteArray reply;
    if (detect(t, savedInterval, reply) == Outcome::Found)
        encoderFound(t, reply);
}

} // namespace

void ToggleComPort() {
    TerminalControls* t = terminal();
    if (!t)
        return;
    Link& link = t->link();
    CommControl& port = link.MSComm1;
    // A second toggle during the run stops it (see the main window).
    ExchangeGuard guard(link);

    shared().CancelRequested = false;
    // The item's caption tells the port's state; it never carries a check mark.
    t->setChecked(Control::mnuOpen, false);
    port.setPortOpen(!port.PortOpen());
    reportPendingError(link);
    const int savedInterval = link.Timer2.interval();
    link.Timer2.setInterval(RunInterval);
    if (port.PortOpen())
        openingSteps(*t, savedInterval);
    else
        closingSteps(*t);
}

void CloseComPort() {
    if (TerminalControls* t = terminal(); t && t->link().MSComm1.PortOpen())
        ToggleComPort();
}

} // namespace qpes
