// Programming the encoder database from the main window into the simulator: the exact bytes,
// the boxes, and the state every way out leaves behind.

#include "app/frmTerminal.h"
#include "editors/EditorGrid.h"
#include "editors/families/frmCfgFam.h"
#include "editors/groups/frmCfgGroup.h"
#include "link/ProgramDatabase.h"
#include "link/ReadDatabase.h"
#include "link/frmCancelSend.h"
#include "model/Families.h"
#include "model/PagerDatabase.h"
#include "model/Text.h"
#include "platform/Platform.h"
#include "sim/EncoderSim.h"
#include "support/TestSupport.h"
#include "support/WhenReceived.h"

#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <chrono>
#include <functional>
#include <thread>

using namespace qpes;
using namespace qpes::test;

namespace {

QByteArray writeBlock(const QByteArray& record) {
    return sim::tapBlock(sim::DatabaseWriteId, record);
}

// What a new database with the start settings sends after the ID-as-capcode commands.
QByteArray newDatabaseStream() {
    QByteArray s = "config invertdata 0\r\n"
                   "config pet 0\r\n"
                   "config invertrfcd 1\r\n"
                   "config dutycycle 50\r\n"
                   "config maxbatch 10\r\n"
                   "config pphreset 1\r\n"
                   "config ignorerfcd 0\r\n"
                   "config briefack 0\r\n"
                   "config altfc 1\r\n";
    for (int g = 1; g <= 10; ++g)
        s += writeBlock("L " + QByteArray::number(g) + " 0 0 0 0 0 0 0 0");
    for (int f = 1; f <= 50; ++f)
        s += writeBlock("G " + QByteArray::number(f) + " 0 8 5 A 0 0 0 0 0");
    for (int m = 1; m <= 15; ++m)
        s += writeBlock("M " + QByteArray::number(m) + " \"\"");
    return s + "config idascap 0\r\n";
}

// Every family, group and message defined, settings away from the start values.
PagerDatabase fullDatabase() {
    PagerDatabase db;
    for (int g = 0; g < GroupCount; ++g) {
        PagerGroup& r = db.Groups[g];
        r[Grp::GroupID] = QByteArray::number(5001 + g);
        r[Grp::Active] = g % 3 ? "1" : "0";
        r[Grp::CCActive] = "1";
        r[Grp::CCMsg] = QByteArray::number(g + 1);
        r[Grp::COActive] = g % 2 ? "1" : "0";
        r[Grp::COMsg] = g % 2 ? QByteArray::number(15 - g) : "00";
        r[Grp::TimerActive] = "0";
        r[Grp::TimerMsg] = "00";
        for (int i = 0; i < 20; ++i)
            r[Grp::PagerID1 + i] = i < g + 1 ? QByteArray::number(1000 + 20 * g + i) : "0000";
        r[Grp::Defined] = "YES";
        r[Grp::Reference] = "REF" + QByteArray::number(g + 1);
    }
    for (int f = 0; f < FamilyCount; ++f) {
        PagerFamily& r = db.Families[f];
        r[Fam::Active] = f % 4 ? "1" : "0";
        r[Fam::StartCap] = zeroFill(QByteArray::number(100000 + 1000 * f), 7);
        r[Fam::Rate] = QList<QByteArray>{"5", "1", "2"}[f % 3];
        r[Fam::PgrType] = f % 2 ? "N" : "A";
        r[Fam::Func] = f % 2 ? "0" : "3";
        r[Fam::PagerQty] = zeroFill(QByteArray::number(f + 1), 3);
        r[Fam::StartID] = QByteArray::number(1000 + 20 * f);
        r[Fam::Prefix] = f % 5 ? QByteArray::number(f % 15 + 1) : "00";
        r[Fam::Suffix] = f % 7 ? "00" : "3";
        r[Fam::Defined] = "YES";
    }
    for (int m = 0; m < MessageCount; ++m)
        db.Messages[m] = "Canned message " + QByteArray::number(m + 1);
    db.Messages[4] = "Call ID=12 now";
    db.Messages[5] = "say \"hi\"";
    EncoderSettings& e = db.Settings;
    e.DutyCycle = "30";
    e.MaxBatch = "20";
    e.IgnoreRFCD = true;
    e.PPHReset = false;
    e.InvertData = true;
    e.IDAsCap = true;
    e.InvertRFCD = false;
    e.BriefACK = true;
    e.FlowBeforeACK = false;
    e.PETEnabled = true;
    return db;
}

bool sameSettings(const EncoderSettings& a, const EncoderSettings& b) {
    return a.DutyCycle == b.DutyCycle && a.MaxBatch == b.MaxBatch && a.IgnoreRFCD == b.IgnoreRFCD &&
           a.PPHReset == b.PPHReset && a.InvertData == b.InvertData && a.IDAsCap == b.IDAsCap &&
           a.InvertRFCD == b.InvertRFCD && a.BriefACK == b.BriefACK && a.FlowBeforeACK == b.FlowBeforeACK &&
           a.PETEnabled == b.PETEnabled && a.PETSupported == b.PETSupported;
}

} // namespace

class TstProgram : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Sandbox> box;
    std::unique_ptr<sim::EncoderSim> encoder;
    frmTerminal* main = nullptr;

    bool inFront(const char* picture) const { return !main->findChild<QWidget*>(picture)->isHidden(); }

    // A new database, the view no longer matching, ready to program.
    void newDatabase() {
        clearTables(shared().Db);
        shared().EncoderMatches = false;
    }
    void verifyRunEnded() {
        const SharedState& s = shared();
        QVERIFY(!s.DatabaseBusy);
        QVERIFY(!s.CancelRequested);
        QVERIFY(!s.ReplyTimedOut);
        QVERIFY(!isBusy());
        QVERIFY(!frmCancelSend::isLoaded());
        QVERIFY(!main->link().Timer2.isActive());
        QVERIFY(!main->link().exchangeRunning);
    }
    // After a run that did not complete: the editors, Program and Read (the port is open), and
    // Test Encoder only while the view matches.
    void verifyToolbarRestored(bool testEncoder) {
        for (int n = 1; n <= 6; ++n)
            QVERIFY2(main->controlEnabled(toolbarButton(n)), qPrintable(QString::number(n)));
        QCOMPARE(main->controlEnabled(toolbarButton(7)), testEncoder);
    }
    void verifyWriteError() {
        QCOMPARE(box->script.boxes.size(), 1);
        const BoxRecord& b = box->script.boxes[0];
        QCOMPARE(b.title, QString("Write Error"));
        QCOMPARE(b.text, QString("Error Writing Pager Database at\r9600,n,8,1  COM Port 1\r"
                                 "Please Check Connections, Paging Encoder Configuration,\r"
                                 "or COM Port Settings, and Try Again"));
        QCOMPARE(b.icon, Icon::None);
        QCOMPARE(b.buttons, Buttons::Ok);
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
    }
    void cleanup() {
        box.reset(); // the windows go first, while the simulated encoders still answer
        main = nullptr;
        encoder.reset();
    }

    // An editor open during the run changes nothing; a user's edit made there meanwhile is told
    // once the run has ended, as the view then no longer matches the encoder.
    void programsANewDatabase_data() {
        QTest::addColumn<bool>("modeOn");
        QTest::addColumn<QString>("editor");
        QTest::addColumn<bool>("edited");
        row("encoder's ID-as-capcode mode off", false, QString(), false);
        row("encoder's ID-as-capcode mode on", true, QString(), false);
        row("families editor open", false, QString("families"), false);
        row("Pager Qty typed during the run", false, QString("families"), true);
        row("Group ID typed during the run", false, QString("groups"), true);
    }
    void programsANewDatabase() {
        QFETCH(bool, modeOn);
        QFETCH(QString, editor);
        QFETCH(bool, edited);
        encoder->setSetting("idascap", modeOn ? "1" : "0");
        box->script.answers = {Answer::Yes, Answer::Yes};
        main->mnuNewDB_Click();
        if (editor == "families")
            main->openFamiliesEditor();
        else if (editor == "groups")
            main->openGroupsEditor();
        // Family 1 and group 1 have gone out when family 25 is under way.
        const auto edit = [editor] {
            if (editor == "families") {
                frmCfgFam* w = frmCfgFam::loaded();
                clickCell(w->fgFamilies, 1, FamCol::PagerQty);
                w->txtFam->setText("33");
            } else {
                frmCfgGroup* w = frmCfgGroup::instance();
                clickCell(w->fgGroups, frmCfgGroup::RowGroupID, 1);
                QTest::keyClicks(w->txtGrp, "7");
            }
        };
        // While it programs (seen while family 25's record takes its time): the hourglass, the
        // database busy, every toolbar button off.
        const QByteArray family25 = writeBlock("G 25 0 8 5 A 0 0 0 0 0");
        encoder->setCommandLog([family25](const sim::Exchange& x) {
            if (x.command == family25)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        });
        QList<bool> during;
        WhenReceived programming(*encoder, family25, [&] {
            during = transferUnderWay(*main);
            if (edited)
                edit();
        });
        main->mnuWriteDB_Click();

        QVERIFY(programming.fired());
        QCOMPARE(during, QList<bool>(9, true));

        QCOMPARE(boxTexts(box->script),
                 QStringList({"Are You Sure You Want to Clear the Pager Database?\r"
                              "This Action Will Not Erase the Encoder's Database",
                              "You are About to Program the Encoder with the Current Configuration\r"
                              "Are You Sure?"}));
        const QByteArray start = modeOn ? "CONFIG IDASCAP?\rCONFIG IDASCAP 0\r" : "CONFIG IDASCAP?\r";
        QCOMPARE(encoder->received(), start + newDatabaseStream());
        QCOMPARE(encoder->receivedCommands().size(), modeOn ? 87 : 86);
        QCOMPARE(main->caption(Control::lblIDAsCap),
                 modeOn ? QString("ID As Capcode Mode is ON") : QString("ID As Capcode Mode is OFF"));
        QCOMPARE(encoder->setting("idascap"), QByteArray("0"));

        QCOMPARE(main->status(1), edited ? QString("Current Configuration Modified, Does Not Match Encoder")
                                         : QString("Encoder Matches Current Configuration"));
        QCOMPARE(shared().EncoderMatches, !edited);
        for (Control c : {Control::cmdLookup, Control::mnuSendMsg})
            QCOMPARE(main->controlEnabled(c), !edited);
        QVERIFY(main->controlEnabled(Control::mnuTest));
        for (int n = 1; n <= 7; ++n)
            QVERIFY2(main->controlEnabled(toolbarButton(n)) == (n < 7 || !edited),
                     qPrintable(QString::number(n)));
        verifyRunEnded();
    }

    void fullDatabaseRoundTrip() {
        const PagerDatabase db = fullDatabase();
        shared().Db = db;
        WriteEncoderDatabase();
        QCOMPARE(box->script.boxes.size(), 0);
        QVERIFY(shared().EncoderMatches);
        QCOMPARE(encoder->groupRecord(3),
                 QByteArray("L 3 5003 1 1 3 0 00 0 00 1040 1041 1042" + QByteArray(" 0000").repeated(17)));
        QCOMPARE(encoder->familyRecord(2), QByteArray("G 2 1 0101000 1 N 0 002 1020 2 00"));
        QCOMPARE(encoder->messageRecord(6), QByteArray("M 6 \"say \"hi\"\""));
        QCOMPARE(encoder->setting("idascap"), QByteArray("1"));

        // Forget everything, then read it back.
        clearTables(shared().Db);
        applyStartValues(shared());
        shared().FormLoading = false;
        ReadEncoderDatabase();
        QCOMPARE(box->script.boxes.size(), 0);
        const PagerDatabase& back = shared().Db;
        QVERIFY(back.Groups == db.Groups);
        QVERIFY(back.Families == db.Families);
        QVERIFY(back.Messages == db.Messages);
        EncoderSettings expected = db.Settings;
        expected.PETSupported = true;
        QVERIFY(sameSettings(back.Settings, expected));
        QCOMPARE(main->status(1), QString("Current View Matches Encoder Configuration"));
        verifyRunEnded();
    }

    void refusesAClosedPort() {
        QVERIFY(main->link().MSComm1.setPortOpen(false));
        for (int n = 1; n <= 7; ++n)
            main->setControlEnabled(toolbarButton(n), n != 3);
        main->setStatus(1, "before");
        WriteEncoderDatabase();

        QCOMPARE(box->script.boxes.size(), 1);
        const BoxRecord& b = box->script.boxes[0];
        QCOMPARE(b.title, QString("COM Port Not Open"));
        QCOMPARE(b.text, QString("COM Port 1 is Not Open\rPlease Open Port and Try Again"));
        QCOMPARE(b.icon, Icon::Critical);
        QCOMPARE(b.buttons, Buttons::Ok);
        QVERIFY(encoder->received().isEmpty());
        for (int n = 1; n <= 7; ++n)
            QCOMPARE(main->controlEnabled(toolbarButton(n)), n != 3);
        QCOMPARE(main->status(1), QString("before"));
        verifyRunEnded();
    }

    // "COMP2>" has no LF: the query's wait ends at the time-out, then the box.
    void comp2Detected() {
        encoder->setReplyOverride("CONFIG IDASCAP?", "COMP2>");
        main->link().Timer2.setInterval(300);
        shared().EncoderMatches = true;
        WriteEncoderDatabase();

        QCOMPARE(box->script.boxes.size(), 1);
        const BoxRecord& b = box->script.boxes[0];
        QCOMPARE(b.title, QString("COMP2 Detected"));
        QCOMPARE(b.text,
                 QString("COMP2 protocol is detected.  Please change to TAP protocol and try again."));
        QCOMPARE(b.icon, Icon::None);
        QCOMPARE(b.buttons, Buttons::Ok);
        QCOMPARE(encoder->received(), QByteArray("CONFIG IDASCAP?\r"));
        verifyToolbarRestored(true);
        verifyRunEnded();
    }

    void improperIdAsCapResponse() {
        encoder->setSetting("idascap", "1");
        encoder->setReplyOverride("CONFIG IDASCAP 0", "ERROR\r\n");
        main->bringToFront(Control::ImgConnected);
        shared().EncoderMatches = false;
        WriteEncoderDatabase();

        QCOMPARE(box->script.boxes.size(), 1);
        const BoxRecord& b = box->script.boxes[0];
        QCOMPARE(b.title, QString("Paging Encoder Improper Response"));
        QCOMPARE(b.text, QString("The Quillmar Paging Encoder did not Properly Respond to IDASCAP Command.\r"
                                 "Please Check Connections, Paging Encoder Configuration,\r"
                                 "or COM Port Settings, and Try Again"));
        QCOMPARE(b.icon, Icon::None);
        QCOMPARE(encoder->received(), QByteArray("CONFIG IDASCAP?\rCONFIG IDASCAP 0\r"));
        QCOMPARE(main->caption(Control::lblIDAsCap), QString("ID As Capcode Mode is ON"));
        QVERIFY(inFront("ImgNotConnected"));
        QVERIFY(main->link().MSComm1.PortOpen());
        verifyToolbarRestored(false);
        verifyRunEnded();
    }

    void writeError_data() {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("matchesBefore");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("commands");

        QTest::newRow("time-out at family 12") << QByteArray("G 12") << QByteArray() << false
                                               << "Writing Pager Database - Family 12" << 1 + 9 + 10 + 12;
        QTest::newRow("time-out at family 12, view matching")
            << QByteArray("G 12") << QByteArray() << true << "Writing Pager Database - Family 12" << 32;
        QTest::newRow("TAP prompt after a settings reply")
            << QByteArray("config pphreset 1") << QByteArray("ID=\r\n") << false
            << "Writing Pager Database - Message Timeout Reset Detection ON" << 7;
        QTest::newRow("pet acknowledged without CR")
            << QByteArray("config pet 0") << QByteArray("OK") << false
            << "Writing Pager Database - PET Protocol Support OFF" << 3;
        QTest::newRow("time-out at group 1")
            << QByteArray("L 1") << QByteArray() << false << "Writing Pager Database - Group 1" << 11;
        QTest::newRow("TAP prompt for message 15") << QByteArray("M 15") << QByteArray("ID=\x1e\r") << false
                                                   << "Writing Pager Database - Message 15" << 85;
        QTest::newRow("time-out at the final command")
            << QByteArray("config idascap 0") << QByteArray() << false
            << "Writing Pager Database - ID Assumed as Capcode OFF" << 86;
    }
    void writeError() {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, reply);
        QFETCH(bool, matchesBefore);
        QFETCH(QString, status);
        QFETCH(int, commands);

        encoder->setReplyOverride(key, reply);
        main->link().Timer2.setInterval(300);
        clearTables(shared().Db);
        shared().EncoderMatches = matchesBefore;
        main->setControlEnabled(Control::cmdLookup, matchesBefore);
        WriteEncoderDatabase();

        verifyWriteError();
        QCOMPARE(main->status(1), status);
        const QList<QByteArray> sent = encoder->receivedCommands();
        QCOMPARE(sent.size(), commands);
        QVERIFY(sent.last().contains(key));
        QCOMPARE(shared().EncoderMatches, matchesBefore);
        QCOMPARE(main->controlEnabled(Control::cmdLookup), matchesBefore);
        verifyToolbarRestored(matchesBefore);
        verifyRunEnded();
    }

    // A run that turned the encoder's mode off and failed before its own last word turns it on
    // again before the box; a failure at that last word sends nothing more.
    void modeBackOnAfterAFailure_data() {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("lastSent");
        QTest::newRow("time-out at family 12")
            << QByteArray("G 12") << writeBlock("G 12 0 8 5 A 0 0 0 0 0") + "CONFIG IDASCAP 1\r";
        QTest::newRow("time-out at the last word")
            << QByteArray("config idascap 0") << QByteArray("config idascap 0\r\n");
    }
    void modeBackOnAfterAFailure() {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, lastSent);
        encoder->setSetting("idascap", "1");
        encoder->setReplyOverride(key, "");
        main->link().Timer2.setInterval(300);
        clearTables(shared().Db);
        QByteArray sentWhenBoxUp;
        box->script.onBox = [&](const BoxRecord&) { sentWhenBoxUp = encoder->received(); };
        WriteEncoderDatabase();

        verifyWriteError();
        QVERIFY(sentWhenBoxUp.endsWith(lastSent));
        QCOMPARE(encoder->received(), sentWhenBoxUp);
        QCOMPARE(encoder->setting("idascap"), QByteArray(lastSent.endsWith("1\r") ? "1" : "0"));
        verifyRunEnded();
    }

    // Only a box left on screen by another operation can cancel a run; here the flag is set
    // while family 5's record waits for its acknowledgement.
    void cancelAtARecord() {
        encoder->setReplyOverride("G 5", "");
        main->link().Timer2.setInterval(20000);
        clearTables(shared().Db);
        WhenReceived cancel(*encoder, writeBlock("G 5 0 8 5 A 0 0 0 0 0"),
                            [] { shared().CancelRequested = true; });
        WriteEncoderDatabase();

        QVERIFY(cancel.fired());
        verifyWriteError();
        QCOMPARE(main->status(1), QString("Writing Pager Database - Family 5"));
        QCOMPARE(encoder->receivedCommands().size(), 1 + 9 + 10 + 5);
        verifyToolbarRestored(true);
        verifyRunEnded();
    }

    // A cancel, or the port closed, while an ID-as-capcode command waits ends the run quietly,
    // with nothing more sent and both flags clear.
    void stopAtAnIdAsCapCommand_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<bool>("closePort");
        QTest::newRow("cancel at the query") << QByteArray("CONFIG IDASCAP?") << false;
        QTest::newRow("port closed at the query") << QByteArray("CONFIG IDASCAP?") << true;
        QTest::newRow("cancel at turning the mode off") << QByteArray("CONFIG IDASCAP 0") << false;
        QTest::newRow("port closed at turning the mode off") << QByteArray("CONFIG IDASCAP 0") << true;
    }
    void stopAtAnIdAsCapCommand() {
        QFETCH(QByteArray, command);
        QFETCH(bool, closePort);
        encoder->setSetting("idascap", "1");
        encoder->setReplyOverride(command, "");
        main->link().Timer2.setInterval(20000);
        main->setStatus(1, "before");
        shared().EncoderMatches = true;
        WhenReceived stop(*encoder, command + "\r", [&] { closePortOrCancel(main->link(), closePort); });
        WriteEncoderDatabase();

        QVERIFY(stop.fired());
        QCOMPARE(box->script.boxes.size(), 0);
        QVERIFY(encoder->received().endsWith(command + "\r"));
        QCOMPARE(encoder->receivedCommands().size(), command.endsWith('?') ? 1 : 2);
        QCOMPARE(main->status(1), QString("before"));
        for (int n = 1; n <= 4; ++n)
            QVERIFY(main->controlEnabled(toolbarButton(n)));
        for (int n = 5; n <= 7; ++n)
            QCOMPARE(main->controlEnabled(toolbarButton(n)), !closePort);
        verifyRunEnded();
    }

    // Input waiting before the run is not dropped before the ID-as-capcode query: a waiting line
    // that begins with "1" counts as the mode being on.
    void inputWaitingBeforeTheQuery() {
        leaveLoginAnswerWaiting(main->link().MSComm1, *encoder);
        shared().EncoderMatches = true;
        WriteEncoderDatabase();
        QTRY_VERIFY(encoder->receivedCommands().size() >= 2); // the run may have ended on the late answer
        QCOMPARE(encoder->receivedCommands().mid(0, 2),
                 (QList<QByteArray>{"CONFIG IDASCAP?\r", "CONFIG IDASCAP 0\r"}));
    }

    // Leaving the program or losing the port ends the wait at once and the run quietly.
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
        encoder->setReplyOverride("L 3", "");
        main->link().Timer2.setInterval(20000);
        clearTables(shared().Db);
        Link& link = main->link();
        WhenReceived stop(*encoder, writeBlock("L 3 0 0 0 0 0 0 0 0"), [&] {
            if (closePort)
                link.MSComm1.setPortOpen(false);
            else
                shared().ExitConfirmed = true;
        });
        WriteEncoderDatabase();

        QVERIFY(stop.fired());
        QCOMPARE(box->script.boxes.size(), 0);
        QCOMPARE(encoder->receivedCommands().size(), 1 + int(modeOn) + 9 + 3);
        QVERIFY(encoder->received().endsWith(writeBlock("L 3 0 0 0 0 0 0 0 0")));
        QCOMPARE(main->status(1), QString("Writing Pager Database - Group 3"));
        QCOMPARE(main->controlEnabled(toolbarButton(5)), !closePort);
        QCOMPARE(main->controlEnabled(toolbarButton(6)), !closePort);
        QCOMPARE(main->controlEnabled(toolbarButton(7)), !closePort);
        QVERIFY(main->controlEnabled(toolbarButton(2)));
        shared().ExitConfirmed = false;
        verifyRunEnded();
    }

    // The records are built from the tables as they are when their turn comes.
    void anEditDuringTheRunReachesLaterRecords() {
        clearTables(shared().Db);
        WhenReceived edit(*encoder, writeBlock("G 1 0 8 5 A 0 0 0 0 0"),
                          [] { shared().Db.Messages[14] = "late\r\nedit"; });
        WriteEncoderDatabase();
        QVERIFY(edit.fired());
        QCOMPARE(encoder->messageRecord(15), QByteArray("M 15 \"late  edit\""));
        QVERIFY(encoder->received().contains(writeBlock("M 15 \"late  edit\"")));
    }
};

QTEST_MAIN(TstProgram)
#include "tst_program.moc"
