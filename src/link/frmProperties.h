#pragma once
// The port properties dialog: port, speed, data bits and parity. It offers only the ports that
// open at the moment it loads, and keeps the port closed while it is up.

#include <QDialog>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace qpes {

class frmProperties : public QDialog {
    Q_OBJECT
public:
    // Builds and loads the dialog (the port probe included); the caller shows it modally.
    explicit frmProperties(QWidget* parent = nullptr);

    // Applies the choice to the port and stores it; on a refusal the dialog stays open.
    void cmdOK_Click();
    void cmdCancel_Click();

    QTabWidget* tabSettings;
    QFrame* fraSettings;
    QLabel* Label1;
    QComboBox* cboPort;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QGroupBox* Frame1;
    QComboBox* cboSpeed;
    QGroupBox* fraConnection;
    QLabel* Label3;
    QComboBox* cboDataBits;
    QLabel* Label4;
    QComboBox* cboParity;

private:
    void Form_Load();
    void LoadPortProperties();
};

} // namespace qpes
