// The main window: start-up, the file commands, the exit question and the shutdown.

#include "app/frmTerminal.h"
#include "model/DatabaseFile.h"
#include "model/PagerDatabase.h"
#include "platform/Platform.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSettings>
#include <QtTest>

#include <unistd.h>

using namespace qpes;
using namespace qpes::test;

namespace {

QByteArray newDatabaseFile() {
    SharedState s;
    applyStartValues(s);
    clearTables(s.Db);
    return WriteDatabaseFile(s.Db, "");
}

// A window that asks before closing and answers as told.
class AskingWindow : public QWidget, public AsksBeforeClosing {
public:
    AskingWindow(const QString& name, bool answer, QStringList* asked) : m_answer(answer), m_asked(asked) {
        setObjectName(name);
    }
    bool queryUnload() override {
        m_asked->append(objectName());
        return m_answer;
    }

private:
    bool m_answer;
    QStringList* m_asked;
};

} // namespace

class TestTerminal : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Sandbox> box;
    frmTerminal* main = nullptr;

    void start() {
        main = frmTerminal::load();
        QVERIFY(main);
    }
    QSettings store() const { return QSettings(box->settingsFile(), QSettings::IniFormat); }

private slots:
    void init() { box = std::make_unique<Sandbox>(); }
    void cleanup() {
        box.reset();
        main = nullptr;
    }

    void startsOnAnEmptySettingsStore() {
        start();
        QCOMPARE(box->script.boxes.size(), 0);
        QCOMPARE(store().value("Properties/Settings").toString(), QString("9600,n,8,1"));
        QCOMPARE(store().value("Properties/CommPort").toString(), QString("1"));
        QVERIFY(!store().contains("Properties/LastFile"));
        QCOMPARE(main->status(1), QString("No Database Loaded"));
        QCOMPARE(main->windowTitle(), QString("Quillmar Paging Encoder Setup"));
        QCOMPARE(QDir::currentPath(), QDir(box->folder()).canonicalPath());
        QCOMPARE(main->caption(Control::cmdComStatus), QString("Open COM 1"));
        QCOMPARE(main->findChild<QWidget*>("ImgNotConnected")->toolTip(), QString(" Enable COM 1 "));
        QCOMPARE(main->findChild<QWidget*>("ImgConnected")->toolTip(), QString(" Disable COM 1 "));
        QCOMPARE(main->caption(Control::lblIDAsCap), QString("ID As Capcode Mode is OFF"));
        QCOMPARE(main->caption(Control::txLookup), QString("1"));

        for (Control c :
             {Control::mnuSave, Control::mnuWriteDB, Control::mnuReadDB, Control::mnuTest,
              Control::mnuSendMsg, Control::cmdLookup, toolbarButton(5), toolbarButton(6), toolbarButton(7)})
            QVERIFY2(!main->controlEnabled(c), qPrintable(QString::number(int(c))));
        for (Control c : {Control::mnuOpenFile, Control::mnuNewDB, Control::mnuSaveAs, Control::mnuPrintDB,
                          toolbarButton(2), toolbarButton(3), toolbarButton(4), Control::cmdSettings})
            QVERIFY2(main->controlEnabled(c), qPrintable(QString::number(int(c))));

        const SharedState& s = shared();
        QVERIFY(s.EncoderMatches);
        QVERIFY(s.DatabaseChecked);
        QVERIFY(!s.FormLoading);
        QCOMPARE(s.Db.Settings.DutyCycle, QByteArray("50"));
        QCOMPARE(s.Db.Settings.MaxBatch, QByteArray("10"));
        QVERIFY(s.Db.Settings.PPHReset && s.Db.Settings.InvertRFCD && s.Db.Settings.FlowBeforeACK);
        QVERIFY(!s.Db.Settings.IgnoreRFCD && !s.Db.Settings.InvertData && !s.Db.Settings.IDAsCap);
        QCOMPARE(s.EncodedCR, QByteArray("\x1aM"));
        QCOMPARE(s.EncodedLF, QByteArray("\x1aJ"));
        QCOMPARE(s.HelpFile, QString("KELMORA.PDF"));
        // Nothing was loaded: every table field is still empty.
        QCOMPARE(s.Db.Families[0][Fam::Active], QByteArray());
        QVERIFY(!main->link().MSComm1.PortOpen());
        QVERIFY(!main->link().Timer1.isActive() && !main->link().Timer2.isActive());
    }

    void keepsStoredPortSettings() {
        {
            QSettings s = store();
            s.setValue("Properties/Settings", "2400,N,8,1");
            s.setValue("Properties/CommPort", "3");
        }
        start();
        QCOMPARE(box->script.boxes.size(), 0);
        QCOMPARE(main->link().MSComm1.Settings(), QString("2400,n,8,1"));
        QCOMPARE(main->link().MSComm1.CommPort(), 3);
        QCOMPARE(shared().CommPortNumber, 3);
        QCOMPARE(main->caption(Control::cmdComStatus), QString("Open COM 3"));
        // A stored value is kept as it was.
        QCOMPARE(store().value("Properties/Settings").toString(), QString("2400,N,8,1"));
    }

    void reportsABadStoredSettingsString() {
        store().setValue("Properties/Settings", "fast,n,8,1");
        start();
        QCOMPARE(box->script.boxes.size(), 1);
        const BoxRecord& b = box->script.boxes[0];
        QCOMPARE(b.title, QString("Failure at Main Screen Load"));
        QVERIFY(b.text.startsWith("Failure During Main Screen Load: "));
        QCOMPARE(b.icon, Icon::Critical);
        QCOMPARE(b.buttons, Buttons::OkCancel);
        QCOMPARE(store().value("Properties/Settings").toString(), QString("fast,n,8,1"));
        QCOMPARE(main->status(1), QString("No Database Loaded"));
    }

    void skipsAMissingLastFile() {
        store().setValue("Properties/LastFile", "GONE.PG7");
        start();
        QCOMPARE(box->script.boxes.size(), 0);
        QCOMPARE(main->status(1), QString("No Database Loaded"));
        QCOMPARE(shared().LastFile, QString("GONE.PG7"));
        QCOMPARE(store().value("Properties/LastFile").toString(), QString("GONE.PG7"));
    }

    void loadsThePresentLastFile() {
        QByteArray file = newDatabaseFile();
        file.replace("Fam1,0,0000000,5,A,3,000,0000,00,00", "Fam1,1,1000000,1,N,0,010,7,2,00");
        file.replace("Grp2,0000,", "Grp2,0,");
        file.replace("IDAsCap,0", "IDAsCap,1");
        file.replace("Notes,\"\"", "Notes,\"site A, north\"");
        writeFile(box->path("SITE.PG7"), file);
        store().setValue("Properties/LastFile", "SITE.PG7");
        start();
        const SharedState& s = shared();
        QCOMPARE(main->status(1), QString("Loaded Database File: SITE.PG7"));
        QCOMPARE(s.Db.Families[0][Fam::StartID], QByteArray("7")); // not padded at start-up
        QCOMPARE(s.Db.Families[0][Fam::Defined], QByteArray("YES"));
        QCOMPARE(s.Db.Groups[1][Grp::Defined], QByteArray()); // GroupID "0" is not above 0
        QCOMPARE(s.Notes, QByteArray("site A, north"));
        QCOMPARE(main->findChild<QLineEdit*>("txtConfigNotes")->text(), QString("site A, north"));
        QCOMPARE(main->caption(Control::lblIDAsCap), QString("ID As Capcode Mode is ON"));
        QVERIFY(s.EncoderMatches);
        QVERIFY(!main->controlEnabled(Control::mnuSave));
        QCOMPARE(main->DatabaseFilePath(), QString());

        main->close();
        QCOMPARE(box->script.boxes.last().text,
                 QString("Are You Sure You Want to Exit Quillmar Paging Encoder Setup?"));
    }

    // A loaded note is shown whole; typing adds up to 80 characters and never lengthens a
    // longer note, and the shared notes follow the box.
    void notesBox_data() {
        QTest::addColumn<int>("loaded");
        QTest::addColumn<QString>("typed"); // after End; "<" is a Backspace
        QTest::addColumn<int>("kept");
        QTest::newRow("a long note, untouched") << 100 << "" << 100;
        QTest::newRow("a long note does not grow") << 100 << "xy" << 100;
        QTest::newRow("a long note shortened") << 100 << "<<" << 98;
        QTest::newRow("a shortened long note takes nothing more") << 100 << "<<xyz" << 98;
        QTest::newRow("a short note typed up to 80") << 78 << "xyz" << 80;
        QTest::newRow("a note longer than a line box holds by default") << 40000 << "<" << 39999;
    }
    void notesBox() {
        QFETCH(int, loaded);
        QFETCH(QString, typed);
        QFETCH(int, kept);
        const QByteArray note = QByteArray("0123456789").repeated(loaded / 10 + 1).left(loaded);
        writeFile(box->path("NOTES.PG7"), newDatabaseFile().replace("Notes,\"\"", "Notes,\"" + note + "\""));
        store().setValue("Properties/LastFile", "NOTES.PG7");
        start();
        auto* notes = main->findChild<QLineEdit*>("txtConfigNotes");
        QCOMPARE(notes->text(), QString::fromLatin1(note));

        QTest::keyClick(notes, Qt::Key_End);
        for (const QChar c : typed) {
            if (c == QLatin1Char('<'))
                QTest::keyClick(notes, Qt::Key_Backspace);
            else
                QTest::keyClicks(notes, QString(c));
        }
        QByteArray expected = note.left(qMin(kept, loaded - int(typed.count('<'))));
        expected += typed.remove('<').toLatin1().left(kept - expected.size());
        QCOMPARE(notes->text(), QString::fromLatin1(expected));
        QCOMPARE(shared().Notes, expected);
    }

    void longTextsDoNotWidenTheWindow_data() {
        QTest::addColumn<int>("control"); // -1 and -2: status panels 1 and 2
        QTest::newRow("lookup response") << int(Control::lblLookup);
        QTest::newRow("status panel 1") << -1;
        QTest::newRow("status panel 2") << -2;
    }
    void longTextsDoNotWidenTheWindow() {
        QFETCH(int, control);
        start();
        main->show();
        const int width = main->minimumSizeHint().width();
        const QString text = QStringLiteral("Response: ID ") + QString(300, QLatin1Char('x')) + "\r\n";
        if (control < 0)
            main->setStatus(-control, text);
        else
            main->setCaption(Control(control), text);
        QCoreApplication::processEvents();
        QCOMPARE(main->minimumSizeHint().width(), width);
        QCOMPARE(control < 0 ? main->status(-control) : main->caption(Control(control)), text);
    }

    void theTestMenuOpensOnceEnabled() {
        start();
        main->show();
        main->setControlEnabled(Control::mnuTest, true);
        auto* menu = main->findChild<QMenu*>("mnuTest");
        main->menuBar()->setActiveAction(menu->menuAction());
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(menu->isEnabled());
        menu->close();
    }

    // The warning only when another copy holds the lock; a lock that cannot be made, with a
    // regular file where the program's folder belongs, leaves the folder's own failure alone.
    void warnsWhenAlreadyRunning_data() {
        QTest::addColumn<bool>("otherCopy");
        QTest::addColumn<QString>("text");
        row("another copy runs", true, QString("Quillmar Paging Encoder Setup is already running."));
        row("no folder for the lock", false, QString("Failure During Main Screen Load: Path not found: "));
    }
    void warnsWhenAlreadyRunning() {
        QFETCH(bool, otherCopy);
        QFETCH(QString, text);
        QLockFile other(box->path(".instance.lock"));
        if (otherCopy) {
            QVERIFY(other.tryLock(0));
        } else {
            const QString blocked = box->folder() + "-file";
            writeFile(blocked, "not a folder");
            setProgramFolder(blocked);
            text += blocked;
        }
        start();
        QCOMPARE(boxTexts(box->script), QStringList{text});
        QCOMPARE(box->script.boxes[0].icon, otherCopy ? Icon::Exclamation : Icon::Critical);
        QCOMPARE(main->status(1), QString("No Database Loaded")); // runs normally
    }

    void newThenSaveAsWritesTheEmptyDatabase() {
        start();
        box->script.answers = {Answer::Yes};
        main->mnuNewDB_Click();
        QCOMPARE(box->script.boxes[0].title, QString("Clear Pager Database"));
        QCOMPARE(box->script.boxes[0].text, QString("Are You Sure You Want to Clear the Pager Database?\r"
                                                    "This Action Will Not Erase the Encoder's Database"));
        QCOMPARE(main->status(1), QString("New Configuration, Does Not Match Encoder"));
        QVERIFY(!shared().EncoderMatches);
        QVERIFY(!isBusy());

        const QString target = box->path("sub/NEW.PG7");
        QDir().mkpath(box->path("sub"));
        box->script.files = {target};
        main->mnuSaveAs_Click();
        QCOMPARE(box->script.fileRequests.last().title, QString("Save Pager Database File"));
        QCOMPARE(box->script.fileRequests.last().filter, QString("Pager Database Files (*.PG7)|*.pg7"));
        QCOMPARE(box->script.fileRequests.last().proposed, box->folder());
        const QByteArray written = readFile(target);
        QCOMPARE(written.size(), 3424);
        QCOMPARE(written, newDatabaseFile());
        QCOMPARE(main->status(1), QString("Saved Database to File: NEW.PG7, Doesn't Match Encoder"));
        QCOMPARE(store().value("Properties/LastFile").toString(), QString("NEW.PG7"));
        QCOMPARE(QDir::currentPath(), QDir(box->folder()).canonicalPath());
        QVERIFY(main->controlEnabled(Control::mnuSave));

        // Save writes the same file again, now with the edited notes.
        shared().Notes = "rev 2";
        main->mnuSave_Click();
        QVERIFY(readFile(target).endsWith("Notes,\"rev 2\"\r\n"));
    }

    void newDatabaseAnsweredNoChangesNothing() {
        start();
        box->script.answers = {Answer::No};
        main->mnuNewDB_Click();
        QCOMPARE(shared().Db.Families[0][Fam::Active], QByteArray());
        QCOMPARE(main->status(1), QString("No Database Loaded"));
        QVERIFY(shared().EncoderMatches);
    }

    void openReadsTheFileAndClearsTheMatch() {
        start();
        main->setControlEnabled(Control::cmdLookup, true);
        main->setControlEnabled(Control::mnuSendMsg, true);
        main->setControlEnabled(toolbarButton(7), true);
        QByteArray file = newDatabaseFile();
        file.replace("Fam2,0,0000000,5,A,3,000,0000,00,00", "Fam2,1,0001000,2,A,3,005,12,1,15");
        QDir().mkpath(box->path("elsewhere"));
        writeFile(box->path("elsewhere/B.PG7"), file);
        box->script.files = {box->path("elsewhere/B.PG7")};
        main->mnuOpenFile_Click();
        const SharedState& s = shared();
        QCOMPARE(box->script.fileRequests.last().title, QString("Open Pager Database File"));
        QCOMPARE(s.Db.Families[1][Fam::StartID], QByteArray("012"));
        QCOMPARE(s.Db.Families[1][Fam::Defined], QByteArray("YES"));
        QCOMPARE(main->status(1), QString("Loaded File: B.PG7, Doesn't Match Encoder"));
        QCOMPARE(store().value("Properties/LastFile").toString(), QString("B.PG7"));
        QCOMPARE(main->DatabaseFilePath(), box->path("elsewhere/B.PG7"));
        QVERIFY(main->controlEnabled(Control::mnuSave));
        QVERIFY(!s.EncoderMatches);
        QVERIFY(!s.DatabaseBusy);
        QVERIFY(!main->controlEnabled(Control::cmdLookup));
        QVERIFY(!main->controlEnabled(Control::mnuSendMsg));
        QVERIFY(!main->controlEnabled(toolbarButton(7)));
        // Open leaves the working folder at the chosen file's folder.
        QCOMPARE(QDir::currentPath(), QDir(box->path("elsewhere")).canonicalPath());
    }

    void openOfAnEmptyFileStillCountsAsLoaded() {
        start();
        writeFile(box->path("EMPTY.PG7"), "");
        box->script.files = {box->path("EMPTY.PG7")};
        main->mnuOpenFile_Click();
        QCOMPARE(main->status(1), QString("Loaded File: EMPTY.PG7, Doesn't Match Encoder"));
        QVERIFY(main->controlEnabled(Control::mnuSave));
        QCOMPARE(shared().Db.Families[0][Fam::Active], QByteArray());
    }

    void failedOpenCommitsNothing() {
        store().setValue("Properties/LastFile", "OLD.PG7");
        start();
        box->script.files = {box->path("MISSING.PG7")};
        main->mnuOpenFile_Click();
        QCOMPARE(box->script.boxes.size(), 1);
        QCOMPARE(box->script.boxes[0].title, QString("Quillmar Paging Encoder Setup"));
        QCOMPARE(box->script.boxes[0].icon, Icon::Exclamation);
        QVERIFY(!box->script.boxes[0].text.isEmpty());
        QCOMPARE(shared().LastFile, QString("OLD.PG7"));
        QCOMPARE(main->DatabaseFilePath(), QString());
        QCOMPARE(store().value("Properties/LastFile").toString(), QString("OLD.PG7"));
        QVERIFY(!main->controlEnabled(Control::mnuSave));
        QVERIFY(!shared().DatabaseBusy);
        QVERIFY(!isBusy());
        QVERIFY(shared().EncoderMatches);
    }

    void cancelledOpenChangesNothing() {
        start();
        main->mnuOpenFile_Click(); // no file scripted: Cancel
        QCOMPARE(box->script.fileRequests.size(), 1);
        QVERIFY(!shared().DatabaseBusy);
        QVERIFY(shared().EncoderMatches);
        QCOMPARE(main->status(1), QString("No Database Loaded"));
    }

    void failedSaveKeepsTheOldFile() {
        start();
        box->script.answers = {Answer::Yes};
        main->mnuNewDB_Click();
        const QString target = box->path("KEEP.PG7");
        writeFile(target, "previous content\r\n");
        // A folder where the file should be: the new file cannot replace it.
        box->script.files = {box->path("ADIR.PG7")};
        QDir().mkpath(box->path("ADIR.PG7"));
        main->mnuSaveAs_Click();
        QCOMPARE(box->script.boxes.size(), 2);
        QCOMPARE(box->script.boxes[1].icon, Icon::Exclamation);
        QVERIFY(!main->status(1).startsWith("Saved"));
        QCOMPARE(shared().LastFile, QString());
        QVERIFY(!store().contains("Properties/LastFile"));
        QVERIFY(!main->controlEnabled(Control::mnuSave));
        QCOMPARE(readFile(target), QByteArray("previous content\r\n"));

        // Save As onto an existing file replaces it without a question.
        box->script.files = {target};
        main->mnuSaveAs_Click();
        QCOMPARE(box->script.boxes.size(), 2);
        QCOMPARE(readFile(target), newDatabaseFile());
    }

    // A file the user may write in a folder that takes no new file: Save writes it in place.
    void saveWhereTheFolderTakesNoNewFile() {
        start();
        QTemporaryDir top;
        const auto readable = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                              QFile::ReadOther | QFile::ExeOther;
        const QString folder = top.path() + "/site", target = folder + "/SITE.PG7";
        QVERIFY(QFile::setPermissions(top.path(), readable | QFile::WriteOwner) && QDir().mkpath(folder));
        writeFile(target, newDatabaseFile());
        box->script.files = {target};
        main->mnuOpenFile_Click();
        shared().Db.Messages[0] = "written in place";
        shared().DatabaseChecked = true;
        // As root, save as a user who owns the file but may not add to the folder.
        const bool root = ::geteuid() == 0;
        QVERIFY(!root || ::chown(QFile::encodeName(target).constData(), 65534, gid_t(-1)) == 0);
        QFile::setPermissions(folder, readable);
        QVERIFY(!root || ::seteuid(65534) == 0);
        main->mnuSave_Click();
        QVERIFY(!root || ::seteuid(0) == 0);
        QFile::setPermissions(folder, readable | QFile::WriteOwner);

        QCOMPARE(boxTexts(box->script), QStringList());
        QVERIFY(readFile(target).contains("\r\nMsg1,written in place\r\n"));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"SITE.PG7"});
    }

    void saveDoesNothingWhileTheCheckFailed() {
        start();
        shared().DatabaseChecked = false;
        box->script.files = {box->path("X.PG7")};
        main->mnuSaveAs_Click();
        main->mnuSave_Click();
        QCOMPARE(box->script.fileRequests.size(), 0);
        QCOMPARE(box->script.boxes.size(), 0);
        QVERIFY(!QFile::exists(box->path("X.PG7")));
    }

    void sendMessagesNeedsAnOpenPort() {
        start();
        shared().DatabaseBusy = true;
        main->mnuSendMsg_Click();
        QCOMPARE(box->script.boxes.size(), 1);
        QCOMPARE(box->script.boxes[0].title, QString("COM Port Not Open"));
        QCOMPARE(box->script.boxes[0].text,
                 QString("COM Port 1 is Not Open\rPlease Open Port and Try Again"));
        QCOMPARE(box->script.boxes[0].icon, Icon::Critical);
        QVERIFY(!shared().DatabaseBusy);
    }

    void readAndProgramAskOnlyWhenTheViewDiffers() {
        start();
        // A matching view programs without a question: the port check is the first box.
        main->Toolbar1_ButtonClick("program");
        QCOMPARE(boxTexts(box->script),
                 QStringList{"COM Port 1 is Not Open\rPlease Open Port and Try Again"});
        box->script.boxes.clear();
        shared().EncoderMatches = false;
        box->script.answers = {Answer::No, Answer::No};
        main->Toolbar1_ButtonClick("read");
        main->Toolbar1_ButtonClick("program");
        QCOMPARE(box->script.boxes.size(), 2);
        QCOMPARE(box->script.boxes[0].title, QString("Read Encoder?"));
        QCOMPARE(
            box->script.boxes[0].text,
            QString(
                "You are About to Read the Encoder and Replace the Current Configuration\rAre You Sure?"));
        QCOMPARE(box->script.boxes[1].title, QString("Program Encoder?"));
        QCOMPARE(
            box->script.boxes[1].text,
            QString("You are About to Program the Encoder with the Current Configuration\rAre You Sure?"));
        QCOMPARE(box->script.boxes[1].icon, Icon::Question);
    }

    void helpOpensTheManualInTheCurrentFolder() {
        start();
        main->mnuQMHelp_Click();
        QCOMPARE(box->script.openedDocuments,
                 QStringList{QDir(box->folder()).canonicalPath() + "/KELMORA.PDF"});
    }

    void exitQuestionAnsweredNoKeepsRunning() {
        start();
        const QList<Control> matchOnly{Control::cmdLookup, Control::mnuSendMsg, toolbarButton(7)};
        for (Control c : matchOnly)
            main->setControlEnabled(c, true);
        MarkConfigurationModified();
        QCOMPARE(main->status(1), QString("Current Configuration Modified, Does Not Match Encoder"));
        for (Control c : matchOnly)
            QVERIFY(!main->controlEnabled(c));
        QPointer<frmTerminal> alive(main);
        box->script.answers = {Answer::No};
        QVERIFY(!main->close());
        QVERIFY(alive);
        QVERIFY(!shared().ExitConfirmed);
        const BoxRecord& b = box->script.boxes[0];
        QCOMPARE(b.title, QString("Exit Quillmar Paging Encoder Setup"));
        QCOMPARE(b.text, QString("You Have Not Programmed the Encoder with Your Current Edits\r"
                                 "Are You Sure You Want to Exit Quillmar Paging Encoder Setup?"));
        QCOMPARE(b.icon, Icon::Exclamation);
        QCOMPARE(b.buttons, Buttons::YesNo);
    }

    void aNoFromAnotherWindowCancelsTheWholeExit() {
        start();
        QStringList asked;
        auto* groups = new AskingWindow("frmCfgGroup", true, &asked);
        auto* families = new AskingWindow("frmCfgFam", false, &asked);
        QPointer<QWidget> g(groups), f(families);
        box->script.answers = {Answer::Yes};
        QVERIFY(!main->close());
        QCOMPARE(asked, (QStringList{"frmCfgGroup", "frmCfgFam"}));
        QVERIFY(!shared().ExitConfirmed);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(g && f);
        delete groups;
        delete families;
    }

    void shutdownUnloadsEveryWindowInOrder() {
        start();
        QStringList asked;
        QStringList destroyed;
        QList<QWidget*> windows;
        for (const char* name : {"frmTXTune", "frmCfgFam", "frmCfgMsg", "frmCfgGroup", "frmProperties"}) {
            auto* w = new AskingWindow(name, true, &asked);
            connect(w, &QObject::destroyed, this, [&destroyed, n = QString(name)] { destroyed << n; });
            windows << w;
        }
        QPointer<frmTerminal> alive(main);
        box->script.answers = {Answer::Yes};
        QVERIFY(main->close());
        QVERIFY(shared().ExitConfirmed);
        QCOMPARE(asked, (QStringList{"frmProperties", "frmCfgGroup", "frmCfgMsg", "frmCfgFam", "frmTXTune"}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(destroyed,
                 (QStringList{"frmProperties", "frmCfgGroup", "frmCfgMsg", "frmCfgFam", "frmTXTune"}));
        QVERIFY(!alive);
        main = nullptr;
    }
};

QTEST_MAIN(TestTerminal)
#include "tst_terminal.moc"
