// Reading the encoder database from the simulator into the tables: the bytes asked, each record
// kind's decoding, the question before overwriting edits, and every way the read can stop.

#include "app/frmTerminal.h"
#include "editors/EditorGrid.h"
#include "editors/groups/frmCfgMsg.h"
#include "link/ReadDatabase.h"
#include "link/frmCancelSend.h"
#include "model/DatabaseFile.h"
#include "model/PagerDatabase.h"
#include "model/Text.h"
#include "platform/Platform.h"
#include "sim/EncoderSim.h"
#include "support/TestSupport.h"
#include "support/WhenReceived.h"

#include <QAction>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <chrono>
#include <functional>
#include <thread>

using namespace qpes;
using namespace qpes::test;

namespace {

QByteArray readBlock(const QByteArray& request) {
    return sim::tapBlock(sim::DatabaseReadId, request);
}

QByteArray readStream(bool modeOn) {
    QByteArray s = "CONFIG IDASCAP?\r";
    if (modeOn)
        s += "CONFIG IDASCAP 0\r";
    for (const char* name : {"maxbatch", "dutycycle", "pphreset", "ignorerfcd", "pet", "invertrfcd",
                             "invertdata", "briefack", "altfc"})
        s += "config " + QByteArray(name) + "?\r\n";
    for (int g = 1; g <= 10; ++g)
        s += readBlock("L " + QByteArray::number(g));
    for (int f = 1; f <= 50; ++f)
        s += readBlock("G " + QByteArray::number(f));
    for (int m = 1; m <= 15; ++m)
        s += readBlock("M " + QByteArray::number(m));
    if (modeOn)
        s += "CONFIG IDASCAP 1\r";
    return s;
}

// What the encoder holds: every record in full, settings away from the start values.
PagerDatabase encoderDatabase() {
    PagerDatabase db;
    for (int g = 0; g < GroupCount; ++g) {
        PagerGroup& r = db.Groups[g];
        r[Grp::GroupID] = QByteArray::number(7001 + g);
        r[Grp::Active] = "1";
        r[Grp::CCActive] = g % 2 ? "1" : "0";
        r[Grp::CCMsg] = g % 2 ? QByteArray::number(g + 1) : "00";
        r[Grp::COActive] = "0";
        r[Grp::COMsg] = "00";
        r[Grp::TimerActive] = "1";
        r[Grp::TimerMsg] = "15";
        for (int i = 0; i < 20; ++i)
            r[Grp::PagerID1 + i] = QByteArray::number(2000 + 20 * g + i);
    }
    for (int f = 0; f < FamilyCount; ++f) {
        PagerFamily& r = db.Families[f];
        r[Fam::Active] = "1";
        r[Fam::StartCap] = zeroFill(QByteArray::number(200000 + 1000 * f), 7);
        r[Fam::Rate] = f % 2 ? "2" : "5";
        r[Fam::PgrType] = "A";
        r[Fam::Func] = "3";
        r[Fam::PagerQty] = "010";
        r[Fam::StartID] = QByteArray::number(3000 + 10 * f);
        r[Fam::Prefix] = "00";
        r[Fam::Suffix] = QByteArray::number(f % 15 + 1);
    }
    // Pager IDs written with leading zeros, and a family the encoder holds empty.
    db.Families[1][Fam::StartID] = "0012";
    db.Families[2][Fam::StartID] = "01234";
    db.Families[3][Fam::StartID] = "0000";
    db.Families[4][Fam::Active] = "0";
    db.Families[4][Fam::PagerQty] = "000";
    for (int m = 0; m < MessageCount; ++m)
        db.Messages[m] = "Message " + QByteArray::number(m + 1);
    db.Messages[2] = "Page ID=77 at once";
    db.Messages[3] = "";
    db.Messages[9] = "a \"quoted\" word";
    EncoderSettings& e = db.Settings;
    e.DutyCycle = "40";
    e.MaxBatch = "25";
    e.IgnoreRFCD = true;
    e.PPHReset = false;
    e.InvertData = true;
    e.InvertRFCD = false;
    e.BriefACK = true;
    e.FlowBeforeACK = false;
    e.PETEnabled = true;
    return db;
}

// The tables as a complete read of encoderDatabase() leaves them.
PagerDatabase expectedRead(const PagerDatabase& encoder, const PagerDatabase& before) {
    PagerDatabase db = encoder;
    for (int g = 0; g < GroupCount; ++g) {
        db.Groups[g][Grp::Defined] = "YES";
        db.Groups[g][Grp::Reference] = before.Groups[g][Grp::Reference];
    }
    for (PagerFamily& f : db.Families)
        f[Fam::Defined] = "YES";
    db.Families[1][Fam::StartID] = "012";
    db.Families[2][Fam::StartID] = "1234";
    db.Families[4][Fam::StartCap] = "0000000";
    db.Families[4][Fam::Defined] = "";
    db.Settings.PETSupported = true;
    return db;
}

// Distinct old values everywhere, to see what a read overwrites.
void fillOld(PagerDatabase& db) {
    for (int g = 0; g < GroupCount; ++g)
        for (int i = 0; i < Grp::FieldCount; ++i)
            db.Groups[g][i] = "g" + QByteArray::number(g) + "." + QByteArray::number(i);
    for (int f = 0; f < FamilyCount; ++f)
        for (int i = 0; i < Fam::FieldCount; ++i)
            db.Families[f][i] = "f" + QByteArray::number(f) + "." + QByteArray::number(i);
    for (int m = 0; m < MessageCount; ++m)
        db.Messages[m] = "old " + QByteArray::number(m);
}

QByteArray settingText(const EncoderSettings& e, const QByteArray& name) {
    const auto flag = [](bool on) { return on ? QByteArray("1") : QByteArray("0"); };
    if (name == "maxbatch")
        return e.MaxBatch;
    if (name == "dutycycle")
        return e.DutyCycle;
    if (name == "pphreset")
        return flag(e.PPHReset);
    if (name == "ignorerfcd")
        return flag(e.IgnoreRFCD);
    if (name == "invertrfcd")
        return flag(e.InvertRFCD);
    if (name == "invertdata")
        return flag(e.InvertData);
    if (name == "briefack")
        return flag(e.BriefACK);
    if (name == "altfc")
        return flag(e.FlowBeforeACK);
    if (name == "pet")
        return flag(e.PETEnabled);
    return "?";
}

} // namespace

class TstRead : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Sandbox> box;
    std::unique_ptr<sim::EncoderSim> encoder;
    frmTerminal* main = nullptr;

    bool inFront(const char* picture) const { return !main->findChild<QWidget*>(picture)->isHidden(); }
    void verifyRunEnded() {
        const SharedState& s = shared();
        QVERIFY(!s.DatabaseBusy);
        QVERIFY(!s.ReplyTimedOut);
        QVERIFY(!isBusy());
        QVERIFY(!frmCancelSend::isLoaded());
        QVERIFY(!main->link().Timer2.isActive());
        QVERIFY(!main->link().exchangeRunning);
        QVERIFY(main->controlEnabled(Control::mnuTest));
    }
    void verifyToolbarRestored(bool testEncoder) {
        for (int n = 1; n <= 6; ++n)
            QVERIFY2(main->controlEnabled(toolbarButton(n)), qPrintable(QString::number(n)));
        QCOMPARE(main->controlEnabled(toolbarButton(7)), testEncoder);
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
        encoder->loadDatabase(encoderDatabase());
    }
    void cleanup() {
        box.reset(); // the windows go first, while the simulated encoders still answer
        main = nullptr;
        encoder.reset();
    }

    // The messages editor open during the read changes nothing; a message typed there meanwhile
    // is told once the read has ended, though the read then stores the encoder's message over it.
    void readsEveryRecordKind_data() {
        QTest::addColumn<bool>("modeOn");
        QTest::addColumn<bool>("slowQuery"); // the encoder takes 100 ms to answer "CONFIG IDASCAP?"
        QTest::addColumn<bool>("editorOpen");
        QTest::addColumn<bool>("edited");
        row("encoder's ID-as-capcode mode off", false, false, false, false);
        row("encoder's ID-as-capcode mode on", true, false, false, false);
        row("mode on, slow to say so", true, true, false, false);
        row("messages editor open", false, false, true, false);
        row("a message typed during the read", false, false, true, true);
    }
    void readsEveryRecordKind() {
        QFETCH(bool, modeOn);
        QFETCH(bool, slowQuery);
        QFETCH(bool, editorOpen);
        QFETCH(bool, edited);
        encoder->setSetting("idascap", modeOn ? "1" : "0");
        // The answer to family 25 takes its time too, so the read is seen while it waits.
        encoder->setCommandLog([slowQuery](const sim::Exchange& x) {
            if ((slowQuery && x.command == "CONFIG IDASCAP?\r") || x.command == readBlock("G 25"))
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        });
        fillOld(shared().Db);
        const PagerDatabase before = shared().Db;
        shared().EncoderMatches = true; // no question
        if (editorOpen)
            main->openMessagesEditor();
        // While it reads: the hourglass, the database busy, every toolbar button off.
        QList<bool> during;
        WhenReceived reading(*encoder, readBlock("G 25"), [&] {
            during = transferUnderWay(*main);
            if (edited) {
                clickCell(frmCfgMsg::instance()->fgMessages, 1, 1);
                QTest::keyClicks(frmCfgMsg::instance()->txtMsg, "x");
            }
        });
        main->mnuReadDB_Click();

        QVERIFY(reading.fired());
        QCOMPARE(during, QList<bool>(9, true));
        QCOMPARE(box->script.boxes.size(), 0);
        QCOMPARE(encoder->received(), readStream(modeOn));
        const PagerDatabase expected = expectedRead(encoderDatabase(), before);
        const PagerDatabase& db = shared().Db;
        for (int g = 0; g < GroupCount; ++g)
            QCOMPARE(QByteArrayList(db.Groups[g].begin(), db.Groups[g].end()),
                     QByteArrayList(expected.Groups[g].begin(), expected.Groups[g].end()));
        for (int f = 0; f < FamilyCount; ++f)
            QCOMPARE(QByteArrayList(db.Families[f].begin(), db.Families[f].end()),
                     QByteArrayList(expected.Families[f].begin(), expected.Families[f].end()));
        // A message holding "ID=" in its text is no TAP prompt.
        QCOMPARE(QByteArrayList(db.Messages.begin(), db.Messages.end()),
                 QByteArrayList(expected.Messages.begin(), expected.Messages.end()));
        for (const char* name : {"maxbatch", "dutycycle", "pphreset", "ignorerfcd", "pet", "invertrfcd",
                                 "invertdata", "briefack", "altfc"})
            QCOMPARE(settingText(db.Settings, name), settingText(expected.Settings, name));
        QCOMPARE(db.Settings.IDAsCap, modeOn);
        QVERIFY(db.Settings.PETSupported);
        QCOMPARE(main->caption(Control::lblIDAsCap),
                 modeOn ? QString("ID As Capcode Mode is ON") : QString("ID As Capcode Mode is OFF"));
        QCOMPARE(encoder->setting("idascap"), modeOn ? QByteArray("1") : QByteArray("0"));

        QCOMPARE(main->status(1), edited ? QString("Current Configuration Modified, Does Not Match Encoder")
                                         : QString("Current View Matches Encoder Configuration"));
        QCOMPARE(shared().EncoderMatches, !edited);
        for (Control c : {Control::cmdLookup, Control::mnuSendMsg})
            QCOMPARE(main->controlEnabled(c), !edited);
        for (int n = 1; n <= 7; ++n)
            QVERIFY2(main->controlEnabled(toolbarButton(n)) == (n < 7 || !edited),
                     qPrintable(QString::number(n)));
        verifyRunEnded();
    }

    void settingReplies_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("stored");

        QTest::newRow("maxbatch 010") << QByteArray("maxbatch") << QByteArray("010") << QByteArray("10");
        QTest::newRow("maxbatch not a number")
            << QByteArray("maxbatch") << QByteArray("ten") << QByteArray("77");
        QTest::newRow("dutycycle 005") << QByteArray("dutycycle") << QByteArray("005") << QByteArray("5");
        QTest::newRow("invertdata 2") << QByteArray("invertdata") << QByteArray("2") << QByteArray("1");
        QTest::newRow("invertdata 0") << QByteArray("invertdata") << QByteArray("0") << QByteArray("0");
        QTest::newRow("pphreset 2") << QByteArray("pphreset") << QByteArray("2") << QByteArray("0");
        QTest::newRow("briefack 1") << QByteArray("briefack") << QByteArray("1") << QByteArray("1");
        QTest::newRow("altfc 2") << QByteArray("altfc") << QByteArray("2") << QByteArray("0");
    }
    void settingReplies() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, stored);
        encoder->setSetting(name, value);
        shared().Db.Settings.MaxBatch = "77";
        ReadEncoderDatabase();
        QCOMPARE(box->script.boxes.size(), 0);
        QCOMPARE(settingText(shared().Db.Settings, name), stored);
    }

    // An encoder without the PET option answers its query with a lone RS.
    void petOption_data() {
        QTest::addColumn<bool>("supported");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("unknown to the encoder") << false << QByteArray("1");
        QTest::newRow("supported, off") << true << QByteArray("0");
        QTest::newRow("supported, on") << true << QByteArray("1");
    }
    void petOption() {
        QFETCH(bool, supported);
        QFETCH(QByteArray, value);
        auto options = encoder->options();
        options.petSupported = supported;
        encoder->setOptions(options);
        encoder->setSetting("pet", value);
        encoder->setSetting("ignorerfcd", "1"); // the query before it
        shared().Db.Settings.PETEnabled = !supported;
        ReadEncoderDatabase();

        QCOMPARE(box->script.boxes.size(), 0);
        QCOMPARE(shared().Db.Settings.PETSupported, supported);
        QCOMPARE(shared().Db.Settings.PETEnabled, supported && value == "1");
        QVERIFY(shared().EncoderMatches);
    }

    // A three-word reply after the first family gives that family the empty capcode only.
    void threeWordsAfterTheFirstFamily() {
        encoder->setReplyOverride("G 2", "G 2 0\r\n");
        fillOld(shared().Db);
        ReadEncoderDatabase();

        QCOMPARE(box->script.boxes.size(), 0);
        const EncoderSettings& e = shared().Db.Settings;
        QCOMPARE(e.DutyCycle, QByteArray("40"));
        QCOMPARE(e.MaxBatch, QByteArray("25"));
        QVERIFY(e.InvertData);
        const PagerFamily& f = shared().Db.Families[1];
        QCOMPARE(f[Fam::StartCap], QByteArray("0000000"));
        QCOMPARE(f[Fam::Defined], QByteArray("YES"));
        QCOMPARE(f[Fam::Active], QByteArray("f1.0"));
        QCOMPARE(shared().Db.Families[0][Fam::StartCap], QByteArray("0200000"));
    }

    // Input waiting before the read is not dropped before the ID-as-capcode query: a waiting
    // line that begins with "1" counts as the mode being on.
    void inputWaitingBeforeTheQuery() {
        leaveLoginAnswerWaiting(main->link().MSComm1, *encoder);
        shared().EncoderMatches = true;
        ReadEncoderDatabase();
        QTRY_VERIFY(encoder->receivedCommands().size() >= 2); // the run may have ended on the late answer
        QCOMPARE(encoder->receivedCommands().mid(0, 2),
                 (QList<QByteArray>{"CONFIG IDASCAP?\r", "CONFIG IDASCAP 0\r"}));
    }

    void olderEncoder() {
        auto options = encoder->options();
        options.olderEncoder = true;
        encoder->setOptions(options);
        encoder->setSetting("altfc", "1");
        encoder->setSetting("invertrfcd", "0");
        encoder->setSetting("idascap", "1");
        fillOld(shared().Db);
        const PagerDatabase before = shared().Db;
        ReadEncoderDatabase();

        QCOMPARE(box->script.boxes.size(), 0);
        const EncoderSettings& e = shared().Db.Settings;
        QCOMPARE(e.DutyCycle, QByteArray("50"));
        QCOMPARE(e.MaxBatch, QByteArray("10"));
        QVERIFY(!e.IgnoreRFCD);
        QVERIFY(e.PPHReset);
        QVERIFY(!e.InvertData);
        QVERIFY(!e.IDAsCap);
        QVERIFY(!e.BriefACK);
        QVERIFY(e.InvertRFCD);
        QVERIFY(!e.FlowBeforeACK);
        QVERIFY(e.PETEnabled);
        // The label keeps what the query found.
        QCOMPARE(main->caption(Control::lblIDAsCap), QString("ID As Capcode Mode is ON"));
        for (int f = 0; f < FamilyCount; ++f) {
            PagerFamily expected = before.Families[f];
            expected[Fam::StartCap] = "0000000";
            expected[Fam::Defined] = "YES";
            QCOMPARE(QByteArrayList(shared().Db.Families[f].begin(), shared().Db.Families[f].end()),
                     QByteArrayList(expected.begin(), expected.end()));
        }
        QVERIFY(shared().EncoderMatches);
    }

    // With the encoder's ID-as-capcode mode on, a run that stops turns it on again before its
    // failure box, as nothing else would.
    void timeOutAtGroup4() {
        encoder->setSetting("idascap", "1");
        // The encoder is slow to confirm; the run still takes in the confirmation before it ends.
        encoder->setCommandLog([](const sim::Exchange& x) {
            if (x.command == "CONFIG IDASCAP 1\r")
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        });
        QByteArray sentWhenBoxUp;
        box->script.onBox = [&](const BoxRecord&) { sentWhenBoxUp = encoder->received(); };
        encoder->setReplyOverride("L 4", "");
        main->link().Timer2.setInterval(300);
        fillOld(shared().Db);
        const PagerDatabase before = shared().Db;
        const PagerDatabase encoderDb = expectedRead(encoderDatabase(), before);
        shared().EncoderMatches = true;
        ReadEncoderDatabase();

        QCOMPARE(box->script.boxes.size(), 1);
        const BoxRecord& b = box->script.boxes[0];
        QCOMPARE(b.title, QString("Read Error"));
        QCOMPARE(b.text, QString("Error Reading Pager Database at\r9600,n,8,1  COM Port 1\r"
                                 "Please Check Connections, Paging Encoder Configuration,\r"
                                 "or COM Port Settings, and Try Again"));
        QCOMPARE(b.icon, Icon::None);
        QCOMPARE(b.buttons, Buttons::Ok);
        QCOMPARE(main->status(1), QString("Reading Pager Database - Group 4"));
        QVERIFY(sentWhenBoxUp.endsWith(readBlock("L 4") + "CONFIG IDASCAP 1\r"));
        QCOMPARE(encoder->received(), sentWhenBoxUp);
        QCOMPARE(encoder->setting("idascap"), QByteArray("1"));
        // Nothing was left unread: the encoder's answer to a later query comes alone.
        CommControl& port = main->link().MSComm1;
        QVERIFY(port.Output("CONFIG IDASCAP?\r"));
        QByteArray unread;
        QTRY_VERIFY((unread += port.Input()).endsWith("1\r\n"));
        QCOMPARE(unread, QByteArray("1\r\n"));

        const PagerDatabase& db = shared().Db;
        for (int g = 0; g < GroupCount; ++g) {
            const PagerGroup& expected = g < 3 ? encoderDb.Groups[g] : before.Groups[g];
            QCOMPARE(QByteArrayList(db.Groups[g].begin(), db.Groups[g].end()),
                     QByteArrayList(expected.begin(), expected.end()));
        }
        QVERIFY(db.Families == before.Families);
        QVERIFY(db.Messages == before.Messages);
        QCOMPARE(db.Settings.MaxBatch, QByteArray("25"));
        QVERIFY(db.Settings.InvertData);
        QVERIFY(!db.Settings.FlowBeforeACK);

        QVERIFY(shared().EncoderMatches); // as it was
        verifyToolbarRestored(true);
        verifyRunEnded();
    }

    void questionBeforeOverwritingEdits_data() {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("No") << Answer::No;
        QTest::newRow("Cancel") << Answer::Cancel;
        QTest::newRow("Yes") << Answer::Yes;
    }
    void questionBeforeOverwritingEdits() {
        QFETCH(Answer, answer);
        fillOld(shared().Db);
        const PagerDatabase before = shared().Db;
        shared().EncoderMatches = false;
        main->setStatus(1, "edited");
        for (int n = 1; n <= 7; ++n)
            main->setControlEnabled(toolbarButton(n), n % 2);
        box->script.answers = {answer};
        main->mnuReadDB_Click();

        QCOMPARE(box->script.boxes.size(), 1);
        const BoxRecord& b = box->script.boxes[0];
        QCOMPARE(b.title, QString("About to OverWrite Edits"));
        QCOMPARE(b.text, QString("You Have Edited the Pager Database\r"
                                 "If You Read the Encoder, You Will Lose Your Edits.\r"
                                 "Are You Sure You Want to Continue?"));
        QCOMPARE(b.icon, Icon::Exclamation);
        QCOMPARE(b.buttons, Buttons::YesNoCancel);
        QVERIFY(!isBusy());
        QVERIFY(!shared().DatabaseBusy);
        if (answer == Answer::Yes) {
            QCOMPARE(encoder->received(), readStream(false));
            QVERIFY(shared().EncoderMatches);
            return;
        }
        QVERIFY(encoder->received().isEmpty());
        QVERIFY(shared().Db.Groups == before.Groups);
        QVERIFY(shared().Db.Families == before.Families);
        QVERIFY(shared().Db.Messages == before.Messages);
        QVERIFY(!shared().EncoderMatches);
        QCOMPARE(main->status(1), QString("edited"));
        for (int n = 1; n <= 7; ++n)
            QCOMPARE(main->controlEnabled(toolbarButton(n)), bool(n % 2));
    }

    // No answer to the query: the mode counts as off and the read goes on.
    void queryTimesOut() {
        encoder->setReplyOverride("CONFIG IDASCAP?", "");
        main->link().Timer2.setInterval(300);
        shared().Db.Settings.IDAsCap = true;
        main->setCaption(Control::lblIDAsCap, "ID As Capcode Mode is ON");
        ReadEncoderDatabase();

        QCOMPARE(box->script.boxes.size(), 0);
        QVERIFY(!shared().Db.Settings.IDAsCap);
        QCOMPARE(main->caption(Control::lblIDAsCap), QString("ID As Capcode Mode is OFF"));
        QCOMPARE(encoder->received(), readStream(false));
        QVERIFY(shared().EncoderMatches);
        verifyRunEnded();
    }

    void improperResponse_data() {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<int>("commands");
        QTest::addColumn<bool>("recordsRead");
        QTest::newRow("turning the mode off") << QByteArray("CONFIG IDASCAP 0") << 2 << false;
        QTest::newRow("turning the mode back on") << QByteArray("CONFIG IDASCAP 1") << 2 + 9 + 75 + 1 << true;
    }
    void improperResponse() {
        QFETCH(QByteArray, key);
        QFETCH(int, commands);
        QFETCH(bool, recordsRead);
        encoder->setSetting("idascap", "1");
        encoder->setReplyOverride(key, "ERROR\r\n");
        main->bringToFront(Control::ImgConnected);
        fillOld(shared().Db);
        shared().EncoderMatches = false;
        box->script.answers = {Answer::Yes};
        ReadEncoderDatabase();

        QCOMPARE(box->script.boxes.size(), 2);
        const BoxRecord& b = box->script.boxes[1];
        QCOMPARE(b.title, QString("Paging Encoder Improper Response"));
        QCOMPARE(b.text, QString("The Quillmar Paging Encoder did not Properly Respond to IDASCAP Command.\r"
                                 "Please Check Connections, Paging Encoder Configuration,\r"
                                 "or COM Port Settings, and Try Again"));
        QCOMPARE(b.icon, Icon::None);
        QCOMPARE(encoder->receivedCommands().size(), commands);
        QCOMPARE(shared().Db.Messages[0], recordsRead ? QByteArray("Message 1") : QByteArray("old 0"));
        QVERIFY(!shared().EncoderMatches);
        QVERIFY(inFront("ImgNotConnected"));
        QVERIFY(main->link().MSComm1.PortOpen());
        verifyToolbarRestored(false);
        verifyRunEnded();
    }

    // A time-out or the encoder's TAP prompt at any step: the read-error box, and the read stops
    // there.
    void readError_data() {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("commands");
        QTest::newRow("time-out at the PET query") << QByteArray("config pet?") << QByteArray()
                                                   << "Reading Pager Database - PET Protocol Support" << 6;
        QTest::newRow("TAP prompt for group 7")
            << QByteArray("L 7") << QByteArray("ID=\r\n") << "Reading Pager Database - Group 7" << 1 + 9 + 7;
        // Only a message's own text may hold "ID=" between quotes.
        QTest::newRow("quoted TAP prompt for the duty cycle")
            << QByteArray("config dutycycle?") << QByteArray("\"ID=\"\r\n")
            << "Reading Pager Database - Transmitter Duty Cycle %" << 3;
        QTest::newRow("quoted TAP prompt for group 7") << QByteArray("L 7") << QByteArray("L 7 \"ID=\"\r\n")
                                                       << "Reading Pager Database - Group 7" << 1 + 9 + 7;
        QTest::newRow("quoted TAP prompt for family 50")
            << QByteArray("G 50") << QByteArray("G 50 \"ID=\"\r\n") << "Reading Pager Database - Family 50"
            << 1 + 9 + 10 + 50;
        QTest::newRow("time-out at family 50")
            << QByteArray("G 50") << QByteArray() << "Reading Pager Database - Family 50" << 1 + 9 + 10 + 50;
        QTest::newRow("TAP prompt after message 15's quotes")
            << QByteArray("M 15") << QByteArray("M 15 \"x\" ID=\r\n") << "Reading Pager Database - Message 15"
            << 1 + 9 + 75;
    }
    void readError() {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, reply);
        QFETCH(QString, status);
        QFETCH(int, commands);
        encoder->setReplyOverride(key, reply);
        main->link().Timer2.setInterval(300);
        shared().EncoderMatches = true;
        ReadEncoderDatabase();

        QCOMPARE(boxTitles(box->script), QStringList{"Read Error"});
        QCOMPARE(main->status(1), status);
        QCOMPARE(encoder->receivedCommands().size(), commands);
        QVERIFY(encoder->receivedCommands().last().contains(key));
        verifyToolbarRestored(true);
        verifyRunEnded();
    }

    // A cancel, or the port closed, while an ID-as-capcode command waits ends the read quietly:
    // nothing more is sent, both flags are clear and the view stays as it was.
    void stopAtAnIdAsCapCommand_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<bool>("closePort");
        QTest::addColumn<int>("commands");
        QTest::newRow("cancel at the query") << QByteArray("CONFIG IDASCAP?") << false << 1;
        QTest::newRow("cancel at turning the mode off") << QByteArray("CONFIG IDASCAP 0") << false << 2;
        QTest::newRow("port closed at turning the mode off") << QByteArray("CONFIG IDASCAP 0") << true << 2;
        QTest::newRow("cancel at turning the mode back on")
            << QByteArray("CONFIG IDASCAP 1") << false << 2 + 9 + 75 + 1;
    }
    void stopAtAnIdAsCapCommand() {
        QFETCH(QByteArray, command);
        QFETCH(bool, closePort);
        QFETCH(int, commands);
        encoder->setSetting("idascap", "1");
        encoder->setReplyOverride(command, "");
        main->link().Timer2.setInterval(20000);
        shared().EncoderMatches = false;
        box->script.answers = {Answer::Yes};
        main->setStatus(1, "before");
        WhenReceived stop(*encoder, command + "\r", [&] { closePortOrCancel(main->link(), closePort); });
        ReadEncoderDatabase();

        QVERIFY(stop.fired());
        QCOMPARE(boxTitles(box->script), QStringList{"About to OverWrite Edits"});
        QCOMPARE(encoder->receivedCommands().size(), commands);
        QVERIFY(encoder->received().endsWith(command + "\r"));
        QVERIFY(!shared().CancelRequested);
        QVERIFY(!shared().EncoderMatches);
        QCOMPARE(main->status(1),
                 commands > 2 ? QString("Reading Pager Database - Message 15") : QString("before"));
        QVERIFY(!main->controlEnabled(Control::cmdLookup));
        for (int n = 1; n <= 4; ++n)
            QVERIFY(main->controlEnabled(toolbarButton(n)));
        for (int n = 5; n <= 6; ++n)
            QCOMPARE(main->controlEnabled(toolbarButton(n)), !closePort);
        QVERIFY(!main->controlEnabled(toolbarButton(7)));
        verifyRunEnded();
    }

    // A cancel ends the read quietly and stays set for whoever runs next.
    void cancelAtAFamily() {
        encoder->setSetting("idascap", "1");
        encoder->setReplyOverride("G 7", "");
        main->link().Timer2.setInterval(20000);
        fillOld(shared().Db);
        shared().EncoderMatches = true;
        WhenReceived cancel(*encoder, readBlock("G 7"), [] { shared().CancelRequested = true; });
        ReadEncoderDatabase();

        QVERIFY(cancel.fired());
        QCOMPARE(box->script.boxes.size(), 0);
        QVERIFY(shared().CancelRequested);
        QCOMPARE(main->status(1), QString("Reading Pager Database - Family 7"));
        QVERIFY(encoder->received().endsWith(readBlock("G 7") + "CONFIG IDASCAP 1\r"));
        QCOMPARE(encoder->setting("idascap"), QByteArray("1"));
        QCOMPARE(shared().Db.Families[5][Fam::StartCap], QByteArray("0205000"));
        QCOMPARE(shared().Db.Families[6][Fam::StartCap], QByteArray("f6.1"));
        verifyToolbarRestored(true);
        verifyRunEnded();
    }

    // The file commands wait for the read: none of them writes half-read tables or opens a
    // dialog inside the read's wait, whose reply time-out runs on meanwhile.
    void fileCommandsWaitForTheRead_data() {
        QTest::addColumn<QString>("command");
        row("Save", "mnuSave");
        row("Save As", "mnuSaveAs");
        row("Print", "mnuPrintDB");
        row("New", "mnuNewDB");
        row("Open", "mnuOpenFile");
    }
    void fileCommandsWaitForTheRead() {
        QFETCH(QString, command);
        const QString site = box->path("SITE.PG7"), other = box->path("OTHER.PG7");
        SharedState& s = shared();
        writeFile(site, WriteDatabaseFile(s.Db, s.Notes));
        box->script.files = {site};
        main->mnuOpenFile_Click();
        const QByteArray before = readFile(site);
        s.EncoderMatches = true;
        box->script.files = {other};
        WhenReceived during(*encoder, readBlock("G 7"),
                            [this, command] { main->findChild<QAction*>(command)->trigger(); });
        main->mnuReadDB_Click();

        QVERIFY(during.fired());
        QCOMPARE(box->script.boxes.size(), 0);
        QCOMPARE(box->script.fileRequests.size(), 1);
        QCOMPARE(box->script.printRequests, 0);
        QCOMPARE(readFile(site), before);
        QVERIFY(!QFile::exists(other));
        QCOMPARE(encoder->received(), readStream(false));
        QCOMPARE(shared().Db.Messages[0], QByteArray("Message 1"));
        QVERIFY(shared().EncoderMatches);
    }

    void stopsWhenTheLinkGoes_data() {
        QTest::addColumn<bool>("closePort");
        QTest::addColumn<bool>("modeOn"); // the encoder's ID-as-capcode mode, not turned on again
        QTest::newRow("exit confirmed") << false << false;
        QTest::newRow("port closed") << true << false;
        QTest::newRow("exit confirmed, mode on") << false << true;
        QTest::newRow("port closed, mode on") << true << true;
    }
    void stopsWhenTheLinkGoes() {
        QFETCH(bool, closePort);
        QFETCH(bool, modeOn);
        encoder->setSetting("idascap", modeOn ? "1" : "0");
        encoder->setReplyOverride("M 2", "");
        main->link().Timer2.setInterval(20000);
        shared().EncoderMatches = true;
        Link& link = main->link();
        WhenReceived stop(*encoder, readBlock("M 2"), [&] {
            if (closePort)
                link.MSComm1.setPortOpen(false);
            else
                shared().ExitConfirmed = true;
        });
        ReadEncoderDatabase();

        QVERIFY(stop.fired());
        QCOMPARE(box->script.boxes.size(), 0);
        QVERIFY(encoder->received().endsWith(readBlock("M 2")));
        QCOMPARE(shared().Db.Messages[0], QByteArray("Message 1"));
        QCOMPARE(main->controlEnabled(toolbarButton(5)), !closePort);
        QCOMPARE(main->controlEnabled(toolbarButton(7)), !closePort);
        shared().ExitConfirmed = false;
        verifyRunEnded();
    }
};

QTEST_MAIN(TstRead)
#include "tst_read.moc"
