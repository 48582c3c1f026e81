// The console's Send against the simulated encoder: the login, the page block, the reply and
// the log lines, the error boxes, the length rule, and one page at a time.

#include "app/frmTerminal.h"
#include "console/ConsoleWidgets.h"
#include "console/frmMessageTest.h"
#include "model/PagerDatabase.h"
#include "model/Tap.h"
#include "sim/EncoderSim.h"
#include "support/ConsoleWorld.h"
#include "support/WhenReceived.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace qpes;
using namespace qpes::test;

namespace {
const QByteArray Login = "\r\x1bPG1\r";
const QByteArray Block = BuildTapBlock("100", "Hi");
const QStringList LoginLines{"Initiating Login Session",
                             "Encoder: ID=<CR><LF>",
                             "Sending Terminal ID",
                             "Encoder: 110 1.8<CR><LF>",
                             "Encoder: Quillmar Paging Encoder Ready<CR>",
                             "Encoder: <ACK><CR>",
                             "Encoder: <ESC>[p<CR>"};
} // namespace

class TstSend : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ConsoleWorld> w;

private slots:
    void init() {
        w = std::make_unique<ConsoleWorld>();
        QVERIFY(w->ready());
    }
    void cleanup() { w.reset(); }

    void session_data() {
        QTest::addColumn<bool>("sentBefore");      // a first Send has logged in already
        QTest::addColumn<QByteArray>("key");       // the command whose reply is overridden
        QTest::addColumn<QByteArray>("reply");     // its reply (empty: silence)
        QTest::addColumn<QByteArray>("timeOutAt"); // the reply timer fires once this has arrived
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("loggedIn");

        row("first Send", false, QByteArray(), QByteArray(), QByteArray(), Login + Block,
            LoginLines + QStringList{"Message: Hi", "Encoder: 211<CR><ACK><CR>"}, QString(), true);
        row("second Send", true, QByteArray(), QByteArray(), QByteArray(), Block,
            QStringList{"Message: Hi", "Encoder: 211<CR><ACK><CR>"}, QString(), true);
        row("no login reply", false, QByteArray(""), QByteArray(), QByteArray("\r"), QByteArray("\r"),
            QStringList{"Initiating Login Session", "Error Initializing"},
            "Login Error|Error Logging Into Paging Encoder\rCheck Power, "
            "Connections and/or DIP Switch\rand Try Again.",
            false);
        row("leading LF", false, QByteArray("\x1bPG1"), QByteArray("\n110 1.8\r\n"), QByteArray(), Login,
            LoginLines.mid(0, 3) + QStringList{"Error Communicating"},
            "Communication Error|Error Communicating With Paging Encoder\rCheck Power, "
            "Connections and/or DIP Switch\rand Try Again.",
            false);
        row("NAK not resent", false, QByteArray("Hi"), QByteArray("\x15\r"), QByteArray(), Login + Block,
            LoginLines + QStringList{"Message: Hi", "Encoder: <NAK><CR>"}, QString(), true);
        row("no page reply", true, QByteArray("Hi"), QByteArray(), Block, Block,
            QStringList{"Message: Hi", "Error Communicating"},
            "Communication Error|Error Communicating With Paging Encoder\rCheck "
            "Power, Connections and/or DIP Switch\rand Try Again.",
            false);
    }
    void session() {
        QFETCH(bool, sentBefore);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, timeOutAt);
        QFETCH(QByteArray, received);
        QFETCH(QStringList, log);
        QFETCH(QString, box);
        QFETCH(bool, loggedIn);
        if (sentBefore) {
            w->send("100", "Hi");
            QVERIFY(shared().LoggedIn);
            w->reopen();
            w->encoder->clearReceived();
        }
        if (!key.isNull())
            w->encoder->setReplyOverride(key, reply);
        std::unique_ptr<WhenReceived> timeOut;
        if (!timeOutAt.isEmpty())
            timeOut = std::make_unique<WhenReceived>(*w->encoder, timeOutAt, [this] {
                w->main->link().Timer2.stop();
                shared().ReplyTimedOut = true;
            });
        w->send("100", "Hi");
        QCOMPARE(w->encoder->received(), received);
        QCOMPARE(w->logTexts(), log);
        QCOMPARE(w->console->lb_log->currentRow(), 0);
        QCOMPARE(w->box.script.boxes.size(), box.isEmpty() ? 0 : 1);
        if (!box.isEmpty())
            QCOMPARE(w->box.script.boxes[0].title + '|' + w->box.script.boxes[0].text, box);
        QCOMPARE(shared().LoggedIn, loggedIn);
        QCOMPARE(w->main->link().Timer2.interval(), 10000);
        QVERIFY(!w->main->link().Timer2.isActive());
        QVERIFY(!w->main->link().exchangeRunning);
        if (!loggedIn) { // the next Send logs in again
            w->encoder->setReplyOverride("none", "");
            w->encoder->clearReceived();
            w->send("100", "Hi");
            QCOMPARE(w->encoder->received(), Login + Block);
        }
    }

    void lengthRule_data() {
        QTest::addColumn<QString>("pin");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("sent");
        QTest::addColumn<int>("maxLength");
        row("5-character ID", "12345",
            "Maximum Message Length is Equal to\r249 Minus Length of ID field.\r"
            "This Message will be Truncated to 244.",
            244, 244);
        row("1-character ID", "9", QString(), 250, 248);
    }
    void lengthRule() {
        QFETCH(QString, pin);
        QFETCH(QString, box);
        QFETCH(int, sent);
        QFETCH(int, maxLength);
        shared().Db.Settings.IDAsCap = true;
        w->standingLogin();
        w->send(pin, QString(250, 'x'));
        QCOMPARE(w->box.script.boxes.size(), box.isEmpty() ? 0 : 1);
        if (!box.isEmpty()) {
            QCOMPARE(w->box.script.boxes[0].title, QString("Message Truncated"));
            QCOMPARE(w->box.script.boxes[0].text, box);
        }
        QVERIFY(w->encoder->received().startsWith(BuildTapBlock(pin.toLatin1(), QByteArray(sent, 'x'))));
        QCOMPARE(w->console->txtMessage->maxLength(), maxLength);
    }

    // An invalid ID ends at the check; the reply timer's interval is set all the same.
    void invalidId() {
        w->main->link().Timer2.setInterval(6000);
        w->send("110", "Hi");
        QCOMPARE(boxTexts(w->box.script),
                 (QStringList{"Pager ID value is incorrect.\rPager ID value not in current database",
                              "Pager ID Value is Invalid"}));
        QCOMPARE(w->box.script.boxes[1].title, QString("Invalid PIN"));
        QCOMPARE(w->encoder->received(), QByteArray());
        QCOMPARE(w->main->link().Timer2.interval(), 10000);
    }

    // While a page is under way a second Send and the range test's start do nothing.
    void onePageAtATime() {
        w->standingLogin();
        WhenReceived again(*w->encoder, Block, [this] {
            w->console->cmdSendMsg->click();
            w->console->mnuRangeTest->trigger();
        });
        w->send("100", "Hi");
        QVERIFY(again.fired());
        QCOMPARE(w->encoder->received(), Block);
        QCOMPARE(w->box.script.boxes.size(), 0);
        QCOMPARE(w->console->cmdSendMsg->text(), QString("&Send"));
    }

    // The device gone under the page's wait: the loss told once, the communication error, and
    // then the port closed with the closing steps, which take the console down.
    void deviceGoneDuringThePage() {
        w->standingLogin();
        w->encoder->setReplyOverride("Hi", "");
        QPointer<frmMessageTest> console = w->console;
        WhenReceived gone(*w->encoder, Block, [this] { w->encoder->hangUp(); });
        w->send("100", "Hi");
        QVERIFY(gone.fired());
        QCOMPARE(boxTitles(w->box.script),
                 (QStringList{"Quillmar Paging Encoder Setup", "Communication Error"}));
        QVERIFY(!shared().LoggedIn);
        QVERIFY(!w->main->link().MSComm1.PortOpen());
        QVERIFY(!w->main->link().stopRequested()); // the console went after the run: nothing to stop
        QTRY_VERIFY(!console);
        w->console = nullptr;
    }

    // Leaving the program or closing the console ends the page's wait at once, before the
    // reply timer can fire, with nothing more logged and no box.
    void leavingEndsTheWait_data() {
        QTest::addColumn<QString>("how");
        row("exit confirmed", "exit");
        row("console's close box", "close box");
        row("console's Exit", "Exit menu");
    }
    void leavingEndsTheWait() {
        QFETCH(QString, how);
        w->standingLogin();
        w->encoder->setReplyOverride("Hi", "");
        QSignalSpy timeOuts(&w->main->link().Timer2, &QTimer::timeout);
        WhenReceived leave(*w->encoder, Block, [this, how] {
            if (how == "exit")
                shared().ExitConfirmed = true;
            else if (how == "close box")
                w->console->close();
            else
                w->console->mnuExit->trigger();
        });
        w->send("100", "Hi");
        QVERIFY(leave.fired());
        QCOMPARE(timeOuts.count(), 0);
        QCOMPARE(w->logTexts(), QStringList{"Message: Hi"});
        QCOMPARE(w->box.script.boxes.size(), 0);
        QVERIFY(shared().LoggedIn);
        QVERIFY(!w->main->link().exchangeRunning);
        QVERIFY(!w->main->link().stopRequested());
        QVERIFY(w->main->link().MSComm1.PortOpen());
    }
};

QTEST_MAIN(TstSend)
#include "tst_send.moc"
