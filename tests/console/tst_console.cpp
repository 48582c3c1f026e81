// The console window: enable rules, the message box, the archive and messages.dat, the log
// list and the log file, the unload, the main window's commands, and the tuning dialog.

#include "app/frmTerminal.h"
#include "console/CommunicationsLog.h"
#include "console/ConsoleWidgets.h"
#include "console/frmMessageTest.h"
#include "console/frmTXTune.h"
#include "link/PortControl.h"
#include "model/PagerDatabase.h"
#include "model/Tap.h"
#include "platform/Platform.h"
#include "sim/EncoderSim.h"
#include "support/ConsoleWorld.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace qpes;
using namespace qpes::test;

class TstConsole : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ConsoleWorld> w;
    frmMessageTest* c() { return w->console; }
    QStringList archive() {
        QStringList items;
        for (int i = 0; i < c()->lb_Archive->count(); ++i)
            items << c()->lb_Archive->item(i)->text();
        return items;
    }
    QByteArray archiveFile() { return readFile(w->box.path("messages.dat")); }
    void openLog(const QString& path, std::deque<Answer> answers = {}) {
        w->box.script.files.push_back(path);
        w->box.script.answers = std::move(answers);
        c()->Check1->click();
    }

private slots:
    void init() {
        w = std::make_unique<ConsoleWorld>();
        QVERIFY(w->ready());
    }
    void cleanup() { w.reset(); }

    void enableRules() {
        QVERIFY(!c()->cmdSendMsg->isEnabled());
        QVERIFY(!c()->mnuRangeTest->isEnabled());
        QVERIFY(!c()->ChkLogInOut->isVisible());
        QCOMPARE(c()->lblMsgLen->text(), QString("Message Length:"));
        c()->txtPIN->setText("100");
        QVERIFY(c()->mnuRangeTest->isEnabled());
        QVERIFY(!c()->cmdSendMsg->isEnabled());
        c()->txtMessage->setPlainText("a<CR>");
        QVERIFY(c()->cmdSendMsg->isEnabled());
        QCOMPARE(c()->lblMsgLen->text(), QString("Message Length: 5"));
        c()->txtPIN->clear();
        QVERIFY(!c()->cmdSendMsg->isEnabled());
        QVERIFY(!c()->mnuRangeTest->isEnabled());
        c()->txtMessage->setPlainText("b");
        QVERIFY(c()->cmdSendMsg->isEnabled());
        c()->txtPIN->setText("1");
        QVERIFY(c()->cmdSendMsg->isEnabled());
        c()->txtPIN->clear();
        QVERIFY(!c()->cmdSendMsg->isEnabled());
        c()->txtPIN->setText("1"); // a message of one character is one
        QVERIFY(c()->cmdSendMsg->isEnabled());
        c()->txtMessage->clear();
        QVERIFY(!c()->cmdSendMsg->isEnabled());
        QVERIFY(c()->mnuRangeTest->isEnabled());
        QCOMPARE(c()->lblMsgLen->text(), QString("Message Length: 0"));
        QTest::keyClick(c()->txtPIN, Qt::Key_Escape);
        QVERIFY(c()->isVisible());
        c()->txtPIN->clear();
        QTest::keyClicks(c()->txtPIN, "12345678901");
        QCOMPARE(c()->txtPIN->text(), QString("1234567890"));
        c()->txtMessage->setPlainText(QString(250, 'm'));
        QTest::keyClicks(c()->txtMessage, "mm");
        QCOMPARE(c()->txtMessage->length(), 251);
    }

    // The console's fonts; the tuning window's text wraps onto several lines of its label.
    void look() {
        const QList<std::tuple<QWidget*, double, bool>> fonts{
            {c()->txtPIN, 9.75, true},    {c()->txtMessage, 8.25, true}, {c()->Label4, 8.25, true},
            {c()->Label1, 9.75, true},    {c()->Label7, 8.25, true},     {c()->cmdSendMsg, 12, true},
            {c()->lblMsgLen, 8.25, true}, {c()->Label2, 8.25, true},     {c()->lb_Archive, 8.25, true}};
        for (const auto& [widget, points, bold] : fonts) {
            QCOMPARE(widget->font().pointSizeF(), points);
            QCOMPARE(widget->font().bold(), bold);
        }
        frmTXTune tune(w->main);
        const QLabel* text = tune.Label1;
        QVERIFY(text->heightForWidth(text->width()) > 2 * text->fontMetrics().lineSpacing());
    }

    // Enter never enters the message; pasted line ends become blanks; typing stops at the limit.
    void messageBox() {
        c()->txtMessage->setFocus();
        QTest::keyClicks(c()->txtMessage, "ab");
        QTest::keyClick(c()->txtMessage, Qt::Key_Return);
        QApplication::clipboard()->setText("c\r\nd\ne");
        QVERIFY(c()->txtMessage->canPaste());
        c()->txtMessage->paste();
        QCOMPARE(c()->txtMessage->text(), QString("abc  d e"));
        c()->txtPIN->paste(); // the pager ID box too: a line end in it would break the block
        QCOMPARE(c()->txtPIN->text(), QString("c  d e"));
        QCOMPARE(c()->lblMsgLen->text(), QString("Message Length: 8"));
        c()->txtMessage->setMaxLength(10);
        QTest::keyClicks(c()->txtMessage, "xyz");
        c()->txtMessage->paste();
        QCOMPARE(c()->txtMessage->text(), QString("abc  d exy"));
        c()->txtMessage->selectAll(); // typing over a selection takes its room
        QTest::keyClicks(c()->txtMessage, "q");
        QCOMPARE(c()->txtMessage->text(), QString("q"));
        // Every mark the document breaks a line at, its frame marks too.
        QApplication::clipboard()->setText(QStringLiteral("r\uFDD0s\uFDD1t\u2029u\u2028v"));
        c()->txtMessage->paste();
        QCOMPARE(c()->txtMessage->text(), QString("qr s t u v"));
        c()->txtMessage->setPlainText("a\nb\u2028c"); // the document's line breaks read as LF
        QCOMPARE(c()->txtMessage->text(), QString("a\nb\nc"));
        c()->txtMessage->setPlainText(QString(19, 'p') + u'\u00a0'); // the program's text is taken whole
        QCOMPARE(c()->txtMessage->length(), 20);
        w->standingLogin(); // Enter runs Send, with a no-break space as it stands
        c()->txtPIN->setText("100");
        QTest::keyClick(c()->txtMessage, Qt::Key_Return);
        const QByteArray block = BuildTapBlock("100", QByteArray(19, 'p') + '\xa0');
        QCOMPARE(w->encoder->received(), block);
        // Enter runs Send wherever the focus is; Tab leaves the message box for Send.
        c()->cmdAdd->setFocus();
        QTest::keyClick(c()->cmdAdd, Qt::Key_Return);
        QVERIFY(w->encoder->waitForReceived(block + block));
        QCOMPARE(c()->lb_Archive->count(), 0);
        c()->txtMessage->setFocus();
        QTest::keyClick(c()->txtMessage, Qt::Key_Tab);
        QCOMPARE(c()->focusWidget(), c()->cmdSendMsg);
        QCOMPARE(c()->txtMessage->text(), QString(19, 'p') + u'\u00a0');
    }

    // A mouse click on an archive entry, as the user clicks it.
    void clickEntry(int row) {
        QListWidget* list = c()->lb_Archive;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }

    void archiveCommands_data() {
        QTest::addColumn<QByteArray>("file"); // messages.dat before the console opens
        QTest::addColumn<QString>("command"); // add, replace, delete
        QTest::addColumn<int>("row");         // selected before the command (-1 none)
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("answer"); // to "Verify" (-1: no box)
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QByteArray>("written"); // messages.dat afterwards
        QTest::addColumn<int>("selected");
        const int yes = int(Answer::Yes), no = int(Answer::No);
        row("add", QByteArray("a\r\n"), "add", -1, "b, \"c\"", -1, QStringList{"a", "b, \"c\""},
            QByteArray("a\r\nb, \"c\"\r\n"), -1);
        row("duplicate add selects", QByteArray("a\r\nb\r\n"), "add", -1, "b", -1, QStringList{"a", "b"},
            QByteArray("a\r\nb\r\n"), 1);
        row("duplicate of the first entry", QByteArray("a\r\nb\r\n"), "add", 1, "a", -1,
            QStringList{"a", "b"}, QByteArray("a\r\nb\r\n"), 0);
        // Found as the file holds it; the message box keeps what was typed.
        row("duplicate outside Latin-1", QByteArray("a\r\nb?\r\n"), "add", -1, "b\u20ac", -1,
            QStringList{"a", "b?"}, QByteArray("a\r\nb?\r\n"), 1);
        row("outside Latin-1 as in the file", QByteArray("a\r\n"), "add", -1, "b\u20ac", -1,
            QStringList{"a", "b?"}, QByteArray("a\r\nb?\r\n"), -1);
        row("replace", QByteArray("a\r\nb\r\n"), "replace", 0, "z", yes, QStringList{"z", "b"},
            QByteArray("z\r\nb\r\n"), 0);
        // The replaced entry is copied back into the message box as the file holds it.
        row("replace outside Latin-1", QByteArray("a\r\n"), "replace", 0, "b\u20ac", yes, QStringList{"b?"},
            QByteArray("b?\r\n"), 0);
        row("replace the second", QByteArray("a\r\nb\r\n"), "replace", 1, "z", yes, QStringList{"a", "z"},
            QByteArray("a\r\nz\r\n"), 1);
        row("replace with its own text", QByteArray("a\r\nb\r\n"), "replace", 0, "b", -1,
            QStringList{"a", "b"}, QByteArray("a\r\nb\r\n"), 1);
        row("replace with the first entry's text", QByteArray("a\r\nb\r\n"), "replace", 1, "a", -1,
            QStringList{"a", "b"}, QByteArray("a\r\nb\r\n"), 0);
        row("replace answered No", QByteArray("a\r\nb\r\n"), "replace", 1, "z", no, QStringList{"a", "b"},
            QByteArray("a\r\nb\r\n"), 1);
        row("replace without selection", QByteArray("a\r\n"), "replace", -1, "z", -1, QStringList{"a"},
            QByteArray("a\r\n"), -1);
        row("replace with an empty message", QByteArray("a\r\n"), "replace", 0, "", -1, QStringList{"a"},
            QByteArray("a\r\n"), 0);
        QByteArray full;
        QStringList replaced{"z"};
        for (int i = 1; i <= 300; ++i) {
            full += QByteArray::number(i) + "\r\n";
            if (i > 1 && i < 300)
                replaced << QString::number(i);
        }
        row("replace in an archive of 300 drops the last", full, "replace", 0, "z", yes, replaced,
            "z\r\n" + full.mid(3, full.size() - 3 - 5), 0);
        QStringList first299 = replaced.mid(1);
        first299.prepend("1");
        row("replace the last of 300 drops it with its new text", full, "replace", 299, "z", yes, first299,
            full.left(full.size() - 5), -1);
        row("delete to an empty file", QByteArray("a\r\n"), "delete", 0, "", yes, QStringList{},
            QByteArray(""), -1);
        row("delete the first of two", QByteArray("a\r\nb\r\n"), "delete", 0, "m", yes, QStringList{"b"},
            QByteArray("b\r\n"), -1);
        row("delete answered No", QByteArray("a\r\nb\r\n"), "delete", 1, "m", no, QStringList{"a", "b"},
            QByteArray("a\r\nb\r\n"), 1);
        row("delete without selection", QByteArray("a\r\n"), "delete", -1, "", -1, QStringList{"a"},
            QByteArray("a\r\n"), -1);
    }
    void archiveCommands() {
        QFETCH(QByteArray, file);
        QFETCH(QString, command);
        QFETCH(int, row);
        QFETCH(QString, message);
        QFETCH(int, answer);
        QFETCH(QStringList, entries);
        QFETCH(QByteArray, written);
        QFETCH(int, selected);
        writeFile(w->box.path("messages.dat"), file);
        w->reopen();
        if (row >= 0)
            c()->lb_Archive->setCurrentRow(row);
        c()->txtMessage->setPlainText(message);
        if (answer >= 0)
            w->box.script.answers = {Answer(answer)};
        QPushButton* b = command == "add"       ? c()->cmdAdd
                         : command == "replace" ? c()->cmdReplace
                                                : c()->cmdDelete;
        b->click();
        QCOMPARE(archive(), entries);
        QCOMPARE(archiveFile(), written);
        QVERIFY(QFile::exists(w->box.path("messages.dat"))); // an empty list leaves an empty file
        const QListWidgetItem* current = c()->lb_Archive->currentItem();
        QCOMPARE(current && current->isSelected() ? c()->lb_Archive->currentRow() : -1, selected);
        const bool replaced = command == "replace" && answer == int(Answer::Yes) && selected >= 0;
        QCOMPARE(c()->txtMessage->text(), replaced ? entries[selected] : message);
        if (answer < 0) {
            QCOMPARE(w->box.script.boxes.size(), 0);
        } else {
            QCOMPARE(w->box.script.boxes.size(), 1);
            const BoxRecord& asked = w->box.script.boxes[0];
            QCOMPARE(asked.title, QString("Verify"));
            QCOMPARE(asked.text, command == "replace"
                                     ? QString("Are You Sure You Want to Replace the Selected Item?")
                                     : QString("Are you sure you want to delete the selected item?"));
            QCOMPARE(asked.buttons, Buttons::YesNo);
            QCOMPARE(asked.icon, Icon::None);
        }
        // Whatever the command did, a click on an entry copies it again.
        if (!entries.isEmpty()) {
            clickEntry(0);
            QCOMPARE(c()->txtMessage->text(), entries[0]);
        }
    }

    // The oldest entry goes once the archive would exceed 299; the selection moves with its
    // entry and the message box keeps the added text.
    void archiveLimit() {
        QByteArray file;
        for (int i = 1; i <= 299; ++i)
            file += QByteArray::number(i) + "\r\n";
        writeFile(w->box.path("messages.dat"), file);
        w->reopen();
        c()->lb_Archive->setCurrentRow(4);
        c()->txtMessage->setPlainText("new");
        c()->cmdAdd->click();
        QCOMPARE(c()->lb_Archive->count(), 299);
        QCOMPARE(archive().first(), QString("2"));
        QCOMPARE(archive().last(), QString("new"));
        QCOMPARE(archiveFile(), file.mid(3) + "new\r\n");
        QCOMPARE(c()->txtMessage->text(), QString("new"));
    }

    // Clicking an entry copies it; with the port open and an ID typed it enables the range test.
    void archiveClick_data() {
        QTest::addColumn<bool>("portOpen");
        QTest::addColumn<QString>("pin");
        QTest::addColumn<bool>("rangeTest");
        row("port open, ID typed", true, "100", true);
        row("no ID", true, "", false);
        row("port closed", false, "100", false);
    }
    void archiveClick() {
        QFETCH(bool, portOpen);
        QFETCH(QString, pin);
        QFETCH(bool, rangeTest);
        writeFile(w->box.path("messages.dat"), "1\r\n2\r\n3\r\n");
        QDir::setCurrent(w->box.folder());
        w->reopen();
        c()->txtPIN->setText(pin);
        c()->mnuRangeTest->setEnabled(false);
        w->main->link().MSComm1.setPortOpen(portOpen);
        clickEntry(1);
        QCOMPARE(c()->txtMessage->text(), QString("2"));
        QCOMPARE(c()->lblMsgLen->text(), QString("Message Length: 1"));
        QCOMPARE(c()->mnuRangeTest->isEnabled(), rangeTest);
    }

    // messages.dat lives in the program's folder, wherever a file dialog has moved the current
    // folder before or while the console is open.
    void archiveLivesInTheProgramFolder_data() {
        QTest::addColumn<QString>("moved"); // by what, and whether before the console opens
        row("database opened elsewhere", "database");
        row("log file chosen elsewhere", "log");
        row("log file chosen while open", "log, open");
    }
    void archiveLivesInTheProgramFolder() {
        QFETCH(QString, moved);
        writeFile(w->box.path("messages.dat"), "kept\r\n");
        const QString elsewhere = w->box.path("elsewhere");
        QDir().mkpath(elsewhere);
        if (moved == "database") {
            writeFile(elsewhere + "/SITE.PG7", QByteArray());
            w->box.script.files = {elsewhere + "/SITE.PG7"};
            w->main->mnuOpenFile_Click();
        } else {
            if (moved == "log, open")
                w->reopen();
            openLog(elsewhere + "/a.log");
        }
        QCOMPARE(QDir::currentPath(), elsewhere);
        if (moved != "log, open")
            w->reopen();
        QCOMPARE(archive(), QStringList{"kept"});
        c()->txtMessage->setPlainText("m");
        c()->cmdAdd->click();
        QCOMPARE(archiveFile(), QByteArray("kept\r\nm\r\n"));
        QVERIFY(!QFile::exists(elsewhere + "/messages.dat"));
        QCOMPARE(w->box.script.boxes.size(), 0);
    }

    // A failed write is reported and the list keeps the change.
    void archiveWriteFails() {
        QDir().mkpath(w->box.path("messages.dat")); // a folder where the file should be
        c()->txtMessage->setPlainText("m");
        c()->cmdAdd->click();
        QCOMPARE(archive(), QStringList{"m"});
        QCOMPARE(w->box.script.boxes.size(), 1);
        QCOMPARE(w->box.script.boxes[0].icon, Icon::Exclamation);
        QCOMPARE(w->box.script.boxes[0].title, QString("Quillmar Paging Encoder Setup"));
        QVERIFY(!isBusy());
    }

    void logFile_data() {
        QTest::addColumn<QByteArray>("before"); // the file's content; null: no file
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<int>("answer"); // to "Replace existing file"
        QTest::addColumn<bool>("kept");
        row("new file", QByteArray(), "a.log", "a.log", -1, false);
        row("LOG added", QByteArray(), "a", "a.LOG", -1, false);
        row("No appends", QByteArray("old\r\n"), "a.log", "a.log", int(Answer::No), true);
        row("Yes replaces", QByteArray("old\r\n"), "a.log", "a.log", int(Answer::Yes), false);
    }
    void logFile() {
        QFETCH(QByteArray, before);
        QFETCH(QString, typed);
        QFETCH(QString, opened);
        QFETCH(int, answer);
        QFETCH(bool, kept);
        const QString path = w->box.path(opened);
        if (!before.isNull())
            writeFile(path, before);
        openLog(w->box.path(typed), answer < 0 ? std::deque<Answer>{} : std::deque<Answer>{Answer(answer)});
        QVERIFY(c()->Check1->isChecked());
        QCOMPARE(w->box.script.fileRequests.size(), 1);
        QCOMPARE(w->box.script.fileRequests[0].filter,
                 QString("Log Files (*.LOG)|*.log|All Files (*.*)|*.*"));
        QCOMPARE(w->box.script.boxes.size(), answer >= 0 ? 1 : 0);
        if (answer >= 0) {
            QCOMPARE(w->box.script.boxes[0].text, "Replace existing file - " + path + "?");
            QCOMPARE(w->box.script.boxes[0].buttons, Buttons::YesNoCancel);
        }
        AddLogLine("x");
        const QByteArray stamp = ConsoleWorld::stamp().toLatin1();
        QCOMPARE(readFile(path), (kept ? before : QByteArray()) + stamp + "Log File Opened - " +
                                     path.toLatin1() + "\r\n" + stamp + "x\r\n");
        c()->Check1->click();
        QVERIFY(!logFileOpen());
    }

    // A log file that cannot be replaced or created: the failure box, and no file is open.
    void logFileFails_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("titles");
        row("a folder of that name, Yes to replace it", "taken.log",
            QStringList{"Quillmar Paging Encoder Setup", "Quillmar Paging Encoder Setup"});
        row("in a missing folder", "missing/a.log", QStringList{"Quillmar Paging Encoder Setup"});
    }
    void logFileFails() {
        QFETCH(QString, name);
        QFETCH(QStringList, titles);
        QDir().mkpath(w->box.path("taken.log"));
        openLog(w->box.path(name), {Answer::Yes});
        QCOMPARE(boxTitles(w->box.script), titles);
        QCOMPARE(w->box.script.boxes.last().icon, Icon::Exclamation);
        QVERIFY(!logFileOpen());
        QVERIFY(!c()->Check1->isChecked());
        QVERIFY(!isBusy());
    }

    // The list keeps 299 lines, newest on top and selected; the file keeps every one.
    void logListLimit() {
        openLog(w->box.path("a.log"));
        for (int i = 1; i <= 300; ++i)
            AddLogLine(QByteArray::number(i));
        QCOMPARE(c()->lb_log->count(), 299);
        QCOMPARE(c()->lb_log->item(0)->text(), ConsoleWorld::stamp() + "300");
        QCOMPARE(c()->lb_log->item(298)->text(), ConsoleWorld::stamp() + "2");
        QCOMPARE(c()->lb_log->currentRow(), 0);
        QCOMPARE(readFile(w->box.path("a.log")).count("\r\n"), 301);
    }

    // The box shows whether a log file is open, and only a click runs its handler.
    void logCheckBoxShowsTheTruth() {
        w->box.script.files.push_back(std::nullopt);
        c()->Check1->click();
        QVERIFY(!c()->Check1->isChecked());
        QVERIFY(!logFileOpen());
        openLog(w->box.path("a.log"));
        w->reopen();
        QVERIFY(c()->Check1->isChecked());
        QCOMPARE(w->box.script.fileRequests.size(), 2);
        AddLogLine("after reopening");
        QVERIFY(readFile(w->box.path("a.log")).endsWith("after reopening\r\n"));
        // A new log file closes the old one first.
        c()->Check1->setChecked(false);
        openLog(w->box.path("b.log"));
        AddLogLine("to b");
        QVERIFY(!readFile(w->box.path("a.log")).contains("to b"));
        QVERIFY(readFile(w->box.path("b.log")).endsWith("to b\r\n"));
        // Lines still reach the file once the console is gone.
        frmMessageTest::unload();
        AddLogLine("no console");
        QVERIFY(readFile(w->box.path("b.log")).endsWith("no console\r\n"));
    }

    void unload_data() {
        QTest::addColumn<bool>("portOpen");
        row("port open", true);
        row("port closed", false);
    }
    void unload() {
        QFETCH(bool, portOpen);
        if (!portOpen)
            w->main->link().MSComm1.setPortOpen(false);
        w->main->setControlEnabled(Control::mnuTest, false);
        shared().RangeTestRunning = true;
        c()->close();
        QVERIFY(!frmMessageTest::instance());
        QCOMPARE(w->main->controlEnabled(Control::mnuTest), portOpen);
        QVERIFY(!shared().RangeTestRunning);
        QVERIFY(shared().UnloadPending);
        QVERIFY(!c()->Timer1->isActive() && !c()->Timer2->isActive());
    }

    // The port toggle's closing and a file opening take the console down.
    void unloadedByThePortToggle() {
        QPointer<frmMessageTest> console = c();
        ToggleComPort();
        QVERIFY(!w->main->link().MSComm1.PortOpen());
        QVERIFY(!frmMessageTest::instance());
        QTRY_VERIFY(!console);
        w->console = nullptr;
    }

    // Send Messages and Test Encoder open the console modally, Transmitter Tuning its dialog;
    // leaving the program while the console is up takes it down with the main window.
    void mainWindowCommands_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("leave");
        row("Send Messages", "mnuSendMsg", "frmMessageTest", false);
        row("Test Encoder", "test", "frmMessageTest", false);
        row("Transmitter Tuning", "mnuTXTune", "frmTXTune", false);
        row("leaving with the console up", "mnuSendMsg", "frmMessageTest", true);
    }
    void mainWindowCommands() {
        QFETCH(QString, command);
        QFETCH(QString, window);
        QFETCH(bool, leave);
        frmMessageTest::unload();
        w->console = nullptr;
        QPointer<frmTerminal> main = w->main;
        QPointer<QWidget> modal;
        QString shown;
        QTimer::singleShot(50, [&] {
            modal = QApplication::activeModalWidget();
            shown = modal ? modal->objectName() : QString();
            if (leave)
                main->close();
            else if (modal)
                modal->close();
        });
        if (command == "test")
            main->Toolbar1_ButtonClick("test");
        else if (command == "mnuSendMsg")
            main->mnuSendMsg_Click();
        else
            main->mnuTXTune_Click();
        QCOMPARE(shown, window);
        if (leave)
            QTRY_VERIFY(!modal && !main);
        else
            QVERIFY(main->controlEnabled(Control::mnuTest));
    }

    // A tuning command the port cannot take is reported; a device gone then has the port closed
    // with the closing steps.
    void tuningWriteFails() {
        frmTXTune tune(w->main);
        w->encoder->hangUp(); // the line is hung up once it returns
        tune.cmd512->click();
        QCOMPARE(boxTexts(w->box.script), QStringList{"The serial device is no longer connected"});
        QCOMPARE(w->box.script.boxes[0].icon, Icon::Exclamation);
        QVERIFY(!w->main->link().MSComm1.PortOpen());
        QCOMPARE(w->main->caption(Control::mnuOpen), QString("&Open Port"));
        QCOMPARE(w->main->status(2), QString("COM 1 Closed"));
    }

    void tuning_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("sent");
        row("512", "cmd512", QByteArray("TEST512\r"));
        row("1200", "cmd1200", QByteArray("TEST1200\r"));
        row("2400 twice", "cmd2400", QByteArray("TEST2400\rTEST2400\r"));
    }
    void tuning() {
        QFETCH(QString, button);
        QFETCH(QByteArray, sent);
        frmTXTune tune(w->main);
        tune.show();
        auto* b = tune.findChild<QPushButton*>(button);
        CommControl& port = w->main->link().MSComm1;
        port.Output("\r"); // an answer left waiting is dropped by the click
        QTRY_VERIFY(port.InBufferCount() > 0);
        w->encoder->clearReceived();
        for (int i = 0; i < sent.count('\r'); ++i)
            b->click();
        QVERIFY(w->encoder->waitForReceived(sent));
        QCOMPARE(port.InBufferCount(), 0);
        // Nothing else went out: a line written now comes straight after the commands.
        QVERIFY(port.Output("LATER\r"));
        QVERIFY(w->encoder->waitForReceived("LATER\r"));
        QCOMPARE(w->encoder->received(), sent + "LATER\r");
        QTest::keyClick(b, Qt::Key_Escape); // only Exit and the close box close it
        QVERIFY(tune.isVisible());
        // Other keys the window gets itself still work: Enter presses the focused button.
        tune.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&tune));
        b->setFocus();
        w->encoder->clearReceived();
        QTest::keyClick(&tune, Qt::Key_Return);
        const QByteArray once = sent.left(sent.indexOf('\r') + 1);
        QVERIFY(w->encoder->waitForReceived(once));
        w->main->link().MSComm1.setPortOpen(false);
        b->click();
        QCOMPARE(w->encoder->received(), once);
        QCOMPARE(w->box.script.boxes.size(), 0);
        // Closed with the port closed, it leaves the Test menu as it was.
        w->main->setControlEnabled(Control::mnuTest, false);
        tune.close();
        QVERIFY(!w->main->controlEnabled(Control::mnuTest));
    }
};

QTEST_MAIN(TstConsole)
#include "tst_console.moc"
