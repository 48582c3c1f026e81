// The pager groups editor: the load, typing and choosing, the keys, OK with its completeness
// pass and groups check, and closing during the check.

#include "app/frmTerminal.h"
#include "editors/EditorGrid.h"
#include "editors/groups/frmCfgGroup.h"
#include "link/frmCancelSend.h"
#include "model/PagerDatabase.h"
#include "platform/Platform.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

using namespace qpes;
using namespace qpes::test;

namespace {

const QString Modified = "Current Configuration Modified, Does Not Match Encoder";

// A group written as "id=5 act=1 cc=1/3 co=0/00 tm=0/00 p=100,0042 def=YES ref=Site", each
// key setting its fields (p: PagerID1 onwards) on top of the empty group.
void applyGroup(PagerGroup& g, const QByteArray& spec, bool verify) {
    for (const QByteArray& token : spec.split(' ')) {
        const qsizetype eq = token.indexOf('=');
        if (eq < 0)
            continue;
        const QByteArray key = token.left(eq);
        const QByteArray value = token.mid(eq + 1);
        QList<std::pair<int, QByteArray>> fields;
        if (key == "p") {
            const QList<QByteArray> ids = value.split(',');
            for (int i = 0; i < ids.size(); ++i)
                fields.append({Grp::PagerID1 + i, ids[i]});
        } else if (key == "cc" || key == "co" || key == "tm") {
            const int on = key == "cc" ? Grp::CCActive : key == "co" ? Grp::COActive : Grp::TimerActive;
            fields.append({on, value.split('/')[0]});
            fields.append({on + 1, value.split('/').value(1)});
        } else {
            const int field = key == "id"    ? int(Grp::GroupID)
                              : key == "act" ? int(Grp::Active)
                              : key == "def" ? int(Grp::Defined)
                                             : int(Grp::Reference);
            fields.append({field, value});
        }
        for (const auto& [field, text] : fields) {
            if (verify)
                QCOMPARE(g[field], text);
            else
                g[field] = text;
        }
    }
}

// Families written as "start/qty" (defined, active), "start/qty/off" (inactive) or
// "start/qty/undefined".
void setFamilies(const QByteArrayList& specs) {
    for (int f = 0; f < specs.size(); ++f) {
        const QList<QByteArray> parts = specs[f].split('/');
        PagerFamily& fam = shared().Db.Families[f];
        fam[Fam::StartID] = parts[0];
        fam[Fam::PagerQty] = parts[1];
        fam[Fam::Active] = parts.value(2) == "off" ? "0" : "1";
        fam[Fam::Defined] = parts.value(2) == "undefined" ? "" : "YES";
    }
}

QString colourName(const QColor& c) {
    static const QList<std::pair<QColor, QString>> names = {
        {QColor(255, 255, 245), "ivory"}, {QColor(192, 192, 192), "lgrey"}, {QColor(128, 128, 128), "dgrey"},
        {QColor(0, 255, 0), "green"},     {QColor(0, 255, 255), "cyan"},    {QColor(255, 0, 0), "red"},
        {QColor(255, 0, 255), "magenta"}};
    for (const auto& [colour, name] : names)
        if (colour == c)
            return name;
    return c.name();
}

} // namespace

class TestGroups : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Sandbox> box;
    frmTerminal* main = nullptr;
    frmCfgGroup* w = nullptr;

    void open(const QByteArrayList& groups) {
        clearTables(shared().Db);
        for (int g = 0; g < groups.size(); ++g)
            applyGroup(shared().Db.Groups[g], groups[g], false);
        for (int m = 0; m < MessageCount; ++m)
            shared().Db.Messages[m] = "Text " + QByteArray::number(m + 1);
        main->setStatus(1, "unchanged");
        w = frmCfgGroup::open();
    }
    // Cells of column 1 written as "row=text/colour ...".
    void verifyCells(const QString& cells, int col = 1) {
        for (const QString& token : cells.split(' ', Qt::SkipEmptyParts)) {
            const int row = token.section('=', 0, 0).toInt();
            const QString text = token.section('=', 1).section('/', 0, 0);
            const QString colour = token.section('/', 1);
            QCOMPARE(w->fgGroups->text(row, col), text);
            if (!colour.isEmpty())
                QCOMPARE(colourName(w->fgGroups->background(row, col)), colour);
        }
    }
    void clickCell(int row, int col) {
        w->fgGroups->setCurrent(row, col);
        w->fgGroups_Click();
    }

private slots:
    void init() {
        box = std::make_unique<Sandbox>();
        main = frmTerminal::load();
        main->link().Timer1.start();
    }
    void cleanup() {
        box.reset();
        main = nullptr;
        w = nullptr;
    }

    void load_data() {
        QTest::addColumn<QByteArray>("group");
        QTest::addColumn<QString>("cells");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<bool>("notice");
        row("not defined", QByteArray("id=7 act=1 cc=1/3 p=100 def= ref=North"),
            "1=North/dgrey 2=OFF/red 3=/dgrey 4=/dgrey 24=/dgrey 25=/dgrey 29=/dgrey", QByteArray("cc=1/3"),
            false);
        row("defined, active, no pager ID", QByteArray("id=0042 act=1 p=0000,abc def=YES"),
            "1=/ivory 2=ON/green 3=0042/ivory 4=/magenta "
            "5=abc/magenta 23=/magenta 24=OFF/red 25=None/ivory",
            QByteArray("id=0042"), false);
        row("pager IDs without zeros, triggers",
            QByteArray("id=0042 act=1 cc=1/7 co=1/00 tm=1/ p=0100,0000,40000 def=YES"),
            "3=0042/ivory 4=100/ivory 5=/ivory 6=40000/ivory 24=ON/green 25=7/ivory 26=OFF/red "
            "27=None/ivory 28=OFF/red 29=None/ivory",
            QByteArray("cc=1/7 co=0/00 tm=0/"), true);
        row("message past the last one", QByteArray("id=5 act=1 cc=1/16 p=9 def=YES"),
            "24=ON/green 25=16/ivory", QByteArray("cc=1/16"), false);
        row("pager ID 20 only", "id=5 act=1 p=" + QByteArray("0000,").repeated(19) + "0020 def=YES",
            "4=/ivory 22=/ivory 23=20/ivory", QByteArray("def=YES"), false);
        row("defined, inactive", QByteArray("id=5 act=0 cc=1/2 co=1/00 p=9 def=YES ref=R"),
            "1=R/lgrey 2=OFF/red 3=5/lgrey 4=9/lgrey 24=ON/lgrey 25=2/lgrey 26=OFF/red 27=None/lgrey",
            QByteArray("co=0/00"), true);
    }
    void load() {
        QFETCH(QByteArray, group);
        QFETCH(QString, cells);
        QFETCH(QByteArray, after);
        QFETCH(bool, notice);
        open({group});
        verifyCells(cells);
        applyGroup(shared().Db.Groups[0], after, true);
        QCOMPARE(main->status(1), notice ? Modified : QString("unchanged"));
        QVERIFY(!main->link().Timer1.isActive());
        QCOMPARE(std::pair(w->fgGroups->row(), w->fgGroups->col()), std::pair(3, 1));
        QVERIFY(w->txtGrp->isVisible());
        QVERIFY(!shared().GroupsChanged);

        // The grid's frame: ten groups of 29 fields with their headings.
        EditorGrid* g = w->fgGroups;
        QCOMPARE(std::pair(g->rowCount(), g->columnCount()), std::pair(29, 10));
        QCOMPARE(g->horizontalScrollBar()->maximum(), 0);       // every group shows whole
        QVERIFY(w->rect().contains(g->geometry()));             // inside the window
        QVERIFY(g->rowHeight(28) >= g->fontMetrics().height()); // every field shows whole
        QStringList headings;
        for (int c = 1; c <= 10; ++c)
            headings << g->text(0, c);
        QCOMPARE(headings.join('|'),
                 QString("  Group 1 |  Group 2 |  Group 3 |  Group 4 |  Group 5 |  Group 6 |"
                         "  Group 7 |  Group 8 |  Group 9 | Group 10 "));
        headings.clear();
        for (int r = 1; r <= 29; ++r)
            headings << g->text(r, 0);
        QCOMPARE(
            headings.join('|'),
            QString(
                " Reference| Active| Group ID  | Pager ID 1| Pager ID 2| Pager ID 3| Pager ID 4| Pager ID 5|"
                " Pager ID 6| Pager ID 7| Pager ID 8| Pager ID 9| Pager ID 10| Pager ID 11| Pager ID 12|"
                " Pager ID 13| Pager ID 14| Pager ID 15| Pager ID 16| Pager ID 17| Pager ID 18|"
                " Pager ID 19| Pager ID 20| CC Active| CC Msg #| CO Active| CO Msg #| Timer Active  |"
                " Timer Msg #"));
        QCOMPARE(QStringList({alignment(g->horizontalHeaderItem(0)), alignment(g->item(0, 0)),
                              alignment(g->item(28, 9)), alignment(g->verticalHeaderItem(0))})
                     .join(' '),
                 QString("left left left centre"));
        QCOMPARE(itemTexts(w->cmbMsg), QString("None 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15"));
    }

    // One action on group 1: "type X" into the cell of `row`, "erase", "choose N" in the list,
    // "click" on the row (after the rows of "click after R..."); "... then R" clicks row R last;
    // `answers` go to the boxes.
    void editing_data() {
        QTest::addColumn<QByteArray>("group");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("cells");
        QTest::addColumn<QString>("label");

        const QByteArray on = "id=5 act=1 p=100 def=YES";
        for (const char* typed : {"007", "32767"})
            row(qPrintable(QString("group ID %1").arg(typed)), on, 3, QString("type ") + typed,
                QList<Answer>{}, "id=" + QByteArray(typed) + " def=YES", QString("3=") + typed, "Message:");
        for (const char* typed : {"00", "abc", "32768", "1.5", "+12", "1,5"})
            row(qPrintable(QString("group ID %1").arg(typed)), on, 3, QString("type ") + typed,
                QList<Answer>{}, QByteArray("id=0000 def=YES"), "3=", "Message:");
        row("group ID 40000 key by key", on, 3, "type 40000", QList<Answer>{}, QByteArray("id=0000"),
            "3=", "Message:");
        row("group ID erased", on, 3, "erase", QList<Answer>{}, QByteArray("id=0000"), "3=", "Message:");
        row("pager ID with the group ID set", QByteArray("id=5 act=1 def="), 5, "type 0042", QList<Answer>{},
            QByteArray("p=0000,0042 def=YES"), "5=0042", "Message:");
        row("pager ID without a group ID", QByteArray("id=0000 act=1 def="), 4, "type 9", QList<Answer>{},
            QByteArray("p=9 def="), "4=9", "Message:");
        row("last pager ID erased", on, 4, "erase", QList<Answer>{}, QByteArray("p=0000 def="),
            "4=", "Message:");
        row("first keystroke activates", QByteArray("id=0000 act=0 def=YES"), 3, "type 8", QList<Answer>{},
            QByteArray("id=8 act=1 def=YES"), "1=/magenta 2=ON/green 3=8/ivory 4=/magenta 24=OFF/red",
            "Message:");
        row("reference of an inactive group", QByteArray("act= def=YES ref=Old"), 1, "erase", QList<Answer>{},
            QByteArray("act=1 ref="), "1=/magenta 2=ON/green", "Message:");
        row("message 7", QByteArray(on + " cc=0/00"), 25, "choose 7", QList<Answer>{}, QByteArray("cc=0/7"),
            "25=7", "Message: Text 7");
        row("message None", QByteArray(on + " cc=0/3"), 25, "choose 0", QList<Answer>{},
            QByteArray("cc=0/00"), "25=None", "Message:");
        row("opening the list on None activates", QByteArray("id=5 act=0 co=1/00 p=100 def=YES"), 27, "click",
            QList<Answer>{}, QByteArray("act=1 co=0/00 def=YES"),
            "1=/lgrey 2=ON/green 26=OFF/red 27=None/ivory", "Message:");
        row("Timer on, Yes", on, 28, "click", QList<Answer>{Answer::Yes}, QByteArray("tm=1/00"),
            "28=ON/green 29=None/magenta", "Message:");
        row("Timer on, No", on, 28, "click", QList<Answer>{Answer::No}, QByteArray("tm=0/00"),
            "28=OFF/red 29=None/ivory", "Message:");
        row("switching off a defined group", QByteArray("id=5 act=1 p=100 def=YES ref=R"), 2, "click",
            QList<Answer>{}, QByteArray("act=0 id=5 p=100 def=YES"),
            "1=R/lgrey 2=OFF/red 3=5/lgrey 4=100/lgrey 24=OFF/lgrey 29=None/lgrey", "Message:");
        row("switching off an undefined group", QByteArray("id=5 act=1 p=100 def="), 2, "click",
            QList<Answer>{}, QByteArray("act=0 id=5 p=100"),
            "2=OFF/red 3=/dgrey 4=/dgrey 25=/dgrey 29=/dgrey", "Message:");
        row("switching it on shows its IDs", QByteArray("id=5 act=0 p=0100 def="), 2, "click",
            QList<Answer>{}, QByteArray("act=1 def=YES"),
            "1=/ivory 2=ON/green 3=5/ivory 4=100/ivory 23=/ivory 24=OFF/red 25=None/ivory 28=OFF/red "
            "29=None/ivory",
            "Message:");
        row("reference clicked", on, 1, "click", QList<Answer>{}, on, "1=", "Message:");
        row("reference of seven keys", on, 1, "type ABCDEFG", QList<Answer>{}, QByteArray("ref=ABCDEF"),
            "1=ABCDEF", "Message:");
        row("pager ID 20", on, 23, "type 77", QList<Answer>{},
            "p=100," + QByteArray("0000,").repeated(18) + "77", "23=77", "Message:");
        // The switches of an active group: a trigger on without a message asks for one.
        row("CC on", on, 24, "click", QList<Answer>{}, QByteArray("cc=1/00"),
            "24=ON/green 25=None/magenta 26=OFF/red", "Message:");
        row("CC on and off again", on, 24, "click twice", QList<Answer>{}, QByteArray("cc=0/00"),
            "24=OFF/red 25=None/ivory 26=OFF/red", "Message:");
        row("switching on a group with CC on and no message", QByteArray("id=5 act=0 p=100 def=YES"), 2,
            "click after 24", QList<Answer>{}, QByteArray("act=1 cc=1/00"),
            "2=ON/green 23=/ivory 24=ON/green 25=None/magenta 26=OFF/red", "Message:");
        row("switched on and off again while incomplete", QByteArray("id=0000 act=0 p=100 def="), 2,
            "click twice", QList<Answer>{}, QByteArray("act=0 def="),
            "2=OFF/red 4=/dgrey 25=/dgrey 29=/dgrey", "Message:");
        // A trigger switched on in an inactive group, then the group switched on from a message list,
        // which shows the message fields as stored.
        row("list on with CC on and an empty message", QByteArray("id=5 act=0 p=100 def=YES cc=0/"), 27,
            "click after 24", QList<Answer>{}, QByteArray("act=1 cc=1/ co=0/00"),
            "2=ON/green 24=ON/green 25=/ivory 26=OFF/red 27=None/ivory", "Message:");
        row("list on with CC on and message 00", QByteArray("id=5 act=0 p=100 def=YES"), 27, "click after 24",
            QList<Answer>{}, QByteArray("act=1 cc=1/00 co=0/00"),
            "2=ON/green 24=ON/green 25=00/ivory 26=OFF/red 27=None/ivory", "Message:");
        // Typing switches the group on with its column magenta; a trigger switched on then turns
        // its message ivory.
        row("CO on after the first keystroke", QByteArray("id=0000 act=0 co=0/3 def=YES"), 3,
            "type 5 then 26", QList<Answer>{}, QByteArray("id=5 act=1 co=1/3 def=YES"),
            "3=5/ivory 25=None/magenta 26=ON/green 27=3/ivory 28=OFF/red", "Message:");
        row("CC on in an undefined group", QByteArray("id=5 act=1 p=100 def="), 24, "click", QList<Answer>{},
            QByteArray("cc=1/00"), "24=ON/green 25=/dgrey", "Message:");
        // Opening the list on a message shows it; a number that is no message shows nothing.
        for (const char* n : {"1", "15", "16"})
            row(qPrintable(QString("list on message %1").arg(n)),
                "id=5 act=1 cc=1/" + QByteArray(n) + " p=9 def=YES", 25, "click", QList<Answer>{},
                "cc=1/" + QByteArray(n), QString("25=") + n,
                QString(n) == "16" ? QString("Message:") : QString("Message: Text ") + n);
        // A message chosen for a trigger that is on completes a group with pager IDs: the ID and
        // message rows turn ivory, the switch rows keep their colour.
        for (const char* trigger : {"cc", "co", "tm"}) {
            const int list = QByteArray(trigger) == "cc" ? 25 : QByteArray(trigger) == "co" ? 27 : 29;
            QString cells = "3=/ivory 24=/dgrey 26=/dgrey 28=/dgrey";
            for (const int r : {25, 27, 29})
                cells += QString(" %1=%2/ivory").arg(r).arg(r == list ? "7" : "");
            row(qPrintable(QString("message for %1 on").arg(trigger)),
                QByteArray("id=5 act=1 p=100 def= ") + trigger + "=1/3", list, "choose 7", QList<Answer>{},
                QByteArray(trigger) + "=1/7 def=YES", cells, "Message: Text 7");
        }
        row("message for a trigger that is off", QByteArray("id=5 act=1 p=100 def="), 25, "choose 7",
            QList<Answer>{}, QByteArray("cc=0/7 def="), "3=/dgrey 25=7/dgrey", "Message: Text 7");
    }
    void editing() {
        QFETCH(QByteArray, group);
        QFETCH(int, row);
        QFETCH(QString, action);
        QFETCH(QList<Answer>, answers);
        QFETCH(QByteArray, after);
        QFETCH(QString, cells);
        QFETCH(QString, label);
        open({group});
        box->script.answers.assign(answers.begin(), answers.end());
        if (action.startsWith("click after"))
            for (const QString& first : action.section(' ', 2).split(' '))
                clickCell(first.toInt(), 1);
        clickCell(row, 1);
        const QString argument = action.section(' ', 1, 1);
        if (action.startsWith("type")) {
            w->txtGrp->selectAll();
            QTest::keyClicks(w->txtGrp, argument);
            QCOMPARE(w->txtGrp->text(), argument.left(6)); // the box keeps what was typed, six at most
        } else if (action == "click twice") {
            clickCell(row, 1);
        } else if (action == "erase") {
            w->txtGrp->selectAll();
            QTest::keyClick(w->txtGrp, Qt::Key_Backspace);
        } else if (action.startsWith("choose")) {
            w->cmbMsg->setCurrentIndex(argument.toInt());
            emit w->cmbMsg->activated(argument.toInt());
        }
        if (action.contains(" then "))
            clickCell(action.section(' ', -1).toInt(), 1);
        applyGroup(shared().Db.Groups[0], after, true);
        verifyCells(cells);
        QCOMPARE(w->lblMsg->text(), label);
        QCOMPARE(box->script.boxes.size(), answers.size());
        if (row == 28)
            QCOMPARE(box->script.boxes[0].text,
                     QString("Timer Function Causes Automatic Paging Every 2 Minutes\r"
                             "Unless Host System Periodically Issues Timer Reset "
                             "Command\rAre You Sure You Want to Enable Timer Mode?"));
        if (action.startsWith("click")) { // a switch leaves the heading column current
            const bool toggle = row == 2 || row == 24 || row == 26 || row == 28;
            QCOMPARE(std::pair(w->fgGroups->row(), w->fgGroups->col()), std::pair(row, toggle ? 0 : 1));
        }
        if (w->cmbMsg->isVisible() && w->cmbMsg->findText(w->fgGroups->text(row, 1)) >= 0)
            QCOMPARE(w->cmbMsg->currentText(), w->fgGroups->text(row, 1));
        QVERIFY(shared().GroupsChanged);
        // A click on the Reference only marks the groups changed.
        QCOMPARE(main->status(1), action == "click" && row == 1 ? QString("unchanged") : Modified);
    }

    // A Reference longer than the box's six characters, from a file, survives the box.
    void longReferenceSurvives() {
        open({"id=5 act=1 p=100 def=YES ref=Warehouse"});
        clickCell(1, 1);
        QTest::keyClick(w->txtGrp, Qt::Key_A);
        QCOMPARE(shared().Db.Groups[0][Grp::Reference], QByteArray("Warehouse"));
        QTest::keyClick(w->txtGrp, Qt::Key_Backspace);
        QCOMPARE(shared().Db.Groups[0][Grp::Reference], QByteArray("Warehous"));
    }

    // `scroll` moves the grid's scroll bar after the click: "top", "bottom" or "" (no scroll).
    void keys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("scroll");
        QTest::addColumn<int>("toRow");
        QTest::addColumn<int>("toCol");
        row("Tab down the column", int(Qt::Key_Tab), 3, 2, "", 4, 2);
        row("Tab to the next group", int(Qt::Key_Tab), 23, 4, "", 3, 5);
        row("Tab from group 10", int(Qt::Key_Tab), 23, 10, "", 3, 1);
        row("Shift+Tab like Tab", int(Qt::Key_Backtab), 23, 4, "", 3, 5);
        row("Enter", int(Qt::Key_Return), 7, 1, "", 8, 1);
        row("Left up the column", int(Qt::Key_Left), 8, 3, "", 7, 3);
        row("Left to group 10", int(Qt::Key_Left), 3, 1, "", 23, 10);
        row("Left to group 1", int(Qt::Key_Left), 3, 2, "", 23, 1);
        row("Down in the column", int(Qt::Key_Down), 5, 2, "", 6, 2);
        row("Up in the column", int(Qt::Key_Up), 6, 2, "", 5, 2);
        row("Down wraps", int(Qt::Key_Down), 23, 6, "", 3, 6);
        row("Up wraps", int(Qt::Key_Up), 3, 6, "", 23, 6);
        row("Up onto CC Active toggles twice", int(Qt::Key_Up), 25, 1, "", 24, 0);
        row("F1 stays", int(Qt::Key_F1), 9, 2, "", 9, 2);
        row("Tab after a scroll", int(Qt::Key_Tab), 5, 2, "bottom", 6, 2);
        row("Tab past Pager ID 20 after a scroll", int(Qt::Key_Tab), 23, 4, "top", 3, 5);
        row("Enter after a scroll", int(Qt::Key_Return), 7, 3, "bottom", 8, 3);
        row("Right after a scroll", int(Qt::Key_Right), 4, 9, "bottom", 5, 9);
        row("Left after a scroll", int(Qt::Key_Left), 8, 3, "bottom", 7, 3);
        row("Left to the previous group after a scroll", int(Qt::Key_Left), 3, 7, "bottom", 23, 6);
        row("Down after a scroll", int(Qt::Key_Down), 5, 6, "bottom", 6, 6);
        row("Up after a scroll", int(Qt::Key_Up), 23, 8, "top", 22, 8);
    }
    void keys() {
        QFETCH(int, key);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, scroll);
        QFETCH(int, toRow);
        QFETCH(int, toCol);
        // Every group defined with IDs of its own, so the box shows which cell it is on.
        QByteArrayList groups;
        for (int g = 1; g <= GroupCount; ++g) {
            QByteArrayList ids;
            for (int k = 1; k <= 20; ++k)
                ids << QByteArray::number(100 * g + k);
            groups << "id=" + QByteArray::number(g) + " act=1 cc=1/3 p=" + ids.join(',') + " def=YES";
        }
        open(groups);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        // Short enough to scroll whatever the row heights.
        w->fgGroups->resize(w->fgGroups->width(), w->fgGroups->height() / 2);
        clickCell(row, col);
        QCOMPARE(w->txtGrp->isVisible(), row >= 3 && row <= 23);
        QWidget* target = w->txtGrp->isVisible() ? static_cast<QWidget*>(w->txtGrp) : w->cmbMsg;
        if (!scroll.isEmpty()) {
            QScrollBar* bar = w->fgGroups->verticalScrollBar();
            const int before = bar->value();
            bar->setValue(scroll == "top" ? 0 : bar->maximum());
            QVERIFY(bar->value() != before);
            QVERIFY(!w->txtGrp->isVisible());
            target = QApplication::focusWidget();
            QVERIFY(target);
        }
        QTest::keyClick(target, Qt::Key(key));
        QCOMPARE(std::pair(w->fgGroups->row(), w->fgGroups->col()), std::pair(toRow, toCol));
        QCOMPARE(shared().Db.Groups[0][Grp::CCActive], QByteArray("1"));
        const bool editor = toRow >= 3 && toRow <= 23 && toCol > 0;
        QCOMPARE(w->txtGrp->isVisible(), editor);
        if (editor) {
            QCOMPARE(w->txtGrp->text(), QString::number(toRow == 3 ? toCol : 100 * toCol + toRow - 3));
            QCOMPARE(w->txtGrp->geometry(), w->fgGroups->cellRect(toRow, toCol));
            QVERIFY(w->fgGroups->cellVisible(toRow, toCol));
        }
        QCOMPARE(box->script.openedDocuments.size(), key == Qt::Key_F1 ? 1 : 0);
    }

    // OK with group 1 (and group 2 passed over), families as given; `during` the check:
    // "cancel" presses Cancel, at the first poll.
    void ok_data() {
        QTest::addColumn<QByteArrayList>("families");
        QTest::addColumn<QByteArray>("group");
        QTest::addColumn<bool>("edited");
        QTest::addColumn<int>("switchOn"); // a trigger row clicked before OK, 0 for none
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("cells");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("stays");
        QTest::addColumn<bool>("checked");

        const QByteArrayList fam{"100/010"};
        const QStringList adjusted{"Non-Existent Pager IDs"};
        const QStringList asked{"Incomplete Database Definition"};
        row("uncovered ID reset", fam, QByteArray("id=5 act=1 p=109,110,0100 def=YES"), true, 0,
            QList<Answer>{}, QByteArray("p=109,0000,0100"), "4=109/ivory 5=/cyan 6=100/ivory", adjusted, true,
            true);
        row("families covering nothing",
            QByteArrayList{"100/010/off", "100/010/undefined", "100/000", "1x/010", "100/ab"},
            QByteArray("id=5 act=1 p=105,0000 def=YES"), true, 0, QList<Answer>{}, QByteArray("p=0000,0000"),
            "4=/cyan 5=/ivory", adjusted, true, true);
        row("group not examined", fam, QByteArray("id=5 act=0 p=999 def=YES"), true, 0, QList<Answer>{},
            QByteArray("p=999 def=YES"), "", QStringList{}, false, true);
        row("nothing edited", fam, QByteArray("id=5 act=1 p=999 def=YES"), false, 0, QList<Answer>{},
            QByteArray("p=999"), "", QStringList{}, false, false);
        row("incomplete, Yes", fam, QByteArray("id=0000 act=1 p=105 def=YES ref=R"), true, 0,
            QList<Answer>{Answer::Yes}, QByteArray("act=0 p=0000 def= ref="), "", asked, false, true);
        row("incomplete, No", fam, QByteArray("id=0000 act=1 p=105 def=YES ref=R"), true, 0,
            QList<Answer>{Answer::No}, QByteArray("act=1 p=105 def= ref=R"), "", asked, true, true);
        row("trigger without pager IDs", fam, QByteArray("id=5 act=1 cc=1/3 def=YES"), true, 0,
            QList<Answer>{Answer::Yes}, QByteArray("id=0000 act=0 cc=0/00 def="), "", asked, false, true);
        row("complete without a group ID", fam, QByteArray("id=0000 act=1 cc=1/3 p=105 def= tm=/"), true, 0,
            QList<Answer>{}, QByteArray("def=YES cc=1/3 tm=0/00"), "", QStringList{}, false, true);
        row("trigger with message 00", fam, QByteArray("id=5 act=1 co=1/00 p=105,200 def=YES"), true, 0,
            QList<Answer>{}, QByteArray("co=0/00 p=105,0000"), "26=OFF/red 5=/cyan", adjusted, true, true);
        row("trigger switched on without a message", fam, QByteArray("id=5 act=1 p=105,200 def=YES"), true,
            24, QList<Answer>{}, QByteArray("cc=0/00 p=105,0000"), "5=/cyan", adjusted, true, true);
        row("cancel", fam, QByteArray("id=5 act=1 p=110 def=YES"), true, 0, QList<Answer>{},
            QByteArray("p=110"), "4=110/ivory", QStringList{}, false, false);
    }
    void ok() {
        QFETCH(QByteArrayList, families);
        QFETCH(QByteArray, group);
        QFETCH(bool, edited);
        QFETCH(int, switchOn);
        QFETCH(QList<Answer>, answers);
        QFETCH(QByteArray, after);
        QFETCH(QString, cells);
        QFETCH(QStringList, boxes);
        QFETCH(bool, stays);
        QFETCH(bool, checked);
        const QStringList adjusted{"Non-Existent Pager IDs"};
        open({group, "id=9 act=0 p=999 def=YES"});
        setFamilies(families);
        if (switchOn)
            clickCell(switchOn, 1);
        shared().GroupsChanged = edited;
        shared().DatabaseChecked = false;
        box->script.answers.assign(answers.begin(), answers.end());
        if (QByteArray(QTest::currentDataTag()) == "cancel")
            QTimer::singleShot(0, [] { frmCancelSend::instance()->Command1->click(); });
        QPointer<frmCfgGroup> window = w;
        if (stays)
            box->script.onBox = [&](const BoxRecord&) { verifyCells(cells); };
        w->cmdOK_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        applyGroup(shared().Db.Groups[0], after, true);
        applyGroup(shared().Db.Groups[1], "id=9 act=0 p=999 def=YES", true);
        QCOMPARE(boxTitles(box->script), boxes);
        if (boxes == QStringList{"Incomplete Database Definition"})
            QCOMPARE(box->script.boxes[0].text, QString("Pager Group Definition is Incomplete\r"
                                                        "As Shown by Magenta Fields\r"
                                                        "Are You Sure You Want to Exit?"));
        if (boxes == adjusted)
            QCOMPARE(box->script.boxes[0].icon, Icon::Exclamation);
        QCOMPARE(!window.isNull(), stays);
        if (stays && !cells.isEmpty())
            verifyCells(cells);
        if (stays) { // the headings and the other groups as they were
            QCOMPARE(w->fgGroups->text(24, 0), QString(" CC Active"));
            verifyCells("24=OFF/lgrey", 2);
            verifyCells("24= 25= 26=", 3);
        }
        QCOMPARE(shared().DatabaseChecked, checked);
        QCOMPARE(shared().GroupsChanged, QByteArray(QTest::currentDataTag()) == "cancel");
        QVERIFY(!frmCancelSend::isLoaded());
        QVERIFY(!isBusy());
        QVERIFY(!shared().GroupsAdjusted && !shared().GroupsIncomplete);
        const QStringList asked{"Incomplete Database Definition"};
        if (stays && boxes == asked) { // edited and closed later, still incomplete: the question again
            clickCell(frmCfgGroup::RowReference, 1);
            QTest::keyClicks(w->txtGrp, "S");
            box->script.answers = {Answer::Yes};
            w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCOMPARE(boxTitles(box->script), asked + asked);
            QVERIFY(window.isNull());
            return;
        }
        if (!stays || boxes != adjusted)
            return;
        // After the adjustment the heading corner is current; an edit later, OK checks again and
        // closes the window.
        QCOMPARE(std::pair(w->fgGroups->row(), w->fgGroups->col()), std::pair(0, 0));
        shared().GroupsChanged = true;
        shared().DatabaseChecked = false;
        w->cmdOK_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());
        QVERIFY(shared().DatabaseChecked);
    }

    // Opened again before the closed window is gone: the new window is the one the toolbar
    // brings forward, and the old one's end leaves the new edits alone.
    void reopenedAtOnce() {
        open({"id=5 act=1 p=100 def=YES"});
        w->cmdOK_Click();
        QPointer<frmCfgGroup> again = frmCfgGroup::open();
        QVERIFY(again != w);
        again->fgGroups->setCurrent(frmCfgGroup::RowPagerID1, 2); // group 2, not defined
        again->fgGroups_Click();
        QTest::keyClicks(again->txtGrp, "9");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(again);
        QCOMPARE(frmCfgGroup::instance(), again.data());
        QCOMPARE(shared().Db.Groups[1][Grp::PagerID1], QByteArray("9"));
    }

    // The close box on the database the program starts with when it has no file to load;
    // `edit` before the close: "click R" on a row of group 1, "type R X" into it, "choose R N"
    // in its message list.
    void closing_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QStringList>("boxes");
        const QStringList asked{"Pager Group Definition is Incomplete\r"
                                "As Shown by Magenta Fields\r"
                                "Are You Sure You Want to Exit?"};
        row("untouched", "", QStringList{});
        row("Reference clicked, nothing typed", "click 1", QStringList{});
        row("group ID typed", "type 3 5", asked);
        row("Active switched on", "click 2", asked);
        row("CC Active switched on", "click 24", asked);
        row("message chosen", "choose 25 3", asked);
    }
    void closing() {
        QFETCH(QString, edit);
        QFETCH(QStringList, boxes);
        w = frmCfgGroup::open();
        QPointer<frmCfgGroup> window = w;
        if (!edit.isEmpty())
            clickCell(edit.section(' ', 1, 1).toInt(), 1);
        const QString argument = edit.section(' ', 2);
        if (edit.startsWith("type")) {
            QTest::keyClicks(w->txtGrp, argument);
        } else if (edit.startsWith("choose")) {
            w->cmbMsg->setCurrentIndex(argument.toInt());
            emit w->cmbMsg->activated(argument.toInt());
        }
        box->script.answers = {Answer::Yes};
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(boxTexts(box->script), boxes);
        QVERIFY(window.isNull());
    }

    // Closing the window or the program while the check runs stops it as a cancel.
    void closingDuringTheCheck_data() {
        QTest::addColumn<bool>("exit");
        QTest::addColumn<bool>("afterReset"); // closed when the first pager ID turns light cyan
        row("close box", false, false);
        row("program exit", true, false);
        row("close box after a reset", false, true);
    }
    void closingDuringTheCheck() {
        QFETCH(bool, exit);
        QFETCH(bool, afterReset);
        open({"id=5 act=1 p=110 def=YES"});
        setFamilies({"100/010"});
        shared().GroupsChanged = true;
        QPointer<frmCfgGroup> window = w;
        QPointer<frmTerminal> mainWindow = main;
        const auto closeDuringCheck = [&] {
            QVERIFY(window->checking());
            QVERIFY(isBusy());
            QWidget* focused = window->focusWidget(); // the check holds the cell: Tab goes nowhere
            QTest::keyClick(window->fgGroups, Qt::Key_Tab);
            QCOMPARE(window->focusWidget(), focused);
            EditorGrid* grid = window->fgGroups; // on the cell being checked
            const QModelIndex marked = grid->currentIndex(); // nor does Left move the grid's own mark
            QTest::keyClick(grid, Qt::Key_Left);
            QCOMPARE(grid->currentIndex(), marked);
            if (afterReset)
                QCOMPARE(std::pair(grid->row(), grid->col()), std::pair(int(frmCfgGroup::RowPagerID1), 1));
            // No edit reaches that cell's group.
            const GroupTable before = shared().Db.Groups;
            window->txtGrp->setText("999");
            emit window->txtGrp->textEdited("999");
            QVERIFY(shared().Db.Groups == before);
            // A click on a cell does nothing either: group 1 stays on, no editor shows.
            grid->scrollToCell(frmCfgGroup::RowActive, 1);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->cellRect(frmCfgGroup::RowActive, 1).center());
            QCOMPARE(grid->text(frmCfgGroup::RowActive, 1), QString("ON"));
            QCOMPARE(shared().Db.Groups[0][Grp::Active], QByteArray("1"));
            QVERIFY(!window->txtGrp->isVisible() && !window->cmbMsg->isVisible());
            if (exit)
                mainWindow->close();
            else
                window->close();
            QVERIFY(window); // still there while the check unwinds
        };
        // OK runs from the event loop, as a user's click does.
        QEventLoop loop;
        connect(w->fgGroups->model(), &QAbstractItemModel::dataChanged, w,
                [&, once = true](const QModelIndex& cell) mutable {
                    // Model row 3, column 0: Pager ID 1 of group 1.
                    if (afterReset && once && cell.row() == 3 && cell.column() == 0 &&
                        window->fgGroups->background(4, 1) == QColor(0, 255, 255)) {
                        once = false;
                        closeDuringCheck();
                    }
                });
        QTimer::singleShot(0, [&] {
            if (!afterReset)
                QTimer::singleShot(0, closeDuringCheck);
            window->cmdOK_Click();
            loop.quit();
        });
        loop.exec();
        QTRY_VERIFY(window.isNull());
        QVERIFY(!shared().DatabaseChecked);
        QCOMPARE(shared().Db.Groups[0][Grp::PagerID1], afterReset ? QByteArray("0000") : QByteArray("110"));
        QCOMPARE(mainWindow.isNull(), exit);
        QVERIFY(!frmCancelSend::isLoaded());
        QVERIFY(!shared().GroupsAdjusted);
    }

    // Leaving the program during the check with an incomplete group: No to the window's question
    // keeps the program, and the check runs to its end.
    void exitRefusedDuringTheCheck() {
        open({"id=5 act=1 p=110 def=YES", "id=0000 act=1 p=105 def=YES"});
        setFamilies({"100/010"});
        shared().GroupsChanged = true;
        box->script.answers = {Answer::Yes, Answer::No};
        QPointer<frmTerminal> mainWindow = main;
        QEventLoop loop;
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, [&] { QVERIFY(!mainWindow->close()); });
            w->cmdOK_Click();
            loop.quit();
        });
        loop.exec();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(mainWindow && frmCfgGroup::instance() == w);
        QVERIFY(!shared().ExitConfirmed);
        QCOMPARE(boxTitles(box->script),
                 (QStringList{"Exit Quillmar Paging Encoder Setup", "Incomplete Database Definition",
                              "Non-Existent Pager IDs"}));
        QCOMPARE(shared().Db.Groups[0][Grp::PagerID1], QByteArray("0000"));
        QVERIFY(shared().DatabaseChecked);
    }
};

QTEST_MAIN(TestGroups)
#include "tst_groups.moc"
