// The test pages' text rules: escapes and length limits for the Send and the range test, the
// log's names of control characters, the range test's login answer lines and the log line.

#include "model/PagerDatabase.h"
#include "model/TapPaging.h"
#include "support/DataRow.h"

#include <QtTest>

using namespace qpes;
using namespace qpes::test;

class TstTapPaging : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { applyStartValues(shared()); }

    void escapes_data() {
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<QByteArray>("send");
        QTest::addColumn<QByteArray>("rangeTest");
        row("CR", QByteArray("a<CR>b"), QByteArray("a\x1aMb"), QByteArray("a\x1aMb"));
        row("cr", QByteArray("<cr>"), QByteArray("\x1aM"), QByteArray("\x1aM"));
        row("Cr stays", QByteArray("<Cr>"), QByteArray("<Cr>"), QByteArray("<Cr>"));
        row("LF", QByteArray("<LF><lf>"), QByteArray("\x1aJ\x1aJ"), QByteArray("\x1aJ\x1aJ"));
        row("ASC065", QByteArray("<ASC065>"), QByteArray("A"), QByteArray("<ASC065>"));
        row("asc065", QByteArray("<asc065>"), QByteArray("A"), QByteArray("<asc065>"));
        row("ASC007", QByteArray("<ASC007>"), QByteArray("\x1aG"), QByteArray("\x1aG"));
        row("blank before digits", QByteArray("<ASC 65>"), QByteArray("A"), QByteArray("<ASC 65>"));
        row("hexadecimal", QByteArray("<ASC&H7>"), QByteArray("\x1aG"), QByteArray("\x1aG"));
        row("octal", QByteArray("<ASC&O7>"), QByteArray("\x1aG"), QByteArray("\x1aG"));
        row("exponent", QByteArray("<ASC1E2>"), QByteArray("d"), QByteArray("<ASC1E2>"));
        row("half to even", QByteArray("<ASC2.5>"),
            QByteArray("\x1a"
                       "B"),
            QByteArray("\x1a"
                       "B"));
        row("128 as typed", QByteArray("<ASC128>"), QByteArray("<ASC128>"), QByteArray("<ASC128>"));
        row("negative as typed", QByteArray("<ASC-01>"), QByteArray("<ASC-01>"), QByteArray("<ASC-01>"));
        row("not a number", QByteArray("<ASCabc>"), QByteArray("<ASCabc>"), QByteArray("<ASCabc>"));
        row("no closing bracket", QByteArray("<ASC65>x"), QByteArray("<ASC65>x"), QByteArray("<ASC65>x"));
        row("produced < starts nothing", QByteArray("<ASC060>CR>"), QByteArray("<CR>"),
            QByteArray("<ASC060>CR>"));
        row("too short", QByteArray("x<CR"), QByteArray("x<CR"), QByteArray("x<CR"));
    }
    void escapes() {
        QFETCH(QByteArray, typed);
        QFETCH(QByteArray, send);
        QFETCH(QByteArray, rangeTest);
        const ExpandedMessage s = ExpandMessageEscapes(typed, PageKind::Send);
        const ExpandedMessage r = ExpandMessageEscapes(typed, PageKind::RangeTest);
        QCOMPARE(s.text, send);
        QCOMPARE(r.text, rangeTest);
        QCOMPARE(s.expanded, send != typed);
        QCOMPARE(r.expanded, rangeTest != typed);
    }

    void lengthRule_data() {
        QTest::addColumn<int>("idLength");
        QTest::addColumn<int>("sendLimit"); // -1: the box keeps its limit
        QTest::addColumn<bool>("sendCut");
        QTest::addColumn<int>("rangeLimit");
        QTest::addColumn<bool>("rangeCut");
        row("no ID", 0, 249, false, 251, false);
        row("1", 1, 248, false, 251, false);
        row("2", 2, 247, true, 250, true);
        row("5", 5, 244, true, 247, true);
        row("10", 10, 239, true, 242, true);
        row("11", 11, -1, false, -1, false);
    }
    void lengthRule() {
        QFETCH(int, idLength);
        QFETCH(int, sendLimit);
        QFETCH(bool, sendCut);
        QFETCH(int, rangeLimit);
        QFETCH(bool, rangeCut);
        const LengthRule s = MessageLengthLimit(idLength, PageKind::Send);
        const LengthRule r = MessageLengthLimit(idLength, PageKind::RangeTest);
        QCOMPARE(s.setsMaxLength ? s.limit : -1, sendLimit);
        QCOMPARE(s.cut, sendCut);
        QCOMPARE(r.setsMaxLength ? r.limit : -1, rangeLimit);
        QCOMPARE(r.cut, rangeCut);
        if (sendCut)
            QCOMPARE(truncationText(sendLimit, PageKind::Send),
                     "Maximum Message Length is Equal to\r249 Minus Length of ID field.\r"
                     "This Message will be Truncated to " +
                         QByteArray::number(sendLimit) + ".");
        if (rangeCut)
            QCOMPARE(truncationText(rangeLimit, PageKind::RangeTest),
                     "Maximum Message Length is Equal to\r252 Minus Length of ID field.\r"
                     "This Message will be Truncated to " +
                         QByteArray::number(rangeLimit) + ".");
    }

    void controlNames_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("withXoff");
        QTest::addColumn<QByteArray>("named");
        row("ACK CR", QByteArray("\x06\r"), true, QByteArray("<ACK><CR>"));
        row("all, with XOFF", QByteArray("\x1b\x1e\x04\x15\x13\n"), true,
            QByteArray("<ESC><RS><EOT><NAK><XOFF><LF>"));
        row("XOFF raw", QByteArray("a\x13"), false, QByteArray("a\x13"));
        row("SUB STX ETX stay", QByteArray("\x1a\x02\x03"), true, QByteArray("\x1a\x02\x03"));
    }
    void controlNames() {
        QFETCH(QByteArray, text);
        QFETCH(bool, withXoff);
        QFETCH(QByteArray, named);
        QCOMPARE(NameControlCharacters(text, withXoff), named);
    }

    void loginAnswerLines_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QList<QByteArray>>("lines");
        row("usual", QByteArray("110 1.8\r\nReady\r\x06\r\x1b[p\r"),
            QList<QByteArray>{"110 1.8", "Ready", "[p"});
        row("no CR", QByteArray("[p"), QList<QByteArray>{"[p"});
        row("one line", QByteArray("x[p\r"), QList<QByteArray>{"x[p"});
        row("short after the second line", QByteArray("a\r\nb[p\r\x06"), QList<QByteArray>{"a", "b[p"});
        row("cut short inside the skip", QByteArray("a\r"), QList<QByteArray>{"a"});
    }
    void loginAnswerLines() {
        QFETCH(QByteArray, reply);
        QFETCH(QList<QByteArray>, lines);
        QCOMPARE(qpes::loginAnswerLines(reply), lines);
    }

    void countdown_data() {
        QTest::addColumn<qint64>("now");
        QTest::addColumn<qint64>("due");
        QTest::addColumn<qint64>("seconds");
        row("whole cycle ahead", qint64(12000), qint64(42000), qint64(30));
        row("boundaries, not rounded up", qint64(10300), qint64(40500), qint64(30));
        row("due within this second", qint64(40300), qint64(40500), qint64(0));
        row("one boundary left", qint64(39999), qint64(40000), qint64(1));
    }
    void countdown() {
        QFETCH(qint64, now);
        QFETCH(qint64, due);
        QFETCH(qint64, seconds);
        QCOMPARE(countdownSeconds(now, due), seconds);
    }

    void rangeTestDue_data() {
        QTest::addColumn<qint64>("now");
        QTest::addColumn<int>("cycle");
        QTest::addColumn<qint64>("due");
        row("a cycle of 30 s", qint64(12345), 30, qint64(42345));
        row("a clock past 32 bits of milliseconds", qint64(4294967000), 600, qint64(4295567000));
    }
    void rangeTestDue() {
        QFETCH(qint64, now);
        QFETCH(int, cycle);
        QFETCH(qint64, due);
        QCOMPARE(qpes::rangeTestDue(now, cycle), due);
    }

    void logLine_data() {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QByteArray>("line");
        row("afternoon", QDateTime(QDate(2007, 8, 16), QTime(15, 4, 5)),
            QByteArray("8/16/2007 3:04:05 PM: x"));
        row("morning", QDateTime(QDate(2026, 12, 7), QTime(0, 0, 1)), QByteArray("12/7/2026 12:00:01 AM: x"));
        row("midnight", QDateTime(QDate(2026, 1, 2), QTime(0, 0, 0)), QByteArray("1/2/2026: x"));
    }
    void logLine() {
        QFETCH(QDateTime, when);
        QFETCH(QByteArray, line);
        QCOMPARE(qpes::logLine(when, "x"), line);
    }
};

QTEST_APPLESS_MAIN(TstTapPaging)
#include "tst_tappaging.moc"
