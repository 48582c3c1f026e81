// Runs that do not end by themselves: the device lost under a read or a programming run, the
// port command or Properties used while the encoder is being talked to, and the encoder's
// ID-as-capcode mode after a run that turned it off and stopped.

#include "app/frmTerminal.h"
#include "link/Lookup.h"
#include "link/ProgramDatabase.h"
#include "link/ReadDatabase.h"
#include "link/frmCancelSend.h"
#include "link/frmProperties.h"
#include "model/PagerDatabase.h"
#include "platform/Platform.h"
#include "sim/EncoderSim.h"
#include "support/TestSupport.h"
#include "support/WhenReceived.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QtTest>
#include <functional>

using namespace qpes;
using namespace qpes::test;

namespace {

QByteArray readBlock(const QByteArray& request) {
    return sim::tapBlock(sim::DatabaseReadId, request);
}
QByteArray writeBlock(const QByteArray& record) {
    return sim::tapBlock(sim::DatabaseWriteId, record);
}

// The run a row starts, as the user starts it, and the command it is waiting on when the row
// steps in (the view matches, so nothing asks first).
enum class Run { Read, Program, Lookup };

QByteArray awaited(Run run) {
    switch (run) {
    case Run::Read:
        return readBlock("G 3");
    case Run::Program:
        return writeBlock("L 2 0 0 0 0 0 0 0 0");
    default:
        return "LOOKUP 1\r\n";
    }
}

} // namespace

Q_DECLARE_METATYPE(Run)

class TstInterruptedRuns : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Sandbox> box;
    std::unique_ptr<sim::EncoderSim> encoder;
    frmTerminal* main = nullptr;

    void startRun(Run run) {
        switch (run) {
        case Run::Read:
            main->mnuReadDB_Click();
            break;
        case Run::Program:
            main->mnuWriteDB_Click();
            break;
        case Run::Lookup:
            main->setControlEnabled(Control::cmdLookup, true);
            main->cmdLookup_Click();
            break;
        }
    }
    // The window as the closing steps leave it, and no run left over.
    void verifyClosedState() {
        const CommControl& port = main->link().MSComm1;
        QVERIFY(!port.PortOpen());
        QVERIFY(!port.hasError());
        QCOMPARE(main->caption(Control::mnuOpen), QString("&Open Port"));
        QCOMPARE(main->caption(Control::cmdComStatus), QString("Open COM 1"));
        QCOMPARE(main->status(2), QString("COM 1 Closed"));
        QVERIFY(!main->findChild<QWidget*>("ImgNotConnected")->isHidden());
        for (Control c : {Control::mnuTest, Control::cmdLookup, Control::mnuSendMsg, toolbarButton(7),
                          toolbarButton(6), toolbarButton(5), Control::mnuReadDB, Control::mnuWriteDB})
            QVERIFY2(!main->controlEnabled(c), qPrintable(QString::number(int(c))));
        QVERIFY(!shared().DatabaseBusy);
        QVERIFY(!shared().CancelRequested);
        QVERIFY(!shared().ReplyTimedOut);
        QVERIFY(!isBusy());
        QVERIFY(!frmCancelSend::isLoaded());
        QVERIFY(!main->link().Timer2.isActive());
        QVERIFY(!main->link().exchangeRunning);
        QVERIFY(!main->link().stopRequested());
    }

private slots:
    void init() {
        box = std::make_unique<Sandbox>();
        encoder = std::make_unique<sim::EncoderSim>();
        QVERIFY2(encoder->isRunning(), qPrintable(encoder->errorString()));
        for (int n = 2; n <= 8; ++n)
            SettingsStore::setPortDevice(n, QStringLiteral("/nonexistent/ttyQ%1").arg(n));
        SettingsStore::setPortDevice(1, encoder->slavePath());
        main = frmTerminal::load();
        QVERIFY(main);
        QVERIFY(main->link().MSComm1.setPortOpen(true));
        shared().EncoderMatches = true;
        clearTables(shared().Db);
    }
    void cleanup() {
        box.reset(); // the windows go first, while the simulated encoders still answer
        main = nullptr;
        encoder.reset();
    }

    // The adapter pulled mid-run: the loss told once, the run's own failure box, the port closed
    // with the closing steps; once the device is back the port opens without a stale box.
    void deviceLostMidRun_data() {
        QTest::addColumn<Run>("run");
        QTest::addColumn<QString>("failure");
        QTest::newRow("read") << Run::Read << "Read Error";
        QTest::newRow("program") << Run::Program << "Write Error";
    }
    void deviceLostMidRun() {
        QFETCH(Run, run);
        QFETCH(QString, failure);
        encoder->setReplyOverride(run == Run::Read ? "G 3" : "L 2", "");
        main->link().Timer2.setInterval(20000);
        WhenReceived unplug(*encoder, awaited(run), [this] { encoder->hangUp(); });
        startRun(run);

        QVERIFY(unplug.fired());
        const QStringList titles{QString::fromLatin1(AppTitle), failure};
        QCOMPARE(box->script.boxes.size(), 2);
        QCOMPARE(box->script.boxes[0].title, titles[0]);
        QCOMPARE(box->script.boxes[0].text, QString("The serial device is no longer connected"));
        QCOMPARE(box->script.boxes[0].icon, Icon::Exclamation);
        QCOMPARE(box->script.boxes[1].title, titles[1]);
        QVERIFY(encoder->received().endsWith(awaited(run)));
        verifyClosedState();

        auto back = std::make_unique<sim::EncoderSim>();
        SettingsStore::setPortDevice(1, back->slavePath());
        box->script.boxes.clear();
        box->script.answers = {Answer::Ok, Answer::No};
        shared().EncoderMatches = false;
        main->mnuOpen_Click();
        QCOMPARE(box->script.boxes.size(), 2);
        QCOMPARE(box->script.boxes[0].title, QString("Paging Encoder Detected"));
        QCOMPARE(box->script.boxes[1].title, QString("Read Encoder?"));
        QCOMPARE(main->status(2), QString("COM 1 Open at 9600,n,8,1"));
        QCOMPARE(main->caption(Control::mnuOpen), QString("&Close Port"));
        QCOMPARE(back->received(), QByteArray("ATI\r\r"));
        main->link().MSComm1.setPortOpen(false);
    }

    // The port command or Properties while a run waits: the run ends at once without a box, the
    // port is closed with the closing steps, and Properties then opens its dialog.
    void stopDuringARun_data() {
        QTest::addColumn<Run>("run");
        QTest::addColumn<bool>("properties");
        for (const auto& [name, run] : {std::pair{"read", Run::Read}, std::pair{"program", Run::Program},
                                        std::pair{"lookup", Run::Lookup}}) {
            QTest::addRow("port command during a %s", name) << run << false;
            QTest::addRow("Properties during a %s", name) << run << true;
        }
    }
    void stopDuringARun() {
        QFETCH(Run, run);
        QFETCH(bool, properties);
        encoder->setReplyOverride(run == Run::Read ? "G 3" : run == Run::Program ? "L 2" : "LOOKUP", "");
        main->link().Timer2.setInterval(20000);
        WhenReceived stop(*encoder, awaited(run), [this, properties] {
            if (properties)
                main->mnuProperties_Click();
            else
                main->mnuOpen_Click();
        });
        bool propertiesShown = false;
        bool portOpenUnderIt = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<frmProperties*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            propertiesShown = true;
            portOpenUnderIt = main->link().MSComm1.PortOpen();
            dialog->cmdCancel_Click();
        });
        watch.start(5);
        QElapsedTimer clock;
        clock.start();
        startRun(run);

        QVERIFY(stop.fired());
        QVERIFY(clock.elapsed() < 4000); // no wait ran to a time-out
        QCOMPARE(boxTexts(box->script), QStringList());
        QVERIFY(encoder->received().endsWith(awaited(run)));
        QCOMPARE(propertiesShown, properties);
        QVERIFY(!portOpenUnderIt);
        verifyClosedState();
    }

    // A run that turned the encoder's mode off and then stopped turns it on again before its
    // failure box; runs that stop before the turn-off send nothing more.
    void modePutBackAfterAStop_data() {
        QTest::addColumn<Run>("run");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("failure"); // empty: no box
        QTest::addColumn<QByteArray>("lastSent");
        QTest::addColumn<QByteArray>("modeAfter");

        QTest::newRow("read: time-out at group 4")
            << Run::Read << QByteArray("L 4") << QByteArray() << "Read Error"
            << readBlock("L 4") + "CONFIG IDASCAP 1\r" << QByteArray("1");
        QTest::newRow("read: TAP prompt at a setting")
            << Run::Read << QByteArray("config dutycycle?") << QByteArray("ID=\r\n") << "Read Error"
            << QByteArray("config dutycycle?\r\nCONFIG IDASCAP 1\r") << QByteArray("1");
        QTest::newRow("read: cancel at family 7")
            << Run::Read << QByteArray("G 7") << QByteArray("cancel") << QString()
            << readBlock("G 7") + "CONFIG IDASCAP 1\r" << QByteArray("1");
        QTest::newRow("read: improper turn-off, nothing more")
            << Run::Read << QByteArray("CONFIG IDASCAP 0") << QByteArray("ERROR\r\n")
            << "Paging Encoder Improper Response" << QByteArray("CONFIG IDASCAP 0\r") << QByteArray("1");
        QTest::newRow("program: time-out at family 12")
            << Run::Program << QByteArray("G 12") << QByteArray() << "Write Error"
            << writeBlock("G 12 0 8 5 A 0 0 0 0 0") + "CONFIG IDASCAP 1\r" << QByteArray("1");
        QTest::newRow("program: TAP prompt for message 15")
            << Run::Program << QByteArray("M 15") << QByteArray("ID=\x1e\r") << "Write Error"
            << writeBlock("M 15 \"\"") + "CONFIG IDASCAP 1\r" << QByteArray("1");
        QTest::newRow("program: time-out at its own last word")
            << Run::Program << QByteArray("config idascap 0") << QByteArray() << "Write Error"
            << QByteArray("config idascap 0\r\n") << QByteArray("0");
    }
    void modePutBackAfterAStop() {
        QFETCH(Run, run);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, reply);
        QFETCH(QString, failure);
        QFETCH(QByteArray, lastSent);
        QFETCH(QByteArray, modeAfter);
        encoder->setSetting("idascap", "1");
        const bool cancel = reply == "cancel";
        encoder->setReplyOverride(key, cancel ? QByteArray() : reply);
        main->link().Timer2.setInterval(cancel ? 20000 : 300);
        WhenReceived cancelIt(*encoder, cancel ? readBlock(key) : QByteArray("\x7f"),
                              [] { shared().CancelRequested = true; });
        QByteArray sentWhenBoxUp;
        box->script.onBox = [&](const BoxRecord&) { sentWhenBoxUp = encoder->received(); };
        startRun(run);

        QCOMPARE(cancelIt.fired(), cancel);
        QCOMPARE(box->script.boxes.size(), failure.isEmpty() ? 0 : 1);
        if (!failure.isEmpty()) {
            QCOMPARE(box->script.boxes[0].title, failure);
            QVERIFY(sentWhenBoxUp.endsWith(lastSent)); // the mode went back before the box
        }
        QVERIFY(encoder->received().endsWith(lastSent));
        QCOMPARE(encoder->setting("idascap"), modeAfter);
        QVERIFY(main->link().MSComm1.PortOpen());
        QVERIFY(!shared().ReplyTimedOut);
        QVERIFY(!main->link().Timer2.isActive());
    }
};

QTEST_MAIN(TstInterruptedRuns)
#include "tst_interrupted_runs.moc"
