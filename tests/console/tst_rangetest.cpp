// The range test: its setup, the loop on the console's own tick, its pages with their login
// variant, stop and restart, and its refusals.

#include "app/frmTerminal.h"
#include "console/ConsoleWidgets.h"
#include "console/frmMessageTest.h"
#include "console/frmRangeTest.h"
#include "model/PagerDatabase.h"
#include "model/Tap.h"
#include "platform/Platform.h"
#include "sim/EncoderSim.h"
#include "support/ConsoleWorld.h"
#include "support/WhenReceived.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <chrono>
#include <optional>

using namespace qpes;
using namespace qpes::test;

namespace {
QByteArray page(const QByteArray& text) {
    return BuildTapBlock("100", text);
}
const QStringList LoginLines{"Initiating Login Session",
                             "Encoder: ID=<CR>",
                             "Sending Terminal ID",
                             "Encoder: 110 1.8<CR>",
                             "Encoder: Quillmar Paging Encoder Ready<CR>",
                             "Encoder: [p<CR>"};
QStringList pageLines(const QString& text) {
    return {"Sending Message", "ID: 100", "Message: " + text, "Encoder: 211<CR><ACK><CR>"};
}
} // namespace

class TstRangeTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ConsoleWorld> w;
    frmMessageTest* c() { return w->console; }

    // Opens the setup from the menu and acts in it once it is up.
    void withSetup(const std::function<void(frmRangeTest*)>& act) {
        QTimer::singleShot(0, [act] {
            if (frmRangeTest* setup = frmRangeTest::instance())
                act(setup);
        });
        c()->mnuRangeTest->trigger();
    }
    QString startCaption;
    void start(const QString& cycle) {
        withSetup([this, cycle](frmRangeTest* setup) {
            setup->txtCycleTime->setText(cycle);
            QTest::keyClick(setup->txtCycleTime, Qt::Key_Return); // Start is the default button
            startCaption = c()->windowTitle();
        });
    }
    bool loopEnded() { return c()->windowTitle() == "Quillmar Paging Test"; }

    // The columns of endedFromOutside, for its rows and for those of deviceGone.
    static void endedFromOutsideColumns() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QByteArray>("awaited"); // all the encoder receives
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("logged"); // in the log file, after its opening line
    }

private slots:
    void init() {
        w = std::make_unique<ConsoleWorld>();
        QVERIFY(w->ready());
        c()->txtPIN->setText("100");
    }
    void cleanup() { w.reset(); }

    // Cycle time 0: pages follow each other; the first page's login runs on its own ticks.
    void runAndStop() {
        WhenReceived stop(*w->encoder, page("Test 2"), [this] { c()->mnuRangeTest->trigger(); });
        start("0");
        QCOMPARE(startCaption, QString("Quillmar Range Test - Next Msg. in 0 Sec."));
        QVERIFY(shared().RangeTestRunning);
        QCOMPARE(c()->cmdSendMsg->text(), QString("&Stop"));
        QCOMPARE(c()->mnuRangeTest->text(), QString("Stop &Range Test"));
        QTRY_VERIFY_WITH_TIMEOUT(loopEnded(), 20000);
        QCOMPARE(w->encoder->received(), "\r\x1bPG1\r" + page("Test 1") + page("Test 2"));
        QCOMPARE(w->logTexts(), LoginLines + pageLines("Test 1") + pageLines("Test 2"));
        QCOMPARE(c()->cmdSendMsg->text(), QString("&Send"));
        QCOMPARE(c()->mnuRangeTest->text(), QString("Start &Range Test"));
        QCOMPARE(c()->txtMessage->text(), QString("Test"));
        QCOMPARE(w->box.script.boxes.size(), 0);
        QVERIFY(!frmRangeTest::instance());
        // Each tick timer fires once per start; nothing ticks on after the test.
        QTRY_VERIFY_WITH_TIMEOUT(
            !c()->Timer1->isActive() && !c()->Timer2->isActive() && !w->main->link().Timer1.isActive(), 2000);

        // Started again once the loop has ended: a new loop, numbered from 1, on the standing login.
        w->encoder->clearReceived();
        WhenReceived stopAgain(*w->encoder, page("Test 1"), [this] { c()->mnuRangeTest->trigger(); });
        start("0");
        QTRY_VERIFY_WITH_TIMEOUT(stopAgain.fired() && loopEnded(), 20000);
        QCOMPARE(w->encoder->received(), page("Test 1"));

        // Stopped during the countdown: the loop ends at once, not at the console's next tick.
        int ticks = 0;
        int ticksAtStop = -1;
        int ticksAtEnd = -1;
        QObject counting; // counts no longer than this test runs
        connect(c()->Timer1, &QTimer::timeout, &counting, [&ticks] { ++ticks; });
        connect(c(), &QWidget::windowTitleChanged, &counting, [&](const QString& title) {
            if (title == "Quillmar Paging Test")
                ticksAtEnd = ticks;
        });
        WhenReceived countingDown(*w->encoder, page("Test 1") + page("Test 1"), [&] {
            QTimer::singleShot(1500, &counting, [&] {
                ticksAtStop = ticks;
                c()->mnuRangeTest->trigger();
            });
        });
        start("30");
        QTRY_VERIFY_WITH_TIMEOUT(countingDown.fired() && loopEnded(), 20000);
        QCOMPARE(ticksAtEnd, ticksAtStop);
    }

    // A restart during the countdown numbers from 1 again, in the one loop, and sends its first
    // page on the next tick; the next one waits for the countdown.
    void restart() {
        w->standingLogin();
        int ticks = 0;    // the console's one-second ticks
        QObject counting; // counts no longer than this test runs
        connect(c()->Timer1, &QTimer::timeout, &counting, [&ticks] { ++ticks; });
        int restartedAt = -1;
        int firstAgainAt = -1;
        std::optional<WhenReceived> awaited;
        awaited.emplace(*w->encoder, page("Hello 1"), [&] {
            QTimer::singleShot(1500, [&] {
                c()->mnuRangeTest->trigger(); // stop
                awaited.reset();
                awaited.emplace(*w->encoder, page("Hello 1") + page("Hello 1"),
                                [&] { firstAgainAt = ticks; });
                withSetup([&](frmRangeTest* setup) {
                    setup->txtCycleTime->setText("30");
                    QTest::keyClick(setup->txtCycleTime, Qt::Key_Return);
                    restartedAt = ticks;
                });
            });
        });
        // The loop holds the window thread until it ends, so the stop comes from a timer: once
        // the restarted test counts down to its second page (or has sent one too soon).
        bool runningAgain = false;
        QTimer stop;
        stop.setInterval(5);
        connect(&stop, &QTimer::timeout, [&] {
            if (restartedAt >= 0 && (c()->windowTitle().startsWith("Quillmar Range Test - Next Msg. in 2") ||
                                     w->encoder->received().contains(page("Hello 2")))) {
                stop.stop();
                runningAgain = shared().RangeTestRunning;
                c()->mnuRangeTest->trigger();
            }
        });
        stop.start();
        c()->txtMessage->setPlainText("Hello");
        start("30");
        QTRY_VERIFY_WITH_TIMEOUT(loopEnded(), 20000);
        QVERIFY(runningAgain);
        QCOMPARE(w->encoder->received(), page("Hello 1") + page("Hello 1"));
        QCOMPARE(firstAgainAt - restartedAt, 1);
    }

    // No "[p" in the answer: the box, then a new login that succeeds; once the test has
    // stopped, no new login. A cancel pressed meanwhile is cleared when the page ends.
    void terminalIdError_data() {
        QTest::addColumn<bool>("stopAtTheBox");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QStringList>("log");
        row("tries again", false, "\r\x1bPG1\r\r\x1bPG1\r" + page("Test 1"),
            QStringList(LoginLines.mid(0, 3)) + LoginLines + pageLines("Test 1"));
        row("test stopped", true, QByteArray("\r\x1bPG1\r"), LoginLines.mid(0, 3));
    }
    void terminalIdError() {
        QFETCH(bool, stopAtTheBox);
        QFETCH(QByteArray, sent);
        QFETCH(QStringList, log);
        w->encoder->setReplyOverride("\x1bPG1", "");
        w->box.script.onBox = [this, stopAtTheBox](const BoxRecord& b) {
            if (b.title != "Terminal ID Error")
                return;
            shared().CancelRequested = true;
            if (stopAtTheBox)
                c()->mnuRangeTest->trigger();
            else
                w->encoder->setReplyOverride("none", "");
        };
        WhenReceived stop(*w->encoder, page("Test 1"), [this] { c()->mnuRangeTest->trigger(); });
        start("0");
        QTRY_VERIFY_WITH_TIMEOUT(loopEnded(), 20000);
        QCOMPARE(w->box.script.boxes.size(), 1);
        QCOMPARE(w->box.script.boxes[0].text, QString("Error Logging In.  Will Attempt Again"));
        QCOMPARE(w->encoder->received(), sent);
        QCOMPARE(w->logTexts(), log);
        QCOMPARE(shared().LoggedIn, !stopAtTheBox);
        QVERIFY(!shared().CancelRequested);
    }

    // The loop ends from outside: the console closed or the program left during the countdown
    // (without touching the console), the console closed during a page or its login (it finishes
    // without a box, its lines in the log file only), or the port command during a page; the
    // console goes too.
    void endedFromOutside_data() {
        endedFromOutsideColumns();
        const QStringList sent{"Sending Message", "ID: 100", "Message: Test 1"};
        const QByteArray onePage = page("Test 1");
        // An XOFF in the page's reply is logged as it came.
        row("console closed", "close", onePage, QStringList(), sent + QStringList{"Encoder: 211\x13<CR>"});
        row("console closed during a page", "close at once", onePage, QStringList(),
            sent + QStringList{"Error Communicating"});
        row("console closed during the login", "close at once", QByteArray("\r"), QStringList(),
            QStringList{"Initiating Login Session", "Error Initializing"});
        row("program left", "exit", onePage, QStringList{"Exit Quillmar Paging Encoder Setup"},
            sent + QStringList{"Encoder: 211<CR><ACK><CR>"});
        row("port command during a page", "port", onePage, QStringList(), sent);
    }
    void endedFromOutside() {
        QFETCH(QString, how);
        QFETCH(QByteArray, awaited);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, logged);
        const bool login = awaited == "\r";
        if (!login)
            w->standingLogin();
        const QString logPath = w->box.path("range.log");
        w->box.script.files.push_back(logPath);
        c()->Check1->click();
        if (how != "exit") // the key of the login's CR is an empty line
            w->encoder->setReplyOverride(login && !how.startsWith("unplug at the prompt") ? "" : "Test 1",
                                         how == "port"    ? "211\r\x06\r"
                                         : how == "close" ? "211\x13\r"
                                                          : "");
        QPointer<frmMessageTest> console = c();
        QPointer<frmTerminal> main = w->main;
        WhenReceived event(*w->encoder, awaited, [this, how, main] {
            // The prompt has reached the port when the line goes.
            if (how.startsWith("unplug at the prompt")) {
                main->link().MSComm1.waitForInput(5000);
                QVERIFY(main->link().MSComm1.InBufferCount() > 0);
            }
            if (how.startsWith("unplug"))
                w->encoder->hangUp();
            else if (how == "port")
                main->mnuOpen_Click();
            else if (how == "exit")
                QTimer::singleShot(1300, main, &QWidget::close);
            else if (how == "close")
                QTimer::singleShot(1300, [] { frmMessageTest::unload(); });
            if (how.endsWith("close at once"))
                frmMessageTest::unload();
        });
        const auto now = [] {
            using namespace std::chrono;
            return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
        };
        const qint64 before = now();
        start("30");
        const qint64 after = now();
        if (how == "close") { // due on the monotonic clock, 30 s after the start
            QVERIFY(shared().RangeTestNextSend >= before + 30000);
            QVERIFY(shared().RangeTestNextSend <= after + 30000);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!console && (how != "exit" || !main), 10000);
        w->console = nullptr;
        QCOMPARE(boxTitles(w->box.script), titles);
        if (how.startsWith("unplug"))
            QCOMPARE(boxTexts(w->box.script).value(0), QString("The serial device is no longer connected"));
        QVERIFY(!shared().RangeTestRunning);
        QCOMPARE(w->encoder->received(), awaited);
        if (main)
            QCOMPARE(main->link().MSComm1.PortOpen(), how.startsWith("close") || how == "exit");
        QStringList lines;
        for (const QByteArray& line : readFile(logPath).split('\n').mid(1))
            if (!line.isEmpty())
                lines << QString::fromLatin1(line.chopped(1)).mid(ConsoleWorld::stamp().size());
        QCOMPARE(lines, logged);
    }

    // The device gone during a page or with the login's prompt: the loss told once in its words,
    // with the console there or gone, then the page's or the login's failures while it is there,
    // and the port closed with the closing steps; the console goes too.
    void deviceGone_data() {
        endedFromOutsideColumns();
        row("device gone during a page", "unplug", page("Test 1"),
            QStringList{"Quillmar Paging Encoder Setup", "Communication Error"},
            QStringList{"Sending Message", "ID: 100", "Message: Test 1", "Error Communicating"});
        row("device gone with the login prompt", "unplug at the prompt", QByteArray("\r"),
            QStringList{"Quillmar Paging Encoder Setup", "Terminal ID Error", "Login Error"},
            QStringList{"Initiating Login Session", "Encoder: ID=<CR>", "Sending Terminal ID",
                        "Error: The serial device is no longer connected", "Initiating Login Session",
                        "Error Initializing"});
        row("device gone with the login prompt, console closed", "unplug at the prompt, close at once",
            QByteArray("\r"), QStringList{"Quillmar Paging Encoder Setup"},
            QStringList{"Initiating Login Session", "Encoder: ID=<CR>", "Sending Terminal ID",
                        "Error: The serial device is no longer connected"});
    }
    void deviceGone() { endedFromOutside(); }

    // A Send while a stopped test's page still waits for its tick does nothing.
    void sendWhileThePageWaits() {
        w->standingLogin();
        WhenReceived stop(*w->encoder, page("Test 1"), [this] {
            c()->mnuRangeTest->trigger();
            QCOMPARE(c()->txtMessage->text(), QString("Test"));
            c()->cmdSendMsg->click();
        });
        start("30");
        QTRY_VERIFY_WITH_TIMEOUT(loopEnded(), 10000);
        QVERIFY(stop.fired());
        QCOMPARE(w->encoder->received(), page("Test 1"));
        QCOMPARE(w->box.script.boxes.size(), 0);
    }

    void refusedStart_data() {
        QTest::addColumn<QString>("pin");
        QTest::addColumn<bool>("idAsCap");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QString>("last");
        row("ID not in the database", "110", false, QStringList{"Invalid ID", "Invalid ID"},
            "Pager ID value not in current database");
        row("capcode", "8", true, QStringList{"Invalid Capcode"}, QString());
        row("failed conversion", "B", false, QStringList{"Invalid ID"}, "earlier");
    }
    void refusedStart() {
        QFETCH(QString, pin);
        QFETCH(bool, idAsCap);
        QFETCH(QStringList, titles);
        QFETCH(QString, last);
        shared().Db.Settings.IDAsCap = idAsCap;
        shared().PagerIdError = "earlier";
        c()->txtPIN->setText(pin);
        c()->mnuRangeTest->trigger();
        QCOMPARE(boxTitles(w->box.script), titles);
        if (!last.isNull())
            QCOMPARE(w->box.script.boxes.last().text, last);
        QVERIFY(!frmRangeTest::instance());
        QCOMPARE(c()->cmdSendMsg->text(), QString("&Send"));
        QVERIFY(!isBusy());
    }

    // The setup's base message: the console's message, whole, or "Test". A paste stops at 25
    // characters, never lengthens a longer message and brings no line end.
    void baseMessage_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("afterPaste");
        const QString long30 = QString(30, 'm');
        row("empty", "", "Test", "Testx  y");
        row("short", "Hello", "Hello", "Hellox  y");
        row("stops at 25", QString(22, 'm'), QString(22, 'm'), QString(22, 'm') + "x  ");
        row("longer message kept whole", long30, long30, long30);
    }
    void baseMessage() {
        QFETCH(QString, message);
        QFETCH(QString, base);
        QFETCH(QString, afterPaste);
        c()->txtMessage->setPlainText(message);
        QApplication::clipboard()->setText("x\r\ny");
        QString loaded, pasted;
        withSetup([&](frmRangeTest* setup) {
            loaded = setup->txtBaseMsg->text();
            setup->txtBaseMsg->end(false);
            setup->txtBaseMsg->paste();
            pasted = setup->txtBaseMsg->text();
            setup->cmdCancel->click();
        });
        QCOMPARE(loaded, base);
        QCOMPARE(pasted, afterPaste);
    }

    // A cycle time that is not a number keeps the setup open; leaving it without a start
    // restores "&Send".
    void cycleTimeAndCancel_data() {
        QTest::addColumn<QString>("leave");
        row("Cancel", "Cancel");
        row("close box", "close box");
        row("Esc", "Esc");
    }
    void cycleTimeAndCancel() {
        QFETCH(QString, leave);
        bool stillOpen = false;
        QStringList seen; // read in the setup, compared once it has closed
        bool wraps = false;
        withSetup([&](frmRangeTest* setup) {
            seen << setup->txtBaseMsg->text() << setup->txtPIN->text() << setup->Label1->text();
            const QLabel* text = setup->Label1;
            wraps = text->heightForWidth(text->width()) >= 2 * text->fontMetrics().lineSpacing();
            QTest::keyClicks(setup->txtPIN, "45678901");
            setup->txtCycleTime->clear();
            QTest::keyClicks(setup->txtCycleTime, "123");
            seen << setup->txtPIN->text() << setup->txtCycleTime->text();
            setup->txtCycleTime->setText("ab");
            setup->cmdStart->click();
            stillOpen = setup->isVisible();
            if (leave == "Cancel")
                setup->cmdCancel->click();
            else if (leave == "close box")
                setup->close();
            else
                QTest::keyClick(setup->txtCycleTime, Qt::Key_Escape);
        });
        // The label's second sentence stands on a line of its own; PIN and cycle time take 10
        // and 2 characters.
        QCOMPARE(seen, (QStringList{"Test", "100",
                                    "Range Test will transmit sequentially numbered paging messages." +
                                        QString(124, ' ') +
                                        "Please specify Base Message, Pager PIN, and Cycle Time, in seconds.",
                                    "1004567890", "12"}));
        QVERIFY(wraps);
        QVERIFY(stillOpen);
        QCOMPARE(w->box.script.boxes.size(), 1);
        QCOMPARE(w->box.script.boxes[0].title, QString("Invalid Cycle Time"));
        QVERIFY(!shared().RangeTestRunning);
        QCOMPARE(c()->cmdSendMsg->text(), QString("&Send"));
        QVERIFY(c()->cmdSendMsg->isEnabled());
    }
};

QTEST_MAIN(TstRangeTest)
#include "tst_rangetest.moc"
