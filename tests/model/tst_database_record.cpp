// The database records: what programming sends for each group, family and message, and how
// the encoder's replies are taken back into the tables.

#include "model/DatabaseRecord.h"

#include <QtTest>

using namespace qpes;

namespace {

PagerGroup groupOf(const QByteArrayList& fields) {
    PagerGroup g;
    for (int i = 0; i < fields.size() && i < Grp::FieldCount; ++i)
        g[i] = fields[i];
    return g;
}

PagerFamily familyOf(const QByteArrayList& fields) {
    PagerFamily f;
    for (int i = 0; i < fields.size() && i < Fam::FieldCount; ++i)
        f[i] = fields[i];
    return f;
}

QByteArrayList tableRow(const PagerGroup& g) {
    return QByteArrayList(g.begin(), g.end());
}
QByteArrayList tableRow(const PagerFamily& f) {
    return QByteArrayList(f.begin(), f.end());
}

// Group fields 0 to 27: ID 1234, on, CC on with message 3, CO off, timer on with message 15,
// members 1001 to 1020.
QByteArrayList fullGroupFields() {
    QByteArrayList f{"1234", "1", "1", "3", "0", "00", "1", "15"};
    for (int i = 1; i <= 20; ++i)
        f << QByteArray::number(1000 + i);
    return f;
}

QByteArray fullGroupWords() {
    return fullGroupFields().join(' ');
}

} // namespace

class TstDatabaseRecord : public QObject {
    Q_OBJECT
private slots:
    void groupRecord_data();
    void groupRecord();
    void familyRecord_data();
    void familyRecord();
    void messageRecord_data();
    void messageRecord();

    void settingValue_data();
    void settingValue();
    void wholeNumber_data();
    void wholeNumber();
    void switches_data();
    void switches();
    void tapPrompt_data();
    void tapPrompt();
    void groupReply_data();
    void groupReply();
    void familyReply_data();
    void familyReply();
    void startId_data();
    void startId();
    void olderEncoderSettings();
    void messageReply_data();
    void messageReply();
};

void TstDatabaseRecord::groupRecord_data() {
    QTest::addColumn<QByteArrayList>("fields");
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("record");

    QByteArrayList defined = fullGroupFields();
    defined << "YES"
            << "REF";
    QTest::newRow("defined") << defined << 4 << "L 4 " + fullGroupWords();

    QByteArrayList unset = defined;
    unset[Grp::GroupID] = "0000";
    QTest::newRow("defined with group ID 0000") << unset << 1 << "L 1 0000" + fullGroupWords().mid(4);

    QByteArrayList lower = defined;
    lower[Grp::Defined] = "yes";
    QTest::newRow("yes in small letters is a filler") << lower << 10 << QByteArray("L 10 0 0 0 0 0 0 0 0");

    QByteArrayList empty = defined;
    empty[Grp::Defined] = "";
    QTest::newRow("not defined is a filler") << empty << 2 << QByteArray("L 2 0 0 0 0 0 0 0 0");

    QByteArrayList blankMarker = defined;
    blankMarker[Grp::Defined] = "YES ";
    QTest::newRow("YES with a blank is a filler") << blankMarker << 3 << QByteArray("L 3 0 0 0 0 0 0 0 0");

    QByteArrayList emptyField = defined;
    emptyField[Grp::CCMsg] = "";
    QTest::newRow("empty field gives two blanks")
        << emptyField << 5 << "L 5 1234 1 1  0 00 1 15 " + fullGroupFields().mid(Grp::PagerID1).join(' ');

    QByteArrayList emptyLast = defined;
    emptyLast[Grp::PagerID20] = "";
    QTest::newRow("empty last field gives a trailing blank")
        << emptyLast << 6 << "L 6 " + fullGroupFields().mid(0, Grp::PagerID20).join(' ') + ' ';

    QByteArrayList lineBreak = defined;
    lineBreak[Grp::GroupID] = "12\r\n";
    QTest::newRow("CR LF in a field go out as blanks")
        << lineBreak << 7 << "L 7 12   " + fullGroupWords().mid(5);
}

void TstDatabaseRecord::groupRecord() {
    QFETCH(QByteArrayList, fields);
    QFETCH(int, number);
    QFETCH(QByteArray, record);
    QCOMPARE(GroupRecord(groupOf(fields), number), record);
}

void TstDatabaseRecord::familyRecord_data() {
    QTest::addColumn<QByteArrayList>("fields");
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("record");

    const QByteArrayList defined{"1", "1000000", "1", "N", "0", "010", "7", "2", "00", "YES"};
    QTest::newRow("defined, fields as stored")
        << defined << 12 << QByteArray("G 12 1 1000000 1 N 0 010 7 2 00");

    QByteArrayList lower = defined;
    lower[Fam::Defined] = "yes";
    QTest::newRow("yes in small letters is a filler") << lower << 1 << QByteArray("G 1 0 8 5 A 0 0 0 0 0");

    QByteArrayList empty = defined;
    empty[Fam::Defined] = "";
    QTest::newRow("not defined is a filler") << empty << 50 << QByteArray("G 50 0 8 5 A 0 0 0 0 0");

    QByteArrayList noPrefix = defined;
    noPrefix[Fam::Prefix] = "";
    QTest::newRow("empty field gives two blanks")
        << noPrefix << 3 << QByteArray("G 3 1 1000000 1 N 0 010 7  00");

    QByteArrayList noSuffix = defined;
    noSuffix[Fam::Suffix] = "";
    QTest::newRow("empty last field gives a trailing blank")
        << noSuffix << 4 << QByteArray("G 4 1 1000000 1 N 0 010 7 2 ");

    QByteArrayList lineBreak = defined;
    lineBreak[Fam::PgrType] = "A\r";
    QTest::newRow("CR in a field goes out as a blank")
        << lineBreak << 5 << QByteArray("G 5 1 1000000 1 A  0 010 7 2 00");
}

void TstDatabaseRecord::familyRecord() {
    QFETCH(QByteArrayList, fields);
    QFETCH(int, number);
    QFETCH(QByteArray, record);
    QCOMPARE(FamilyRecord(familyOf(fields), number), record);
}

void TstDatabaseRecord::messageRecord_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("record");

    QTest::newRow("text") << QByteArray("Fire alarm zone 3") << 7 << QByteArray("M 7 \"Fire alarm zone 3\"");
    QTest::newRow("empty") << QByteArray() << 1 << QByteArray("M 1 \"\"");
    QTest::newRow("quote inside unescaped")
        << QByteArray("say \"hi\"") << 15 << QByteArray("M 15 \"say \"hi\"\"");
    QTest::newRow("CR LF become blanks")
        << QByteArray("one\r\ntwo\rthree\n") << 2 << QByteArray("M 2 \"one  two three \"");
    QTest::newRow("blanks kept") << QByteArray("  a  ") << 3 << QByteArray("M 3 \"  a  \"");
}

void TstDatabaseRecord::messageRecord() {
    QFETCH(QByteArray, text);
    QFETCH(int, number);
    QFETCH(QByteArray, record);
    QCOMPARE(MessageRecord(text, number), record);
}

void TstDatabaseRecord::settingValue_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("value");

    QTest::newRow("value and CR LF") << QByteArray("010\r\n") << QByteArray("010");
    QTest::newRow("more after CR LF") << QByteArray("1\r\nOK") << QByteArray("1\r\n");
    QTest::newRow("CR LF alone") << QByteArray("\r\n") << QByteArray();
    QTest::newRow("lone RS") << QByteArray("\x1e") << QByteArray();
    QTest::newRow("nothing") << QByteArray() << QByteArray();
}

void TstDatabaseRecord::settingValue() {
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, value);
    QCOMPARE(SettingValue(reply), value);
}

void TstDatabaseRecord::wholeNumber_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("leading zero") << QByteArray("010") << true << QByteArray("10");
    QTest::newRow("plain") << QByteArray("50") << true << QByteArray("50");
    QTest::newRow("zero") << QByteArray("000") << true << QByteArray("0");
    QTest::newRow("letters") << QByteArray("abc") << false << QByteArray();
    QTest::newRow("empty") << QByteArray() << false << QByteArray();
    QTest::newRow("beyond 16 bits") << QByteArray("40000") << false << QByteArray();
}

void TstDatabaseRecord::wholeNumber() {
    QFETCH(QByteArray, value);
    QFETCH(bool, isNumber);
    QFETCH(QByteArray, text);
    const auto n = WholeNumberText(value);
    QCOMPARE(n.has_value(), isNumber);
    if (isNumber)
        QCOMPARE(*n, text);
}

void TstDatabaseRecord::switches_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("switchOn");
    QTest::addColumn<bool>("invertDataOn");

    QTest::newRow("1") << QByteArray("1") << true << true;
    QTest::newRow("0") << QByteArray("0") << false << false;
    QTest::newRow("2") << QByteArray("2") << false << true;
    QTest::newRow("01") << QByteArray("01") << false << true;
    QTest::newRow("empty") << QByteArray() << false << true;
}

void TstDatabaseRecord::switches() {
    QFETCH(QByteArray, value);
    QFETCH(bool, switchOn);
    QFETCH(bool, invertDataOn);
    QCOMPARE(SwitchOn(value), switchOn);
    QCOMPARE(InvertDataOn(value), invertDataOn);
}

void TstDatabaseRecord::tapPrompt_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("messageRecord");
    QTest::addColumn<bool>("holds");

    QTest::newRow("prompt alone") << QByteArray("ID=") << false << true;
    QTest::newRow("prompt after a value") << QByteArray("1\r\nID=") << false << true;
    QTest::newRow("settings value") << QByteArray("10\r\n") << false << false;
    QTest::newRow("small letters") << QByteArray("id=\r\n") << false << false;
    QTest::newRow("group record with prompt") << QByteArray("L 1 0000 ID=\r\n") << false << true;
    QTest::newRow("inside a message's quotes") << QByteArray("M 1 \"ID=5 called\"\r\n") << true << false;
    QTest::newRow("same reply, not a message") << QByteArray("M 1 \"ID=5 called\"\r\n") << false << true;
    QTest::newRow("before a message's quotes") << QByteArray("ID=M 1 \"x\"\r\n") << true << true;
    QTest::newRow("after a message's quotes") << QByteArray("M 1 \"x\"\r\nID=") << true << true;
    QTest::newRow("message reply without quotes") << QByteArray("ID=") << true << true;
    QTest::newRow("message reply with one quote") << QByteArray("M 1 \"ID=") << true << true;
}

void TstDatabaseRecord::tapPrompt() {
    QFETCH(QByteArray, reply);
    QFETCH(bool, messageRecord);
    QFETCH(bool, holds);
    QCOMPARE(HoldsTapPrompt(reply, messageRecord), holds);
}

void TstDatabaseRecord::groupReply_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArrayList>("before");
    QTest::addColumn<QByteArrayList>("after");

    QByteArrayList old;
    for (int i = 0; i < Grp::FieldCount; ++i)
        old << "old" + QByteArray::number(i);

    QByteArrayList full = fullGroupFields();
    full << "YES" << old[Grp::Reference];
    QTest::newRow("full record") << "L 4 " + fullGroupWords() + "\r\n" << old << full;

    // Eight fields only: the members keep their values, and the group still counts as defined.
    QByteArrayList filler = old;
    for (int i = Grp::GroupID; i < Grp::PagerID1; ++i)
        filler[i] = "0";
    filler[Grp::Defined] = "YES";
    QTest::newRow("filler record") << QByteArray("L 2 0 0 0 0 0 0 0 0\r\n") << old << filler;

    QByteArrayList bare = old;
    bare[Grp::Defined] = "YES";
    QTest::newRow("letter and number only") << QByteArray("L 3\r\n") << old << bare;
}

void TstDatabaseRecord::groupReply() {
    QFETCH(QByteArray, reply);
    QFETCH(QByteArrayList, before);
    QFETCH(QByteArrayList, after);
    PagerGroup g = groupOf(before);
    StoreGroupReply(g, RecordWords(reply));
    QCOMPARE(tableRow(g), after);
}

void TstDatabaseRecord::familyReply_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArrayList>("after");

    QTest::newRow("full record") << QByteArray("G 12 1 1000000 1 N 0 010 7 2 00\r\n")
                                 << QByteArrayList{"1",   "1000000", "1", "N",  "0",
                                                   "010", "7",       "2", "00", "YES"};
    QTest::newRow("empty family") << QByteArray("G 3 0 0001234 5 A 3 000 0000 00 00\r\n")
                                  << QByteArrayList{"0",   "0000000", "5",  "A",  "3",
                                                    "000", "0000",    "00", "00", ""};
    QTest::newRow("off with pagers is defined")
        << QByteArray("G 3 0 0001234 5 A 3 005 0010 00 00\r\n")
        << QByteArrayList{"0", "0001234", "5", "A", "3", "005", "010", "00", "00", "YES"};
    QTest::newRow("quantity 0 is not the empty code")
        << QByteArray("G 7 0 8 5 A 0 0 0 0 0\r\n")
        << QByteArrayList{"0", "8", "5", "A", "0", "0", "0", "0", "0", "YES"};
    QTest::newRow("older encoder: three words")
        << QByteArray("G 1 1\r\n")
        << QByteArrayList{"o0", "0000000", "o2", "o3", "o4", "o5", "o6", "o7", "o8", "YES"};
    QTest::newRow("short reply keeps the rest")
        << QByteArray("G 2 1 2000000 2 A\r\n")
        << QByteArrayList{"1", "2000000", "2", "A", "o4", "o5", "o6", "o7", "o8", "YES"};
    QTest::newRow("StartID trimmed") << QByteArray("G 9 1 1000000 1 N 0 010 0012 2 00\r\n")
                                     << QByteArrayList{"1",   "1000000", "1", "N",  "0",
                                                       "010", "012",     "2", "00", "YES"};
}

void TstDatabaseRecord::familyReply() {
    QFETCH(QByteArray, reply);
    QFETCH(QByteArrayList, after);
    PagerFamily f = familyOf({"o0", "o1", "o2", "o3", "o4", "o5", "o6", "o7", "o8", "o9"});
    StoreFamilyReply(f, RecordWords(reply));
    QCOMPARE(tableRow(f), after);
}

void TstDatabaseRecord::startId_data() {
    QTest::addColumn<QByteArray>("startId");
    QTest::addColumn<QByteArray>("kept");

    QTest::newRow("0012") << QByteArray("0012") << QByteArray("012");
    QTest::newRow("0123") << QByteArray("0123") << QByteArray("123");
    QTest::newRow("01234 keeps its value") << QByteArray("01234") << QByteArray("1234");
    QTest::newRow("00001") << QByteArray("00001") << QByteArray("001");
    QTest::newRow("1234") << QByteArray("1234") << QByteArray("1234");
    QTest::newRow("012") << QByteArray("012") << QByteArray("012");
    QTest::newRow("12") << QByteArray("12") << QByteArray("12");
    QTest::newRow("0000 is not set") << QByteArray("0000") << QByteArray("0000");
    QTest::newRow("not a number") << QByteArray("0abc") << QByteArray("0abc");
}

void TstDatabaseRecord::startId() {
    QFETCH(QByteArray, startId);
    QFETCH(QByteArray, kept);
    QCOMPARE(TrimStartId(startId), kept);
}

void TstDatabaseRecord::olderEncoderSettings() {
    EncoderSettings e;
    e.DutyCycle = "30";
    e.MaxBatch = "5";
    e.IgnoreRFCD = true;
    e.PPHReset = false;
    e.InvertData = true;
    e.IDAsCap = true;
    e.BriefACK = true;
    e.InvertRFCD = false;
    e.FlowBeforeACK = true;
    e.PETEnabled = true;
    e.PETSupported = true;
    ApplyOlderEncoderSettings(e);
    QCOMPARE(e.DutyCycle, QByteArray("50"));
    QCOMPARE(e.MaxBatch, QByteArray("10"));
    QVERIFY(!e.IgnoreRFCD);
    QVERIFY(e.PPHReset);
    QVERIFY(!e.InvertData);
    QVERIFY(!e.IDAsCap);
    QVERIFY(!e.BriefACK);
    QVERIFY(e.InvertRFCD);
    QVERIFY(!e.FlowBeforeACK);
    // Not among the older encoder's values.
    QVERIFY(e.PETEnabled);
    QVERIFY(e.PETSupported);
}

void TstDatabaseRecord::messageReply_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("text") << QByteArray("M 1 \"abc\"\r\n") << QByteArray("abc");
    QTest::newRow("8 characters") << QByteArray("M 3 \"\"\r\n") << QByteArray();
    QTest::newRow("8 characters without quotes") << QByteArray("M 3 ab\r\n") << QByteArray();
    QTest::newRow("empty, two-digit number") << QByteArray("M 12 \"\"\r\n") << QByteArray();
    QTest::newRow("quote inside") << QByteArray("M 2 \"say \"hi\"\"\r\n") << QByteArray("say \"hi\"");
    QTest::newRow("ID= inside") << QByteArray("M 4 \"ID=5\"\r\n") << QByteArray("ID=5");
    QTest::newRow("no quote: from the start") << QByteArray("M 5 abcd\r\n") << QByteArray("M 5 abc");
    QTest::newRow("too short") << QByteArray("\"\r\n") << QByteArray();
}

void TstDatabaseRecord::messageReply() {
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, text);
    QCOMPARE(MessageFromReply(reply), text);
}

QTEST_APPLESS_MAIN(TstDatabaseRecord)
#include "tst_database_record.moc"
