#include "settings/frmSettings.h"

#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "platform/TerminalControls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace qpes {

namespace {

template <typename W> W* control(const char* name, const char* caption, QWidget* parent) {
    auto* w = new W(QString::fromLatin1(caption), parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QCheckBox* checkBox(const char* name, const char* caption, const char* tip, QGroupBox* frame, int top,
                    int width) {
    auto* box = control<QCheckBox>(name, caption, frame);
    if (tip)
        box->setToolTip(QString::fromLatin1(tip));
    setTwipsGeometry(box, 120, top, width, 255);
    return box;
}

QGroupBox* frame(const char* name, const char* caption, QWidget* parent, int left, int top, int height) {
    auto* f = control<QGroupBox>(name, caption, parent);
    setTwipsGeometry(f, left, top, 3975, height);
    return f;
}

QRadioButton* option(const char* name, const char* caption, QGroupBox* frame, int top, int width) {
    auto* o = control<QRadioButton>(name, caption, frame);
    setTwipsGeometry(o, 120, top, width, 375);
    return o;
}

void showMode(const char* caption) {
    if (TerminalControls* t = terminal())
        t->setCaption(Control::lblIDAsCap, QString::fromLatin1(caption));
}

void invalidValuesBox() {
    Dialogs::message(QStringLiteral("Please Enter Numerical Values For\rDuty Cycle And Batch Quantity"),
                     Buttons::Ok, Icon::Exclamation, QStringLiteral("Invalid Values Detected"));
}

} // namespace

frmSettings::frmSettings(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral(" Encoder Advanced Settings"));
    setFixedSize(twipsToPixels(8340), twipsToPixels(3900));

    Frame3 = frame("Frame3", "Default Active Options", this, 120, 120, 1455);
    chkCarrierDetect =
        checkBox("chkCarrierDetect", "Enable Carrier Signal Detection",
                 " Toggles Detection of Clear Radio Channel Before Transmitting ", Frame3, 360, 3105);
    chkPPHReset = checkBox("chkPPHReset", "Enable Serial Port Timer Reset",
                           "Toggles timer being able to be reset by serial port activity", Frame3, 720, 2985);
    chkNAKBeforeFlow =
        checkBox("chkNAKBeforeFlow", "Flow Control Before Serial Response",
                 "Toggles busy terminal flow control signalling using CTS/XOFF or serial port response codes",
                 Frame3, 1080, 3465);

    Frame4 = frame("Frame4", "Non-Standard Options", this, 4200, 120, 1455);
    chkIDAsCap = checkBox("chkIDAsCap", "Assume Pager ID is Capcode",
                          "Toggles use of ID as capcode, bypassing pager database", Frame4, 360, 2985);
    chkBriefACK = checkBox("chkBriefACK", "TAP Msg Response = <CR><ACK><CR>",
                           "Toggles non-verbose response of either 211<CR><ACK><CR> or <CR><ACK><CR>.  "
                           "Comdial requires just <CR><ACK><CR>",
                           Frame4, 720, 3825);
    chkPET = checkBox("chkPET", "PET Protocol Support (in TAP mode)", nullptr, Frame4, 1080, 3705);

    Frame1 = frame("Frame1", "Carrier Detect Polarity", this, 120, 1680, 1095);
    optCDPolarity[0] = option("optCDPolarity", "0V = Carrier Detected (Default)", Frame1, 240, 3000);
    optCDPolarity[1] = option("optCDPolarity", "5V = Carrier Detected", Frame1, 600, 2655);
    Frame2 = frame("Frame2", "Data Encoding Polarity", this, 4200, 1680, 1095);
    optDataPolarity[0] = option("optDataPolarity", "Normal (Default)", Frame2, 240, 2655);
    optDataPolarity[1] = option("optDataPolarity", "Inverted", Frame2, 600, 2655);

    txDutyCycle = control<QLineEdit>("txDutyCycle", DefaultDutyCycle, this);
    setTwipsGeometry(txDutyCycle, 120, 2880, 735, 285);
    Label2 = control<QLabel>("Label2", "Transmitter Duty Cycle %", this);
    setTwipsGeometry(Label2, 960, 2895, 3015, 255);
    txtBatchQty = control<QLineEdit>("txtBatchQty", DefaultMaxBatch, this);
    setTwipsGeometry(txtBatchQty, 4200, 2880, 735, 285);
    Label1 = control<QLabel>("Label1", "Max Msgs per Batch (1 to 32)", this);
    setTwipsGeometry(Label1, 5040, 2895, 3015, 255);

    cmdResetDefaults = control<QPushButton>("cmdResetDefaults", "Restore Defaults", this);
    setTwipsGeometry(cmdResetDefaults, 1200, 3360, 1335, 375);
    cmdOK = control<QPushButton>("cmdOK", "OK", this);
    setTwipsGeometry(cmdOK, 3600, 3360, 1095, 375);
    cmdOK->setDefault(true);

    const std::pair<QCheckBox*, SettingsSwitch> boxes[] = {
        {chkCarrierDetect, SettingsSwitch::CarrierDetect}, {chkPPHReset, SettingsSwitch::PPHReset},
        {chkNAKBeforeFlow, SettingsSwitch::NAKBeforeFlow}, {chkIDAsCap, SettingsSwitch::IDAsCap},
        {chkBriefACK, SettingsSwitch::BriefACK},           {chkPET, SettingsSwitch::PET}};
    for (const auto& [box, which] : boxes)
        connect(box, &QCheckBox::toggled, this,
                [this, which](bool checked) { switch_Click(which, checked); });
    // Both buttons of a pair report a change; only the one that became selected counts.
    for (int i = 0; i < 2; ++i) {
        connect(optCDPolarity[i], &QRadioButton::toggled, this, [this, i](bool selected) {
            if (selected)
                switch_Click(SettingsSwitch::CDPolarity, i == 1);
        });
        connect(optDataPolarity[i], &QRadioButton::toggled, this, [this, i](bool selected) {
            if (selected)
                switch_Click(SettingsSwitch::DataPolarity, i == 1);
        });
    }
    connect(txDutyCycle, &QLineEdit::textChanged, this,
            [this](const QString& text) { text_Change(&EncoderSettings::DutyCycle, text); });
    connect(txtBatchQty, &QLineEdit::textChanged, this,
            [this](const QString& text) { text_Change(&EncoderSettings::MaxBatch, text); });
    connect(cmdResetDefaults, &QPushButton::clicked, this, &frmSettings::cmdResetDefaults_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmSettings::cmdOK_Click);

    Form_Load();
}

void frmSettings::setSwitch(SettingsSwitch control, bool state) {
    switch (control) {
    case SettingsSwitch::CarrierDetect:
        return chkCarrierDetect->setChecked(state);
    case SettingsSwitch::PPHReset:
        return chkPPHReset->setChecked(state);
    case SettingsSwitch::NAKBeforeFlow:
        return chkNAKBeforeFlow->setChecked(state);
    case SettingsSwitch::IDAsCap:
        return chkIDAsCap->setChecked(state);
    case SettingsSwitch::BriefACK:
        return chkBriefACK->setChecked(state);
    case SettingsSwitch::PET:
        return chkPET->setChecked(state);
    case SettingsSwitch::CDPolarity:
        return optCDPolarity[state ? 1 : 0]->setChecked(true);
    case SettingsSwitch::DataPolarity:
        return optDataPolarity[state ? 1 : 0]->setChecked(true);
    }
}

// Fills the controls without giving any notice; the two empty number settings get their
// defaults on the way.
void frmSettings::Form_Load() {
    SharedState& s = shared();
    EncoderSettings& e = s.Db.Settings;
    s.FormLoading = true;
    centreOnScreen(this);
    if (e.DutyCycle.isEmpty())
        e.DutyCycle = DefaultDutyCycle;
    txDutyCycle->setText(QString::fromLatin1(e.DutyCycle));
    if (e.MaxBatch.isEmpty())
        e.MaxBatch = DefaultMaxBatch;
    txtBatchQty->setText(QString::fromLatin1(e.MaxBatch));
    for (const SwitchDefault& d : DefaultSwitches) // every two-state control once
        setSwitch(d.control, switchState(e, d.control));
    // An encoder without the PET option shows the box off and locked, its setting untouched.
    if (!e.PETSupported)
        chkPET->setChecked(false);
    chkPET->setEnabled(e.PETSupported);
    s.FormLoading = false;
}

void frmSettings::switch_Click(SettingsSwitch control, bool state) {
    if (shared().FormLoading)
        return;
    storeSwitch(shared().Db.Settings, control, state);
    if (control == SettingsSwitch::IDAsCap) {
        showMode(state ? "ID As Capcode Mode is ON" : "ID As Capcode Mode is OFF");
    } else if (control == SettingsSwitch::BriefACK) {
        showMode(state ? "Brief ACK Mode is ON" : "Brief ACK Mode is OFF");
        if (state)
            Dialogs::message(QStringLiteral("This mode was developed for Comdial equipment compatibility\r"
                                            "To ensure this mode operates properly, do the following:\r"
                                            "1) Program the encoder\r"
                                            "2) Set DIP switch #8 to the OFF position and cycle power"),
                             Buttons::Ok, Icon::None, QStringLiteral("Brief ACK Mode"));
    }
    MarkConfigurationModified();
}

void frmSettings::text_Change(QByteArray EncoderSettings::*setting, const QString& text) {
    QByteArray& value = shared().Db.Settings.*setting;
    const QByteArray typed = text.toLatin1();
    if (shared().FormLoading || typed == value)
        return;
    value = typed;
    MarkConfigurationModified();
}

// Each control's own handler stores its default and gives the notice when it really changes.
void frmSettings::cmdResetDefaults_Click() {
    EncoderSettings& e = shared().Db.Settings;
    for (const SwitchDefault& d : DefaultSwitches)
        setSwitch(d.control, d.state);
    // A locked PET box stays unchecked and so cannot clear the setting itself.
    if (e.PETEnabled) {
        e.PETEnabled = false;
        MarkConfigurationModified();
    }
    txDutyCycle->setText(QString::fromLatin1(DefaultDutyCycle));
    txtBatchQty->setText(QString::fromLatin1(DefaultMaxBatch));
}

bool frmSettings::entriesAccepted() {
    const QByteArray dutyCycle = txDutyCycle->text().toLatin1();
    const QByteArray maxBatch = txtBatchQty->text().toLatin1();
    switch (checkEntries(dutyCycle, maxBatch)) {
    case EntryFault::Empty:
        invalidValuesBox();
        txDutyCycle->clear();
        txtBatchQty->clear();
        return false;
    case EntryFault::DutyCycle:
        invalidValuesBox();
        txDutyCycle->clear();
        return false;
    case EntryFault::MaxBatch:
        invalidValuesBox();
        txtBatchQty->clear();
        return false;
    case EntryFault::None:
        break;
    }
    if (batchOverLimit(dutyCycle, maxBatch)) {
        txtBatchQty->setText(QString::number(BatchLimit));
        Dialogs::message(QStringLiteral("When Duty Cycle Management Mode is Active\r"
                                        "The Max Msgs per Batch Cannot be Greater Than 32\r\r"
                                        "Max Msgs per Batch will be Changed to 32"),
                         Buttons::Ok, Icon::Exclamation, QStringLiteral("Max Msgs per Batch Too High"));
    }
    return true;
}

void frmSettings::cmdOK_Click() {
    if (entriesAccepted())
        accept();
}

void frmSettings::reject() {
    cmdOK_Click();
}

} // namespace qpes
