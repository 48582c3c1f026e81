// The console's pager ID check in its three modes.

#include "model/PagerDatabase.h"
#include "model/PagerId.h"

#include <QtTest>

using namespace qpes;

class TstPagerId : public QObject {
    Q_OBJECT

private slots:
    void check_data() {
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<bool>("idAsCap");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QByteArray>("detail");
        const int ok = PagerIdCheck::Valid, cap = PagerIdCheck::BadCapcode, bad = PagerIdCheck::BadId;
        const QByteArray numeric = "Expected Numeric Characters\rGot Alpha Characters";
        const QByteArray missing = "Pager ID value not in current database";
        // Database IDs: family 1 covers 100..109 (defined, off), family 2 is not defined.
        QTest::newRow("range start") << QByteArray("100") << false << ok << QByteArray();
        QTest::newRow("range end") << QByteArray("109") << false << ok << QByteArray();
        QTest::newRow("suffix") << QByteArray("109D") << false << ok << QByteArray();
        QTest::newRow("lower-case suffix") << QByteArray("100a") << false << ok << QByteArray();
        QTest::newRow("before the start") << QByteArray("99") << false << bad << missing;
        QTest::newRow("undefined family") << QByteArray("500") << false << bad << missing;
        QTest::newRow("group") << QByteArray("25") << false << ok << QByteArray();
        QTest::newRow("group with suffix") << QByteArray("25b") << false << ok << QByteArray();
        QTest::newRow("group, zero-filled") << QByteArray("025") << false << bad << missing;
        QTest::newRow("letter inside") << QByteArray("1A2") << false << bad << numeric;
        QTest::newRow("bad suffix") << QByteArray("12E") << false << bad << numeric;
        // Direct addresses.
        QTest::newRow("direct") << QByteArray("1234A52") << false << ok << QByteArray();
        QTest::newRow("direct, numeric") << QByteArray("12N13") << false << ok << QByteArray();
        QTest::newRow("direct, digits only") << QByteArray("12011") << false << ok << QByteArray();
        QTest::newRow("type") << QByteArray("1234X52") << false << bad
                              << QByteArray("Expected A, a, N, n, 0, or 1\rGot X");
        QTest::newRow("rate") << QByteArray("1234A32") << false << bad
                              << QByteArray("Expected 1, 2, or 5\rGot 3");
        QTest::newRow("function") << QByteArray("1234A57") << false << bad
                                  << QByteArray("Expected 0, 1, 2, 3, or 4\rGot 7");
        QTest::newRow("five digits") << QByteArray("12345") << false << bad
                                     << QByteArray("Expected A, a, N, n, 0, or 1\rGot 3");
        QTest::newRow("capcode digits") << QByteArray("1x4A52") << false << bad << numeric;
        // Capcodes.
        QTest::newRow("cap 9") << QByteArray("0000009") << true << ok << QByteArray();
        QTest::newRow("cap top") << QByteArray("2097143") << true << ok << QByteArray();
        QTest::newRow("cap past top") << QByteArray("2097144") << true << cap << QByteArray();
        QTest::newRow("cap 2007663") << QByteArray("2007663") << true << ok << QByteArray();
        QTest::newRow("cap 2007664") << QByteArray("2007664") << true << cap << QByteArray();
        QTest::newRow("cap 2007671") << QByteArray("2007671") << true << cap << QByteArray();
        QTest::newRow("cap 2007672") << QByteArray("2007672") << true << ok << QByteArray();
        QTest::newRow("cap 2045056") << QByteArray("2045056") << true << cap << QByteArray();
        QTest::newRow("cap 2045063") << QByteArray("2045063") << true << cap << QByteArray();
        QTest::newRow("cap 2045064") << QByteArray("2045064") << true << ok << QByteArray();
        QTest::newRow("cap ten digits") << QByteArray("9999999999") << true << cap << QByteArray();
        QTest::newRow("cap letter") << QByteArray("12A4") << true << cap << QByteArray();
    }
    void check() {
        QFETCH(QByteArray, id);
        QFETCH(bool, idAsCap);
        QFETCH(int, outcome);
        QFETCH(QByteArray, detail);
        PagerDatabase db;
        clearTables(db);
        db.Families[0][Fam::Defined] = "YES";
        db.Families[0][Fam::StartID] = "100";
        db.Families[0][Fam::PagerQty] = "010";
        db.Families[1][Fam::Active] = "1";
        db.Families[1][Fam::StartID] = "500";
        db.Families[1][Fam::PagerQty] = "010";
        db.Groups[3][Grp::Defined] = "YES";
        db.Groups[3][Grp::GroupID] = "25";
        const PagerIdCheck c = checkPagerId(id, idAsCap, db.Families, db.Groups);
        QCOMPARE(int(c.outcome), outcome);
        QCOMPARE(c.detail, detail);
    }
};

QTEST_APPLESS_MAIN(TstPagerId)
#include "tst_pagerid.moc"
