// A database built from New Database through the three editors, saved, opened again,
// programmed into the simulated encoder and read back; and an editor left open while the
// database is replaced, which shows the new one.

#include "app/frmTerminal.h"
#include "editors/EditorGrid.h"
#include "editors/families/frmCfgFam.h"
#include "editors/groups/frmCfgGroup.h"
#include "editors/groups/frmCfgMsg.h"
#include "model/DatabaseFile.h"
#include "model/Families.h"
#include "model/PagerDatabase.h"
#include "platform/Platform.h"
#include "sim/EncoderSim.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace qpes;
using namespace qpes::test;

namespace {

QByteArrayList fields(const PagerGroup& g, int last = Grp::PagerID20) {
    return QByteArrayList(g.begin(), g.begin() + last + 1);
}

// Family 1 off, groups 1 and 10 undefined, message 1 set; the rest in use, so that nearly every
// cell differs from the database that replaces it.
PagerDatabase before() {
    PagerDatabase db;
    clearTables(db);
    for (int f = 1; f < FamilyCount; ++f) {
        PagerFamily& r = db.Families[f];
        r[Fam::Active] = f % 3 ? "1" : "0";
        r[Fam::Defined] = "YES";
        r[Fam::PagerQty] = "005";
        r[Fam::StartID] = QByteArray::number(10 * f + 100);
        r[Fam::StartCap] = QByteArray::number(1000000 + f);
    }
    for (int g = 1; g < GroupCount - 1; ++g) {
        PagerGroup& r = db.Groups[g];
        r[Grp::Active] = "1";
        r[Grp::Defined] = "YES";
        r[Grp::GroupID] = QByteArray::number(8000 + g);
        r[Grp::PagerID1] = "0110";
    }
    for (int m = 0; m < MessageCount; ++m)
        db.Messages[m] = "old " + QByteArray::number(m + 1);
    return db;
}

// What the file and the encoder hold: family 1 and group 1 on, message 1 "new".
PagerDatabase replacement() {
    PagerDatabase db;
    clearTables(db);
    db.Families[0] = {"1", "0001000", "5", "A", "3", "010", "100", "00", "00", "YES"};
    PagerGroup& g = db.Groups[0];
    g[Grp::GroupID] = "7001";
    g[Grp::Active] = "1";
    g[Grp::CCActive] = "1";
    g[Grp::CCMsg] = "01";
    g[Grp::PagerID1] = "0100";
    g[Grp::Defined] = "YES";
    db.Messages[0] = "new";
    db.Settings.DutyCycle = "50";
    db.Settings.MaxBatch = "10";
    return db;
}

// Every data cell of columns `first` to `last` as "row,column: text / background / foreground".
QStringList cells(const EditorGrid* grid, int first = 1, int last = -1) {
    QStringList shown;
    for (int r = 1; r < grid->rows(); ++r)
        for (int c = first; c <= (last < 0 ? grid->cols() - 1 : last); ++c)
            shown << QStringLiteral("%1,%2: %3 / %4 / %5")
                         .arg(r)
                         .arg(c)
                         .arg(grid->text(r, c), grid->background(r, c).name(), grid->foreground(r, c).name());
    return shown;
}

// The fields in which two databases differ, as "table number field: old -> new".
QStringList differences(const PagerDatabase& a, const PagerDatabase& b) {
    QStringList found;
    const auto compare = [&](const char* table, int n, int field, const QByteArray& x, const QByteArray& y) {
        if (x != y)
            found << QStringLiteral("%1 %2 field %3: %4 -> %5")
                         .arg(QLatin1String(table))
                         .arg(n)
                         .arg(field)
                         .arg(QLatin1String(x), QLatin1String(y));
    };
    for (int f = 0; f < FamilyCount; ++f)
        for (int i = 0; i < Fam::FieldCount; ++i)
            compare("family", f + 1, i, a.Families[f][i], b.Families[f][i]);
    for (int g = 0; g < GroupCount; ++g)
        for (int i = 0; i < Grp::FieldCount; ++i)
            compare("group", g + 1, i, a.Groups[g][i], b.Groups[g][i]);
    for (int m = 0; m < MessageCount; ++m)
        compare("message", m + 1, 0, a.Messages[m], b.Messages[m]);
    return found;
}

} // namespace

class TestBuildDatabase : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Sandbox> box;
    std::unique_ptr<sim::EncoderSim> encoder;
    frmTerminal* main = nullptr;

    void typeFamily(frmCfgFam* w, int r, const QString& qty, const QString& start, const QString& cap) {
        clickCell(w->fgFamilies, r, FamCol::Active);
        const std::pair<int, QString> typed[] = {
            {FamCol::PagerQty, qty}, {FamCol::StartID, start}, {FamCol::StartCap, cap}};
        for (const auto& [col, text] : typed) {
            clickCell(w->fgFamilies, r, col);
            w->txtFam->setText(text);
        }
    }
    void typeGroup(frmCfgGroup* w, int r, int c, const QString& text) {
        clickCell(w->fgGroups, r, c);
        QVERIFY(w->txtGrp->isVisible());
        w->txtGrp->selectAll();
        QTest::keyClicks(w->txtGrp, text);
    }
    void newDatabase() {
        box->script.answers = {Answer::Yes};
        main->mnuNewDB_Click();
    }
    // The open editor's window and grid.
    static QWidget* window(const QString& editor) {
        if (editor == "families")
            return frmCfgFam::loaded();
        if (editor == "groups")
            return frmCfgGroup::instance();
        return frmCfgMsg::instance();
    }
    static EditorGrid* grid(const QString& editor) { return window(editor)->findChild<EditorGrid*>(); }
    void open(const QString& editor) {
        if (editor == "families")
            main->openFamiliesEditor();
        else if (editor == "groups")
            main->openGroupsEditor();
        else
            main->openMessagesEditor();
    }
    void replace(const QString& how) {
        if (how == "new") {
            newDatabase();
        } else if (how == "open") {
            writeFile(box->path("replaced.pg7"), WriteDatabaseFile(replacement(), "notes"));
            box->script.files = {box->path("replaced.pg7")};
            main->mnuOpenFile_Click();
        } else {
            encoder->loadDatabase(replacement());
            // A read that fails stores nothing from the step that timed out on.
            if (how.startsWith("read failing"))
                encoder->setReplyOverride(how.endsWith("group 3") ? "L 3" : "config maxbatch?", "");
            main->link().Timer2.setInterval(300);
            shared().EncoderMatches = true; // nothing to ask
            main->mnuReadDB_Click();
        }
    }

private slots:
    void init() {
        box = std::make_unique<Sandbox>();
        encoder = std::make_unique<sim::EncoderSim>();
        QVERIFY2(encoder->isRunning(), qPrintable(encoder->errorString()));
        SettingsStore::setPortDevice(1, encoder->slavePath());
        main = frmTerminal::load();
        QVERIFY(main->link().MSComm1.setPortOpen(true));
    }
    void cleanup() {
        box.reset();
        main = nullptr;
        encoder.reset();
    }

    void buildSaveOpenProgramRead() {
        newDatabase();

        main->Toolbar1_ButtonClick("sequence");
        frmCfgFam* fam = frmCfgFam::loaded();
        typeFamily(fam, 1, "10", "100", "1000000");
        typeFamily(fam, 2, "5", "200", "1000100");
        fam->cmdOK->click();

        main->Toolbar1_ButtonClick("group");
        QPointer<frmCfgGroup> grp = frmCfgGroup::instance();
        typeGroup(grp, frmCfgGroup::RowReference, 1, "North");
        typeGroup(grp, frmCfgGroup::RowGroupID, 1, "501");
        typeGroup(grp, frmCfgGroup::RowPagerID1, 1, "100");
        typeGroup(grp, frmCfgGroup::RowPagerID1 + 1, 1, "0105");
        typeGroup(grp, frmCfgGroup::RowPagerID1 + 2, 1, "300");     // no family covers it
        clickCell(grp->fgGroups, frmCfgGroup::RowPagerID20 + 1, 1); // CC on
        clickCell(grp->fgGroups, frmCfgGroup::RowPagerID20 + 2, 1); // CC message list
        grp->cmbMsg->setCurrentIndex(2);
        emit grp->cmbMsg->activated(2);
        typeGroup(grp, frmCfgGroup::RowGroupID, 3, "503");
        typeGroup(grp, frmCfgGroup::RowPagerID1, 3, "204");
        typeGroup(grp, frmCfgGroup::RowPagerID1, 4, "201"); // no group ID: never complete
        grp->cmdOK->click();
        QCOMPARE(boxTexts(box->script).last(), QString("One or More Pager ID Fields Were Adjusted\r"
                                                       "to Correct Non-Existent Pager IDs\r"
                                                       "as Indicated by Blue Fields"));
        box->script.answers = {Answer::Yes};
        grp->cmdOK->click(); // nothing changed since: the window closes after its question
        QTRY_VERIFY(!grp);
        QCOMPARE(box->script.boxes.last().title, QString("Incomplete Database Definition"));

        main->Toolbar1_ButtonClick("message");
        frmCfgMsg* msg = frmCfgMsg::instance();
        QTest::keyClicks(msg->txtMsg, "Fire alarm");
        QTest::keyClick(msg->txtMsg, Qt::Key_Down);
        QTest::keyClicks(msg->txtMsg, "Call 911");
        msg->cmdOK->click();

        const PagerDatabase built = shared().Db;
        QCOMPARE(fields(built.Groups[0], Grp::Reference),
                 QByteArrayList({"501",  "1",    "1",    "2",    "0",    "00",   "0",    "00",
                                 "100",  "0105", "0000", "0000", "0000", "0000", "0000", "0000",
                                 "0000", "0000", "0000", "0000", "0000", "0000", "0000", "0000",
                                 "0000", "0000", "0000", "0000", "YES",  "North"}));
        QCOMPARE(fields(built.Groups[2]).mid(0, 9),
                 QByteArrayList({"503", "1", "0", "00", "0", "00", "0", "00", "204"}));
        QCOMPARE(built.Groups[2][Grp::Defined], QByteArray("YES"));
        QCOMPARE(fields(built.Groups[3], Grp::Reference), fields(built.Groups[1], Grp::Reference)); // erased

        const QString path = box->path("BUILT.PG7");
        box->script.files = {path};
        main->mnuSaveAs_Click();
        newDatabase();
        box->script.files = {path};
        main->mnuOpenFile_Click();
        QVERIFY(shared().Db.Families == built.Families);
        QVERIFY(shared().Db.Groups == built.Groups);
        QVERIFY(shared().Db.Messages == built.Messages);

        box->script.boxes.clear();
        box->script.answers = {Answer::Yes};
        main->mnuWriteDB_Click();
        QCOMPARE(main->status(1), QString("Encoder Matches Current Configuration"));
        QVERIFY(!encoder->received().contains("North"));

        newDatabase();
        box->script.answers = {Answer::Yes};
        main->mnuReadDB_Click();
        QCOMPARE(box->script.boxes.size(), 3); // program, clear, overwrite questions
        const PagerDatabase& read = shared().Db;
        for (int f = 0; f < FamilyCount; ++f)
            if (built.Families[f][Fam::Defined] == "YES")
                QCOMPARE(QByteArrayList(read.Families[f].begin(), read.Families[f].end()),
                         QByteArrayList(built.Families[f].begin(), built.Families[f].end()));
        for (int g = 0; g < GroupCount; ++g) {
            QCOMPARE(read.Groups[g][Grp::Defined], QByteArray("YES"));
            if (built.Groups[g][Grp::Defined] == "YES")
                QCOMPARE(fields(read.Groups[g]), fields(built.Groups[g]));
            else
                for (const QByteArray& field : fields(read.Groups[g]))
                    QVERIFY2(field.count('0') == field.size() && !field.isEmpty(), field.constData());
        }
        QVERIFY(read.Messages == built.Messages);
    }

    void openEditorShowsTheNewDatabase_data() {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("replaced"); // the columns the replacement reaches; -1: all
        QTest::addColumn<QString>("edit"); // what one click or keystroke changes afterwards

        const struct {
            const char* editor;
            const char* how;
            int replaced;
            const char* edit; // empty: the window is closed with its close box instead
        } rows[] = {
            {"families", "new", -1, "family 1 field 0: 0 -> 1"},
            {"families", "open", -1, "family 1 field 0: 1 -> 0"},
            {"families", "read", -1, "family 1 field 0: 1 -> 0"},
            {"groups", "new", -1, "group 1 field 1: 0 -> 1"},
            {"groups", "open", -1, "group 1 field 1: 1 -> 0"},
            {"groups", "read", -1, "group 1 field 1: 1 -> 0"},
            {"groups", "read failing before the groups", 0, ""},
            {"groups", "read failing at group 3", 2, ""},
            {"messages", "new", -1, "message 1 field 0:  -> x"},
            {"messages", "open", -1, "message 1 field 0: new -> newx"},
            {"messages", "read", -1, "message 1 field 0: new -> newx"},
        };
        for (const auto& r : rows)
            QTest::addRow("%s, %s", r.editor, r.how) << r.editor << r.how << r.replaced << r.edit;
    }
    void openEditorShowsTheNewDatabase() {
        QFETCH(QString, editor);
        QFETCH(QString, how);
        QFETCH(int, replaced);
        QFETCH(QString, edit);
        // The user is at work in the window: an editor out over a cell of row 1, or in the groups
        // editor group 10 typed, not complete yet.
        const auto atWork = [&] {
            shared().Db = before();
            open(editor);
            if (editor == "groups") {
                auto* w = frmCfgGroup::instance();
                typeGroup(w, frmCfgGroup::RowPagerID1, GroupCount, "0100");
                typeGroup(w, frmCfgGroup::RowGroupID, GroupCount, "7001");
            } else {
                clickCell(grid(editor), 1, editor == "families" ? int(FamCol::StartID) : 1);
            }
        };
        // The tables the replacement leaves with no editor open.
        atWork();
        const PagerDatabase typed = shared().Db;
        delete window(editor);
        shared().Db = typed;
        replace(how);
        const PagerDatabase alone = shared().Db;
        box->script.boxes.clear();

        atWork();
        if (replaced < 0)
            replaced = grid(editor)->cols() - 1;
        const QStringList kept = cells(grid(editor), replaced + 1);
        const QPoint at = window(editor)->pos();
        replace(how);
        QCOMPARE(differences(alone, shared().Db), QStringList());
        QCOMPARE(boxTitles(box->script), how == "new" ? QStringList{"Clear Pager Database"}
                                         : how.startsWith("read failing") ? QStringList{"Read Error"}
                                                                          : QStringList());
        QCOMPARE(window(editor)->pos(), at);
        QVERIFY(!shared().FormLoading);
        for (const QWidget* floating :
             grid(editor)->viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (qobject_cast<const QLineEdit*>(floating) || qobject_cast<const QComboBox*>(floating))
                QVERIFY2(floating->isHidden(), qPrintable(floating->objectName()));
        QCOMPARE(cells(grid(editor), replaced + 1), kept);
        const QStringList refilled = cells(grid(editor), 1, replaced);
        const PagerDatabase replacedDb = shared().Db;

        if (!edit.isEmpty()) {
            // One toggle, or one character typed, changes that one field of the new tables.
            if (editor == "families") {
                clickCell(grid(editor), 1, FamCol::Active);
            } else if (editor == "groups") {
                clickCell(grid(editor), frmCfgGroup::RowActive, 1);
            } else {
                clickCell(grid(editor), 1, 1);
                QTest::keyClicks(frmCfgMsg::instance()->txtMsg, "x");
            }
            QCOMPARE(differences(replacedDb, shared().Db), QStringList{edit});
            delete window(editor);
        } else {
            // Closed with its close box, without a question: the typed group is complete, and kept.
            window(editor)->close();
            QVERIFY(!window(editor));
            QCOMPARE(box->script.boxes.size(), 1);
            const PagerGroup& typedGroup = shared().Db.Groups[GroupCount - 1];
            QCOMPARE(fields(typedGroup).mid(0, 9),
                     QByteArrayList({"7001", "1", "0", "00", "0", "00", "0", "00", "0100"}));
            QCOMPARE(typedGroup[Grp::Defined], QByteArray("YES"));
        }

        // The replaced columns show as the same editor opened afresh on those tables shows them.
        shared().Db = replacedDb;
        open(editor);
        QCOMPARE(refilled, cells(grid(editor), 1, replaced));
    }
};

QTEST_MAIN(TestBuildDatabase)
#include "tst_build_database.moc"
