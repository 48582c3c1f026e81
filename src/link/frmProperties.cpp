#include "link/frmProperties.h"

#include "link/Link.h"
#include "link/PortNumbers.h"
#include "model/PagerDatabase.h"
#include "model/Text.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "platform/TerminalControls.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

namespace qpes {

namespace {

QComboBox* comboBox(const char* name, bool editable, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(editable);
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

QLabel* label(const char* name, const char* text, QWidget* parent) {
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

// Shows `text` in the box, selecting the entry that has it when there is one.
void setBoxText(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    if (index >= 0)
        box->setCurrentIndex(index);
    else
        box->setEditText(text);
}

// A stored settings string read from its right-hand end: speed, parity letter, data bits. A part
// that the string is too short to hold is left out.
struct StoredSettings {
    std::optional<QString> speed;
    std::optional<QChar> parity;
    std::optional<QChar> dataBits;
};

StoredSettings splitStoredSettings(const QString& s) {
    const int length = int(s.size());
    const int k = s.contains(QLatin1Char('.')) ? 2 : 0; // a stop-bits field of 1.5
    StoredSettings parts;
    if (length - 6 - k >= 0)
        parts.speed = s.left(length - 6 - k);
    // Positions counted from 1.
    if (const int at = length - 4 - k; at >= 1)
        parts.parity = s.at(at - 1);
    if (const int at = length - 2 - k; at >= 1)
        parts.dataBits = s.at(at - 1);
    return parts;
}

// The parity entry a stored letter names, or -1. The port reports its letter in lower case
// while this dialog builds the string with a capital, so case does not matter here.
int parityIndex(QChar letter) {
    switch (letter.toLower().unicode()) {
    case 'e':
        return 0;
    case 'o':
        return 1;
    case 'n':
        return 2;
    default:
        return -1;
    }
}

} // namespace

frmProperties::frmProperties(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral("COM Port Properties"));
    // The client area; with the window's frame the dialog is 4845 twips wide.
    setFixedSize(twipsToPixels(4755), twipsToPixels(3735));

    tabSettings = new QTabWidget(this);
    tabSettings->setObjectName(QStringLiteral("tabSettings"));
    setTwipsGeometry(tabSettings, 90, 105, 4605, 3585);
    auto* page = new QWidget;
    tabSettings->addTab(page, QStringLiteral("Properties"));

    // The frame sits at the top left of the tab's client area and keeps its own size.
    fraSettings = new QFrame(page);
    fraSettings->setObjectName(QStringLiteral("fraSettings"));
    setTwipsGeometry(fraSettings, 0, 0, 4320, 3135);

    Label1 = label("Label1", "Port:", fraSettings);
    setTwipsGeometry(Label1, 330, 180, 495, 315);
    cboPort = comboBox("cboPort", true, fraSettings);
    setTwipsGeometry(cboPort, 900, 150, 1425, 315);

    cmdOK = new QPushButton(QStringLiteral("OK"), fraSettings);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true); // Enter presses it from any box
    setTwipsGeometry(cmdOK, 3060, 720, 1095, 375);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), fraSettings);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    setTwipsGeometry(cmdCancel, 3060, 1080, 1095, 375);

    Frame1 = new QGroupBox(QStringLiteral("Baud Rate"), fraSettings);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    setTwipsGeometry(Frame1, 180, 630, 2340, 870);
    cboSpeed = comboBox("cboSpeed", true, Frame1);
    setTwipsGeometry(cboSpeed, 375, 330, 1695, 315);

    fraConnection = new QGroupBox(QStringLiteral("Connection Preferences"), fraSettings);
    fraConnection->setObjectName(QStringLiteral("fraConnection"));
    setTwipsGeometry(fraConnection, 180, 1635, 2325, 1290);
    Label3 = label("Label3", "Data Bits:", fraConnection);
    setTwipsGeometry(Label3, 180, 375, 825, 285);
    cboDataBits = comboBox("cboDataBits", true, fraConnection);
    setTwipsGeometry(cboDataBits, 1050, 330, 1140, 315);
    Label4 = label("Label4", "Parity:", fraConnection);
    setTwipsGeometry(Label4, 180, 855, 615, 285);
    cboParity = comboBox("cboParity", false, fraConnection);
    setTwipsGeometry(cboParity, 1050, 810, 1140, 315);

    connect(cmdOK, &QPushButton::clicked, this, &frmProperties::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmProperties::cmdCancel_Click);

    Form_Load();
}

void frmProperties::Form_Load() {
    centreOnScreen(this);
    LoadPortProperties();
}

void frmProperties::LoadPortProperties() {
    TerminalControls* t = terminal();
    if (!t)
        return;
    CommControl& port = t->link().MSComm1;
    SharedState& s = shared();

    port.setPortOpen(false);
    // The port stays closed while the dialog is up; the port item never carries a check mark.
    t->setChecked(Control::mnuOpen, false);

    // Only the ports that open now are offered, a device plugged in since the start included;
    // each tells its device in its tooltip.
    assignPortNumbers();
    for (int n = 1; n <= HighestNumberedPort; ++n) {
        port.setCommPort(n);
        if (!port.setPortOpen(true)) {
            port.clearError();
            continue;
        }
        port.setPortOpen(false);
        cboPort->addItem(QStringLiteral("Com") + QString::number(n));
        cboPort->setItemData(cboPort->count() - 1, SettingsStore::portDevice(n), Qt::ToolTipRole);
    }
    port.setPortOpen(false);

    cboSpeed->addItems(
        {QStringLiteral("300"), QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("9600")});
    cboDataBits->addItems({QStringLiteral("7"), QStringLiteral("8")});
    cboParity->addItems({QStringLiteral("Even"), QStringLiteral("Odd"), QStringLiteral("None")});
    for (QComboBox* box : {cboPort, cboSpeed, cboDataBits, cboParity})
        box->setCurrentIndex(-1);

    const StoredSettings stored = splitStoredSettings(SettingsStore::get(QStringLiteral("Settings")));
    if (stored.speed)
        setBoxText(cboSpeed, *stored.speed);
    if (stored.parity)
        cboParity->setCurrentIndex(parityIndex(*stored.parity));
    if (stored.dataBits)
        setBoxText(cboDataBits, QString(*stored.dataBits));

    if (s.CommPortNumber < 1) {
        s.CommPortNumber = 1;
        port.setCommPort(1);
        SettingsStore::set(QStringLiteral("CommPort"), QString::number(port.CommPort()));
    } else {
        // Back to the port in use before the probe.
        port.setCommPort(s.CommPortNumber);
    }
    port.clearError();
    setBoxText(cboPort, QStringLiteral("Com") + QString::number(port.CommPort()));
}

void frmProperties::cmdOK_Click() {
    TerminalControls* t = terminal();
    if (!t)
        return;
    CommControl& port = t->link().MSComm1;
    SharedState& s = shared();

    const int oldPort = port.CommPort();
    // A text that names no number asks for port 0, which the port refuses.
    const int newPort = toInt16(cboPort->currentText().mid(3).toLatin1()).value_or(0);
    if (newPort != oldPort) {
        if (port.setCommPort(newPort)) {
            const QString n = QString::number(port.CommPort());
            t->setCaption(Control::cmdComStatus, QStringLiteral("Open COM ") + n);
            t->setControlToolTip(Control::ImgNotConnected,
                                 QStringLiteral(" Enable COM ") + n + QStringLiteral(" "));
            t->setControlToolTip(Control::ImgConnected,
                                 QStringLiteral(" Disable COM ") + n + QStringLiteral(" "));
            t->setControlEnabled(Control::mnuReadDB, false);
            t->setControlEnabled(Control::mnuWriteDB, false);
        }
        s.CommPortNumber = port.CommPort();
        if (port.hasError()) {
            Dialogs::failure(port.errorDescription());
            port.clearError();
            port.setCommPort(oldPort);
            setBusy(false);
            return;
        }
    }

    const QString settings = cboSpeed->currentText().trimmed() + QLatin1Char(',') +
                             cboParity->currentText().left(1) + QLatin1Char(',') +
                             cboDataBits->currentText().trimmed() + QStringLiteral(",1");
    if (!port.setSettings(settings)) {
        Dialogs::failure(port.errorDescription());
        port.clearError();
        return;
    }

    SettingsStore::set(QStringLiteral("Settings"), port.Settings());
    SettingsStore::set(QStringLiteral("CommPort"), QString::number(port.CommPort()));
    accept();
}

void frmProperties::cmdCancel_Click() {
    reject();
}

} // namespace qpes
