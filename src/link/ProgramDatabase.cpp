#include "link/ProgramDatabase.h"

#include "link/DatabaseTransfer.h"
#include "link/Exchange.h"
#include "link/Link.h"
#include "link/frmCancelSend.h"
#include "model/DatabaseRecord.h"
#include "model/PagerDatabase.h"
#include "model/Tap.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "platform/TerminalControls.h"

namespace qpes {

namespace {

struct SettingStep {
    QByteArray command;
    QString progress;
    const char* terminator;
};

constexpr int SettingStepCount = 9;

// Built when its turn comes, so an edit made while the run waits still reaches the encoder.
SettingStep settingStep(int step, const EncoderSettings& e) {
    switch (step) {
    case 0:
        return {configSet("invertdata", e.InvertData),
                e.InvertData ? QStringLiteral("Writing Pager Database - RF Data Inversion ON")
                             : QStringLiteral("Writing Pager Database - RF Data Inversion OFF"),
                EndCRLF};
    case 1: // the encoder acknowledges this one with CR alone
        return {configSet("pet", e.PETEnabled),
                e.PETEnabled ? QStringLiteral("Writing Pager Database - PET Protocol Support ON")
                             : QStringLiteral("Writing Pager Database - PET Protocol Support OFF"),
                EndCR};
    case 2:
        return {configSet("invertrfcd", e.InvertRFCD),
                e.InvertRFCD ? QStringLiteral("Writing Pager Database - RF Carrier Detect Inversion ON")
                             : QStringLiteral("Writing Pager Database - RF Carrier Detect Inversion OFF"),
                EndCRLF};
    case 3:
        return {configSetValue("dutycycle", e.DutyCycle),
                QStringLiteral("Writing Pager Database - Duty Cycle ") + QString::fromLatin1(e.DutyCycle) +
                    QStringLiteral("%"),
                EndCRLF};
    case 4:
        return {configSetValue("maxbatch", e.MaxBatch),
                QStringLiteral("Writing Pager Database - Max Msgs/Batch ") + QString::fromLatin1(e.MaxBatch),
                EndCRLF};
    case 5:
        return {configSet("pphreset", e.PPHReset),
                e.PPHReset ? QStringLiteral("Writing Pager Database - Message Timeout Reset Detection ON")
                           : QStringLiteral("Writing Pager Database - Message Timeout Reset Detection OFF"),
                EndCRLF};
    case 6: // ignoring the carrier means its detection is off
        return {configSet("ignorerfcd", e.IgnoreRFCD),
                e.IgnoreRFCD ? QStringLiteral("Writing Pager Database - Carrier Signal Detection OFF")
                             : QStringLiteral("Writing Pager Database - Carrier Signal Detection ON"),
                EndCRLF};
    case 7:
        return {configSet("briefack", e.BriefACK),
                e.BriefACK ? QStringLiteral("Writing Pager Database - Brief ACK ON")
                           : QStringLiteral("Writing Pager Database - Brief ACK OFF"),
                EndCRLF};
    default:
        return {configSet("altfc", e.FlowBeforeACK),
                e.FlowBeforeACK ? QStringLiteral("Writing Pager Database - Flow Control Before ACK ON")
                                : QStringLiteral("Writing Pager Database - Flow Control Before ACK OFF"),
                EndCRLF};
    }
}

void clearFlags() {
    shared().CancelRequested = false;
    shared().ReplyTimedOut = false;
}

void reportWriteError(const CommControl& port) {
    Dialogs::message(QStringLiteral("Error Writing Pager Database at\r") + port.Settings() +
                         QStringLiteral("  COM Port ") + QString::number(port.CommPort()) +
                         QStringLiteral("\rPlease Check Connections, Paging Encoder Configuration,\r"
                                        "or COM Port Settings, and Try Again"),
                     Buttons::Ok, Icon::None, QStringLiteral("Write Error"));
}

// The settings and records go in with the encoder's ID-as-capcode mode off when it was on.
// A run that stops among them puts the mode back before it reports (`modeTurnedOff`).
enum class ModeTurnedOff { No, Yes };

// One command from the settings on: a time-out, a cancel or the encoder's TAP prompt in the
// reply ends the run with the write-error box. False when the run has to stop.
bool programStep(TerminalControls& t, const QByteArray& command, const char* terminator,
                 ModeTurnedOff modeTurnedOff) {
    const SharedState& s = shared();
    Link& link = t.link();
    const ExchangeResult r = TransferExchange(link, PortAtStart::Open, command, {terminator}, true);
    if (r.end == ExchangeResult::Answered && !s.ReplyTimedOut && !s.CancelRequested &&
        !HoldsTapPrompt(r.reply))
        return true;
    clearFlags();
    if (modeTurnedOff == ModeTurnedOff::Yes)
        RestoreIdAsCapMode(link);
    if (r.end != ExchangeResult::Aborted) {
        reportWriteError(link.MSComm1);
        setBusy(false);
    }
    return false;
}

// Everything between disabling the toolbar and the clean-up; true when the run completed.
bool programAll(TerminalControls& t) {
    SharedState& s = shared();
    Link& link = t.link();

    // The two ID-as-capcode commands go out without emptying the receive buffer first.
    ExchangeResult r = TransferExchange(link, PortAtStart::Open, idAsCapQuery(), {EndLF}, false);
    if (r.end == ExchangeResult::Aborted) {
        clearFlags();
        return false;
    }
    if (r.reply.contains("COMP2")) {
        Dialogs::message(
            QStringLiteral("COMP2 protocol is detected.  Please change to TAP protocol and try again."),
            Buttons::Ok, Icon::None, QStringLiteral("COMP2 Detected"));
        link.Timer2.stop();
        clearFlags();
        return false;
    }
    if (s.CancelRequested) {
        clearFlags();
        return false;
    }
    s.ReplyTimedOut = false; // no answer counts as the mode being off
    const bool modeOn = r.reply.startsWith('1');
    t.setCaption(Control::lblIDAsCap, modeOn ? QStringLiteral("ID As Capcode Mode is ON")
                                             : QStringLiteral("ID As Capcode Mode is OFF"));
    if (modeOn) {
        // Pager IDs must not be taken as capcodes while the records go in.
        r = TransferExchange(link, PortAtStart::Open, idAsCapSet(false), {EndLF}, false);
        if (r.end == ExchangeResult::Aborted || s.CancelRequested) {
            clearFlags();
            return false;
        }
        s.ReplyTimedOut = false;
        if (!r.reply.contains("IDASCAP option updated")) {
            ReportImproperIdAsCapResponse();
            frmCancelSend::unload();
            setBusy(false);
            t.bringToFront(Control::ImgNotConnected);
            return false;
        }
    }
    const ModeTurnedOff turnedOff = modeOn ? ModeTurnedOff::Yes : ModeTurnedOff::No;

    for (int step = 0; step < SettingStepCount; ++step) {
        const SettingStep setting = settingStep(step, s.Db.Settings);
        t.setStatus(1, setting.progress);
        if (!programStep(t, setting.command, setting.terminator, turnedOff))
            return false;
    }
    for (int g = 1; g <= GroupCount; ++g) {
        t.setStatus(1, QStringLiteral("Writing Pager Database - Group ") + QString::number(g));
        if (!programStep(t, recordStore(GroupRecord(s.Db.Groups[g - 1], g)), EndRSCR, turnedOff))
            return false;
    }
    for (int f = 1; f <= FamilyCount; ++f) {
        t.setStatus(1, QStringLiteral("Writing Pager Database - Family ") + QString::number(f));
        if (!programStep(t, recordStore(FamilyRecord(s.Db.Families[f - 1], f)), EndRSCR, turnedOff))
            return false;
    }
    for (int m = 1; m <= MessageCount; ++m) {
        t.setStatus(1, QStringLiteral("Writing Pager Database - Message ") + QString::number(m));
        if (!programStep(t, recordStore(MessageRecord(s.Db.Messages[m - 1], m)), EndRSCR, turnedOff))
            return false;
    }

    const bool idAsCap = s.Db.Settings.IDAsCap;
    t.setStatus(1, idAsCap ? QStringLiteral("Writing Pager Database - ID Assumed as Capcode ON")
                           : QStringLiteral("Writing Pager Database - ID Assumed as Capcode OFF"));
    // The mode's own last word: whatever it meets, the encoder has been told.
    if (!programStep(t, configSet("idascap", idAsCap), EndCRLF, ModeTurnedOff::No))
        return false;

    t.setStatus(1, QStringLiteral("Encoder Matches Current Configuration"));
    s.EncoderMatches = true;
    t.setControlEnabled(Control::cmdLookup, true);
    t.setControlEnabled(Control::mnuSendMsg, true);
    return true;
}

} // namespace

void WriteEncoderDatabase() {
    TerminalControls* t = terminal();
    if (!t)
        return;
    Link& link = t->link();
    ExchangeGuard guard(link);
    SharedState& s = shared();
    CommControl& port = link.MSComm1;

    s.DatabaseBusy = true;
    clearFlags();
    setBusy(true);
    if (!port.PortOpen()) {
        Dialogs::message(QStringLiteral("COM Port ") + QString::number(port.CommPort()) +
                             QStringLiteral(" is Not Open\rPlease Open Port and Try Again"),
                         Buttons::Ok, Icon::Critical, QStringLiteral("COM Port Not Open"));
        setBusy(false);
        EndDatabaseRun();
        return;
    }

    SetToolbarEnabled(*t, false);
    const bool complete = programAll(*t);

    if (complete)
        SetToolbarEnabled(*t, true);
    else
        RestoreToolbar(*t);
    setBusy(false);
    frmCancelSend::unload();
    EndDatabaseRun();
}

} // namespace qpes
