// COM numbers for serial devices: the numbering rule over stored numbers and a scripted device
// list, the by-id link that names a device, and what the settings store keeps.

#include "link/PortNumbers.h"
#include "platform/Platform.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QtTest>

using namespace qpes;
using namespace qpes::test;

Q_DECLARE_METATYPE(qpes::SerialDevice)

namespace {

using Ports = QMap<int, QString>;
using Devices = QList<SerialDevice>;

QString byId(const char* name) {
    return QStringLiteral("/dev/serial/by-id/") + QString::fromLatin1(name);
}

// A USB or ACM adapter, with its by-id link when it has one.
SerialDevice adapter(const char* node, const char* link = nullptr) {
    const QString path = QStringLiteral("/dev/") + QString::fromLatin1(node);
    return {path, link ? byId(link) : path, false};
}

SerialDevice builtIn(const char* node) {
    const QString path = QStringLiteral("/dev/") + QString::fromLatin1(node);
    return {path, path, true};
}

QStringList lines(const Ports& ports) {
    QStringList list;
    for (auto it = ports.cbegin(); it != ports.cend(); ++it)
        list << QStringLiteral("COM%1=%2").arg(it.key()).arg(it.value());
    return list;
}

void makeFile(const QString& path) {
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
}

void makeLink(const QString& target, const QString& link) {
    QVERIFY2(QFile::link(target, link), qPrintable(link));
}

} // namespace

class TestPortNumbers : public QObject {
    Q_OBJECT

private slots:
    void numbering_data() {
        QTest::addColumn<Ports>("stored");
        QTest::addColumn<Devices>("devices");
        QTest::addColumn<Ports>("added");
        const QString a = byId("usb-FTDI_A");
        const QString b = byId("usb-FTDI_B");
        row("one adapter becomes COM1", Ports{}, Devices{adapter("ttyUSB0", "usb-FTDI_A")}, Ports{{1, a}});
        row("no by-id link: the device node", Ports{}, Devices{adapter("ttyACM0")},
            Ports{{1, "/dev/ttyACM0"}});
        row("numbered at the last run", Ports{{1, a}}, Devices{adapter("ttyUSB0", "usb-FTDI_A")}, Ports{});
        row("plugged into another socket", Ports{{1, a}}, Devices{adapter("ttyUSB3", "usb-FTDI_A")}, Ports{});
        row("second adapter takes the next number", Ports{{1, a}},
            Devices{adapter("ttyUSB0", "usb-FTDI_A"), adapter("ttyUSB1", "usb-FTDI_B")}, Ports{{2, b}});
        row("absent device keeps its number", Ports{{1, a}}, Devices{adapter("ttyUSB0", "usb-FTDI_B")},
            Ports{{2, b}});
        row("hand-made node path", Ports{{3, "/dev/ttyUSB0"}},
            Devices{adapter("ttyUSB0", "usb-FTDI_A"), adapter("ttyUSB1", "usb-FTDI_B")}, Ports{{1, b}});
        row("hand-made number above eight", Ports{{12, "/dev/ttyUSB0"}}, Devices{adapter("ttyUSB0")},
            Ports{});
        row("gaps filled lowest first", Ports{{1, "/dev/ttyS0"}, {3, a}},
            Devices{adapter("ttyUSB1"), adapter("ttyUSB2")}, Ports{{2, "/dev/ttyUSB1"}, {4, "/dev/ttyUSB2"}});
        row("built-in ports by number, then adapters by name", Ports{},
            Devices{adapter("ttyUSB10"), adapter("ttyUSB2"), builtIn("ttyS10"), adapter("ttyACM0"),
                    builtIn("ttyS1")},
            Ports{{1, "/dev/ttyS1"},
                  {2, "/dev/ttyS10"},
                  {3, "/dev/ttyACM0"},
                  {4, "/dev/ttyUSB2"},
                  {5, "/dev/ttyUSB10"}});
        Devices nine;
        Ports firstEight;
        for (int i = 0; i < 9; ++i) {
            nine << adapter(qPrintable(QStringLiteral("ttyUSB%1").arg(i)));
            if (i < 8)
                firstEight.insert(i + 1, nine.last().path);
        }
        row("the ninth device gets none", Ports{}, nine, firstEight);
        Ports allTaken;
        for (int n = 1; n <= 8; ++n)
            allTaken.insert(n, QStringLiteral("/dev/ttyQ%1").arg(n));
        row("every number taken", allTaken, Devices{adapter("ttyUSB0")}, Ports{});
    }
    void numbering() {
        QFETCH(Ports, stored);
        QFETCH(Devices, devices);
        QFETCH(Ports, added);
        QCOMPARE(lines(numberNewDevices(stored, devices)), lines(added));
    }

    // The link found by what it leads to, whatever its name; a device without one is its node.
    void stableLinks() {
        QTemporaryDir dir;
        const QString dev = dir.path();
        const QString links = dev + QStringLiteral("/by-id");
        QVERIFY(QDir().mkpath(links));
        makeFile(dev + "/ttyUSB0");
        makeFile(dev + "/ttyUSB1");
        makeFile(dev + "/ttyUSB2");
        makeLink(dev + "/ttyUSB1", links + "/usb-A");
        makeLink("../ttyUSB0", links + "/usb-B");
        makeLink(dev + "/ttyUSB9", links + "/usb-C"); // a device that has gone

        QCOMPARE(stablePath(dev + "/ttyUSB0", links), links + "/usb-B");
        QCOMPARE(stablePath(dev + "/ttyUSB1", links), links + "/usb-A");
        QCOMPARE(stablePath(dev + "/ttyUSB2", links), dev + "/ttyUSB2");
        QCOMPARE(stablePath(dev + "/ttyUSB9", links), dev + "/ttyUSB9");
    }

    // New numbers are stored, stored ones are left as they are, and a stored link of the user's
    // counts as the device it leads to.
    void assignmentsStored() {
        Sandbox box;
        const QString dev = box.path("dev");
        QVERIFY(QDir().mkpath(dev));
        makeFile(dev + "/ttyUSB0");
        makeFile(dev + "/ttyUSB1");
        makeFile(dev + "/ttyACM0");
        makeLink(dev + "/ttyUSB0", dev + "/encoder");
        SettingsStore::setPortDevice(2, dev + "/encoder");
        SettingsStore::setPortDevice(5, "/dev/serial/by-id/usb-gone");
        SettingsStore::setPortDevice(12, dev + "/ttyACM0");
        const Devices devices{{dev + "/ttyUSB0", dev + "/by-id-usb-A", false},
                              {dev + "/ttyUSB1", dev + "/ttyUSB1", false},
                              {dev + "/ttyACM0", dev + "/ttyACM0", false}};
        setSerialDeviceSource([devices] { return devices; });

        for (int run = 0; run < 2; ++run) {
            assignPortNumbers();
            QCOMPARE(SettingsStore::portDevice(1), dev + "/ttyUSB1");
            QCOMPARE(SettingsStore::portDevice(2), dev + "/encoder");
            QCOMPARE(SettingsStore::portDevice(3), QString());
            QCOMPARE(SettingsStore::portDevice(5), QString("/dev/serial/by-id/usb-gone"));
            QCOMPARE(SettingsStore::portDevice(12), dev + "/ttyACM0");
        }
    }

    // A hand-made entry, as the settings store reads it, takes its number whatever its value; a
    // bare device name is the device the port opens.
    void handMadeEntries_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("com2");
        QTest::newRow("empty value") << QByteArray("COM1=") << "/dev/ttyS0";
        QTest::newRow("read as a list") << QByteArray("COM1=a,b") << "/dev/ttyS0";
        QTest::newRow("invalid value") << QByteArray("COM1=@Invalid()") << "/dev/ttyS0";
        QTest::newRow("bare device name") << QByteArray("COM1=ttyS0") << "";
    }
    void handMadeEntries() {
        QFETCH(QByteArray, line);
        QFETCH(QString, com2);
        Sandbox box;
        QFile ini(box.settingsFile());
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Ports]\n" + line + "\n");
        ini.close();
        const QVariant com1 = QSettings(box.settingsFile(), QSettings::IniFormat).value("Ports/COM1");
        setSerialDeviceSource([] { return Devices{builtIn("ttyS0")}; });

        assignPortNumbers();
        const QSettings after(box.settingsFile(), QSettings::IniFormat);
        QCOMPARE(after.value("Ports/COM1"), com1);
        QCOMPARE(SettingsStore::portDevice(2), com2);
    }
};

QTEST_MAIN(TestPortNumbers)
#include "tst_portnumbers.moc"
