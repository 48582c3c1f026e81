// The pager families window: typing and choosing as the user does, the keys, and OK with the
// completeness scan and the families check, alone and together with saving and exiting.

#include "app/frmTerminal.h"
#include "editors/EditorColours.h"
#include "editors/EditorGrid.h"
#include "editors/families/frmCfgFam.h"
#include "link/Link.h"
#include "link/frmCancelSend.h"
#include "model/Families.h"
#include "model/PagerDatabase.h"
#include "platform/Platform.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

using namespace qpes;
using namespace qpes::test;
namespace C = EditorColour;

namespace {

// A family as its fields in table order joined by "|": Active, StartCap, Rate, PgrType, Func,
// PagerQty, StartID, Prefix, Suffix, Defined.
PagerFamily family(const QByteArray& line) {
    const QList<QByteArray> v = line.split('|');
    PagerFamily f;
    for (int i = 0; i < Fam::FieldCount && i < v.size(); ++i)
        f[i] = v[i];
    return f;
}

QByteArray line(const PagerFamily& f) {
    QByteArrayList v(f.begin(), f.end());
    return v.join('|');
}

const QByteArray Active = "1|0001000|5|A|3|010|0100|00|00|YES";
const QByteArray Unset = "0|0000000|5|A|3|000|0000|00|00|";  // as New Database leaves it
const QByteArray NeverOn = "|0000000|5|A|3|000|0000|00|00|"; // never switched on or off

// Columns 1 to 11 of a grid row joined by "|".
QString cells(EditorGrid* g, int r) {
    QStringList t;
    for (int c = 1; c < FamCol::Count; ++c)
        t << g->text(r, c);
    return t.join(QLatin1Char('|'));
}

// The backgrounds of columns 1 to 11 of a grid row, one letter each: G light green, R light red,
// I ivory, L light grey, D dark grey, M light magenta, C light cyan.
QString colours(EditorGrid* g, int r) {
    const std::pair<QColor, QChar> letters[] = {{C::On, 'G'},        {C::Off, 'R'},      {C::Ivory, 'I'},
                                                {C::LightGrey, 'L'}, {C::DarkGrey, 'D'}, {C::Missing, 'M'},
                                                {C::Adjusted, 'C'}};
    QString out;
    for (int c = 1; c < FamCol::Count; ++c) {
        QChar letter = '?';
        for (const auto& [colour, l] : letters)
            if (g->background(r, c) == colour)
                letter = l;
        out += letter;
    }
    return out;
}

QWidget* visibleEditor(frmCfgFam* w) {
    for (QWidget* e : {static_cast<QWidget*>(w->txtFam), static_cast<QWidget*>(w->cmbPgrType),
                       static_cast<QWidget*>(w->cmbFunc), static_cast<QWidget*>(w->cmbRate),
                       static_cast<QWidget*>(w->cmbMsg)})
        if (e->isVisible())
            return e;
    return nullptr;
}

// Families 1 and 2 overlap (100-109 and 105-124) and need the check.
void overlapping() {
    shared().Db.Families[0] = family("1|0001000|5|A|3|010|100|00|00|YES");
    shared().Db.Families[1] = family("1|0002000|5|A|3|020|105|00|00|YES");
}

} // namespace

class TestCfgFam : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Sandbox> box;

    frmCfgFam* openWith(const QByteArray& third) {
        shared().Db.Families[2] = family(third);
        shared().EncoderMatches = true;
        frmCfgFam* w = frmCfgFam::open();
        return w;
    }

private slots:
    void init() { box = std::make_unique<Sandbox>(); }
    void cleanup() { box.reset(); }

    void load_data();
    void load();
    void lengthLimits_data();
    void lengthLimits();
    void typing_data();
    void typing();
    void choosing_data();
    void choosing();
    void activeToggle_data();
    void activeToggle();
    void keys_data();
    void keys();
    void helpFromTheProgramFolder();
    void upOnActiveSwitchesTwice();
    void okErasesIncompleteFamilies();
    void checkAdjustsThroughTheWindow();
    void adjustedCells_data();
    void adjustedCells();
    void closingQuestion_data();
    void closingQuestion();
    void closingDuringTheCheck_data();
    void closingDuringTheCheck();
};

void TestCfgFam::load_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("colours");
    QTest::addColumn<QString>("labels"); // once a cell of the row is clicked
    const QString none = "Prefix:|Suffix:";
    row("active", QByteArray("1|0000032|2|N|0|012|0100|05|12|YES"),
        QByteArray("1|0000032|2|N|0|012|0100|05|12|YES"),
        "ON|12|0100|0111|0000032|0000043|Numeric|1|2400|5|12", "GIIIIIIIIII",
        "Prefix: " + QString(100, 'm') + "|Suffix: Fire");
    row("off and defined", QByteArray("0|0001000|1|A|3|005|7|00|00|YES"),
        QByteArray("0|0001000|1|A|3|005|7|00|00|YES"), "OFF|5|7|11|0001000|0001004|Alpha|4|1200|None|None",
        "RLLLLLLLLLL", none);
    row("never set up", QByteArray("|0000000|5|A|3|000|0000|00|00|"),
        QByteArray("|0000000|5|A|3|000|0000|00|00|"), "OFF||||||||||", "RDDDDDDDDDD", none);
    row("start ID longer than typing allows", QByteArray("1|0001000|5|A|3|010|12345|00|00|YES"),
        QByteArray("1|0001000|5|A|3|010|12345|00|00|YES"),
        "ON|10|12345|12354|0001000|0001009|Alpha|4|512|None|None", "GIIIIIIIIII", none);
    row("capcode no number", QByteArray("1|12A|5|A|3|010|0100|00|00|YES"),
        QByteArray("1|0000008|5|A|3|010|0100|00|00|YES"),
        "ON|10|0100|0109|0000008|0000017|Alpha|4|512|None|None", "GIIIIIIIIII", none);
    row("no capcode", QByteArray("1|0000000|5|A|3|010|0100|00|00|YES"),
        QByteArray("1|0000000|5|A|3|010|0100|00|00|YES"), "ON|10|0100|0109|||Alpha|4|512|None|None",
        "GIIIIIIIIII", none);
    row("capcode 1", QByteArray("1|0000001|5|A|3|010|0100|00|00|YES"),
        QByteArray("1|0000001|5|A|3|010|0100|00|00|YES"),
        "ON|10|0100|0109|0000001|0000010|Alpha|4|512|None|None", "GIIIIIIIIII", none);
}

void TestCfgFam::load() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(QString, shown);
    QFETCH(QString, colours);
    QFETCH(QString, labels);
    shared().Db.Messages[4] = QByteArray(100, 'm'); // a click shows it whole
    shared().Db.Messages[11] = "Fire";
    shared().Db.Families[FamilyCount - 1] = family(before); // the last row is filled the same way
    frmCfgFam* w = openWith(before);
    EditorGrid* g = w->fgFamilies;
    for (const int r : {3, FamilyCount}) {
        QCOMPARE(line(shared().Db.Families[r - 1]), after);
        QCOMPARE(cells(g, r), shown);
        QCOMPARE(::colours(g, r), colours);
    }
    QVERIFY(!shared().FamiliesChanged);
    QVERIFY(!shared().FormLoading);
    QVERIFY(shared().EncoderMatches);
    QCOMPARE(frmCfgFam::open(), w); // the toolbar only brings a loaded window forward

    // The grid's frame, and the Pager Qty editor open on family 1.
    QCOMPARE(std::pair(g->rowCount(), g->columnCount()), std::pair(50, 11));
    QCOMPARE(g->horizontalScrollBar()->maximum(), 0); // every column shows whole
    QVERIFY(w->rect().contains(g->geometry()));       // inside the window
    QCOMPARE(cells(g, 0), QString("Active|Pager Qty|Start ID|End ID |Start Capcode |End Capcode|Pager Type|"
                                  "Func Code|Data Rate|Prefix Msg|Suffix Msg"));
    QCOMPARE(g->text(1, 0) + g->text(50, 0), QString(" 1 50"));
    QCOMPARE(QStringList({alignment(g->horizontalHeaderItem(0)), alignment(g->item(2, 0)),
                          alignment(g->horizontalHeaderItem(1)), alignment(g->item(2, 1)),
                          alignment(g->verticalHeaderItem(0))})
                 .join(' '),
             QString("centre centre left left centre"));
    QCOMPARE(itemTexts(w->cmbMsg), QString("None 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15"));
    QCOMPARE(std::pair(g->row(), g->col()), std::pair(1, int(FamCol::PagerQty)));
    QVERIFY(w->txtFam->isVisible());
    QCOMPARE(w->txtFam->text(), g->text(1, FamCol::PagerQty));

    clickCell(g, 3, FamCol::StartID);
    QCOMPARE(w->lblPrefix->text() + '|' + w->lblSuffix->text(), labels);
    QCOMPARE(w->txtFam->text(), g->text(3, FamCol::StartID));
}

// The text editor takes at most 3, 4 or 7 characters from the keyboard, but shows a longer stored
// text whole and lets it only shrink.
void TestCfgFam::lengthLimits_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    row("quantity", Unset, int(FamCol::PagerQty), "1234", "123");
    row("start ID", Unset, int(FamCol::StartID), "12345", "1234");
    row("capcode", Unset, int(FamCol::StartCap), "123456789", "1234567");
    row("stored start ID of 5", QByteArray("1|0001000|5|A|3|010|12345|00|00|YES"), int(FamCol::StartID), "9",
        "12345");
}

void TestCfgFam::lengthLimits() {
    QFETCH(QByteArray, before);
    QFETCH(int, column);
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    frmCfgFam* w = openWith(before);
    clickCell(w->fgFamilies, 3, column);
    QTest::keyClicks(w->txtFam, keys);
    QCOMPARE(w->txtFam->text(), shown);
}

void TestCfgFam::typing_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("notice");
    const int qty = FamCol::PagerQty, id = FamCol::StartID, cap = FamCol::StartCap;
    row("a new family", Unset, qty, "5", QByteArray("1|0000000|5|A|3|005|0000|00|00|"),
        "ON|5|||||Alpha|4|512|None|None", C::Ivory, QString(), true);
    row("start ID 8999", Active, id, "8999", QByteArray("1|0001000|5|A|3|010|8999|00|00|YES"),
        "ON|10|8999|9008|0001000|0001009|Alpha|4|512|None|None", C::Ivory, QString(), true);
    row("start ID 9000", Active, id, "9000", Active, "ON|10|9000||0001000|0001009|Alpha|4|512|None|None",
        C::Missing, QString(), true);
    row("start ID emptied", Active, id, "", QByteArray("1|0001000|5|A|3|010|0000|00|00|YES"),
        "ON|10|||0001000|0001009|Alpha|4|512|None|None", C::Missing, QString(), true);
    row("quantity 12", Active, qty, "12", QByteArray("1|0001000|5|A|3|012|0100|00|00|YES"),
        "ON|12|0100|0111|0001000|0001011|Alpha|4|512|None|None", C::Ivory, QString(), true);
    row("quantity 0", Active, qty, "0", Active, "ON||0100||0001000||Alpha|4|512|None|None", C::Missing,
        QString(), true);
    row("quantity blank 5", Active, qty, " 5", Active, "ON| 5|0100||0001000||Alpha|4|512|None|None",
        C::Missing, QString(), true);
    row("quantity +5", Active, qty, "+5", Active, "ON|+5|0100||0001000||Alpha|4|512|None|None", C::Missing,
        QString(), true);
    row("capcode 32", Active, cap, "32", QByteArray("1|0000032|5|A|3|010|0100|00|00|YES"),
        "ON|10|0100|0109|0000032|0000041|Alpha|4|512|None|None", C::Ivory, QString(), true);
    row("capcode 7", Active, cap, "7", QByteArray("1|0000007|5|A|3|010|0100|00|00|YES"),
        "ON|10|0100|0109|0000007|0000016|Alpha|4|512|None|None", C::Missing, QString(), true);
    row("capcode 12A", Active, cap, "12A", Active, "ON|10|0100|0109|12A||Alpha|4|512|None|None", C::Missing,
        QString(), true);
    row("comma in the quantity", Active, qty, "1,2", Active,
        "ON|10|0100|0109|0001000|0001009|Alpha|4|512|None|None", C::Ivory,
        "Entry Should be Numeric Value Between 1 and 999", false);
    row("comma in the start ID", Active, id, "1,2", Active,
        "ON|10|0100|0109|0001000|0001009|Alpha|4|512|None|None", C::Ivory,
        "Entry Should be Numeric Value Between 1 and 8999", false);
    row("comma in a new family's capcode", Unset, cap, "1,2", QByteArray("1|0000000|5|A|3|001|0000|00|00|"),
        "ON|1|||||Alpha|4|512|None|None", C::Ivory, "Entry Should be Numeric Value Greater Than 7", true);
    row("a switched-off family revived", QByteArray("0|0001000|1|N|0|010|0100|03||YES"), qty, "20",
        QByteArray("1|0001000|1|N|0|020|0100|03|00|YES"),
        "ON|20|0100|0119|0001000|0001019|Numeric|1|1200|3|None", C::Ivory, QString(), true);
    row("an erased family starts afresh", QByteArray("0|0000000|1|A|0|000|0000|03|04|"), qty, "5",
        QByteArray("1|0000000|5|A|3|005|0000|00|00|"), "ON|5|||||Alpha|4|512|None|None", C::Ivory, QString(),
        true);
    row("comma in a revived family", QByteArray("0|0001000|1|N|0|010|0100|03||YES"), qty, "1,2",
        QByteArray("1|0001000|1|N|0|010|0100|03|00|YES"),
        "ON|10|0100|0109|0001000|0001009|Numeric|1|1200|3|None", C::Ivory,
        "Entry Should be Numeric Value Between 1 and 999", true);
    row("quantity emptied", Active, qty, "", QByteArray("1|0001000|5|A|3|000|0100|00|00|YES"),
        "ON||0100||0001000||Alpha|4|512|None|None", C::Missing, QString(), true);
    row("capcode emptied", Active, cap, "", QByteArray("1|0000000|5|A|3|010|0100|00|00|YES"),
        "ON|10|0100|0109|||Alpha|4|512|None|None", C::Missing, QString(), true);
    row("start ID without a capcode", QByteArray("1|0000000|5|A|3|010|0100|00|00|YES"), id, "200",
        QByteArray("1|0000000|5|A|3|010|200|00|00|YES"), "ON|10|200|209|||Alpha|4|512|None|None", C::Ivory,
        QString(), true);
    row("capcode without a start ID", QByteArray("1|0001000|5|A|3|010|0000|00|00|YES"), cap, "32",
        QByteArray("1|0000032|5|A|3|010|0000|00|00|YES"), "ON|10|||0000032|0000041|Alpha|4|512|None|None",
        C::Ivory, QString(), true);
}

void TestCfgFam::typing() {
    QFETCH(QByteArray, before);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QByteArray, after);
    QFETCH(QString, shown);
    QFETCH(QColor, colour);
    QFETCH(QString, box);
    QFETCH(bool, notice);
    frmCfgFam* w = openWith(before);
    clickCell(w->fgFamilies, 3, column);
    QVERIFY(w->txtFam->isVisible());
    w->txtFam->setText(typed);
    QCOMPARE(line(shared().Db.Families[2]), after);
    QCOMPARE(cells(w->fgFamilies, 3), shown);
    QCOMPARE(w->fgFamilies->background(3, column), colour);
    QCOMPARE(w->fgFamilies->background(3, FamCol::Active), C::On);
    QCOMPARE(boxTexts(this->box->script), box.isEmpty() ? QStringList() : QStringList{box});
    if (!box.isEmpty())
        QCOMPARE(w->txtFam->text(), column == FamCol::StartCap ? QString("8") : QString("1"));
    QCOMPARE(!shared().EncoderMatches, notice);
    QVERIFY(shared().FamiliesChanged);
    QVERIFY(!shared().FormLoading);
}

void TestCfgFam::choosing_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("notice");
    const int yes = int(Answer::Yes), no = int(Answer::No);
    const QString line2 = "\rAre You Sure You Want to Change This Function Code Value?";
    row("rate of a new family", NeverOn, int(FamCol::Rate), "1200", yes,
        QByteArray("1|0000000|1|A|3|001|0000|00|00|"), "ON|1||||||4|1200|None|None", QString(), true);
    row("numeric resets the code", Active, int(FamCol::PgrType), "Numeric", yes,
        QByteArray("1|0001000|5|N|0|010|0100|00|00|YES"),
        "ON|10|0100|0109|0001000|0001009|Numeric|1|512|None|None", QString(), true);
    row("code 3 for Alpha, Yes", Active, int(FamCol::Func), "3", yes,
        QByteArray("1|0001000|5|A|2|010|0100|00|00|YES"),
        "ON|10|0100|0109|0001000|0001009|Alpha|3|512|None|None",
        "The Normal Function Code Value for Alpha Pagers is 4" + line2, true);
    row("code 3 for Alpha, No", Active, int(FamCol::Func), "3", no, Active,
        "ON|10|0100|0109|0001000|0001009|Alpha|4|512|None|None",
        "The Normal Function Code Value for Alpha Pagers is 4" + line2, false);
    row("code 1 for Alpha, Yes", Active, int(FamCol::Func), "1", yes,
        QByteArray("1|0001000|5|A|0|010|0100|00|00|YES"),
        "ON|10|0100|0109|0001000|0001009|Alpha|1|512|None|None",
        "The Normal Function Code Value for Alphanumeric Pagers is 4" + line2, true);
    row("No after the combo made the record", QByteArray("|0000000|5|A||000|0000|00|00|"), int(FamCol::Func),
        QString(), no, QByteArray("1|0000000|5|A|3|001|0000|00|00|"), "ON|1||||||4||None|None",
        "The Normal Function Code Value for Alphanumeric Pagers is 4" + line2, true);
    row("Alpha chosen again resets the code", QByteArray("1|0001000|5|A|1|010|0100|00|00|YES"),
        int(FamCol::PgrType), "Alpha", yes, QByteArray("1|0001000|5|A|3|010|0100|00|00|YES"),
        "ON|10|0100|0109|0001000|0001009|Alpha|4|512|None|None", QString(), true);
    row("prefix message", Active, int(FamCol::Prefix), "3", yes,
        QByteArray("1|0001000|5|A|3|010|0100|3|00|YES"), "ON|10|0100|0109|0001000|0001009|Alpha|4|512|3|None",
        QString(), true);
    row("code 4 for Alpha", QByteArray("1|0001000|5|A|1|010|0100|00|00|YES"), int(FamCol::Func), "4", no,
        Active, "ON|10|0100|0109|0001000|0001009|Alpha|4|512|None|None", QString(), true);
    row("rate 2400", Active, int(FamCol::Rate), "2400", yes, QByteArray("1|0001000|2|A|3|010|0100|00|00|YES"),
        "ON|10|0100|0109|0001000|0001009|Alpha|4|2400|None|None", QString(), true);
    row("rate 512 after 1200", QByteArray("1|0001000|1|A|3|010|0100|00|00|YES"), int(FamCol::Rate), "512",
        yes, Active, "ON|10|0100|0109|0001000|0001009|Alpha|4|512|None|None", QString(), true);
    // An empty cell takes the first item of its list as the user's choice.
    row("pager type of a new family", QByteArray("|0000000|5||3|000|0000|00|00|"), int(FamCol::PgrType),
        QString(), yes, QByteArray("1|0000000|5|A|3|001|0000|00|00|"), "ON|1|||||Alpha|4||None|None",
        QString(), true);
    row("rate of a new family taken at once", QByteArray("|0000000||A|3|000|0000|00|00|"), int(FamCol::Rate),
        QString(), yes, QByteArray("1|0000000|5|A|3|001|0000|00|00|"), "ON|1||||||4|512|None|None", QString(),
        true);
    row("suffix of a new family", QByteArray("|0000000|5|A|3|000|0000|00||"), int(FamCol::Suffix), QString(),
        yes, QByteArray("1|0000000|5|A|3|001|0000|00|00|"), "ON|1||||||4||None|None", QString(), true);
}

void TestCfgFam::choosing() {
    QFETCH(QByteArray, before);
    QFETCH(int, column);
    QFETCH(QString, item);
    QFETCH(int, answer);
    QFETCH(QByteArray, after);
    QFETCH(QString, shown);
    QFETCH(QString, box);
    QFETCH(bool, notice);
    shared().Db.Messages[2] = QByteArray(100, 'm');
    frmCfgFam* w = openWith(before);
    this->box->script.answers = {Answer(answer)};
    const QString cell = w->fgFamilies->text(3, column);
    clickCell(w->fgFamilies, 3, column); // an empty cell takes the first item at once
    auto* combo = qobject_cast<QComboBox*>(visibleEditor(w));
    QVERIFY(combo);
    QVERIFY(shared().FamiliesChanged); // placing a list counts as an edit
    if (!cell.isEmpty())
        QCOMPARE(combo->currentText(), cell);
    if (!item.isEmpty()) { // the user's choice, also of the item already shown
        const int index = combo->findText(item);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    QCOMPARE(line(shared().Db.Families[2]), after);
    QCOMPARE(cells(w->fgFamilies, 3), shown);
    QCOMPARE(boxTexts(this->box->script), box.isEmpty() ? QStringList() : QStringList{box});
    QCOMPARE(!shared().EncoderMatches, notice);
    QCOMPARE(w->fgFamilies->background(3, column), C::Ivory);
    if (shared().Db.Families[2][Fam::Prefix] == "3")
        QCOMPARE(w->lblPrefix->text(), "Prefix: " + QString(85, 'm') + "...");
}

// A click on the Active cell switches the family off or on: the table, the texts and the colours
// of the row, and the notice.
void TestCfgFam::activeToggle_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("colours");
    row("defined, switched off", Active, QByteArray("0|0001000|5|A|3|010|0100|00|00|YES"),
        "OFF|10|0100|0109|0001000|0001009|Alpha|4|512|None|None", "RLLLLLLLLLL");
    row("not defined, switched off", QByteArray("1|0001000|5|A|3|010|0100|00|00|"),
        QByteArray("0|0001000|5|A|3|010|0100|00|00|"), "OFF||||||||||", "RDDDDDDDDDD");
    row("defined, switched on", QByteArray("0|0001000|1|N|0|010|0100|05|12|YES"),
        QByteArray("1|0001000|1|N|0|010|0100|05|12|YES"),
        "ON|10|0100|0109|0001000|0001009|Numeric|1|1200|5|12", "GIIIIIIIIII");
    row("never set up, switched on", NeverOn, QByteArray("1|0000000|5|A|3|000|0000|00|00|"),
        "ON||||||Alpha|4|512|None|None", "GMMIMIIIIII");
    row("empty fields, switched on", QByteArray("0|0000000||X||005|0000|||"),
        QByteArray("1|0000000||X|3|005|0000|00|00|"), "ON|5|||||Numeric|4||None|None", "GIMIMIMIMII");
    row("codes out of range, switched on", QByteArray("0|0001000|7|A|9|010|0100|00|00|YES"),
        QByteArray("1|0001000|7|A|9|010|0100|00|00|YES"),
        "ON|10|0100|0109|0001000|0001009|Alpha|4|2400|None|None", "GIIIIIIIIII");
}

void TestCfgFam::activeToggle() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(QString, shown);
    QFETCH(QString, colours);
    frmCfgFam* w = openWith(before);
    EditorGrid* g = w->fgFamilies;
    clickCell(g, 3, FamCol::Active);
    QCOMPARE(line(shared().Db.Families[2]), after);
    QCOMPARE(cells(g, 3), shown);
    QCOMPARE(::colours(g, 3), colours);
    if (after.startsWith('1'))
        QCOMPARE(g->foreground(3, FamCol::EndCap), C::DarkGrey);
    QCOMPARE(g->col(), 0);
    QVERIFY(!visibleEditor(w));
    QVERIFY(shared().FamiliesChanged);
    QVERIFY(!shared().EncoderMatches);
}

void TestCfgFam::keys_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("toRow");
    QTest::addColumn<int>("toCol");
    QTest::addColumn<bool>("scrolled"); // the user scrolls the grid before the key
    row("Tab on the last capcode", 50, 5, int(Qt::Key_Tab), 1, 2, false);
    row("Shift+Tab as Tab", 4, 2, int(Qt::Key_Backtab), 4, 3, false);
    row("Enter on a start ID", 4, 3, int(Qt::Key_Return), 4, 5, false);
    row("Right after an end cell", 4, 4, int(Qt::Key_Right), 5, 2, false);
    row("Left on the first quantity", 1, 2, int(Qt::Key_Left), 50, 5, false);
    row("Left on a capcode", 4, 5, int(Qt::Key_Left), 4, 3, false);
    row("Up on the first row", 1, 7, int(Qt::Key_Up), 50, 7, false);
    row("Up on the second row", 2, 2, int(Qt::Key_Up), 1, 2, false);
    row("Down on the last row", 50, 3, int(Qt::Key_Down), 1, 3, false);
    row("Tab on a pager type", 4, 7, int(Qt::Key_Tab), 4, 7, false);
    row("Left on a rate", 4, 9, int(Qt::Key_Left), 4, 9, false);
    row("Tab after a scroll", 4, 3, int(Qt::Key_Tab), 5, 2, true);
}

void TestCfgFam::keys() {
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(int, key);
    QFETCH(int, toRow);
    QFETCH(int, toCol);
    QFETCH(bool, scrolled);
    for (int i = 0; i < FamilyCount; ++i)
        shared().Db.Families[i] = family(Active);
    shared().Db.Families[0] = family("1|0001000|5|N|0|010|0100|00|00|YES"); // its list shows another item
    frmCfgFam* w = openWith(Active);
    clickCell(w->fgFamilies, row, col);
    QWidget* target = visibleEditor(w) ? visibleEditor(w) : w->fgFamilies;
    if (scrolled) {
        QScrollBar* bar = w->fgFamilies->verticalScrollBar();
        bar->setValue(bar->value() == 0 ? bar->maximum() : 0);
        QVERIFY(!visibleEditor(w));
        target = w->fgFamilies;
    }
    const QString before = target == w->txtFam ? w->txtFam->text() : QString();
    QTest::keyClick(target, Qt::Key(key));
    QCOMPARE(w->fgFamilies->row(), toRow);
    QCOMPARE(w->fgFamilies->col(), toCol);
    QVERIFY(w->fgFamilies->cellVisible(toRow, toCol));
    if (toCol == FamCol::PagerQty || toCol == FamCol::StartID || toCol == FamCol::StartCap)
        QVERIFY(w->txtFam->isVisible());
    if (target == w->txtFam && toCol == col && toRow == row)
        QCOMPARE(w->txtFam->text(), before);
    // The key went no further: the editor keeps the focus and its caret stays at the end.
    QWidget* editor = visibleEditor(w);
    QCOMPARE(w->focusWidget(), editor ? editor : w->fgFamilies);
    if (auto* list = qobject_cast<QComboBox*>(editor))
        QCOMPARE(list->currentText(), w->fgFamilies->text(toRow, toCol));
    QCOMPARE(w->txtFam->cursorPosition(), w->txtFam->text().size());
}

void TestCfgFam::helpFromTheProgramFolder() {
    frmCfgFam* w = openWith(Active);
    shared().HelpFile = "KELMORA.PDF";
    QDir::setCurrent(QDir::tempPath()); // as after an Open in another folder
    QTest::keyClick(w->txtFam, Qt::Key_F1);
    QCOMPARE(box->script.openedDocuments, QStringList{box->path("KELMORA.PDF")});
}

void TestCfgFam::upOnActiveSwitchesTwice() {
    shared().Db.Families[1] = family("0|0000000|||||||||");
    frmCfgFam* w = openWith(Active);
    w->fgFamilies->setCurrent(3, FamCol::Active);
    QTest::keyClick(w->fgFamilies, Qt::Key_Up);
    QCOMPARE(line(shared().Db.Families[1]), QByteArray("0|0000000|||3|||00|00|"));
    QCOMPARE(w->fgFamilies->row(), 2);
    QCOMPARE(w->fgFamilies->text(2, FamCol::Active), QString("OFF"));
    QVERIFY(!shared().EncoderMatches);
}

void TestCfgFam::okErasesIncompleteFamilies() {
    shared().Db.Families[0] = family(Active);
    QPointer<frmCfgFam> w = openWith("1|0000007|5|A|3|010|0200|00|00|YES");
    w->cmdOK->click();
    QCOMPARE(line(shared().Db.Families[2]), QByteArray("0|0000000|5|A|3|000|0000|00|00|"));
    QCOMPARE(line(shared().Db.Families[0]), Active);
    QCOMPARE(w->fgFamilies->text(3, FamCol::Active), QString("OFF"));
    QCOMPARE(w->fgFamilies->background(3, FamCol::Active), C::Off);
    QCOMPARE(w->fgFamilies->text(1, FamCol::Active), QString("ON"));
    QCOMPARE(box->script.boxes.size(), 0);
    QVERIFY(!shared().RecordIncomplete);
    QVERIFY(!frmCancelSend::isLoaded());
    QTRY_VERIFY(!w); // nothing was changed, so no check ran and the window closed
}

// Opened from the toolbar, which stops the main window's timer; Save As afterwards writes the
// adjusted families.
void TestCfgFam::checkAdjustsThroughTheWindow() {
    frmTerminal* main = frmTerminal::load();
    overlapping();
    main->link().Timer1.start();
    main->Toolbar1_ButtonClick("sequence");
    frmCfgFam* w = frmCfgFam::loaded();
    QVERIFY(w);
    QVERIFY(!main->link().Timer1.isActive());
    shared().FamiliesChanged = true;
    w->cmdOK->click();
    QCOMPARE(boxTexts(box->script), QStringList{"One or More Fields Were Adjusted\r"
                                                "to Correct Illegal Capcodes\r"
                                                "or to Correct Overlapping Pager IDs\r"
                                                "as Indicated by Blue Fields"});
    QCOMPARE(box->script.boxes[0].title, QString("Pager ID Overlap or Illegal Capcodes"));
    QCOMPARE(box->script.boxes[0].icon, Icon::Exclamation);
    QCOMPARE(cells(w->fgFamilies, 2), QString("ON|20|110|129|0002000|0002019|Alpha|4|512|None|None"));
    QCOMPARE(w->fgFamilies->background(2, FamCol::StartID), C::Adjusted);
    QCOMPARE(w->fgFamilies->background(1, FamCol::StartID), C::Ivory);
    QVERIFY(w->isVisible());
    QVERIFY(shared().DatabaseChecked);
    QVERIFY(!shared().FamiliesAdjusted);
    QVERIFY(!shared().FamiliesChanged);
    QVERIFY(!frmCancelSend::isLoaded());
    QVERIFY(!isBusy());

    // A second OK without edits closes the window without another check.
    QPointer<frmCfgFam> gone = w;
    w->cmdOK->click();
    QTRY_VERIFY(!gone);
    QCOMPARE(box->script.boxes.size(), 1);
    box->script.files = {box->path("ADJ.PG7")};
    main->mnuSaveAs_Click();
    const QList<QByteArray> written = readFile(box->path("ADJ.PG7")).split('\n');
    QCOMPARE(written[0], QByteArray("Fam1,1,0001000,5,A,3,010,100,00,00\r"));
    QCOMPARE(written[1], QByteArray("Fam2,1,0002000,5,A,3,020,110,00,00\r"));
}

// The fields the check rewrites show in light cyan, with the End cells recomputed.
void TestCfgFam::adjustedCells_data() {
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("colours");
    row("capcode past the highest", QByteArray("1|2097140|5|A|3|010|0100|00|00|YES"), Unset, 1,
        "ON|10|0100|0109|2097134|2097143|Alpha|4|512|None|None", "GIIICIIIIII");
    row("capcodes over a reserved block", QByteArray("1|2045050|5|A|3|010|0100|00|00|YES"), Unset, 1,
        "ON|10|0100|0109|2045046|2045055|Alpha|4|512|None|None", "GIIICIIIIII");
    row("quantity shortened", QByteArray("1|0001000|5|A|3|010|100|00|00|YES"),
        QByteArray("1|0002000|5|A|3|010|95|00|00|YES"), 2, "ON|5|95|99|0002000|0002004|Alpha|4|512|None|None",
        "GCIIIIIIIII");
}

void TestCfgFam::adjustedCells() {
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(int, row);
    QFETCH(QString, shown);
    QFETCH(QString, colours);
    shared().Db.Families[0] = family(first);
    shared().Db.Families[1] = family(second);
    frmCfgFam* w = openWith(Unset);
    shared().FamiliesChanged = true;
    w->cmdOK->click();
    QCOMPARE(boxTitles(box->script), QStringList{"Pager ID Overlap or Illegal Capcodes"});
    QCOMPARE(cells(w->fgFamilies, row), shown);
    QCOMPARE(::colours(w->fgFamilies, row), colours);
    QCOMPARE(w->fgFamilies->foreground(row, FamCol::EndCap), C::DarkGrey);
    QCOMPARE(w->fgFamilies->col(), 0);
    QVERIFY(w->isVisible());
    // The check ends on the last family with no column current: Tab goes on to family 1.
    QTest::keyClick(w->fgFamilies, Qt::Key_Tab);
    QCOMPARE(std::pair(w->fgFamilies->row(), w->fgFamilies->col()), std::pair(1, int(FamCol::PagerQty)));
}

void TestCfgFam::closingQuestion_data() {
    QTest::addColumn<bool>("exit");
    row("the close box", false);
    row("the program's exit", true);
}

void TestCfgFam::closingQuestion() {
    QFETCH(bool, exit);
    frmTerminal* main = frmTerminal::load();
    QPointer<frmCfgFam> w = frmCfgFam::open();
    shared().RecordIncomplete = true;
    box->script.answers = {Answer::Yes, Answer::No}; // the exit question first, when there is one
    if (!exit)
        box->script.answers.pop_front();
    QVERIFY(exit ? !main->close() : !w->close());
    const BoxRecord asked = box->script.boxes.last();
    QCOMPARE(asked.title, QString("Incomplete Database Definition"));
    QCOMPARE(asked.text, QString("Pager Families Definition is Incomplete\r"
                                 "As Shown by Magenta Fields.\r"
                                 "Incomplete Records Will be Erased.\r"
                                 "Are You Sure You Want to Exit?"));
    QCOMPARE(asked.buttons, Buttons::YesNo);
    QVERIFY(!shared().RecordIncomplete);
    QVERIFY(w && w->isVisible());
    QVERIFY(!shared().ExitConfirmed);
    // The flag was cleared by the question: the next close goes through without it.
    QVERIFY(w->close());
    QTRY_VERIFY(!w);
}

// The check stopped by Cancel, by closing the window or by leaving the program: nothing is
// adjusted and the window goes; after a Cancel, Save writes nothing.
void TestCfgFam::closingDuringTheCheck_data() {
    QTest::addColumn<QString>("stop");
    row("Cancel", "Cancel");
    row("the window closed", "close");
    row("the program left", "exit");
}

void TestCfgFam::closingDuringTheCheck() {
    QFETCH(QString, stop);
    frmTerminal* main = frmTerminal::load();
    const QString path = box->path("SAVED.PG7");
    QByteArray saved;
    if (stop == "Cancel") {
        box->script.files = {path};
        shared().DatabaseChecked = true;
        main->mnuSaveAs_Click();
        saved = readFile(path);
        QVERIFY(!saved.isEmpty());
    }
    overlapping();
    QPointer<frmCfgFam> w = frmCfgFam::open();
    shared().FamiliesChanged = true;
    box->script.answers = {Answer::Yes};
    QTimer::singleShot(0, [&] {
        QVERIFY(isBusy());
        QVERIFY(frmCancelSend::isLoaded());
        QWidget* focused = w->focusWidget(); // the check holds the cell: Tab goes nowhere
        QTest::keyClick(w->fgFamilies, Qt::Key_Tab);
        QCOMPARE(w->focusWidget(), focused);
        // Nor does a choice reach a family while the check runs.
        w->cmbPgrType->setCurrentIndex(w->cmbPgrType->findText("Numeric"));
        emit w->cmbPgrType->activated(w->cmbPgrType->currentIndex());
        QCOMPARE(line(shared().Db.Families[w->fgFamilies->row() - 1]).split('|')[Fam::PgrType], "A");
        if (stop == "Cancel")
            frmCancelSend::instance()->Command1->click();
        else if (stop == "exit")
            main->close();
        else
            w->close();
    });
    w->cmdOK->click();
    QVERIFY(!shared().DatabaseChecked);
    QCOMPARE(shared().Db.Families[1][Fam::StartID], QByteArray("105"));
    QVERIFY(!frmCancelSend::isLoaded());
    QVERIFY(!isBusy());
    QTRY_VERIFY(!w);
    if (stop == "Cancel") {
        QCOMPARE(box->script.boxes.size(), 0);
        main->mnuSave_Click();
        QCOMPARE(readFile(path), saved);
    }
}

QTEST_MAIN(TestCfgFam)
#include "tst_cfgfam.moc"
