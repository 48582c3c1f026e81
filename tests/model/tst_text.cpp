// Number parsing, zero filling, text replacement and one-line texts.

#include "model/Text.h"

#include <QtTest>

using namespace qpes;

class tst_Text : public QObject {
    Q_OBJECT

private slots:
    void parseNumber_data();
    void parseNumber();
    void toInt16_data();
    void toInt16();
    void toInt32_data();
    void toInt32();
    void parseDigits_data();
    void parseDigits();
    void zeroFill_data();
    void zeroFill();
    void replaceText_data();
    void replaceText();
    void singleLine_data();
    void singleLine();
};

void tst_Text::parseNumber_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint64>("value");

    QTest::newRow("digits") << QByteArray("12") << true << qint64(12);
    QTest::newRow("leading zeros") << QByteArray("0012") << true << qint64(12);
    QTest::newRow("zero") << QByteArray("0000") << true << qint64(0);
    QTest::newRow("blanks around") << QByteArray("  12 ") << true << qint64(12);
    QTest::newRow("plus") << QByteArray("+7") << true << qint64(7);
    QTest::newRow("minus") << QByteArray("-7") << true << qint64(-7);
    QTest::newRow("blank then minus") << QByteArray(" -7") << true << qint64(-7);
    QTest::newRow("2.5 to even") << QByteArray("2.5") << true << qint64(2);
    QTest::newRow("3.5 to even") << QByteArray("3.5") << true << qint64(4);
    QTest::newRow("-2.5 to even") << QByteArray("-2.5") << true << qint64(-2);
    QTest::newRow("-3.5 to even") << QByteArray("-3.5") << true << qint64(-4);
    QTest::newRow("2.50 is a half") << QByteArray("2.50") << true << qint64(2);
    QTest::newRow("2.501 above a half") << QByteArray("2.501") << true << qint64(3);
    QTest::newRow("2.49 below a half") << QByteArray("2.49") << true << qint64(2);
    QTest::newRow("2.6") << QByteArray("2.6") << true << qint64(3);
    QTest::newRow("fraction only") << QByteArray(".7") << true << qint64(1);
    QTest::newRow("point without fraction") << QByteArray("5.") << true << qint64(5);
    QTest::newRow("above 16 bits") << QByteArray("99999") << true << qint64(99999);
    QTest::newRow("empty") << QByteArray("") << false << qint64(0);
    QTest::newRow("blanks only") << QByteArray("   ") << false << qint64(0);
    QTest::newRow("abc") << QByteArray("abc") << false << qint64(0);
    QTest::newRow("trailing letter") << QByteArray("12a") << false << qint64(0);
    QTest::newRow("sign only") << QByteArray("-") << false << qint64(0);
    QTest::newRow("point only") << QByteArray(".") << false << qint64(0);
    QTest::newRow("two signs") << QByteArray("+-1") << false << qint64(0);
    QTest::newRow("two points") << QByteArray("1.2.3") << false << qint64(0);
}

void tst_Text::parseNumber() {
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(qint64, value);

    const std::optional<qint64> result = qpes::parseNumber(text);
    QCOMPARE(result.has_value(), ok);
    if (ok)
        QCOMPARE(*result, value);
}

void tst_Text::toInt16_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");

    QTest::newRow("32767") << QByteArray("32767") << true << 32767;
    QTest::newRow("32768") << QByteArray("32768") << false << 0;
    QTest::newRow("-32768") << QByteArray("-32768") << true << -32768;
    QTest::newRow("-32769") << QByteArray("-32769") << false << 0;
    QTest::newRow("32766.5 to even") << QByteArray("32766.5") << true << 32766;
    QTest::newRow("32767.5 rounds out of range") << QByteArray("32767.5") << false << 0;
    QTest::newRow("blanks and sign") << QByteArray(" +0012 ") << true << 12;
    QTest::newRow("empty") << QByteArray("") << false << 0;
    QTest::newRow("abc") << QByteArray("abc") << false << 0;
    QTest::newRow("far too long") << QByteArray("123456789012345678901234567890") << false << 0;
}

void tst_Text::toInt16() {
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(int, value);

    const std::optional<int> result = qpes::toInt16(text);
    QCOMPARE(result.has_value(), ok);
    if (ok)
        QCOMPARE(*result, value);
}

void tst_Text::toInt32_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint32>("value");

    QTest::newRow("32768") << QByteArray("32768") << true << qint32(32768);
    QTest::newRow("2147483647") << QByteArray("2147483647") << true << qint32(2147483647);
    QTest::newRow("2147483648") << QByteArray("2147483648") << false << qint32(0);
    QTest::newRow("-2147483648") << QByteArray("-2147483648") << true << qint32(-2147483647 - 1);
    QTest::newRow("empty") << QByteArray("") << false << qint32(0);
}

void tst_Text::toInt32() {
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(qint32, value);

    const std::optional<qint32> result = qpes::toInt32(text);
    QCOMPARE(result.has_value(), ok);
    if (ok)
        QCOMPARE(*result, value);
}

void tst_Text::parseDigits_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint64>("value");

    QTest::newRow("007") << QByteArray("007") << true << qint64(7);
    QTest::newRow("32767") << QByteArray("32767") << true << qint64(32767);
    QTest::newRow("20 digits saturate")
        << QByteArray("99999999999999999999") << true << std::numeric_limits<qint64>::max();
    QTest::newRow("empty") << QByteArray("") << false << qint64(0);
    QTest::newRow("leading blank") << QByteArray(" 5") << false << qint64(0);
    QTest::newRow("trailing blank") << QByteArray("5 ") << false << qint64(0);
    QTest::newRow("sign") << QByteArray("+5") << false << qint64(0);
    QTest::newRow("minus") << QByteArray("-5") << false << qint64(0);
    QTest::newRow("fraction") << QByteArray("1.5") << false << qint64(0);
    QTest::newRow("comma") << QByteArray("1,5") << false << qint64(0);
    QTest::newRow("exponent") << QByteArray("1e2") << false << qint64(0);
    QTest::newRow("letter") << QByteArray("12A") << false << qint64(0);
}

void tst_Text::parseDigits() {
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(qint64, value);

    const std::optional<qint64> result = qpes::parseDigits(text);
    QCOMPARE(result.has_value(), ok);
    QCOMPARE(qpes::isDigits(text), ok);
    if (ok)
        QCOMPARE(*result, value);
}

void tst_Text::zeroFill_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("7") << QByteArray("7") << 3 << QByteArray("007");
    QTest::newRow("12") << QByteArray("12") << 3 << QByteArray("012");
    QTest::newRow("already wide") << QByteArray("123") << 3 << QByteArray("123");
    QTest::newRow("0000 stays") << QByteArray("0000") << 3 << QByteArray("0000");
    QTest::newRow("1234 stays") << QByteArray("1234") << 3 << QByteArray("1234");
    QTest::newRow("empty") << QByteArray("") << 3 << QByteArray("000");
    QTest::newRow("capcode width") << QByteArray("5000") << 7 << QByteArray("0005000");
}

void tst_Text::zeroFill() {
    QFETCH(QByteArray, text);
    QFETCH(int, width);
    QFETCH(QByteArray, expected);

    QCOMPARE(qpes::zeroFill(text, width), expected);
}

void tst_Text::replaceText_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("find");
    QTest::addColumn<QByteArray>("replacement");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty text") << QByteArray("") << QByteArray("list") << QByteArray("Group")
                                << QByteArray("");
    QTest::newRow("not found") << QByteArray("ID=12") << QByteArray("list") << QByteArray("Group")
                               << QByteArray("ID=12");
    QTest::newRow("find longer than text")
        << QByteArray("lis") << QByteArray("list") << QByteArray("Group") << QByteArray("lis");
    QTest::newRow("at the start") << QByteArray("list 3") << QByteArray("list") << QByteArray("Group")
                                  << QByteArray("Group 3");
    QTest::newRow("at the very end") << QByteArray("x1 capcode ") << QByteArray(" capcode ")
                                     << QByteArray(", Cap=") << QByteArray("x1, Cap=");
    QTest::newRow("every occurrence") << QByteArray("list,list;list") << QByteArray("list")
                                      << QByteArray("Group") << QByteArray("Group,Group;Group");
    QTest::newRow("replacement holds the find text")
        << QByteArray("aaa") << QByteArray("a") << QByteArray("aa") << QByteArray("aaaaaa");
    QTest::newRow("no overlaps, from the left")
        << QByteArray("aaa") << QByteArray("aa") << QByteArray("b") << QByteArray("ba");
    QTest::newRow("empty replacement removes")
        << QByteArray("a-b-c") << QByteArray("-") << QByteArray("") << QByteArray("abc");
    QTest::newRow("adjacent occurrences removed")
        << QByteArray("--a--") << QByteArray("-") << QByteArray("") << QByteArray("a");
    QTest::newRow("case-sensitive") << QByteArray("LIST 3") << QByteArray("list") << QByteArray("Group")
                                    << QByteArray("LIST 3");
    QTest::newRow("control character to token") << QByteArray("211\r\x06\r") << QByteArray("\r")
                                                << QByteArray("<CR>") << QByteArray("211<CR>\x06<CR>");
    QTest::newRow("function bits") << QByteArray("12 func bits:10\r\n") << QByteArray(" func bits:10")
                                   << QByteArray(", Func=3") << QByteArray("12, Func=3\r\n");
    QTest::newRow("empty find leaves the text")
        << QByteArray("abc") << QByteArray("") << QByteArray("x") << QByteArray("abc");
}

void tst_Text::replaceText() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, find);
    QFETCH(QByteArray, replacement);
    QFETCH(QByteArray, expected);

    QCOMPARE(ReplaceText(text, find, replacement), expected);
}

void tst_Text::singleLine_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("plain") << QByteArray("a, \"b\"") << QByteArray("a, \"b\"");
    QTest::newRow("CR LF") << QByteArray("a\r\nb") << QByteArray("a  b");
    QTest::newRow("lone CR") << QByteArray("a\rb") << QByteArray("a b");
    QTest::newRow("lone LF at the end") << QByteArray("ab\n") << QByteArray("ab ");
    QTest::newRow("other control characters stay") << QByteArray("a\tb\x1a") << QByteArray("a\tb\x1a");
}

void tst_Text::singleLine() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);

    QCOMPARE(qpes::singleLine(text), expected);
}

QTEST_APPLESS_MAIN(tst_Text)
#include "tst_text.moc"
