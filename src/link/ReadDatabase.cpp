#include "link/ReadDatabase.h"

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

struct SettingQuery {
    const char* name;
    const char* progress;
};

// In the order the encoder is asked.
constexpr SettingQuery SettingQueries[] = {
    {"maxbatch", "Reading Pager Database - Max Msgs/Batch"},
    {"dutycycle", "Reading Pager Database - Transmitter Duty Cycle %"},
    {"pphreset", "Reading Pager Database - Message Timeout Reset Mode"},
    {"ignorerfcd", "Reading Pager Database - Carrier Detection Mode"},
    {"pet", "Reading Pager Database - PET Protocol Support"},
    {"invertrfcd", "Reading Pager Database - Carrier Detection Polarity"},
    {"invertdata", "Reading Pager Database - Data Polarity"},
    {"briefack", "Reading Pager Database - Brief ACK Mode"},
    {"altfc", "Reading Pager Database - NAK Before Flow Mode"},
};

void storeSetting(const QByteArrayView name, const QByteArray& reply, EncoderSettings& e) {
    const QByteArray value = SettingValue(reply);
    if (name == "maxbatch") {
        if (const auto n = WholeNumberText(value))
            e.MaxBatch = *n;
    } else if (name == "dutycycle") {
        if (const auto n = WholeNumberText(value))
            e.DutyCycle = *n;
    } else if (name == "pphreset") {
        e.PPHReset = SwitchOn(value);
    } else if (name == "ignorerfcd") {
        e.IgnoreRFCD = SwitchOn(value);
    } else if (name == "pet") {
        // An encoder without the option answers with RS, perhaps alone: then it is off too.
        if (reply.contains(RS))
            e.PETSupported = false;
        e.PETEnabled = SwitchOn(value);
    } else if (name == "invertrfcd") {
        e.InvertRFCD = SwitchOn(value);
    } else if (name == "invertdata") {
        e.InvertData = InvertDataOn(value);
    } else if (name == "briefack") {
        e.BriefACK = SwitchOn(value);
    } else if (name == "altfc") {
        e.FlowBeforeACK = SwitchOn(value);
    }
}

void reportReadError(const CommControl& port) {
    Dialogs::message(QStringLiteral("Error Reading Pager Database at\r") + port.Settings() +
                         QStringLiteral("  COM Port ") + QString::number(port.CommPort()) +
                         QStringLiteral("\rPlease Check Connections, Paging Encoder Configuration,\r"
                                        "or COM Port Settings, and Try Again"),
                     Buttons::Ok, Icon::None, QStringLiteral("Read Error"));
}

class DatabaseRead {
public:
    explicit DatabaseRead(TerminalControls& t)
        : m_t(t), m_link(t.link()),
          m_portAtStart(m_link.MSComm1.PortOpen() ? PortAtStart::Open : PortAtStart::Closed) {}

    // Everything between disabling the toolbar and the end; true when every step was answered.
    bool run() {
        SharedState& s = shared();
        if (!idAsCapModeOff())
            return false;
        for (const SettingQuery& q : SettingQueries) {
            m_t.setStatus(1, QString::fromLatin1(q.progress));
            const bool pet = QByteArrayView(q.name) == "pet";
            // An encoder without the PET option answers its query with RS.
            const ExchangeResult r = exchange(configQuery(q.name), pet ? QList<QByteArray>{EndCRLF, EndRS}
                                                                       : QList<QByteArray>{EndCRLF});
            if (pet && r.end != ExchangeResult::Aborted)
                s.Db.Settings.PETSupported = true;
            if (!answered(r, false))
                return false;
            storeSetting(q.name, r.reply, s.Db.Settings);
        }
        for (int g = 1; g <= GroupCount; ++g) {
            m_t.setStatus(1, QStringLiteral("Reading Pager Database - Group ") + QString::number(g));
            const ExchangeResult r = exchange(recordRequest('L', g), {EndCRLF});
            if (!answered(r, false))
                return false;
            StoreGroupReply(s.Db.Groups[g - 1], RecordWords(r.reply));
            m_groupsStored = g;
        }
        for (int f = 1; f <= FamilyCount; ++f) {
            m_t.setStatus(1, QStringLiteral("Reading Pager Database - Family ") + QString::number(f));
            const ExchangeResult r = exchange(recordRequest('G', f), {EndCRLF});
            if (!answered(r, false))
                return false;
            const QList<QByteArray> words = RecordWords(r.reply);
            if (f == 1 && IsOlderEncoderReply(words))
                ApplyOlderEncoderSettings(s.Db.Settings);
            StoreFamilyReply(s.Db.Families[f - 1], words);
        }
        for (int m = 1; m <= MessageCount; ++m) {
            m_t.setStatus(1, QStringLiteral("Reading Pager Database - Message ") + QString::number(m));
            const ExchangeResult r = exchange(recordRequest('M', m), {EndCRLF});
            if (!answered(r, true))
                return false;
            s.Db.Messages[m - 1] = MessageFromReply(r.reply);
        }
        if (m_modeWasOn && !idAsCapCommand(true))
            return false;

        m_t.setStatus(1, QStringLiteral("Current View Matches Encoder Configuration"));
        s.EncoderMatches = true;
        m_t.setControlEnabled(Control::cmdLookup, true);
        m_t.setControlEnabled(Control::mnuSendMsg, true);
        SetToolbarEnabled(m_t, true);
        return true;
    }

    // How many groups, from the first on, the read has stored.
    int groupsStored() const { return m_groupsStored; }

private:
    ExchangeResult exchange(const QByteArray& command, const QList<QByteArray>& terminators,
                            bool dropFirst = true) {
        return TransferExchange(m_link, m_portAtStart, command, terminators, dropFirst);
    }

    // A settings or record step: a time-out or the encoder's TAP prompt fails it with the
    // read-error box; a cancel stops the run quietly and stays set for whoever runs next.
    // False when the run has to stop.
    bool answered(const ExchangeResult& r, bool messageRecord) {
        SharedState& s = shared();
        if (r.end == ExchangeResult::Aborted) {
            putModeBack();
            return false;
        }
        if (r.end == ExchangeResult::DeviceGone || s.ReplyTimedOut ||
            HoldsTapPrompt(r.reply, messageRecord)) {
            s.ReplyTimedOut = false;
            putModeBack();
            reportReadError(m_link.MSComm1);
            m_link.Timer2.stop();
            setBusy(false);
            return false;
        }
        if (s.CancelRequested) {
            putModeBack();
            return false;
        }
        return true;
    }

    // The settings and records are read with the encoder's mode turned off: a run that stops
    // among them must not leave it so.
    void putModeBack() {
        if (m_modeWasOn)
            RestoreIdAsCapMode(m_link);
    }

    // After an ID-as-capcode command: false when the run has to stop.
    bool idAsCapAnswered(const ExchangeResult& r, bool confirmation) {
        SharedState& s = shared();
        if (r.end == ExchangeResult::Aborted || s.CancelRequested) {
            s.CancelRequested = false;
            s.ReplyTimedOut = false;
            m_link.Timer2.stop();
            return false;
        }
        s.ReplyTimedOut = false;
        if (!confirmation || r.reply.contains("IDASCAP option updated"))
            return true;
        ReportImproperIdAsCapResponse();
        frmCancelSend::unload();
        setBusy(false);
        m_t.bringToFront(Control::ImgNotConnected);
        return false;
    }

    // "CONFIG IDASCAP 0" or "1", sent without emptying the receive buffer.
    bool idAsCapCommand(bool on) { return idAsCapAnswered(exchange(idAsCapSet(on), {EndLF}, false), true); }

    // Pager IDs must not be taken as capcodes while the records are read; a time-out of the
    // query counts as the mode being off.
    bool idAsCapModeOff() {
        EncoderSettings& e = shared().Db.Settings;
        const ExchangeResult r = exchange(idAsCapQuery(), {EndLF}, false);
        if (!idAsCapAnswered(r, false))
            return false;
        m_modeWasOn = r.reply.startsWith('1');
        e.IDAsCap = m_modeWasOn;
        m_t.setCaption(Control::lblIDAsCap, m_modeWasOn ? QStringLiteral("ID As Capcode Mode is ON")
                                                        : QStringLiteral("ID As Capcode Mode is OFF"));
        return !m_modeWasOn || idAsCapCommand(false);
    }

    TerminalControls& m_t;
    Link& m_link;
    const PortAtStart m_portAtStart;
    bool m_modeWasOn = false;
    int m_groupsStored = 0;
};

} // namespace

void ReadEncoderDatabase() {
    TerminalControls* t = terminal();
    if (!t)
        return;
    ExchangeGuard guard(t->link());
    SharedState& s = shared();

    setBusy(true);
    if (!s.EncoderMatches &&
        Dialogs::message(QStringLiteral("You Have Edited the Pager Database\r"
                                        "If You Read the Encoder, You Will Lose Your Edits.\r"
                                        "Are You Sure You Want to Continue?"),
                         Buttons::YesNoCancel, Icon::Exclamation,
                         QStringLiteral("About to OverWrite Edits")) != Answer::Yes) {
        setBusy(false);
        return;
    }

    s.DatabaseBusy = true;
    s.CancelRequested = false;
    s.ReplyTimedOut = false;
    SetToolbarEnabled(*t, false);
    DatabaseRead read(*t);
    const bool complete = read.run();

    frmCancelSend::unload();
    setBusy(false);
    if (!complete)
        RestoreToolbar(*t);
    t->setControlEnabled(Control::mnuTest, true);
    EndDatabaseRun();
    // Whatever was read before a stop has been stored.
    DatabaseReplaced(read.groupsStored());
}

} // namespace qpes
