// The console's Send against the simulated encoder: the login, the page block, the reply and
// the log lines, the error boxes, the length rule, and one page at a time.

#include "app/frmTerminal.h"
#include "console/ConsoleWidgets.h"
#include "console/frmMessageTest.h"
#include "model/PagerDatabase.h"
#include "model/Tap.h"
#include "platform/Platform.h"
#include "sim/EncoderSim.h"
#include "support/ConsoleWorld.h"
#include "support/WhenReceived.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QThread>
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
        QTest::addColumn<bool>("sentBefore");        // a first Send has logged in already
        QTest::addColumn<QByteArrayList>("replies"); // commands whose reply is overridden, each with it
        QTest::addColumn<int>("delayMs");            // before each of the encoder's replies
        QTest::addColumn<QByteArray>("timeOutAt");   // the reply timer fires once this has arrived
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("loggedIn");
        const QString communicationError =
            "Communication Error|Error Communicating With Paging Encoder\rCheck "
            "Power, Connections and/or DIP Switch\rand Try Again.";

        row("first Send", false, QByteArrayList(), 0, QByteArray(), Login + Block,
            LoginLines + QStringList{"Message: Hi", "Encoder: 211<CR><ACK><CR>"}, QString(), true);
        row("second Send", true, QByteArrayList(), 0, QByteArray(), Block,
            QStringList{"Message: Hi", "Encoder: 211<CR><ACK><CR>"}, QString(), true);
        row("slow encoder", false, QByteArrayList(), 200, QByteArray(), Login + Block,
            LoginLines + QStringList{"Message: Hi", "Encoder: 211<CR><ACK><CR>"}, QString(), true);
        row("no login reply", false, QByteArrayList{"", ""}, 0, QByteArray("\r"), QByteArray("\r"),
            QStringList{"Initiating Login Session", "Error Initializing"},
            "Login Error|Error Logging Into Paging Encoder\rCheck Power, "
            "Connections and/or DIP Switch\rand Try Again.",
            false);
        row("leading LF", false, QByteArrayList{"\x1bPG1", "\n110 1.8\r\n"}, 0, QByteArray(), Login,
            LoginLines.mid(0, 3) + QStringList{"Error Communicating"}, communicationError, false);
        row("NAK not resent", false, QByteArrayList{"Hi", "\x15\r"}, 0, QByteArray(), Login + Block,
            LoginLines + QStringList{"Message: Hi", "Encoder: <NAK><CR>"}, QString(), true);
        row("XOFF named in the page reply only", false,
            QByteArrayList{"\x1bPG1", "110 1.8\r\nReady \x13\r\x06\r\x1b[p\r", "Hi", "211\x13\r"}, 0,
            QByteArray(), Login + Block,
            LoginLines.mid(0, 4) + QStringList{"Encoder: Ready \x13<CR>"} + LoginLines.mid(5) +
                QStringList{"Message: Hi", "Encoder: 211<XOFF><CR>"},
            QString(), true);
        row("no page reply", true, QByteArrayList{"Hi", ""}, 0, Block, Block,
            QStringList{"Message: Hi", "Error Communicating"}, communicationError, false);
    }
    void session() {
        QFETCH(bool, sentBefore);
        QFETCH(QByteArrayList, replies);
        QFETCH(int, delayMs);
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
        w->encoder->withProtocol([&](sim::EncoderProtocol& p) {
            for (int i = 0; i + 1 < replies.size(); i += 2)
                p.options.replyOverrides.append({replies[i], replies[i + 1]});
        });
        w->encoder->setReplyDelay(delayMs);
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
        // The hidden "Connect" box turns into "Logout" once the page is about to go.
        const bool pageWritten = log.contains("Message: Hi");
        QCOMPARE(w->console->ChkLogInOut->isChecked(), pageWritten);
        QCOMPARE(w->console->ChkLogInOut->text(), pageWritten ? QString("Logout") : QString("Connect"));
        QCOMPARE(w->main->link().Timer2.interval(), 10000);
        QVERIFY(!w->main->link().Timer2.isActive());
        QVERIFY(!shared().ReplyTimedOut);
        QVERIFY(!shared().CancelRequested);
        QVERIFY(!w->main->link().exchangeRunning);
        if (!loggedIn) { // the next Send logs in again
            w->encoder->withProtocol([](sim::EncoderProtocol& p) { p.options.replyOverrides.clear(); });
            w->encoder->clearReceived();
            w->send("100", "Hi");
            QCOMPARE(w->encoder->received(), Login + Block);
        }
    }

    // A page reply still without its CR when the wait has timed out: the CR is looked for under a
    // fresh time-out; without it, the communication error.
    void crSearchAfterTheTimeOut_data() {
        QTest::addColumn<QByteArray>("reply"); // written one byte at a time, 300 ms apart
        QTest::addColumn<int>("searchMs");     // the search's time-out
        QTest::addColumn<QStringList>("log");
        row("CR found", QByteArray("\x06\r"), 5000, QStringList{"Message: Hi", "Encoder: <ACK><CR>"});
        row("no CR", QByteArray("\x06"), 300, QStringList{"Message: Hi", "Error Communicating"});
    }
    void crSearchAfterTheTimeOut() {
        QFETCH(QByteArray, reply);
        QFETCH(int, searchMs);
        QFETCH(QStringList, log);
        w->standingLogin();
        w->encoder->setReplyOverride("Hi", reply);
        w->encoder->setSplitReplies(true, 300);
        Link& link = w->main->link();
        WhenReceived timeOut(*w->encoder, Block, [&] {
            QElapsedTimer clock; // the first byte at the port, then the reply timer's event
            clock.start();
            while (link.MSComm1.InBufferCount() == 0 && clock.elapsed() < 5000)
                QThread::msleep(5);
            link.Timer2.stop();
            link.Timer2.setInterval(searchMs);
            shared().ReplyTimedOut = true;
        });
        w->send("100", "Hi");
        QVERIFY(timeOut.fired());
        QCOMPARE(w->logTexts(), log);
        QCOMPARE(shared().LoggedIn, log.last() != "Error Communicating");
        QVERIFY(!shared().ReplyTimedOut);
        QVERIFY(!link.Timer2.isActive());
    }

    void lengthRule_data() {
        QTest::addColumn<QString>("pin");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("sent");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<int>("typed");
        row("5-character ID", "12345",
            "Maximum Message Length is Equal to\r249 Minus Length of ID field.\r"
            "This Message will be Truncated to 244.",
            244, 244, 250);
        row("5-character ID, message at the limit", "12345", QString(), 244, 244, 244);
        row("1-character ID", "9", QString(), 250, 248, 250);
    }
    void lengthRule() {
        QFETCH(QString, pin);
        QFETCH(QString, box);
        QFETCH(int, sent);
        QFETCH(int, maxLength);
        QFETCH(int, typed);
        shared().Db.Settings.IDAsCap = true;
        w->standingLogin();
        w->send(pin, QString(typed, 'x'));
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
        QVERIFY(!isBusy());
    }

    // While a page is under way a second Send and the range test's start do nothing.
    void onePageAtATime() {
        w->standingLogin();
        WhenReceived again(*w->encoder, Block, [this] {
            w->console->txtPIN->setText("110"); // not checked while the page is under way
            w->console->cmdSendMsg->click();
            w->console->mnuRangeTest->trigger();
        });
        w->send("100", "Hi");
        QVERIFY(again.fired());
        QCOMPARE(w->encoder->received(), Block);
        QCOMPARE(w->box.script.boxes.size(), 0);
        QCOMPARE(w->console->cmdSendMsg->text(), QString("&Send"));
    }

    // The device gone under the page's wait, or before the page's write: the loss told once, the
    // communication error; the port command there ends the page quietly. Then the port is closed
    // with the closing steps, which take the console down.
    void portGoneDuringThePage_data() {
        QTest::addColumn<bool>("unplug");
        QTest::addColumn<bool>("beforeThePage");
        QTest::addColumn<QStringList>("titles");
        const QStringList told{"Quillmar Paging Encoder Setup", "Communication Error"};
        row("device gone", true, false, told);
        row("device gone before the page", true, true, told);
        row("port command", false, false, QStringList());
    }
    void portGoneDuringThePage() {
        QFETCH(bool, unplug);
        QFETCH(bool, beforeThePage);
        QFETCH(QStringList, titles);
        w->standingLogin();
        w->encoder->setReplyOverride("Hi", "");
        QPointer<frmMessageTest> console = w->console;
        WhenReceived gone(*w->encoder, Block, [this, unplug] {
            if (unplug)
                w->encoder->hangUp();
            else
                w->main->mnuOpen_Click();
        });
        if (beforeThePage)
            w->encoder->hangUp();
        w->send("100", "Hi");
        QCOMPARE(gone.fired(), !beforeThePage);
        QCOMPARE(boxTitles(w->box.script), titles);
        if (unplug)
            QCOMPARE(boxTexts(w->box.script).value(0), QString("The serial device is no longer connected"));
        QVERIFY(!shared().LoggedIn); // the page's answer, if it comes, would meet the next page
        QVERIFY(!w->main->link().MSComm1.PortOpen());
        QVERIFY(!w->main->link().stopRequested()); // the console went after the run: nothing to stop
        QTRY_VERIFY(!console);
        w->console = nullptr;
    }

    // Leaving the program or closing the console ends the page's wait at once, before the
    // reply timer can fire, with nothing more logged and no box. The login no longer stands:
    // the encoder's late answer goes by with the next page's login, never as that page's answer.
    void leavingEndsTheWait_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answerMs"); // the encoder's answers come this late; 0: the page has none
        row("exit confirmed", "exit", 0);
        row("console's close box", "close box", 0);
        row("console's Exit", "Exit menu", 0);
        row("console's Exit, the answer late", "Exit menu", 300);
    }
    void leavingEndsTheWait() {
        QFETCH(QString, how);
        QFETCH(int, answerMs);
        w->standingLogin();
        if (answerMs)
            w->encoder->setReplyDelay(answerMs);
        else
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
        QVERIFY(!shared().LoggedIn);
        QVERIFY(!w->main->link().exchangeRunning);
        QVERIFY(!w->main->link().stopRequested());
        QVERIFY(w->main->link().MSComm1.PortOpen());
        if (!answerMs)
            return;
        w->encoder->clearReceived();
        w->reopen();
        w->send("100", "again");
        QCOMPARE(w->encoder->received(), Login + BuildTapBlock("100", "again"));
        const QStringList page{"Message: again", "Encoder: 211<CR><ACK><CR>"};
        QCOMPARE(w->logTexts(), LoginLines + page);
        QCOMPARE(w->box.script.boxes.size(), 0);
    }
};

QTEST_MAIN(TstSend)
#include "tst_send.moc"
