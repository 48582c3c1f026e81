// The main window's ID lookup against the simulator: the command sent, the rewritten reply in
// the label, the time-out, and the reply timer it leaves behind.

#include "app/frmTerminal.h"
#include "link/Lookup.h"
#include "model/PagerDatabase.h"
#include "platform/Platform.h"
#include "sim/EncoderSim.h"
#include "support/TestSupport.h"
#include "support/WhenReceived.h"

#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace qpes;
using namespace qpes::test;

class TstLookup : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Sandbox> box;
    std::unique_ptr<sim::EncoderSim> encoder;
    frmTerminal* main = nullptr;

    // The lookup as the user starts it: the enabled button, clicked.
    void clickLookup() {
        main->setControlEnabled(Control::cmdLookup, true);
        main->findChild<QPushButton*>("cmdLookup")->click();
    }
    void verifyLookupEnded() {
        const Link& link = main->link();
        QVERIFY(!link.Timer2.isActive());
        QCOMPARE(link.Timer2.interval(), 4000);
        QVERIFY(!shared().ReplyTimedOut);
        QVERIFY(!link.exchangeRunning);
    }

private slots:
    void init() {
        box = std::make_unique<Sandbox>();
        encoder = std::make_unique<sim::EncoderSim>();
        QVERIFY2(encoder->isRunning(), qPrintable(encoder->errorString()));
        SettingsStore::setPortDevice(1, encoder->slavePath());
        main = frmTerminal::load();
        QVERIFY(main);
        QVERIFY(main->link().MSComm1.setPortOpen(true));
        PagerDatabase db;
        clearTables(db);
        db.Groups[0][Grp::GroupID] = "0500";
        db.Families[0][Fam::Active] = "1";
        db.Families[0][Fam::StartCap] = "0001000";
        db.Families[0][Fam::PagerQty] = "010";
        db.Families[0][Fam::StartID] = "1";
        db.Families[0][Fam::Func] = "3";
        db.Families[1][Fam::Active] = "1";
        db.Families[1][Fam::StartCap] = "0200000";
        db.Families[1][Fam::Rate] = "2";
        db.Families[1][Fam::PgrType] = "N";
        db.Families[1][Fam::Func] = "1";
        db.Families[1][Fam::PagerQty] = "100";
        db.Families[1][Fam::StartID] = "100";
        db.Settings.DutyCycle = "50";
        db.Settings.MaxBatch = "10";
        encoder->loadDatabase(db);
    }
    void cleanup() {
        box.reset(); // the windows go first, while the simulated encoders still answer
        main = nullptr;
        encoder.reset();
    }

    void sendsTheBoxText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("design text") << QString() << QByteArray("LOOKUP 1\r\n");
        QTest::newRow("blanks kept, not zero-filled") << " 7 " << QByteArray("LOOKUP  7 \r\n");
        QTest::newRow("pasted CR LF dropped") << "12\r\nATI" << QByteArray("LOOKUP 12ATI\r\n");
        QTest::newRow("tab, ESC and DEL dropped") << "\t3\x1b"
                                                     "4\x7f"
                                                  << QByteArray("LOOKUP 34\r\n");
        QTest::newRow("letters") << "abc" << QByteArray("LOOKUP abc\r\n");
    }
    void sendsTheBoxText() {
        QFETCH(QString, text);
        QFETCH(QByteArray, sent);
        if (!text.isNull())
            main->setCaption(Control::txLookup, text);
        QCOMPARE(main->caption(Control::txLookup), text.isNull() ? QString("1") : text);
        clickLookup();
        QCOMPARE(encoder->received(), sent);
        verifyLookupEnded();
    }

    void showsTheRewrittenReply_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QByteArray>("override");
        QTest::addColumn<QString>("label");

        QTest::newRow("family, function 4")
            << "1" << QByteArray() << "Response: ID 1, Cap=0001000 Type=A Rate=512, Func=4\r\n";
        QTest::newRow("family, function 2")
            << "150" << QByteArray() << "Response: ID 150, Cap=0200050 Type=N Rate=2400, Func=2\r\n";
        QTest::newRow("group") << "500" << QByteArray() << "Response: ID 500 Group 1\r\n";
        QTest::newRow("nothing to rewrite") << "9000" << QByteArray() << "Response: ID 9000 not found\r\n";
        QTest::newRow("capitals are not rewritten")
            << "1" << QByteArray("LIST 2 CAPCODE 3\r\n") << "Response: LIST 2 CAPCODE 3\r\n";
        QTest::newRow("functions 1 and 3")
            << "1" << QByteArray("a func bits:00 func bits:10\r\n") << "Response: a, Func=1, Func=3\r\n";
    }
    void showsTheRewrittenReply() {
        QFETCH(QString, id);
        QFETCH(QByteArray, override);
        QFETCH(QString, label);
        if (!override.isEmpty())
            encoder->setReplyOverride("LOOKUP " + id.toLatin1(), override);
        main->setCaption(Control::txLookup, id);
        clickLookup();
        QCOMPARE(main->caption(Control::lblLookup), label);
        QCOMPARE(box->script.boxes.size(), 0);
        verifyLookupEnded();
    }

    // While it waits the button rests, the label is empty and the reply timer runs at 4000 ms;
    // the timer's event is played here instead of waiting four seconds for it.
    void timeOut() {
        encoder->setReplyOverride("LOOKUP 1", "");
        main->setCaption(Control::lblLookup, "Response: old");
        main->link().Timer2.setInterval(300);
        bool buttonEnabled = true;
        QString labelDuringWait;
        int interval = 0;
        bool timerRunning = false;
        Link& link = main->link();
        WhenReceived timerEvent(*encoder, "LOOKUP 1\r\n", [&] {
            buttonEnabled = main->controlEnabled(Control::cmdLookup);
            labelDuringWait = main->caption(Control::lblLookup);
            interval = link.Timer2.interval();
            timerRunning = link.Timer2.isActive();
            link.Timer2.stop();
            shared().ReplyTimedOut = true;
        });
        clickLookup();

        QVERIFY(timerEvent.fired());
        QVERIFY(!buttonEnabled);
        QCOMPARE(labelDuringWait, QString());
        QCOMPARE(interval, 4000);
        QVERIFY(timerRunning);
        QCOMPARE(main->caption(Control::lblLookup), QString("Response: "));
        QCOMPARE(box->script.boxes.size(), 0);
        QVERIFY(main->controlEnabled(Control::cmdLookup));
        verifyLookupEnded();
    }

    // A cancel left over from a read does not end the lookup's wait.
    void leftoverCancelDoesNotEndTheWait() {
        shared().CancelRequested = true;
        encoder->setReplyDelay(150);
        clickLookup();
        QCOMPARE(main->caption(Control::lblLookup),
                 QString("Response: ID 1, Cap=0001000 Type=A Rate=512, Func=4\r\n"));
        verifyLookupEnded();
    }

    // An edit, or the port closed, during the wait disables the button, and it stays so.
    void disabledDuringTheWait_data() {
        QTest::addColumn<bool>("closePort");
        QTest::addColumn<QString>("label");
        QTest::newRow("an edit") << false << "Response: ID 1, Cap=0001000 Type=A Rate=512, Func=4\r\n";
        QTest::newRow("the port closed") << true << "Response: ";
    }
    void disabledDuringTheWait() {
        QFETCH(bool, closePort);
        QFETCH(QString, label);
        Link& link = main->link();
        WhenReceived edit(*encoder, "LOOKUP 1\r\n", [&] {
            if (closePort)
                link.MSComm1.setPortOpen(false);
            else
                MarkConfigurationModified();
        });
        clickLookup();
        QVERIFY(edit.fired());
        QVERIFY(!main->controlEnabled(Control::cmdLookup));
        QCOMPARE(main->caption(Control::lblLookup), label);
        verifyLookupEnded();
    }

    void sendFailsOnAClosedPort() {
        QVERIFY(main->link().MSComm1.setPortOpen(false));
        QTimer::singleShot(100, [] { shared().ReplyTimedOut = true; });
        LookupId();
        QCOMPARE(box->script.boxes.size(), 1);
        const BoxRecord& b = box->script.boxes[0];
        QCOMPARE(b.title, QString("Quillmar Paging Encoder Setup"));
        QCOMPARE(b.icon, Icon::Exclamation);
        QCOMPARE(b.buttons, Buttons::Ok);
        QVERIFY(!b.text.isEmpty());
        QVERIFY(!main->link().MSComm1.hasError());
        QCOMPARE(main->caption(Control::lblLookup), QString("Response: "));
        verifyLookupEnded();
    }
};

QTEST_MAIN(TstLookup)
#include "tst_lookup.moc"
