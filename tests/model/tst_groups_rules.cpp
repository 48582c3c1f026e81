// The groups rules without a window: typed and stored IDs and their cell texts, and the groups
// check's coverage, polls and cancel.

#include "model/Groups.h"
#include "support/DataRow.h"

#include <QtTest>

using namespace qpes;
using namespace qpes::test;

class TestGroupsRules : public QObject {
    Q_OBJECT

private slots:
    void ids_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("value"); // 0: not an ID
        QTest::addColumn<QByteArray>("pagerCell");
        QTest::addColumn<QByteArray>("groupCell");
        row("12", QByteArray("12"), 12, QByteArray("12"), QByteArray("12"));
        row("leading zeros", QByteArray("0042"), 42, QByteArray("42"), QByteArray("0042"));
        row("32767", QByteArray("32767"), 32767, QByteArray("32767"), QByteArray("32767"));
        row("32768", QByteArray("32768"), 0, QByteArray("32768"), QByteArray("32768"));
        row("not set", QByteArray("0000"), 0, QByteArray(), QByteArray());
        row("empty", QByteArray(), 0, QByteArray(), QByteArray());
        for (const char* text : {" 12", "+12", "1.5", "1,5", "-5", "abc"})
            row(text, QByteArray(text), 0, QByteArray(text), QByteArray(text));
    }
    void ids() {
        QFETCH(QByteArray, text);
        QFETCH(int, value);
        QFETCH(QByteArray, pagerCell);
        QFETCH(QByteArray, groupCell);
        QCOMPARE(typedId(text).value_or(0), value);
        QCOMPARE(isSetId(text), value > 0);
        QCOMPARE(shownPagerId(text), pagerCell);
        QCOMPARE(shownGroupId(text), groupCell);
    }

    // Group 3 alone is defined and active, with one pager ID; family 1 as given. `cancelAt`
    // presses Cancel at that poll (0: never).
    void check_data() {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("quantity");
        QTest::addColumn<QByteArray>("pagerId");
        QTest::addColumn<int>("cancelAt");
        QTest::addColumn<bool>("reset");
        QTest::addColumn<int>("polls");
        row("last of the range", QByteArray("100"), QByteArray("010"), QByteArray("0109"), 0, false, 31);
        row("past the range", QByteArray("100"), QByteArray("010"), QByteArray("110"), 0, true, 80);
        row("start not a number", QByteArray("1e2"), QByteArray("010"), QByteArray("100"), 0, true, 80);
        row("ID not a number", QByteArray("100"), QByteArray("010"), QByteArray(" 100"), 0, true, 80);
        row("huge numbers", QByteArray("99999999999999999999"), QByteArray("99999999999999999999"),
            QByteArray("100"), 0, true, 80);
        row("cancel at the ID", QByteArray("100"), QByteArray("010"), QByteArray("110"), 30, false, 30);
        row("cancel at family 50", QByteArray("100"), QByteArray("010"), QByteArray("110"), 59, false, 59);
        row("cancel after a reset", QByteArray("100"), QByteArray("010"), QByteArray("110"), 80, true, 80);
    }
    void check() {
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, quantity);
        QFETCH(QByteArray, pagerId);
        QFETCH(int, cancelAt);
        QFETCH(bool, reset);
        QFETCH(int, polls);
        GroupTable groups;
        FamilyTable families;
        for (PagerGroup& g : groups)
            for (int j = Grp::PagerID1; j <= Grp::PagerID20; ++j)
                g[j] = "0000";
        groups[2][Grp::Active] = "1";
        groups[2][Grp::Defined] = "YES";
        groups[2][Grp::PagerID1 + 5] = pagerId;
        groups[4][Grp::PagerID1] = "999"; // not defined: not examined
        families[0] = {"1", "0001000", "5", "A", "3", quantity, start, "00", "00", "YES"};

        int polled = 0;
        QList<int> resets;
        const bool done = CheckGroupsDatabase(groups, families,
                                              {[&] { return ++polled == cancelAt; }, [](int, int) {},
                                               [&](int g, int field) { resets << g * 100 + field; }});
        QCOMPARE(done, cancelAt == 0);
        QCOMPARE(polled, polls);
        QCOMPARE(resets, reset ? QList<int>{200 + Grp::PagerID1 + 5} : QList<int>{});
        QCOMPARE(groups[2][Grp::PagerID1 + 5], reset ? QByteArray("0000") : pagerId);
        QCOMPARE(groups[4][Grp::PagerID1], QByteArray("999"));
    }
};

QTEST_MAIN(TestGroupsRules)
#include "tst_groups_rules.moc"
