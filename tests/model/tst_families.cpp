// The families editor's rules without its window: the families check, the OK scan, what a
// typed number stores, the function-code question and the cell texts.

#include "model/Families.h"
#include "support/DataRow.h"

#include <QtTest>

using namespace qpes;
using namespace qpes::test;

namespace {

// A family as "Active Defined StartID PagerQty StartCap", fields apart by blanks; "-" empty.
PagerFamily family(const QByteArray& line) {
    const QList<QByteArray> v = line.split(' ');
    PagerFamily f;
    auto field = [](const QByteArray& t) { return t == "-" ? QByteArray() : t; };
    f[Fam::Active] = field(v[0]);
    f[Fam::Defined] = field(v[1]);
    f[Fam::StartID] = field(v[2]);
    f[Fam::PagerQty] = field(v[3]);
    f[Fam::StartCap] = field(v[4]);
    f[Fam::PgrType] = v.size() > 5 ? field(v[5]) : "A";
    f[Fam::Rate] = v.size() > 6 ? field(v[6]) : "5";
    return f;
}

QByteArray line(const PagerFamily& f) {
    auto field = [](const QByteArray& t) { return t.isEmpty() ? QByteArray("-") : t; };
    return field(f[Fam::Active]) + ' ' + field(f[Fam::Defined]) + ' ' + field(f[Fam::StartID]) + ' ' +
           field(f[Fam::PagerQty]) + ' ' + field(f[Fam::StartCap]);
}

FamilyTable table(const QList<QByteArray>& lines) {
    FamilyTable t;
    for (int i = 0; i < lines.size(); ++i)
        t[i] = family(lines[i]);
    return t;
}

QList<QByteArray> lines(const FamilyTable& t, qsizetype count) {
    QList<QByteArray> out;
    for (int i = 0; i < count; ++i)
        out << line(t[i]);
    return out;
}

const char* fieldName(int field) {
    return field == Fam::StartCap ? "StartCap" : field == Fam::StartID ? "StartID" : "PagerQty";
}

} // namespace

class TestFamilies : public QObject {
    Q_OBJECT
private slots:
    void check_data();
    void check();
    void cancelledCheck_data();
    void cancelledCheck();
    void scan_data();
    void scan();
    void typedNumber_data();
    void typedNumber();
    void funcCode_data();
    void funcCode();
    void cellTexts_data();
    void cellTexts();
};

void TestFamilies::check_data() {
    QTest::addColumn<QList<QByteArray>>("before");
    QTest::addColumn<QList<QByteArray>>("after");
    QTest::addColumn<QStringList>("cyan");
    QTest::addColumn<bool>("adjusted");
    using L = QList<QByteArray>;
    row("above the highest capcode", L{"1 YES 100 010 2097140"}, L{"1 YES 100 010 2097134"},
        QStringList{"0 StartCap"}, true);
    row("ending on the highest capcode", L{"1 YES 100 010 2097134"}, L{"1 YES 100 010 2097134"},
        QStringList{}, false);
    row("into the upper reserved block", L{"1 YES 100 010 2045050"}, L{"1 YES 100 010 2045046"},
        QStringList{"0 StartCap"}, true);
    row("into the lower reserved block", L{"1 YES 100 005 2007660"}, L{"1 YES 100 005 2007659"},
        QStringList{"0 StartCap"}, true);
    row("just above a reserved block", L{"1 YES 100 999 2045064"}, L{"1 YES 100 999 2045064"}, QStringList{},
        false);
    row("starting on a reserved block's last capcode", L{"1 YES 100 005 2045063"}, L{"1 YES 100 005 2045051"},
        QStringList{"0 StartCap"}, true);
    row("ending on a reserved block's first capcode", L{"1 YES 100 007 2045050"}, L{"1 YES 100 007 2045049"},
        QStringList{"0 StartCap"}, true);
    row("below the lowest capcode", L{"1 YES 100 010 0000005"}, L{"1 YES 100 010 0000008"},
        QStringList{"0 StartCap"}, true);
    row("on the lowest capcode", L{"1 YES 100 010 0000008"}, L{"1 YES 100 010 0000008"}, QStringList{},
        false);
    row("starting on an earlier end", L{"1 YES 100 010 0001000", "1 YES 109 010 0002000"},
        L{"1 YES 100 010 0001000", "1 YES 110 010 0002000"}, QStringList{"1 StartID"}, true);
    row("ending on an earlier start", L{"1 YES 100 010 0001000", "1 YES 91 010 0002000"},
        L{"1 YES 100 010 0001000", "1 YES 91 9 0002000"}, QStringList{"1 PagerQty"}, true);
    row("ending on an earlier end", L{"1 YES 100 010 0001000", "1 YES 95 015 0002000"},
        L{"1 YES 100 010 0001000", "1 YES 95 5 0002000"}, QStringList{"1 PagerQty"}, true);
    row("ending inside an earlier range", L{"1 YES 100 010 0001000", "1 YES 95 010 0002000"},
        L{"1 YES 100 010 0001000", "1 YES 95 5 0002000"}, QStringList{"1 PagerQty"}, true);
    row("enclosing an earlier range", L{"1 YES 105 005 0001000", "1 YES 100 020 0002000"},
        L{"1 YES 105 005 0001000", "1 YES 100 020 0002000"}, QStringList{}, false);
    row("equal starts", L{"1 YES 100 010 0001000", "1 YES 100 010 0002000"},
        L{"1 YES 100 010 0001000", "1 YES 110 010 0002000"}, QStringList{"1 StartID"}, true);
    row("a move past the highest ID the editor takes", L{"1 YES 8990 010 0001000", "1 YES 8995 010 0002000"},
        L{"1 YES 8990 010 0001000", "1 YES 9000 010 0002000"}, QStringList{"1 StartID"}, true);
    row("a move that needs a second sweep",
        L{"1 YES 120 010 0001000", "1 YES 100 010 0002000", "1 YES 105 015 0003000"},
        L{"1 YES 120 010 0001000", "1 YES 100 010 0002000", "1 YES 110 10 0003000"},
        QStringList{"2 StartID", "2 PagerQty"}, true);
    row("families off or not defined are left alone",
        L{"1 YES 100 010 0001000", "0 YES 105 020 2097140", "1 - 100 010 2045050", "- - 100 010 0000000"},
        L{"1 YES 100 010 0001000", "0 YES 105 020 2097140", "1 - 100 010 2045050", "- - 100 010 0000000"},
        QStringList{}, false);
}

void TestFamilies::check() {
    QFETCH(QList<QByteArray>, before);
    QFETCH(QList<QByteArray>, after);
    QFETCH(QStringList, cyan);
    QFETCH(bool, adjusted);
    FamilyTable t = table(before);
    QStringList changed;
    FamiliesCheckHooks hooks;
    hooks.changed = [&](int row, int field) {
        changed << QStringLiteral("%1 %2").arg(row).arg(fieldName(field));
    };
    const FamiliesCheckResult r = checkFamilies(t, hooks);
    QCOMPARE(lines(t, after.size()), after);
    QCOMPARE(changed, cyan);
    QCOMPARE(r.result, true);
    QCOMPARE(r.cancelled, false);
    QCOMPARE(r.adjusted, adjusted);
}

void TestFamilies::cancelledCheck_data() {
    QTest::addColumn<int>("cancelInSweep");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QByteArray>("third");
    row("first sweep, before any change", 1, false, QByteArray("1 YES 105 015 0003000"));
    row("second sweep, before its change", 2, true, QByteArray("1 YES 110 015 0003000"));
}

void TestFamilies::cancelledCheck() {
    QFETCH(int, cancelInSweep);
    QFETCH(bool, result);
    QFETCH(QByteArray, third);
    FamilyTable t = table({"1 YES 120 010 0001000", "1 YES 100 010 0002000", "1 YES 105 015 0003000"});
    int sweeps = 0;
    FamiliesCheckHooks hooks;
    hooks.sweepStart = [&] { ++sweeps; };
    hooks.poll = [&] { return sweeps == cancelInSweep; };
    const FamiliesCheckResult r = checkFamilies(t, hooks);
    QVERIFY(r.cancelled);
    QCOMPARE(r.result, result);
    QCOMPARE(line(t[2]), third);
}

void TestFamilies::scan_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<bool>("switchedOff");
    row("complete", QByteArray("1 - 100 010 0001000"), QByteArray("1 YES 100 010 0001000"), false);
    row("complete while off", QByteArray("0 - 100 010 0001000"), QByteArray("0 YES 100 010 0001000"), false);
    const QByteArray erased("0 - 0000 000 0000000");
    row("no quantity", QByteArray("1 YES 100 000 0001000"), erased, true);
    row("no start ID", QByteArray("1 YES 0000 010 0001000"), erased, true);
    row("capcode below 8", QByteArray("1 YES 100 010 0000007"), erased, true);
    row("no pager type", QByteArray("1 YES 100 010 0001000 -"), erased, true);
    row("no rate", QByteArray("1 YES 100 010 0001000 A -"), erased, true);
    row("quantity with a sign", QByteArray("1 YES 100 +5 0001000"), erased, true);
    row("quantity above 999", QByteArray("1 YES 100 1000 0001000"), erased, true);
    row("start ID with a blank", QByteArray("1 YES _5 010 0001000"), erased, true);
    row("capcode with a letter", QByteArray("1 YES 100 010 12A"), erased, true);
    row("incomplete while off", QByteArray("0 YES 100 000 0001000"), erased, false);
}

void TestFamilies::scan() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(bool, switchedOff);
    FamilyTable t;
    t[3] = family(before);
    t[3][Fam::StartID].replace('_', ' ');
    t[3][Fam::Func] = "2";
    const QList<int> off = scanFamilies(t);
    QCOMPARE(line(t[3]), after);
    QCOMPARE(off, switchedOff ? QList<int>{3} : QList<int>{});
    QCOMPARE(t[3][Fam::Func], QByteArray("2"));
    if (after.contains("0000000"))
        QCOMPARE(t[3][Fam::PgrType], QByteArray("A"));
}

void TestFamilies::typedNumber_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("acceptable");
    const int qty = FamCol::PagerQty, id = FamCol::StartID, cap = FamCol::StartCap;
    row("quantity 5", qty, QByteArray("5"), int(TypedNumber::Accepted), QByteArray("005"), true);
    row("quantity 999", qty, QByteArray("999"), int(TypedNumber::Accepted), QByteArray("999"), true);
    row("quantity 1e2", qty, QByteArray("1e2"), int(TypedNumber::Rejected), QByteArray(), false);
    row("quantity emptied", qty, QByteArray(), int(TypedNumber::Empty), QByteArray("000"), false);
    row("start ID as typed", id, QByteArray("0100"), int(TypedNumber::Accepted), QByteArray("0100"), true);
    row("capcode 8", cap, QByteArray("8"), int(TypedNumber::Accepted), QByteArray("0000008"), true);
    row("capcode emptied", cap, QByteArray(), int(TypedNumber::Empty), QByteArray("0000000"), false);
}

void TestFamilies::typedNumber() {
    QFETCH(int, column);
    QFETCH(QByteArray, typed);
    QFETCH(int, kind);
    QFETCH(QByteArray, stored);
    QFETCH(bool, acceptable);
    const TypedNumber n = readTypedNumber(column, typed);
    QCOMPARE(int(n.kind), kind);
    QCOMPARE(n.stored, stored);
    QCOMPARE(n.acceptable, acceptable);
}

void TestFamilies::funcCode_data() {
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("store");
    QTest::addColumn<QByteArray>("question");
    const QByteArray numeric = "The Normal Function Code Value for Numeric Pagers is 1";
    row("4 for Alpha", QByteArray("4"), QByteArray("A"), QByteArray("3"), QByteArray());
    row("2 for Numeric", QByteArray("2"), QByteArray("N"), QByteArray("1"), numeric);
    row("3 for no type", QByteArray("3"), QByteArray(), QByteArray("2"), numeric);
    row("1 for Numeric", QByteArray("1"), QByteArray("N"), QByteArray("0"), QByteArray());
    row("4 for Numeric", QByteArray("4"), QByteArray("N"), QByteArray("3"), numeric);
    row("1 for no type", QByteArray("1"), QByteArray(), QByteArray(), QByteArray());
}

void TestFamilies::funcCode() {
    QFETCH(QByteArray, item);
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, store);
    QFETCH(QByteArray, question);
    const FuncChoice c = chooseFuncCode(item, type);
    QCOMPARE(c.store.value_or(QByteArray()), store);
    QCOMPARE(c.question, question);
}

void TestFamilies::cellTexts_data() {
    QTest::addColumn<QByteArray>("shown");
    QTest::addColumn<QByteArray>("expected");
    MessageTable m;
    m[2] = QByteArray(100, 'x');
    m[3] = QByteArray(90, 'y');
    row("label of 90 whole", messageLabel("Suffix:", "4", m, true), "Suffix: " + QByteArray(90, 'y'));
    row("label on a click", messageLabel("Prefix:", "03", m, false), "Prefix: " + QByteArray(100, 'x'));
    row("label of no message", messageLabel("Prefix:", "00", m, false), QByteArray("Prefix:"));
    row("label of number 16", messageLabel("Prefix:", "16", m, false), QByteArray("Prefix:"));
}

void TestFamilies::cellTexts() {
    QFETCH(QByteArray, shown);
    QFETCH(QByteArray, expected);
    QCOMPARE(shown, expected);
}

QTEST_APPLESS_MAIN(TestFamilies)
#include "tst_families.moc"
