// The TAP block and its checksum, the record splitter and the command texts, byte for byte.

#include "model/Tap.h"

#include <QtTest>

using namespace qpes;

class TstTapBlock : public QObject {
    Q_OBJECT
private slots:
    void buildTapBlock_data();
    void buildTapBlock();
    void checksum_data();
    void checksum();
    void splitFields_data();
    void splitFields();
    void commands_data();
    void commands();
};

void TstTapBlock::buildTapBlock_data() {
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("block");

    QTest::newRow("worked example") << QByteArray("abc") << QByteArray("M 1")
                                    << QByteArray("\x02"
                                                  "abc\rM 1\r\x03"
                                                  "1>3\r");
    QTest::newRow("empty id and message") << QByteArray() << QByteArray()
                                          << QByteArray("\x02\r\r\x03"
                                                        "01?\r");
    QTest::newRow("group request") << QByteArray(DatabaseReadId) << QByteArray("L 1")
                                   << QByteArray("\x02"
                                                 "019d46\rL 1\r\x03"
                                                 "224\r");
    // 200 bytes of 255 plus the frame: far past a 16-bit sum; only the low 12 bits count.
    // 2 + 13 + 200 * 255 + 13 + 3 = 51031 = 0xC757.
    QTest::newRow("sum beyond 16 bits") << QByteArray() << QByteArray(200, '\xff')
                                        << QByteArray("\x02\r" + QByteArray(200, '\xff') +
                                                      "\r\x03"
                                                      "757\r");
}

void TstTapBlock::buildTapBlock() {
    QFETCH(QByteArray, id);
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, block);
    QCOMPARE(BuildTapBlock(id, message), block);
}

void TstTapBlock::checksum_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("checksum");

    QTest::newRow("nothing") << QByteArray() << QByteArray("000");
    QTest::newRow("475 gives letters past 9") << QByteArray("\xff\xdc") << QByteArray("1=;");
    QTest::newRow("all nibbles 15") << QByteArray(16, '\xff') + QByteArray(1, '\x0f') << QByteArray("???");
    // 0x10000 + 0x123: bits above the low 12 are dropped, bytes count unsigned.
    QTest::newRow("above 16 bits") << QByteArray(257, '\xff') + QByteArray("\xff\x23\x01\x01")
                                   << QByteArray("123");
}

void TstTapBlock::checksum() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, checksum);
    QCOMPARE(TapChecksum(bytes), checksum);
}

void TstTapBlock::splitFields_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<QByteArray>>("words");
    QTest::addColumn<QByteArray>("rest");

    using L = QList<QByteArray>;
    QTest::newRow("record") << QByteArray("L 1 5") << L{"L", "1", "5"} << QByteArray();
    QTest::newRow("two blanks") << QByteArray("a  b") << L{"a", "b"} << QByteArray();
    QTest::newRow("leading blank is not wrapped") << QByteArray(" a b") << L{"a"} << QByteArray("b");
    QTest::newRow("leading and trailing blank") << QByteArray(" a b ") << L{"a", "b"} << QByteArray();
    QTest::newRow("empty") << QByteArray() << L{} << QByteArray();
    QTest::newRow("only a blank") << QByteArray(" ") << L{} << QByteArray();
    QTest::newRow("trailing blanks") << QByteArray("G 1 1  ") << L{"G", "1", "1"} << QByteArray();
    QTest::newRow("quoted message keeps its blanks apart")
        << QByteArray("M 3 \"a b\"") << L{"M", "3", "\"a", "b\""} << QByteArray();
}

void TstTapBlock::splitFields() {
    QFETCH(QByteArray, text);
    QFETCH(QList<QByteArray>, words);
    QFETCH(QByteArray, rest);
    QByteArray gotRest = "untouched";
    QCOMPARE(SplitFields(text, ' ', &gotRest), words);
    QCOMPARE(gotRest, rest);
}

void TstTapBlock::commands_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("detect") << detectCommand() << QByteArray("ATI\r\r");
    QTest::newRow("idascap query") << idAsCapQuery() << QByteArray("CONFIG IDASCAP?\r");
    QTest::newRow("idascap off") << idAsCapSet(false) << QByteArray("CONFIG IDASCAP 0\r");
    QTest::newRow("idascap on") << idAsCapSet(true) << QByteArray("CONFIG IDASCAP 1\r");
    QTest::newRow("maxbatch query") << configQuery("maxbatch") << QByteArray("config maxbatch?\r\n");
    QTest::newRow("pet query") << configQuery("pet") << QByteArray("config pet?\r\n");
    QTest::newRow("invertdata on") << configSet("invertdata", true) << QByteArray("config invertdata 1\r\n");
    QTest::newRow("altfc off") << configSet("altfc", false) << QByteArray("config altfc 0\r\n");
    QTest::newRow("idascap final, lower case")
        << configSet("idascap", true) << QByteArray("config idascap 1\r\n");
    QTest::newRow("dutycycle") << configSetValue("dutycycle", "50") << QByteArray("config dutycycle 50\r\n");
    QTest::newRow("maxbatch empty value")
        << configSetValue("maxbatch", "") << QByteArray("config maxbatch \r\n");
    QTest::newRow("dutycycle with line breaks")
        << configSetValue("dutycycle", "5\r0\n") << QByteArray("config dutycycle 5 0 \r\n");
    QTest::newRow("group 10 request") << recordRequest('L', 10) << BuildTapBlock("019d46", "L 10");
    QTest::newRow("family 1 request") << recordRequest('G', 1)
                                      << QByteArray("\x02"
                                                    "019d46\rG 1\r\x03"
                                                    "21?\r");
    QTest::newRow("message store") << recordStore("M 1 \"\"") << BuildTapBlock("031e64", "M 1 \"\"");
    QTest::newRow("lookup") << lookupCommand("1234") << QByteArray("LOOKUP 1234\r\n");
    QTest::newRow("tune 512") << testSignalCommand(512) << QByteArray("TEST512\r");
    QTest::newRow("tune 2400") << testSignalCommand(2400) << QByteArray("TEST2400\r");
    QTest::newRow("login wake") << tapLoginWake() << QByteArray("\r");
    QTest::newRow("login request") << tapLoginRequest() << QByteArray("\x1bPG1\r");
}

void TstTapBlock::commands() {
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, bytes);
    QCOMPARE(command, bytes);
}

QTEST_APPLESS_MAIN(TstTapBlock)
#include "tst_tapblock.moc"
