// Opening and closing the port with the search for the encoder, run from the real main window
// against the encoder simulator on a pseudo-terminal.

#include "app/frmTerminal.h"
#include "link/PortControl.h"
#include "link/frmCancelSend.h"
#include "link/frmProperties.h"
#include "model/PagerDatabase.h"
#include "platform/Platform.h"
#include "sim/EncoderSim.h"
#include "support/TestSupport.h"
#include "support/WhenReceived.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>

using namespace qpes;
using namespace qpes::test;

namespace {

const QByteArray Probe = "ATI\r\r";

QByteArray probes(int count) {
    return Probe.repeated(count);
}

QString attemptLabel(const char* settings) {
    return QStringLiteral("Attempting to Detect Paging Encoder\non COM Port 1 at ") + QLatin1String(settings);
}

// What the progress box said and how long the reply timer ran, once per attempt. The timer's
// remaining time jumps up whenever an attempt arms it again.
class AttemptRecorder : public QObject {
public:
    explicit AttemptRecorder(Link& link) : m_link(link) {
        connect(&m_poll, &QTimer::timeout, this, &AttemptRecorder::look);
        m_poll.start(0); // at every pass of a wait
    }
    struct Seen {
        QString label;
        int interval;
        bool operator==(const Seen&) const = default;
    };
    QList<Seen> seen;

private:
    void look() {
        if (!m_link.Timer2.isActive())
            return;
        const int remaining = m_link.Timer2.remainingTime();
        if (remaining > m_lastRemaining) {
            frmCancelSend* box = frmCancelSend::instance(false);
            seen.append({box ? box->Label1->text() : QStringLiteral("<no box>"), m_link.Timer2.interval()});
        }
        m_lastRemaining = remaining;
    }

    Link& m_link;
    QTimer m_poll;
    int m_lastRemaining = -1;
};

QList<AttemptRecorder::Seen> attemptsUpTo(int count) {
    const QList<AttemptRecorder::Seen> all{
        {attemptLabel("9600,n,8,1"), 500},  {attemptLabel("9600,n,8,1"), 500},
        {attemptLabel("9600,e,7,1"), 500},  {attemptLabel("2400,n,8,1"), 1500},
        {attemptLabel("2400,e,7,1"), 1500}, {attemptLabel("1200,n,8,1"), 2000},
        {attemptLabel("1200,e,7,1"), 2000}, {attemptLabel("300,n,8,1"), 3500},
        {attemptLabel("300,e,7,1"), 3500},
    };
    return all.mid(0, count);
}

// A recording stand-in for the main window, for what the real one does not show yet.
class StandInTerminal : public TerminalControls {
public:
    void setControlEnabled(Control c, bool on) override { enabled[c] = on; }
    bool controlEnabled(Control c) const override { return enabled.count(c) && enabled.at(c); }
    void setCaption(Control c, const QString& text) override { captions[c] = text; }
    QString caption(Control c) const override { return captions.count(c) ? captions.at(c) : QString(); }
    void setControlToolTip(Control c, const QString& tip) override { tips[c] = tip; }
    void setChecked(Control c, bool on) override { checked[c] = on; }
    void bringToFront(Control c) override { front = c; }
    void setStatus(int panel, const QString& text) override { panels[panel] = text; }
    QString status(int panel) const override { return panels.count(panel) ? panels.at(panel) : QString(); }
    Link& link() override { return m_link; }
    void unloadTestConsole() override { ++consoleUnloads; }

    std::map<Control, bool> enabled;
    std::map<Control, QString> captions;
    std::map<Control, QString> tips;
    std::map<Control, bool> checked;
    std::map<int, QString> panels;
    Control front = Control::ImgNotConnected;
    int consoleUnloads = 0;

private:
    Link m_link;
};

enum class Run { Read, Program, Lookup };

} // namespace

Q_DECLARE_METATYPE(Run)

class TestDetection : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Sandbox> box;
    std::unique_ptr<sim::EncoderSim> encoder;
    frmTerminal* main = nullptr;

    std::mutex m_mutex;
    QList<int> m_probeBauds; // the line speed at each "ATI" the encoder took in

    void start() {
        main = frmTerminal::load();
        QVERIFY(main);
    }
    QList<int> probeBauds() {
        std::lock_guard lock(m_mutex);
        return m_probeBauds;
    }
    // Declines the read, so that only detection talks to the encoder.
    void declineTheRead() {
        shared().EncoderMatches = false;
        box->script.answers = {Answer::Ok, Answer::No};
    }
    bool inFront(const char* picture) const { return !main->findChild<QWidget*>(picture)->isHidden(); }
    QString storedSettings() const { return SettingsStore::get(QStringLiteral("Settings")); }

    void verifyClosedState() {
        const CommControl& port = main->link().MSComm1;
        QVERIFY(!port.PortOpen());
        QCOMPARE(port.Settings(), QString("9600,n,8,1"));
        QCOMPARE(main->caption(Control::mnuOpen), QString("&Open Port"));
        QCOMPARE(main->caption(Control::cmdComStatus), QString("Open COM 1"));
        QCOMPARE(main->status(2), QString("COM 1 Closed"));
        QVERIFY(inFront("ImgNotConnected"));
        for (Control c : {Control::mnuTest, Control::cmdLookup, Control::mnuSendMsg, toolbarButton(7),
                          toolbarButton(6), toolbarButton(5), Control::mnuReadDB, Control::mnuWriteDB})
            QVERIFY2(!main->controlEnabled(c), qPrintable(QString::number(int(c))));
        verifyRunEnded();
    }
    void verifyRunEnded() {
        QVERIFY(!frmCancelSend::isLoaded());
        QVERIFY(!isBusy());
        QVERIFY(!shared().EncoderDetected);
        QVERIFY(!shared().CancelRequested);
        QVERIFY(!shared().ReplyTimedOut);
        QVERIFY(!main->link().Timer2.isActive());
        QVERIFY(!main->link().exchangeRunning);
    }
    // A run as the user starts it with the port open and the view matching, held in its wait
    // by the encoder's silence; the bytes it waits on.
    QByteArray holdRunAt(Run run) {
        start();
        main->link().MSComm1.setPortOpen(true);
        shared().EncoderMatches = true;
        clearTables(shared().Db);
        const QByteArray key = run == Run::Read ? "G 3" : run == Run::Program ? "L 2" : "LOOKUP";
        encoder->setReplyOverride(key, "");
        main->link().Timer2.setInterval(20000);
        return run == Run::Read      ? sim::tapBlock(sim::DatabaseReadId, key)
               : run == Run::Program ? sim::tapBlock(sim::DatabaseWriteId, "L 2 0 0 0 0 0 0 0 0")
                                     : QByteArray("LOOKUP 1\r\n");
    }
    void startRun(Run run) {
        if (run == Run::Read) {
            main->mnuReadDB_Click();
        } else if (run == Run::Program) {
            main->mnuWriteDB_Click();
        } else {
            main->setControlEnabled(Control::cmdLookup, true);
            main->cmdLookup_Click();
        }
    }
    void verifyDetectedState(const QString& settings) {
        const CommControl& port = main->link().MSComm1;
        QVERIFY(port.PortOpen());
        QCOMPARE(port.Settings(), settings);
        QCOMPARE(storedSettings(), settings);
        QCOMPARE(main->status(2), "COM 1 Open at " + settings);
        QCOMPARE(main->caption(Control::mnuOpen), QString("&Close Port"));
        QCOMPARE(main->caption(Control::cmdComStatus), QString("Close COM 1"));
        QVERIFY(inFront("ImgConnected"));
        for (Control c :
             {Control::mnuTest, Control::mnuReadDB, Control::mnuWriteDB, toolbarButton(5), toolbarButton(6)})
            QVERIFY2(main->controlEnabled(c), qPrintable(QString::number(int(c))));
        verifyRunEnded();
    }

private slots:
    void init() {
        box = std::make_unique<Sandbox>();
        encoder = std::make_unique<sim::EncoderSim>();
        QVERIFY2(encoder->isRunning(), qPrintable(encoder->errorString()));
        SettingsStore::setPortDevice(1, encoder->slavePath());
        m_probeBauds.clear();
        sim::EncoderSim* e = encoder.get();
        encoder->setCommandLog([this, e](const sim::Exchange& x) {
            if (x.command == "ATI\r") {
                std::lock_guard lock(m_mutex);
                m_probeBauds.append(e->lineBaud());
            }
        });
    }
    void cleanup() {
        box.reset(); // the windows go first, while the simulated encoders still answer
        main = nullptr;
        encoder.reset();
    }

    void modeReplies_data() {
        QTest::addColumn<sim::Mode>("mode");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("Quillmar") << sim::Mode::Quillmar << "Quillmar Mode Detected"
                                  << "Quillmar mode detected. Program in TAP mode.\r"
                                     "Please note DIP switch settings, move all DIPs\r"
                                     "to ON position, then cycle power.  After\r"
                                     "programming, restore DIPs and cycle power.";
        QTest::newRow("COMP1") << sim::Mode::Comp1 << "COMP1 Mode Detected"
                               << "COMP1 mode detected. Program in TAP mode.\r"
                                  "Please note DIP switch settings, move all DIPs\r"
                                  "to ON position, then cycle power.  After\r"
                                  "programming, restore DIPs and cycle power";
        QTest::newRow("COMP2") << sim::Mode::Comp2 << "COMP2 Mode Detected"
                               << "COMP2 mode detected.  Program in TAP mode.\r"
                                  "Please note DIP switch settings, move all DIPs\r"
                                  "to ON position, then cycle power.  After\r"
                                  "programming, restore DIPs and cycle power";
        QTest::newRow("PET") << sim::Mode::Pet << "PET Protocol Mode Detected"
                             << "PET protocol mode detected.  Program in TAP mode.\r"
                                "Please cycle power and try again.";
    }
    // A mode reply has no prompt, so it is judged after the attempt's full time-out.
    void modeReplies() {
        QFETCH(sim::Mode, mode);
        QFETCH(QString, title);
        QFETCH(QString, text);
        encoder->setMode(mode);
        start();
        AttemptRecorder attempts(main->link());

        ToggleComPort();

        QCOMPARE(encoder->received(), probes(1));
        QCOMPARE(probeBauds(), QList<int>{9600});
        QCOMPARE(attempts.seen, attemptsUpTo(1));
        QCOMPARE(box->script.boxes.size(), 1);
        const BoxRecord& b = box->script.boxes[0];
        QCOMPARE(b.title, title);
        QCOMPARE(b.text, text);
        QCOMPARE(b.buttons, Buttons::Ok);
        QCOMPARE(b.icon, Icon::None);
        verifyClosedState();
        QCOMPARE(main->link().Timer2.interval(), 8000);
    }

    void encoderInTapMode() {
        start();
        SettingsStore::set(QStringLiteral("Settings"), QString());
        declineTheRead();
        AttemptRecorder attempts(main->link());
        QList<bool> busyAtBox;
        box->script.onBox = [&](const BoxRecord&) { busyAtBox << isBusy(); };

        ToggleComPort();

        QCOMPARE(busyAtBox, (QList<bool>{false, false})); // the pointer is back before the news
        QCOMPARE(encoder->received(), probes(1));         // the probe, and no read
        QCOMPARE(attempts.seen, attemptsUpTo(1));
        QCOMPARE(box->script.boxes.size(), 2);
        const BoxRecord& found = box->script.boxes[0];
        QCOMPARE(found.title, QString("Paging Encoder Detected"));
        QCOMPARE(found.text, QString("Paging Encoder Was Detected\rThe Encoder Database will Now be Read"));
        QCOMPARE(found.buttons, Buttons::Ok);
        QCOMPARE(found.icon, Icon::None);
        const BoxRecord& ask = box->script.boxes[1];
        QCOMPARE(ask.title, QString("Read Encoder?"));
        QCOMPARE(ask.text, QString("You are About to Read the Encoder and Replace the Current Configuration\r"
                                   "Are You Sure?"));
        QCOMPARE(ask.buttons, Buttons::YesNo);
        QCOMPARE(ask.icon, Icon::Question);
        verifyDetectedState("9600,n,8,1");
        // The view differs from the encoder's: what needs a match stays off.
        for (Control c : {toolbarButton(7), Control::cmdLookup, Control::mnuSendMsg})
            QVERIFY(!main->controlEnabled(c));
        QCOMPARE(main->link().Timer2.interval(), 6000);
    }

    void readFollowsDetection_data() {
        QTest::addColumn<bool>("matches");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QStringList>("titles"); // the boxes of detection itself
        QTest::addColumn<bool>("reads");
        QTest::addColumn<bool>("readFails");
        QTest::newRow("view matches: read at once")
            << true << QList<Answer>{Answer::Ok} << QStringList{"Paging Encoder Detected"} << true << false;
        QTest::newRow("view matches, the read fails")
            << true << QList<Answer>{Answer::Ok} << QStringList{"Paging Encoder Detected", "Read Error"}
            << true << true;
        QTest::newRow("view differs, Yes")
            << false << QList<Answer>{Answer::Ok, Answer::Yes}
            << QStringList{"Paging Encoder Detected", "Read Encoder?"} << true << false;
        QTest::newRow("view differs, No")
            << false << QList<Answer>{Answer::Ok, Answer::No}
            << QStringList{"Paging Encoder Detected", "Read Encoder?"} << false << false;
    }
    void readFollowsDetection() {
        QFETCH(bool, matches);
        QFETCH(QList<Answer>, answers);
        QFETCH(QStringList, titles);
        QFETCH(bool, reads);
        QFETCH(bool, readFails);
        if (readFails)
            encoder->setReplyOverride("config maxbatch?", "ID=\r\n");
        start();
        shared().EncoderMatches = matches;
        box->script.answers.assign(answers.begin(), answers.end());
        if (matches)
            for (Control c : {toolbarButton(7), Control::cmdLookup, Control::mnuSendMsg})
                main->setControlEnabled(c, false);

        ToggleComPort();

        QVERIFY(box->script.boxes.size() >= titles.size());
        for (int i = 0; i < titles.size(); ++i)
            QCOMPARE(box->script.boxes[i].title, titles[i]);
        const QList<QByteArray> commands = encoder->receivedCommands();
        QCOMPARE(commands.mid(0, 2), (QList<QByteArray>{"ATI\r", "\r"}));
        if (!reads) {
            QCOMPARE(commands.size(), 2);
            QCOMPARE(box->script.boxes.size(), titles.size());
        } else if (commands.size() > 2) {
            QCOMPARE(commands[2], QByteArray("CONFIG IDASCAP?\r"));
        } else {
            qWarning("the database read sent nothing");
        }
        if (matches) // opening with a matching view turns on what needs it
            for (Control c : {toolbarButton(7), Control::cmdLookup, Control::mnuSendMsg})
                QVERIFY(main->controlEnabled(c));
        QVERIFY(main->link().MSComm1.PortOpen());
        QCOMPARE(main->status(2), QString("COM 1 Open at 9600,n,8,1"));
        QVERIFY(!frmCancelSend::isLoaded());
        QVERIFY(!shared().EncoderDetected);
    }

    // A stop while "Paging Encoder Detected" is up: the read that follows sends nothing.
    void stopWhileTheNewsIsUp_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("the port command") << "toggle";
        QTest::newRow("leaving the program") << "exit";
    }
    void stopWhileTheNewsIsUp() {
        QFETCH(QString, how);
        start();
        shared().EncoderMatches = true; // the read follows at once
        box->script.onBox = [this, how](const BoxRecord& b) {
            if (b.title != "Paging Encoder Detected")
                return;
            if (how == "toggle")
                main->mnuOpen_Click();
            else
                shared().ExitConfirmed = true;
        };

        ToggleComPort();

        QCOMPARE(boxTitles(box->script), QStringList{"Paging Encoder Detected"});
        CommControl& port = main->link().MSComm1;
        QCOMPARE(port.PortOpen(), how == "exit");
        // No read followed: a line written now (on the port opened again if the stop closed it)
        // comes straight after the probe.
        QVERIFY(port.PortOpen() || port.setPortOpen(true));
        QVERIFY(port.Output("LATER\r"));
        QVERIFY(encoder->waitForReceived("LATER\r"));
        QCOMPARE(encoder->received(), probes(1) + "LATER\r");
        shared().ExitConfirmed = false;
        verifyRunEnded();
    }

    void slowerSpeed_data() {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("OK keeps it") << Answer::Ok;
        QTest::newRow("Cancel closes") << Answer::Cancel;
    }
    // The encoder listens at 2400 baud, 7 data bits and even parity. The line carries neither
    // parity nor 7 bits, so the encoder here ignores the first probe at 2400 as it would the
    // garbled 8N1 characters.
    void slowerSpeed() {
        QFETCH(Answer, answer);
        encoder->setMode(sim::Mode::Silent);
        sim::EncoderSim* e = encoder.get();
        auto listening = std::make_shared<std::atomic<bool>>(false);
        encoder->setCommandLog([this, e, listening](const sim::Exchange& x) {
            if (x.command == "ATI\r") {
                std::lock_guard lock(m_mutex);
                m_probeBauds.append(e->lineBaud());
            } else if (x.command == "\r" && e->lineBaud() == 2400 && !listening->exchange(true)) {
                e->setMode(sim::Mode::Tap);
            }
        });
        start();
        declineTheRead();
        box->script.answers.push_front(answer);
        AttemptRecorder attempts(main->link());
        QList<bool> busyAtBox;
        box->script.onBox = [&](const BoxRecord&) { busyAtBox << isBusy(); };

        ToggleComPort();

        // The question comes under the detection's hourglass.
        QCOMPARE(busyAtBox, (answer == Answer::Ok ? QList<bool>{true, false, false} : QList<bool>{true}));

        QCOMPARE(encoder->received(), probes(5));
        QCOMPARE(probeBauds(), (QList<int>{9600, 9600, 9600, 2400, 2400}));
        QCOMPARE(attempts.seen, attemptsUpTo(5));
        QVERIFY(!box->script.boxes.isEmpty());
        const BoxRecord& slow = box->script.boxes[0];
        QCOMPARE(slow.title, QString("Slower Baud Rate Detected"));
        QCOMPARE(slow.text, QString("Baud rate other than 9600 was detected.\r"
                                    "Programming may be slow.  To speed up\r"
                                    "programming, note DIP switch settings,\r"
                                    "move all DIPs to ON position, then cycle\r"
                                    "power.  After programming, restore DIPs\r"
                                    "and cycle power.\r"
                                    "\r"
                                    "Press OK to use current baud settings,\r"
                                    "or Cancel to change baud settings."));
        QCOMPARE(slow.buttons, Buttons::OkCancel);
        QCOMPARE(slow.icon, Icon::None);
        if (answer == Answer::Ok) {
            QCOMPARE(box->script.boxes.size(), 3);
            QCOMPARE(box->script.boxes[1].title, QString("Paging Encoder Detected"));
            verifyDetectedState("2400,e,7,1");
            QCOMPARE(main->link().Timer2.interval(), 6000);
        } else {
            QCOMPARE(box->script.boxes.size(), 1);
            verifyClosedState();
            QCOMPARE(storedSettings(), QString("9600,n,8,1"));
            QCOMPARE(main->link().Timer2.interval(), 8000);
        }
    }

    // All nine attempts with their real waits (about 15.5 s).
    void nothingAnswers() {
        encoder->setMode(sim::Mode::Silent);
        start();
        AttemptRecorder attempts(main->link());

        ToggleComPort();

        QCOMPARE(encoder->received(), probes(9));
        QCOMPARE(probeBauds(), (QList<int>{9600, 9600, 9600, 2400, 2400, 1200, 1200, 300, 300}));
        QCOMPARE(attempts.seen, attemptsUpTo(9));
        QCOMPARE(box->script.boxes.size(), 1);
        const BoxRecord& b = box->script.boxes[0];
        QCOMPARE(b.title, QString("Paging Encoder Not Detected"));
        QCOMPARE(b.text, QString("The Quillmar Paging Encoder was Not Detected.\r"
                                 "Please Check Connections, Paging Encoder Configuration,\r"
                                 "or COM Port Settings, and Try Again"));
        QCOMPARE(b.buttons, Buttons::Ok);
        QCOMPARE(b.icon, Icon::None);
        verifyClosedState();
        QCOMPARE(storedSettings(), QString("9600,n,8,1"));
        QCOMPARE(main->link().Timer2.interval(), 8000);
    }

    void stopDuringAttempt3_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel in the progress box") << "cancel";
        QTest::newRow("the port command again") << "toggle";
        QTest::newRow("leaving the program") << "exit";
    }
    void stopDuringAttempt3() {
        QFETCH(QString, how);
        encoder->setMode(sim::Mode::Silent);
        start();
        AttemptRecorder attempts(main->link());
        WhenReceived stop(*encoder, probes(4), [this, how] {
            if (how == "cancel")
                frmCancelSend::instance(false)->Command1->click();
            else if (how == "toggle")
                main->mnuOpen_Click();
            else
                shared().ExitConfirmed = true;
        });

        ToggleComPort();

        QVERIFY(stop.fired());
        QCOMPARE(encoder->received(), probes(4));
        QCOMPARE(attempts.seen, attemptsUpTo(4));
        QCOMPARE(box->script.boxes.size(), 0);
        verifyClosedState();
        QCOMPARE(main->link().Timer2.interval(), 8000);
    }

    void portThatCannotBeOpened() {
        SettingsStore::setPortDevice(1, QStringLiteral("/nonexistent/ttyQ1"));
        start();

        ToggleComPort();

        QCOMPARE(box->script.boxes.size(), 1);
        const BoxRecord& b = box->script.boxes[0];
        QCOMPARE(b.title, QString("Quillmar Paging Encoder Setup"));
        QCOMPARE(b.icon, Icon::Exclamation);
        QCOMPARE(b.buttons, Buttons::Ok);
        QVERIFY(!b.text.isEmpty());
        QVERIFY(!main->link().MSComm1.hasError());
        verifyClosedState();
        QCOMPARE(encoder->received(), QByteArray());
        QCOMPARE(main->link().Timer2.interval(), 8000);
    }

    void secondRunCloses() {
        start();
        declineTheRead();
        ToggleComPort();
        QVERIFY(main->link().MSComm1.PortOpen());
        encoder->clearReceived();
        box->script.boxes.clear();

        ToggleComPort();

        verifyClosedState();
        QCOMPARE(box->script.boxes.size(), 0);
        QCOMPARE(encoder->received(), QByteArray());
        QCOMPARE(storedSettings(), QString("9600,n,8,1"));
        QCOMPARE(main->link().Timer2.interval(), 8000);
    }

    void replyTimerAfterTheRun_data() {
        QTest::addColumn<sim::Mode>("mode");
        QTest::addColumn<int>("interval");
        QTest::newRow("found: the earlier value") << sim::Mode::Tap << 4000;
        QTest::newRow("failed: a run's own") << sim::Mode::Comp1 << 8000;
    }
    void replyTimerAfterTheRun() {
        QFETCH(sim::Mode, mode);
        QFETCH(int, interval);
        encoder->setMode(mode);
        start();
        declineTheRead();
        main->link().Timer2.setInterval(4000);

        ToggleComPort();

        QCOMPARE(main->link().Timer2.interval(), interval);
    }

    void banner_data() {
        QTest::addColumn<QByteArray>("banner");
        QTest::addColumn<bool>("v7");
        QTest::newRow("v7") << QByteArray("Quillmar Paging Encoder v7.1.9") << true;
        QTest::newRow("v7 exactly") << QByteArray("Quillmar Paging Encoder v7") << true;
        QTest::newRow("v6") << QByteArray("Quillmar Paging Encoder v6.1.9") << false;
        QTest::newRow("text before it") << QByteArray(" Quillmar Paging Encoder v7.1.9") << false;
        QTest::newRow("lower case") << QByteArray("quillmar paging encoder v7.1.9") << false;
    }
    void banner() {
        QFETCH(QByteArray, banner);
        QFETCH(bool, v7);
        sim::EncoderOptions options = encoder->options();
        options.banner = banner;
        encoder->setOptions(options);
        start();
        declineTheRead();
        main->setCaption(Control::Label25, QString());
        main->setControlEnabled(Control::mnuTXTune, false);

        ToggleComPort();

        QVERIFY(main->link().MSComm1.PortOpen());
        QCOMPARE(main->caption(Control::Label25), v7 ? QString("Paging Encoder V7") : QString());
        QCOMPARE(main->controlEnabled(Control::mnuTXTune), v7);
    }

    void portItemCarriesNoCheckMark() {
        start();
        declineTheRead();
        QAction* item = main->action(Control::mnuOpen);
        item->trigger();
        QVERIFY(main->link().MSComm1.PortOpen());
        QVERIFY(!item->isChecked());
        item->trigger();
        QVERIFY(!main->link().MSComm1.PortOpen());
        QVERIFY(!item->isChecked());
    }

    void closingUnloadsTheTestConsole() {
        StandInTerminal standIn;
        setTerminal(&standIn);
        declineTheRead();

        ToggleComPort();
        QVERIFY(standIn.link().MSComm1.PortOpen());
        QCOMPARE(standIn.consoleUnloads, 0);
        QCOMPARE(standIn.front, Control::ImgConnected);

        ToggleComPort();
        QVERIFY(!standIn.link().MSComm1.PortOpen());
        QCOMPARE(standIn.consoleUnloads, 1);
        QCOMPARE(standIn.front, Control::ImgNotConnected);
        QCOMPARE(standIn.status(2), QString("COM 1 Closed"));
        setTerminal(nullptr);
    }

    // The adapter pulled mid-run, whichever step meets the loss first (the reply's wait, the
    // first write of a run started after it, the write after a reply): the loss told once in the
    // same words, the run's own failure box, the port closed with the closing steps; once the
    // device is back the port opens without a stale box.
    void deviceLostMidRun_data() {
        QTest::addColumn<Run>("run");
        QTest::addColumn<QString>("when"); // wait, idle, after a reply
        QTest::addColumn<QString>("failure");
        QTest::newRow("read") << Run::Read << "wait"
                              << "Read Error";
        QTest::newRow("program") << Run::Program << "wait"
                                 << "Write Error";
        QTest::newRow("program after the pull") << Run::Program << "idle"
                                                << "Write Error";
        QTest::newRow("program between a reply and a write") << Run::Program << "after a reply"
                                                             << "Write Error";
    }
    void deviceLostMidRun() {
        QFETCH(Run, run);
        QFETCH(QString, when);
        QFETCH(QString, failure);
        const QByteArray awaited = holdRunAt(run);
        CommControl& port = main->link().MSComm1;
        if (when == "after a reply") {
            sim::EncoderOptions answering = encoder->options();
            answering.replyOverrides.clear();
            encoder->setOptions(answering);
        }
        WhenReceived unplug(*encoder, awaited, [&] {
            if (when == "after a reply") { // the reply has reached the port before the line goes
                port.waitForInput(5000);
                QVERIFY(port.InBufferCount() > 0);
            }
            encoder->hangUp();
        });
        if (when == "idle")
            encoder->hangUp();
        startRun(run);

        QCOMPARE(boxTexts(box->script).value(0), QString("The serial device is no longer connected"));
        QCOMPARE(box->script.boxes.value(0).icon, Icon::Exclamation);
        QCOMPARE(box->script.boxes.value(1).title, failure);
        QCOMPARE(box->script.boxes.size(), 2);
        QCOMPARE(unplug.fired(), when != "idle");
        QVERIFY(encoder->received().endsWith(when == "idle" ? QByteArray() : awaited));
        QVERIFY(!main->link().MSComm1.hasError());
        verifyClosedState();

        const sim::EncoderSim back;
        SettingsStore::setPortDevice(1, back.slavePath());
        box->script.boxes.clear();
        declineTheRead();
        main->mnuOpen_Click();
        QCOMPARE(box->script.boxes.size(), 2);
        QCOMPARE(box->script.boxes[0].title, QString("Paging Encoder Detected"));
        verifyDetectedState("9600,n,8,1");
        main->link().MSComm1.setPortOpen(false);
    }

    // The port command or Properties while a run waits: the run ends at once without a box, then
    // the port is closed with the closing steps and Properties opens its dialog.
    void stopDuringARun_data() {
        QTest::addColumn<Run>("run");
        QTest::addColumn<QString>("how");
        for (const auto& [name, run] : {std::pair{"read", Run::Read}, std::pair{"program", Run::Program},
                                        std::pair{"lookup", Run::Lookup}})
            for (const char* how : {"port command", "Properties"})
                QTest::addRow("%s during a %s", how, name) << run << QString(how);
    }
    void stopDuringARun() {
        QFETCH(Run, run);
        QFETCH(QString, how);
        const QByteArray awaited = holdRunAt(run);
        WhenReceived stop(*encoder, awaited, [this, how] {
            how == "Properties" ? main->mnuProperties_Click() : main->mnuOpen_Click();
        });
        std::optional<bool> portOpenUnderDialog;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (auto* dialog = qobject_cast<frmProperties*>(QApplication::activeModalWidget())) {
                portOpenUnderDialog = main->link().MSComm1.PortOpen();
                dialog->cmdCancel_Click();
            }
        });
        watch.start(5);
        QSignalSpy timedOut(&main->link().Timer2, &QTimer::timeout); // every wait's time-out
        bool ended = false;
        QTimer::singleShot(0, this, [&] { // from an event, as a click runs it
            startRun(run);
            ended = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(ended, 30000);

        QVERIFY(stop.fired());
        QCOMPARE(timedOut.count(), 0);
        QVERIFY(encoder->received().endsWith(awaited));
        QCOMPARE(portOpenUnderDialog, how == "Properties" ? std::optional(false) : std::nullopt);
        QCOMPARE(boxTexts(box->script), QStringList());
        QVERIFY(!main->link().stopRequested());
        verifyClosedState();
    }
};

QTEST_MAIN(TestDetection)
#include "tst_detection.moc"
