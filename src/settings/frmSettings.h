#pragma once
// The advanced settings dialog: every change of a control goes straight into the shared encoder
// settings and marks the configuration modified. OK, the close box and Esc check the two number
// boxes and apply the batch limit before the dialog may close.

#include "settings/AdvancedSettings.h"

#include <QDialog>

class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qpes {

class frmSettings : public QDialog {
    Q_OBJECT
public:
    // Builds the dialog and fills it from the shared settings; the caller shows it modally.
    explicit frmSettings(QWidget* parent = nullptr);

    void cmdResetDefaults_Click();
    void cmdOK_Click();
    // The close box and Esc: closing is OK, so nothing unchecked is left behind.
    void reject() override;

    QGroupBox* Frame3;
    QCheckBox* chkCarrierDetect;
    QCheckBox* chkPPHReset;
    QCheckBox* chkNAKBeforeFlow;
    QGroupBox* Frame4;
    QCheckBox* chkIDAsCap;
    QCheckBox* chkBriefACK;
    QCheckBox* chkPET;
    QGroupBox* Frame1;
    QRadioButton* optCDPolarity[2];
    QGroupBox* Frame2;
    QRadioButton* optDataPolarity[2];
    QLineEdit* txDutyCycle;
    QLabel* Label2;
    QLineEdit* txtBatchQty;
    QLabel* Label1;
    QPushButton* cmdResetDefaults;
    QPushButton* cmdOK;

private:
    void Form_Load();
    // The control's state as the dialog shows it: checked, or option 1 selected.
    void setSwitch(SettingsSwitch control, bool state);
    void switch_Click(SettingsSwitch control, bool state);
    void text_Change(QByteArray EncoderSettings::*setting, const QString& text);
    bool entriesAccepted();
};

} // namespace qpes
