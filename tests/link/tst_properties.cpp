// The port properties dialog: the port probe, the preselection from the stored settings, and
// what OK and Cancel apply and store. COM1 and COM3 are simulators' lines; every other port has
// no device.

#include "app/frmTerminal.h"
#include "link/PortNumbers.h"
#include "link/frmProperties.h"
#include "model/PagerDatabase.h"
#include "platform/Platform.h"
#include "sim/EncoderSim.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

using namespace qpes;
using namespace qpes::test;

namespace {

QStringList items(const QComboBox* box) {
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

QStringList tips(const QComboBox* box) {
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemData(i, Qt::ToolTipRole).toString();
    return list;
}

QRect twips(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

} // namespace

class TestProperties : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Sandbox> box;
    std::unique_ptr<sim::EncoderSim> com1;
    std::unique_ptr<sim::EncoderSim> com3;
    frmTerminal* main = nullptr;

    void start() {
        main = frmTerminal::load();
        QVERIFY(main);
    }
    CommControl& port() { return main->link().MSComm1; }
    QString stored(const char* key) const { return SettingsStore::get(QString::fromLatin1(key)); }
    QString tip(const char* picture) const { return main->findChild<QWidget*>(picture)->toolTip(); }
    void choose(QComboBox* combo, const QString& text) {
        const int i = combo->findText(text);
        QVERIFY2(i >= 0, qPrintable(text));
        combo->setCurrentIndex(i);
    }

private slots:
    void init() {
        box = std::make_unique<Sandbox>();
        com1 = std::make_unique<sim::EncoderSim>();
        com3 = std::make_unique<sim::EncoderSim>();
        QVERIFY(com1->isRunning() && com3->isRunning());
        SettingsStore::setPortDevice(1, com1->slavePath());
        SettingsStore::setPortDevice(3, com3->slavePath());
    }
    void cleanup() {
        box.reset(); // the windows go first, while the simulated encoders still answer
        main = nullptr;
        com1.reset();
        com3.reset();
    }

    void design() {
        start();
        frmProperties dialog(main);
        QCOMPARE(dialog.objectName(), QString("frmProperties"));
        QCOMPARE(dialog.windowTitle(), QString("COM Port Properties"));
        QCOMPARE(dialog.size(), QSize(twipsToPixels(4755), twipsToPixels(3735)));
        QCOMPARE(dialog.tabSettings->count(), 1);
        QCOMPARE(dialog.tabSettings->tabText(0), QString("Properties"));
        QCOMPARE(dialog.tabSettings->geometry(), twips(90, 105, 4605, 3585));
        QCOMPARE(dialog.fraSettings->parentWidget(), dialog.tabSettings->widget(0));
        QCOMPARE(dialog.fraSettings->geometry(), twips(0, 0, 4320, 3135));
        QCOMPARE(dialog.Label1->text(), QString("Port:"));
        QCOMPARE(dialog.Label1->geometry(), twips(330, 180, 495, 315));
        QCOMPARE(dialog.cboPort->geometry(), twips(900, 150, 1425, 315));
        QCOMPARE(dialog.cmdOK->text(), QString("OK"));
        QCOMPARE(dialog.cmdOK->geometry(), twips(3060, 720, 1095, 375));
        QCOMPARE(dialog.cmdCancel->text(), QString("Cancel"));
        QCOMPARE(dialog.cmdCancel->geometry(), twips(3060, 1080, 1095, 375));
        QCOMPARE(dialog.Frame1->title(), QString("Baud Rate"));
        QCOMPARE(dialog.Frame1->geometry(), twips(180, 630, 2340, 870));
        QCOMPARE(dialog.cboSpeed->parentWidget(), dialog.Frame1);
        QCOMPARE(dialog.cboSpeed->geometry(), twips(375, 330, 1695, 315));
        QCOMPARE(dialog.fraConnection->title(), QString("Connection Preferences"));
        QCOMPARE(dialog.fraConnection->geometry(), twips(180, 1635, 2325, 1290));
        QCOMPARE(dialog.Label3->text(), QString("Data Bits:"));
        QCOMPARE(dialog.Label3->geometry(), twips(180, 375, 825, 285));
        QCOMPARE(dialog.cboDataBits->parentWidget(), dialog.fraConnection);
        QCOMPARE(dialog.cboDataBits->geometry(), twips(1050, 330, 1140, 315));
        QCOMPARE(dialog.Label4->text(), QString("Parity:"));
        QCOMPARE(dialog.Label4->geometry(), twips(180, 855, 615, 285));
        QCOMPARE(dialog.cboParity->geometry(), twips(1050, 810, 1140, 315));

        QCOMPARE(items(dialog.cboSpeed), (QStringList{"300", "1200", "2400", "9600"}));
        QCOMPARE(items(dialog.cboDataBits), (QStringList{"7", "8"}));
        QCOMPARE(items(dialog.cboParity), (QStringList{"Even", "Odd", "None"}));
    }

    void offersOnlyThePortsThatOpen() {
        // COM8 is the last port offered; COM9 is never looked at.
        SettingsStore::setPortDevice(8, com3->slavePath());
        SettingsStore::setPortDevice(9, com3->slavePath());
        start();
        frmProperties dialog(main);
        QCOMPARE(items(dialog.cboPort), (QStringList{"Com1", "Com3", "Com8"}));
        QCOMPARE(tips(dialog.cboPort),
                 (QStringList{com1->slavePath(), com3->slavePath(), com3->slavePath()}));
        QCOMPARE(dialog.cboPort->currentIndex(), 0);
        QCOMPARE(dialog.cboPort->currentText(), QString("Com1"));
        // The probe is undone and reported nowhere.
        QCOMPARE(port().CommPort(), 1);
        QVERIFY(!port().PortOpen());
        QVERIFY(!port().hasError());
        QCOMPARE(box->script.boxes.size(), 0);
    }

    // Adapters without a number get the lowest free ones at start-up and when the list is
    // filled, stored by their by-id links, through which they open.
    void adaptersGetNumbers() {
        QSettings(box->settingsFile(), QSettings::IniFormat).remove("Ports"); // no number taken
        const QString links = box->path("by-id");
        QVERIFY(QDir().mkpath(links));
        QVERIFY(QFile::link(com1->slavePath(), links + "/usb-FTDI_A"));
        QVERIFY(QFile::link(com3->slavePath(), links + "/usb-FTDI_B"));
        const SerialDevice a{com1->slavePath(), stablePath(com1->slavePath(), links), false};
        const SerialDevice b{com3->slavePath(), stablePath(com3->slavePath(), links), false};
        setSerialDeviceSource([a] { return QList<SerialDevice>{a}; });

        start();
        QCOMPARE(SettingsStore::portDevice(1), links + "/usb-FTDI_A");
        setSerialDeviceSource([a, b] { return QList<SerialDevice>{a, b}; }); // b plugged in
        frmProperties dialog(main);
        QCOMPARE(items(dialog.cboPort), (QStringList{"Com1", "Com2"}));
        QCOMPARE(tips(dialog.cboPort), (QStringList{links + "/usb-FTDI_A", links + "/usb-FTDI_B"}));
        QCOMPARE(SettingsStore::portDevice(2), links + "/usb-FTDI_B");
        QCOMPARE(box->script.boxes.size(), 0);
    }

    void loadingClosesAnOpenPort() {
        start();
        SettingsStore::setPortDevice(1, QString()); // COM1 gone; COM3 in use
        QVERIFY(port().setCommPort(3));
        main->setChecked(Control::mnuOpen, true);
        QVERIFY(port().setPortOpen(true));
        frmProperties dialog(main);
        QVERIFY(!port().PortOpen());
        QVERIFY(!main->action(Control::mnuOpen)->isChecked());
        // Closed before the probe, so each number is tried on its own device, quietly.
        QCOMPARE(items(dialog.cboPort), QStringList{"Com3"});
        QVERIFY(!port().hasError());
        QCOMPARE(box->script.boxes.size(), 0);
    }

    void anotherPortChanged() {
        start();
        main->setControlEnabled(Control::mnuReadDB, true);
        main->setControlEnabled(Control::mnuWriteDB, true);
        frmProperties dialog(main);
        choose(dialog.cboPort, "Com3");
        dialog.cmdOK_Click();

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(box->script.boxes.size(), 0);
        QCOMPARE(port().CommPort(), 3);
        QCOMPARE(shared().CommPortNumber, 3);
        QCOMPARE(stored("CommPort"), QString("3"));
        QCOMPARE(stored("Settings"), QString("9600,n,8,1"));
        QCOMPARE(main->caption(Control::cmdComStatus), QString("Open COM 3"));
        QCOMPARE(tip("ImgNotConnected"), QString(" Enable COM 3 "));
        QCOMPARE(tip("ImgConnected"), QString(" Disable COM 3 "));
        QVERIFY(!main->controlEnabled(Control::mnuReadDB));
        QVERIFY(!main->controlEnabled(Control::mnuWriteDB));
        QVERIFY(!port().PortOpen());
    }

    void samePortTouchesNoCaption() {
        start();
        main->setCaption(Control::cmdComStatus, "unchanged");
        main->setControlEnabled(Control::mnuReadDB, true);
        main->setControlEnabled(Control::mnuWriteDB, true);
        SettingsStore::set("CommPort", "");
        frmProperties dialog(main);
        choose(dialog.cboSpeed, "1200");
        dialog.cmdOK_Click();

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(main->caption(Control::cmdComStatus), QString("unchanged"));
        QCOMPARE(tip("ImgNotConnected"), QString(" Enable COM 1 "));
        QVERIFY(main->controlEnabled(Control::mnuReadDB));
        QVERIFY(main->controlEnabled(Control::mnuWriteDB));
        QCOMPARE(stored("CommPort"), QString("1"));
        QCOMPARE(stored("Settings"), QString("1200,n,8,1"));
    }

    void settingsString_data() {
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("dataBits");
        QTest::addColumn<QString>("parity");
        QTest::addColumn<QString>("settings");
        QTest::newRow("2400 7 Even") << "2400"
                                     << "7"
                                     << "Even"
                                     << "2400,e,7,1";
        QTest::newRow("1200 8 Odd") << "1200"
                                    << "8"
                                    << "Odd"
                                    << "1200,o,8,1";
        QTest::newRow("300 8 None") << "300"
                                    << "8"
                                    << "None"
                                    << "300,n,8,1";
        QTest::newRow("typed 19200") << " 19200 "
                                     << "8"
                                     << "None"
                                     << "19200,n,8,1";
        // Enter in the speed box presses OK.
        QTest::newRow("typed 4800, Enter") << "4800"
                                           << "7"
                                           << "Even"
                                           << "4800,e,7,1";
    }
    // The dialog writes the parity's capital initial; the port reports it in lower case, and
    // that form is stored.
    void settingsString() {
        QFETCH(QString, speed);
        QFETCH(QString, dataBits);
        QFETCH(QString, parity);
        QFETCH(QString, settings);
        start();
        frmProperties dialog(main);
        dialog.cboSpeed->setEditText(speed);
        choose(dialog.cboDataBits, dataBits);
        choose(dialog.cboParity, parity);
        if (QByteArray(QTest::currentDataTag()).endsWith("Enter")) {
            // OK is the default of its own, not by being the first button the focus reaches.
            QVERIFY(dialog.cmdOK->isDefault());
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            QTest::keyClick(dialog.cboSpeed, Qt::Key_Return);
        } else {
            dialog.cmdOK_Click();
        }

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(port().Settings(), settings);
        QCOMPARE(stored("Settings"), settings);
        QCOMPARE(stored("CommPort"), QString("1"));
    }

    void preselection_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("parity");
        QTest::addColumn<QString>("dataBits");
        QTest::newRow("1200,o,8,1") << "1200,o,8,1"
                                    << "1200"
                                    << "Odd"
                                    << "8";
        QTest::newRow("9600,n,8,1") << "9600,n,8,1"
                                    << "9600"
                                    << "None"
                                    << "8";
        QTest::newRow("2400,e,7,1") << "2400,e,7,1"
                                    << "2400"
                                    << "Even"
                                    << "7";
        QTest::newRow("capital letter") << "2400,E,7,1"
                                        << "2400"
                                        << "Even"
                                        << "7";
        QTest::newRow("1.5 stop bits") << "9600,n,8,1.5"
                                       << "9600"
                                       << "None"
                                       << "8";
        QTest::newRow("2 stop bits") << "1200,o,7,2"
                                     << "1200"
                                     << "Odd"
                                     << "7";
        QTest::newRow("speed not listed") << "19200,n,8,1"
                                          << "19200"
                                          << "None"
                                          << "8";
        QTest::newRow("mark parity") << "9600,m,8,1"
                                     << "9600"
                                     << ""
                                     << "8";
        QTest::newRow("space parity") << "9600,s,8,1"
                                      << "9600"
                                      << ""
                                      << "8";
        QTest::newRow("five data bits") << "9600,n,5,1"
                                        << "9600"
                                        << "None"
                                        << "5";
        // Too short for the speed, or for the parity too.
        QTest::newRow("no speed") << "n,8,1"
                                  << ""
                                  << "None"
                                  << "8";
        QTest::newRow("no speed, 1.5 stop bits") << "n,8,1.5"
                                                 << ""
                                                 << "None"
                                                 << "8";
        QTest::newRow("data and stop bits only") << "8,1"
                                                 << ""
                                                 << ""
                                                 << "8";
        QTest::newRow("nothing stored") << ""
                                        << ""
                                        << ""
                                        << "";
    }
    void preselection() {
        QFETCH(QString, stored);
        QFETCH(QString, speed);
        QFETCH(QString, parity);
        QFETCH(QString, dataBits);
        start();
        SettingsStore::set("Settings", stored);
        frmProperties dialog(main);
        // A listed value is selected in its list.
        for (const auto& [combo, text] :
             {std::pair{dialog.cboSpeed, speed}, std::pair{dialog.cboParity, parity},
              std::pair{dialog.cboDataBits, dataBits}}) {
            QCOMPARE(combo->currentText(), text);
            QCOMPARE(combo->currentIndex(), combo->findText(text));
        }
    }

    // A port number below 1 becomes 1 and is stored at once, Cancel or not; port 1 stores nothing.
    void portNumberBelowOne_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("0 becomes 1") << 0 << "1";
        QTest::newRow("1 stays unstored") << 1 << "";
    }
    void portNumberBelowOne() {
        QFETCH(int, number);
        QFETCH(QString, storedAfter);
        start();
        SettingsStore::set("CommPort", "");
        shared().CommPortNumber = number;
        frmProperties dialog(main);
        QCOMPARE(shared().CommPortNumber, 1);
        QCOMPARE(port().CommPort(), 1);
        QCOMPARE(stored("CommPort"), storedAfter);
        QCOMPARE(dialog.cboPort->currentText(), QString("Com1"));
        dialog.cmdCancel_Click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(stored("CommPort"), storedAfter);
    }

    void cancelChangesNothing() {
        SettingsStore::set("Settings", "2400,e,7,1");
        SettingsStore::set("CommPort", "3");
        start();
        frmProperties dialog(main);
        QCOMPARE(dialog.cboPort->currentText(), QString("Com3"));
        choose(dialog.cboPort, "Com1");
        choose(dialog.cboSpeed, "300");
        choose(dialog.cboDataBits, "8");
        choose(dialog.cboParity, "Odd");
        dialog.cmdCancel_Click();

        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(port().CommPort(), 3);
        QCOMPARE(port().Settings(), QString("2400,e,7,1"));
        QCOMPARE(shared().CommPortNumber, 3);
        QCOMPARE(stored("Settings"), QString("2400,e,7,1"));
        QCOMPARE(stored("CommPort"), QString("3"));
        QCOMPARE(main->caption(Control::cmdComStatus), QString("Open COM 3"));
        QVERIFY(!port().PortOpen());
        QCOMPARE(box->script.boxes.size(), 0);
    }

    void refusals_data() {
        QTest::addColumn<QString>("portText");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<int>("portAfter");
        QTest::newRow("no port named") << ""
                                       << "9600" << 1;
        QTest::newRow("port number refused") << "Com99"
                                             << "9600" << 1;
        QTest::newRow("speed refused") << "Com1"
                                       << "fast" << 1;
        // The new number stays applied when only the settings are refused.
        QTest::newRow("new port, speed refused") << "Com3"
                                                 << "fast" << 3;
    }
    // A refusal is shown in the failure box and the dialog stays open with nothing stored.
    void refusals() {
        QFETCH(QString, portText);
        QFETCH(QString, speed);
        QFETCH(int, portAfter);
        start();
        frmProperties dialog(main);
        dialog.setResult(-1);
        dialog.cboPort->setEditText(portText);
        dialog.cboSpeed->setEditText(speed);
        dialog.cmdOK_Click();

        QCOMPARE(dialog.result(), -1);
        QCOMPARE(box->script.boxes.size(), 1);
        const BoxRecord& b = box->script.boxes[0];
        QCOMPARE(b.title, QString("Quillmar Paging Encoder Setup"));
        QCOMPARE(b.icon, Icon::Exclamation);
        QVERIFY(!b.text.isEmpty());
        QVERIFY(!port().hasError());
        QCOMPARE(port().CommPort(), portAfter);
        QCOMPARE(shared().CommPortNumber, portAfter);
        QCOMPARE(port().Settings(), QString("9600,n,8,1"));
        QCOMPARE(stored("CommPort"), QString("1"));
        QCOMPARE(stored("Settings"), QString("9600,n,8,1"));
        QVERIFY(!isBusy());
    }
};

QTEST_MAIN(TestProperties)
#include "tst_properties.moc"
