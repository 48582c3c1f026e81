// The *.PG7 writer and reader: exact lines and bytes, position-based rows, the field splitting
// rules and the round trip of a whole database.

#include "model/DatabaseFile.h"
#include "model/DatabaseRecord.h"
#include "model/PagerDatabase.h"

#include <QtTest>

using namespace qpes;

Q_DECLARE_METATYPE(qpes::PagerDatabase)

namespace {

QByteArray crlfLines(const QByteArrayList& lines) {
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + "\r\n";
    return out;
}

// The file content with `line` as line number `n` (counted from 1), preceded by lines that no
// key recognises.
QByteArray atLine(int n, const QByteArray& line) {
    QByteArrayList lines;
    for (int i = 1; i < n; ++i)
        lines << "x";
    lines << line;
    return crlfLines(lines);
}

QByteArray n(int value) {
    return QByteArray::number(value);
}

SharedState newDatabaseState() {
    SharedState s;
    applyStartValues(s);
    clearTables(s.Db);
    return s;
}

// Every field differs from its New Database value and from the start values; texts carry
// commas and double quotes.
PagerDatabase sampleDatabase() {
    PagerDatabase db;
    for (int i = 0; i < FamilyCount; ++i) {
        db.Families[i] = {"1",
                          n(1000000 + 1000 * i),
                          i % 2 ? "1" : "2",
                          "N",
                          n(i % 3),
                          n(100 + i),
                          n(100 + 20 * i),
                          n(i % 15 + 1),
                          n((i + 7) % 15 + 1),
                          "YES"};
    }
    for (int g = 0; g < GroupCount; ++g) {
        PagerGroup& r = db.Groups[g];
        r[Grp::GroupID] = n(101 + g);
        r[Grp::Active] = "1";
        r[Grp::CCActive] = "1";
        r[Grp::CCMsg] = n(g + 1);
        r[Grp::COActive] = "1";
        r[Grp::COMsg] = n(g + 2);
        r[Grp::TimerActive] = "1";
        r[Grp::TimerMsg] = n(g + 3);
        for (int k = Grp::PagerID1; k <= Grp::PagerID20; ++k)
            r[k] = n(2000 + 20 * g + k);
        r[Grp::Defined] = "YES";
        r[Grp::Reference] = "R" + n(g + 1) + ",\"x\"";
    }
    for (int i = 0; i < MessageCount; ++i)
        db.Messages[i] = "Msg " + n(i + 1) + ", \"quoted\", a,b";
    EncoderSettings& e = db.Settings;
    e.DutyCycle = "75";
    e.MaxBatch = "32";
    e.IgnoreRFCD = true;
    e.PPHReset = false;
    e.InvertData = true;
    e.IDAsCap = true;
    e.InvertRFCD = false;
    e.BriefACK = true;
    e.FlowBeforeACK = false;
    e.PETEnabled = true;
    e.PETSupported = false;
    return db;
}

// The seven file switches in file order, as "0"/"1" characters.
QByteArray switchBits(const EncoderSettings& e) {
    QByteArray bits;
    for (bool on :
         {e.IgnoreRFCD, e.PPHReset, e.InvertData, e.IDAsCap, e.InvertRFCD, e.BriefACK, e.FlowBeforeACK})
        bits += on ? '1' : '0';
    return bits;
}

QByteArray settingsText(const EncoderSettings& e) {
    return "DutyCycle=" + e.DutyCycle + " MaxBatch=" + e.MaxBatch + " switches=" + switchBits(e) +
           " PETEnabled=" + n(e.PETEnabled) + " PETSupported=" + n(e.PETSupported);
}

template <std::size_t N> QByteArray rowText(const std::array<QByteArray, N>& row) {
    return QByteArrayList(row.begin(), row.end()).join('|');
}

// The first difference between two databases, readably; empty when they are equal.
QByteArray firstDifference(const PagerDatabase& actual, const PagerDatabase& expected) {
    for (int i = 0; i < FamilyCount; ++i) {
        if (actual.Families[i] != expected.Families[i])
            return "family " + n(i + 1) + ": " + rowText(actual.Families[i]) + " instead of " +
                   rowText(expected.Families[i]);
    }
    for (int i = 0; i < GroupCount; ++i) {
        if (actual.Groups[i] != expected.Groups[i])
            return "group " + n(i + 1) + ": " + rowText(actual.Groups[i]) + " instead of " +
                   rowText(expected.Groups[i]);
    }
    for (int i = 0; i < MessageCount; ++i) {
        if (actual.Messages[i] != expected.Messages[i])
            return "message " + n(i + 1) + ": " + actual.Messages[i] + " instead of " + expected.Messages[i];
    }
    if (settingsText(actual.Settings) != settingsText(expected.Settings))
        return "settings: " + settingsText(actual.Settings) + " instead of " +
               settingsText(expected.Settings);
    return {};
}

} // namespace

class tst_DatabaseFile : public QObject {
    Q_OBJECT

private slots:
    void newDatabaseFile();
    void newDatabaseKeepsReferencesAndNotes();
    void writesFieldsAsTheyStand();
    void linePosition_data();
    void linePosition();
    void startId_data();
    void startId();
    void switchKeys_data();
    void switchKeys();
    void switchValues_data();
    void switchValues();
    void textSettings_data();
    void textSettings();
    void notes_data();
    void notes();
    void commasInMessageAndReference();
    void someLinesOnly();
    void missingFamily50();
    void familyDefined_data();
    void familyDefined();
    void groupDefined_data();
    void groupDefined();
    void idAsCapSeen_data();
    void idAsCapSeen();
    void nothingRecognised_data();
    void nothingRecognised();
    void familyValues_data();
    void familyValues();
    void groupValues_data();
    void groupValues();
    void roundTrip();
    void lineBreaksWrittenAsBlanks();
};

void tst_DatabaseFile::newDatabaseFile() {
    const SharedState s = newDatabaseState();
    const QByteArray file = WriteDatabaseFile(s.Db, s.Notes);

    QByteArrayList expected;
    for (int i = 1; i <= 50; ++i)
        expected << "Fam" + n(i) + ",0,0000000,5,A,3,000,0000,00,00";
    for (int i = 1; i <= 10; ++i)
        expected << "Grp" + n(i) + ",0000,0,0,00,0,00,0,00" + QByteArray(",0000").repeated(20) + ",";
    for (int i = 1; i <= 15; ++i)
        expected << "Msg" + n(i) + ",";
    expected << "DutyCycle,50"
             << "MaxBatch,10"
             << "IgnoreRFCD,0"
             << "PPHReset,1"
             << "InvertData,0"
             << "IDAsCap,0"
             << "InvertRFCD,1"
             << "BriefACK,0"
             << "FlowBeforeACK,1"
             << "Notes,\"\"";
    QCOMPARE(expected.size(), 85);

    QVERIFY(file.endsWith("\r\n"));
    const QByteArrayList lines = file.chopped(1).split('\n');
    QCOMPARE(lines.size(), 85);
    for (int i = 0; i < 85; ++i)
        QCOMPARE(lines[i], expected[i] + '\r');
    QCOMPARE(file, crlfLines(expected));
    QCOMPARE(file.size(), 3424);
}

void tst_DatabaseFile::newDatabaseKeepsReferencesAndNotes() {
    SharedState s;
    applyStartValues(s);
    s.Db = sampleDatabase();
    s.Notes = "old notes";
    clearTables(s.Db);

    const QByteArrayList lines = splitFileLines(WriteDatabaseFile(s.Db, s.Notes));
    QCOMPARE(lines.size(), 85);
    QCOMPARE(lines[50], "Grp1,0000,0,0,00,0,00,0,00" + QByteArray(",0000").repeated(20) + ",R1,\"x\"");
    QCOMPARE(lines[60], "Msg1,");
    QCOMPARE(lines[75], "DutyCycle,75");
    QCOMPARE(lines[84], "Notes,\"old notes\"");
}

void tst_DatabaseFile::writesFieldsAsTheyStand() {
    PagerDatabase db = sampleDatabase();
    db.Families[0] = {"1", "1234567", "2", "N", "0", "010", "7", "", "15", "YES"};
    db.Groups[0][Grp::GroupID] = "12";
    db.Groups[0][Grp::Reference] = "a,b";
    db.Messages[0] = "Hello, \"you\"";
    db.Settings.PETEnabled = true;
    db.Settings.PETSupported = true;

    const QByteArray file = WriteDatabaseFile(db, "say \"hi\", twice");
    QCOMPARE(file.count("\r\n"), 85);
    QVERIFY(!file.contains("PET"));
    const QByteArrayList lines = splitFileLines(file);
    QCOMPARE(lines.size(), 85);
    QCOMPARE(lines[0], "Fam1,1,1234567,2,N,0,010,7,,15");
    QCOMPARE(lines[49], "Fam50,1,1049000,1,N,1,149,1080,5,12");
    QCOMPARE(lines[50],
             "Grp1,12,1,1,1,1,2,1,3,2008,2009,2010,2011,2012,2013,2014,2015,2016,2017,2018,2019,2020,"
             "2021,2022,2023,2024,2025,2026,2027,a,b");
    QCOMPARE(lines[60], "Msg1,Hello, \"you\"");
    QCOMPARE(lines[74], "Msg15,Msg 15, \"quoted\", a,b");
    QCOMPARE(lines.mid(75), QByteArrayList({"DutyCycle,75", "MaxBatch,32", "IgnoreRFCD,1", "PPHReset,0",
                                            "InvertData,1", "IDAsCap,1", "InvertRFCD,0", "BriefACK,1",
                                            "FlowBeforeACK,0", "Notes,\"say \"hi\", twice\""}));
}

void tst_DatabaseFile::linePosition_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<PagerDatabase>("expected");

    const PagerDatabase before = sampleDatabase();
    const PagerFamily family = {"0", "0005000", "5", "A", "3", "010", "300", "00", "00", ""};
    const QByteArray familyLine = ",0,0005000,5,A,3,010,300,00,00";

    PagerDatabase first = before;
    first.Families[0] = family;
    first.Families[0][Fam::Defined] = "YES"; // Active "0" keeps the earlier marker
    QTest::newRow("Fam7 first fills family 1") << crlfLines({"Fam7" + familyLine}) << first;
    QTest::newRow("Fam without a number") << crlfLines({"Fam" + familyLine}) << first;

    PagerDatabase second = before;
    second.Families[1] = family;
    second.Families[1][Fam::Defined] = "YES";
    QTest::newRow("Fam1 second fills family 2") << crlfLines({"junk", "Fam1" + familyLine}) << second;

    QTest::newRow("Fam at line 51 stores nothing") << atLine(51, "Fam1" + familyLine) << before;
    QTest::newRow("Grp first stores nothing") << crlfLines({"Grp1,0001,1"}) << before;
    QTest::newRow("Grp at line 61 stores nothing") << atLine(61, "Grp1,0001,1") << before;
    QTest::newRow("Msg at line 60 stores nothing") << atLine(60, "Msg1,hello") << before;
    QTest::newRow("Msg at line 76 stores nothing") << atLine(76, "Msg1,hello") << before;

    PagerDatabase group = before;
    group.Groups[0][Grp::GroupID] = "0007";
    group.Groups[0][Grp::Active] = "0";
    QTest::newRow("Grp9 at line 51 fills group 1") << atLine(51, "Grp9,0007,0") << group;
    PagerDatabase lastGroup = before;
    lastGroup.Groups[9][Grp::GroupID] = "0007";
    QTest::newRow("Grp at line 60 fills group 10") << atLine(60, "Grp1,0007") << lastGroup;

    PagerDatabase message = before;
    message.Messages[0] = "hello";
    QTest::newRow("Msg at line 61 fills message 1") << atLine(61, "Msg9,hello") << message;
    PagerDatabase lastMessage = before;
    lastMessage.Messages[14] = "";
    QTest::newRow("Msg at line 75 fills message 15") << atLine(75, "Msg1,") << lastMessage;
}

void tst_DatabaseFile::linePosition() {
    QFETCH(QByteArray, content);
    QFETCH(PagerDatabase, expected);

    PagerDatabase db = sampleDatabase();
    QByteArray notes = "notes";
    ReadDatabaseFile(content, false, db, notes);
    QCOMPARE(firstDifference(db, expected), QByteArray());
    QCOMPARE(notes, "notes");
}

void tst_DatabaseFile::startId_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("atStartup");
    QTest::addColumn<QByteArray>("expected");

    const auto line = [](const QByteArray& startId) {
        return "Fam1,1,0001000,5,A,3,010," + startId + ",00,00";
    };
    QTest::newRow("7 on Open") << line("7") << false << QByteArray("007");
    QTest::newRow("7 at start-up") << line("7") << true << QByteArray("7");
    QTest::newRow("12 on Open") << line("12") << false << QByteArray("012");
    QTest::newRow("12 at start-up") << line("12") << true << QByteArray("12");
    QTest::newRow("0000 on Open") << line("0000") << false << QByteArray("0000");
    QTest::newRow("1234 on Open") << line("1234") << false << QByteArray("1234");
    QTest::newRow("empty on Open") << line("") << false << QByteArray("");
    QTest::newRow("last value of a short line")
        << QByteArray("Fam1,1,0001000,5,A,3,010,7") << false << QByteArray("7");
}

void tst_DatabaseFile::startId() {
    QFETCH(QByteArray, line);
    QFETCH(bool, atStartup);
    QFETCH(QByteArray, expected);

    SharedState s = newDatabaseState();
    ReadDatabaseFile(line + "\r\n", atStartup, s.Db, s.Notes);
    QCOMPARE(s.Db.Families[0][Fam::StartID], expected);
    QCOMPARE(s.Db.Families[0][Fam::PagerQty], "010");
}

void tst_DatabaseFile::switchKeys_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("switches"); // IgnoreRFCD .. FlowBeforeACK, file order

    QTest::newRow("IgnoreRFCD") << QByteArray("IgnoreRFCD,1\r\n") << QByteArray("1000000");
    QTest::newRow("PPHReset") << QByteArray("PPHReset,1\r\n") << QByteArray("0100000");
    QTest::newRow("InvertData") << QByteArray("InvertData,1\r\n") << QByteArray("0010000");
    QTest::newRow("IDAsCap") << QByteArray("IDAsCap,1\r\n") << QByteArray("0001000");
    QTest::newRow("InvertRFCD") << QByteArray("InvertRFCD,1\r\n") << QByteArray("0000100");
    QTest::newRow("BriefACK") << QByteArray("BriefACK,1\r\n") << QByteArray("0000010");
    QTest::newRow("FlowBeforeACK") << QByteArray("FlowBeforeACK,1\r\n") << QByteArray("0000001");
    QTest::newRow("key prefix is enough")
        << QByteArray("Ign,1\r\nInvertDx,1\r\nFlow,1\r\n") << QByteArray("1010001");
    QTest::newRow("Invert alone is neither") << QByteArray("Invert,1\r\n") << QByteArray("0000000");
    QTest::newRow("keys are case-sensitive")
        << QByteArray("ignoreRFCD,1\r\nBRIEFACK,1\r\n") << QByteArray("0000000");
    QTest::newRow("anywhere in the file") << atLine(30, "BriefACK,1") << QByteArray("0000010");
    QTest::newRow("later line wins") << QByteArray("PPHReset,1\r\nPPHReset,0\r\nBriefACK,0\r\nBriefACK,1\r\n")
                                     << QByteArray("0000010");
    QTest::newRow("lone CR and lone LF end lines")
        << QByteArray("PPHReset,1\rBriefACK,1\nIDAsCap,1") << QByteArray("0101010");
}

void tst_DatabaseFile::switchKeys() {
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, switches);

    PagerDatabase db;
    QByteArray notes;
    ReadDatabaseFile(content, false, db, notes);
    QCOMPARE(switchBits(db.Settings), switches);
}

void tst_DatabaseFile::switchValues_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("on");

    QTest::newRow("1") << QByteArray("1") << true;
    QTest::newRow("0") << QByteArray("0") << false;
    QTest::newRow("true") << QByteArray("true") << false;
    QTest::newRow("blank before 1") << QByteArray(" 1") << false;
    QTest::newRow("blank after 1") << QByteArray("1 ") << false;
    QTest::newRow("01") << QByteArray("01") << false;
    QTest::newRow("empty") << QByteArray("") << false;
}

void tst_DatabaseFile::switchValues() {
    QFETCH(QByteArray, value);
    QFETCH(bool, on);

    for (bool before : {false, true}) {
        PagerDatabase db;
        db.Settings.IgnoreRFCD = before;
        QByteArray notes;
        ReadDatabaseFile("IgnoreRFCD," + value + "\r\n", false, db, notes);
        QCOMPARE(db.Settings.IgnoreRFCD, on);
    }
}

void tst_DatabaseFile::textSettings_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("dutyCycle");
    QTest::addColumn<QByteArray>("maxBatch");

    QTest::newRow("both") << QByteArray("DutyCycle,75\r\nMaxBatch,32\r\n") << QByteArray("75")
                          << QByteArray("32");
    QTest::newRow("empty values") << QByteArray("DutyCycle,\r\nMaxBatch,\r\n") << QByteArray("")
                                  << QByteArray("");
    QTest::newRow("value after the first comma")
        << QByteArray("Dut,1,2\r\nMax=9,8\r\n") << QByteArray("1,2") << QByteArray("8");
    QTest::newRow("no comma: the whole line")
        << QByteArray("DutyCycle\r\n") << QByteArray("DutyCycle") << QByteArray("10");
    QTest::newRow("not present") << QByteArray("Notes,\"\"\r\n") << QByteArray("50") << QByteArray("10");
}

void tst_DatabaseFile::textSettings() {
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, dutyCycle);
    QFETCH(QByteArray, maxBatch);

    SharedState s = newDatabaseState();
    ReadDatabaseFile(content, false, s.Db, s.Notes);
    QCOMPARE(s.Db.Settings.DutyCycle, dutyCycle);
    QCOMPARE(s.Db.Settings.MaxBatch, maxBatch);
}

void tst_DatabaseFile::notes_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("notes");

    QTest::newRow("as written") << QByteArray("Notes,\"Rack 2\"") << QByteArray("Rack 2");
    QTest::newRow("quotes and commas")
        << QByteArray("Notes,\"say \"hi\", then, \"go\"\"") << QByteArray("say \"hi\", then, \"go\"");
    QTest::newRow("empty") << QByteArray("Notes,\"\"") << QByteArray("");
    QTest::newRow("Notes, alone") << QByteArray("Notes,") << QByteArray("Notes,");
    QTest::newRow("one quote only") << QByteArray("Notes,\"") << QByteArray("Notes,\"");
    QTest::newRow("any enclosing characters") << QByteArray("Notes,'abc'") << QByteArray("abc");
    QTest::newRow("key prefix") << QByteArray("Not,[x,y]") << QByteArray("x,y");
}

void tst_DatabaseFile::notes() {
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, notes);

    PagerDatabase db;
    QByteArray actual = "before";
    ReadDatabaseFile(line + "\r\n", false, db, actual);
    QCOMPARE(actual, notes);
}

void tst_DatabaseFile::commasInMessageAndReference() {
    SharedState source = newDatabaseState();
    source.Db.Messages[0] = "a,b,,c,";
    source.Db.Messages[14] = ",";
    source.Db.Groups[0][Grp::Reference] = "x,,y";
    source.Db.Groups[9][Grp::Reference] = ",";
    const QByteArray file = WriteDatabaseFile(source.Db, source.Notes);

    SharedState target = newDatabaseState();
    ReadDatabaseFile(file, false, target.Db, target.Notes);
    QCOMPARE(target.Db.Messages[0], "a,b,,c,");
    QCOMPARE(target.Db.Messages[14], ",");
    QCOMPARE(target.Db.Groups[0][Grp::Reference], "x,,y");
    QCOMPARE(target.Db.Groups[9][Grp::Reference], ",");
    QCOMPARE(target.Db.Groups[0][Grp::PagerID20], "0000");
    QCOMPARE(firstDifference(target.Db, source.Db), QByteArray());
}

void tst_DatabaseFile::someLinesOnly() {
    const QByteArrayList written = splitFileLines(WriteDatabaseFile(newDatabaseState().Db, ""));
    const QByteArray content = crlfLines(written.mid(0, 3) + QByteArrayList{"DutyCycle,99"});

    PagerDatabase db = sampleDatabase();
    QByteArray notes = "kept";
    ReadDatabaseFile(content, false, db, notes);

    PagerDatabase expected = sampleDatabase();
    for (int i = 0; i < 3; ++i)
        expected.Families[i] = {"0", "0000000", "5", "A", "3", "000", "0000", "00", "00", "YES"};
    expected.Settings.DutyCycle = "99";
    QCOMPARE(firstDifference(db, expected), QByteArray());
    QCOMPARE(notes, "kept");
}

void tst_DatabaseFile::missingFamily50() {
    const PagerDatabase source = sampleDatabase();
    QByteArrayList lines = splitFileLines(WriteDatabaseFile(source, "new notes"));
    QCOMPARE(lines[49].left(6), "Fam50,");
    lines.removeAt(49);

    SharedState target = newDatabaseState();
    target.Notes = "old notes";
    const PagerDatabase before = target.Db;
    ReadDatabaseFile(crlfLines(lines), false, target.Db, target.Notes);

    PagerDatabase expected = source;
    expected.Families[49] = before.Families[49];
    for (int g = 0; g < 9; ++g)
        expected.Groups[g] = source.Groups[g + 1];
    expected.Groups[9] = before.Groups[9];
    for (int i = 0; i < 14; ++i)
        expected.Messages[i] = source.Messages[i + 1];
    expected.Messages[14] = before.Messages[14];
    expected.Settings.PETEnabled = before.Settings.PETEnabled;
    expected.Settings.PETSupported = before.Settings.PETSupported;
    QCOMPARE(firstDifference(target.Db, expected), QByteArray());
    QCOMPARE(target.Notes, "new notes");
}

void tst_DatabaseFile::familyDefined_data() {
    QTest::addColumn<QByteArray>("active");
    QTest::addColumn<bool>("atStartup");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("defined");

    QTest::newRow("1 on Open") << QByteArray("1") << false << QByteArray("") << QByteArray("YES");
    QTest::newRow("1 at start-up") << QByteArray("1") << true << QByteArray("") << QByteArray("YES");
    QTest::newRow("0 keeps YES") << QByteArray("0") << false << QByteArray("YES") << QByteArray("YES");
    QTest::newRow("0 keeps empty") << QByteArray("0") << false << QByteArray("") << QByteArray("");
    QTest::newRow("empty keeps YES") << QByteArray("") << false << QByteArray("YES") << QByteArray("YES");
    QTest::newRow("01 is not 1") << QByteArray("01") << false << QByteArray("") << QByteArray("");
}

void tst_DatabaseFile::familyDefined() {
    QFETCH(QByteArray, active);
    QFETCH(bool, atStartup);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, defined);

    SharedState s = newDatabaseState();
    s.Db.Families[0][Fam::Defined] = before;
    ReadDatabaseFile("Fam1," + active + ",0001000,5,A,3,010,100,00,00\r\n", atStartup, s.Db, s.Notes);
    QCOMPARE(s.Db.Families[0][Fam::Active], active);
    QCOMPARE(s.Db.Families[0][Fam::Defined], defined);
}

void tst_DatabaseFile::groupDefined_data() {
    QTest::addColumn<QByteArray>("groupId");
    QTest::addColumn<bool>("atStartup");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("defined");

    QTest::newRow("0 on Open") << QByteArray("0") << false << QByteArray("") << QByteArray("YES");
    QTest::newRow("0 at start-up") << QByteArray("0") << true << QByteArray("") << QByteArray("");
    QTest::newRow("0 at start-up keeps YES")
        << QByteArray("0") << true << QByteArray("YES") << QByteArray("YES");
    QTest::newRow("0000 on Open") << QByteArray("0000") << false << QByteArray("") << QByteArray("");
    QTest::newRow("0000 at start-up") << QByteArray("0000") << true << QByteArray("") << QByteArray("");
    QTest::newRow("0000 on Open keeps YES")
        << QByteArray("0000") << false << QByteArray("YES") << QByteArray("YES");
    QTest::newRow("12 on Open") << QByteArray("12") << false << QByteArray("") << QByteArray("YES");
    QTest::newRow("0012 at start-up") << QByteArray("0012") << true << QByteArray("") << QByteArray("YES");
    QTest::newRow("-5 at start-up") << QByteArray("-5") << true << QByteArray("") << QByteArray("");
    QTest::newRow("0.4 at start-up") << QByteArray("0.4") << true << QByteArray("") << QByteArray("");
    QTest::newRow("not a number at start-up")
        << QByteArray("abc") << true << QByteArray("") << QByteArray("YES");
    QTest::newRow("40000 at start-up") << QByteArray("40000") << true << QByteArray("") << QByteArray("YES");
    QTest::newRow("empty on Open") << QByteArray("") << false << QByteArray("") << QByteArray("");
    QTest::newRow("empty at start-up") << QByteArray("") << true << QByteArray("") << QByteArray("");
    QTest::newRow("empty keeps YES") << QByteArray("") << false << QByteArray("YES") << QByteArray("YES");
}

void tst_DatabaseFile::groupDefined() {
    QFETCH(QByteArray, groupId);
    QFETCH(bool, atStartup);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, defined);

    SharedState s = newDatabaseState();
    s.Db.Groups[0][Grp::GroupID] = "0099";
    s.Db.Groups[0][Grp::Defined] = before;
    const QByteArray line =
        "Grp1," + groupId + ",1,0,00,0,00,0,00" + QByteArray(",0000").repeated(20) + ",ref";
    ReadDatabaseFile(atLine(51, line), atStartup, s.Db, s.Notes);
    QCOMPARE(s.Db.Groups[0][Grp::GroupID], groupId);
    QCOMPARE(s.Db.Groups[0][Grp::Defined], defined);
}

void tst_DatabaseFile::idAsCapSeen_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("seen");
    QTest::addColumn<bool>("idAsCap");

    QTest::newRow("IDAsCap,0") << QByteArray("IDAsCap,0\r\n") << true << false;
    QTest::newRow("IDAsCap,1") << QByteArray("IDAsCap,1\r\n") << true << true;
    QTest::newRow("IDA prefix") << QByteArray("IDA\r\n") << true << false;
    QTest::newRow("no such line") << QByteArray("DutyCycle,50\r\nBriefACK,0\r\n") << false << true;
    QTest::newRow("empty file") << QByteArray() << false << true;
}

void tst_DatabaseFile::idAsCapSeen() {
    QFETCH(QByteArray, content);
    QFETCH(bool, seen);
    QFETCH(bool, idAsCap);

    SharedState s = newDatabaseState();
    s.Db.Settings.IDAsCap = true;
    const DatabaseFileRead read = ReadDatabaseFile(content, false, s.Db, s.Notes);
    QCOMPARE(read.idAsCapSeen, seen);
    QCOMPARE(s.Db.Settings.IDAsCap, idAsCap);
}

void tst_DatabaseFile::nothingRecognised_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("atStartup");

    QTest::newRow("empty file") << QByteArray() << false;
    QTest::newRow("empty file at start-up") << QByteArray() << true;
    QTest::newRow("empty lines") << QByteArray("\r\n\r\n\n\r") << false;
    QTest::newRow("unknown keys") << QByteArray("fam1,1,2\r\nFA,1\r\nGroup,1\r\n  Msg1,x\r\nPET,1\r\n")
                                  << false;
}

void tst_DatabaseFile::nothingRecognised() {
    QFETCH(QByteArray, content);
    QFETCH(bool, atStartup);

    const PagerDatabase before = sampleDatabase();
    PagerDatabase db = before;
    QByteArray notes = "kept";
    const DatabaseFileRead read = ReadDatabaseFile(content, atStartup, db, notes);
    QCOMPARE(firstDifference(db, before), QByteArray());
    QCOMPARE(notes, "kept");
    QVERIFY(!read.idAsCapSeen);
}

void tst_DatabaseFile::familyValues_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArrayList>("expected");

    QTest::newRow("all nine values") << QByteArray("Fam1,1,0001000,2,A,3,010,100,1,2")
                                     << QByteArrayList{"1",   "0001000", "2", "A", "3",
                                                       "010", "100",     "1", "2", "YES"};
    QTest::newRow("empty values store empty")
        << QByteArray("Fam1,0,,5,,3,010,100,1,2")
        << QByteArrayList{"0", "", "5", "", "3", "010", "100", "1", "2", "YES"};
    QTest::newRow("empty last value")
        << QByteArray("Fam1,0,0001000,5,A,3,010,100,1,")
        << QByteArrayList{"0", "0001000", "5", "A", "3", "010", "100", "1", "", "YES"};
    QTest::newRow("every value empty")
        << QByteArray("Fam1,,,,,,,,,") << QByteArrayList{"", "", "", "", "", "", "", "", "", "YES"};
    QTest::newRow("ends after the third value")
        << QByteArray("Fam1,0,0001000,2")
        << QByteArrayList{"0", "0001000", "2", "N", "0", "123", "4567", "7", "8", "YES"};
    QTest::newRow("one empty value") << QByteArray("Fam1,")
                                     << QByteArrayList{"",    "1234567", "1", "N", "0",
                                                       "123", "4567",    "7", "8", "YES"};
    QTest::newRow("values beyond Suffix are dropped")
        << QByteArray("Fam1,0,0001000,2,A,3,010,100,1,2,9,9")
        << QByteArrayList{"0", "0001000", "2", "A", "3", "010", "100", "1", "2", "YES"};
}

void tst_DatabaseFile::familyValues() {
    QFETCH(QByteArray, line);
    QFETCH(QByteArrayList, expected);

    PagerDatabase db = sampleDatabase();
    db.Families[0] = {"0", "1234567", "1", "N", "0", "123", "4567", "7", "8", "YES"};
    const PagerFamily second = db.Families[1];
    QByteArray notes;
    ReadDatabaseFile(line + "\r\n", false, db, notes);
    QCOMPARE(QByteArrayList(db.Families[0].begin(), db.Families[0].end()), expected);
    QCOMPARE(db.Families[1], second);
}

void tst_DatabaseFile::groupValues_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArrayList>("expected");

    // The group before the read: GroupID 0042, all on, messages 3/4/5, IDs 1001..1020, reference "old".
    QByteArrayList before = {"0042", "1", "1", "3", "1", "4", "1", "5"};
    for (int k = 1; k <= 20; ++k)
        before << n(1000 + k);
    before << ""
           << "old";
    QByteArray ids;
    for (int k = 1; k <= 20; ++k)
        ids += "," + n(3000 + k);
    QByteArrayList full = {"0007", "0", "0", "00", "1", "2", "0", "00"};
    for (int k = 1; k <= 20; ++k)
        full << n(3000 + k);
    full << "YES";

    QTest::newRow("all values") << "Grp1,0007,0,0,00,1,2,0,00" + ids + ",new" << full + QByteArrayList{"new"};
    QTest::newRow("Reference with commas")
        << "Grp1,0007,0,0,00,1,2,0,00" + ids + ",a,,b," << full + QByteArrayList{"a,,b,"};
    QTest::newRow("empty Reference") << "Grp1,0007,0,0,00,1,2,0,00" + ids + "," << full + QByteArrayList{""};
    QTest::newRow("no Reference value keeps it")
        << "Grp1,0007,0,0,00,1,2,0,00" + ids << full + QByteArrayList{"old"};

    QByteArrayList empties = before;
    empties[Grp::Active] = "";
    empties[Grp::CCMsg] = "";
    empties[Grp::PagerID20] = "";
    empties[Grp::Defined] = "YES";
    QByteArray emptyLine = "Grp1,0042,,1,,1,4,1,5";
    for (int k = 1; k < 20; ++k)
        emptyLine += "," + n(1000 + k);
    QTest::newRow("empty values store empty") << emptyLine + ",,old" << empties;

    QByteArrayList shortLine = before;
    shortLine[Grp::GroupID] = "0009";
    shortLine[Grp::Active] = "0";
    shortLine[Grp::Defined] = "YES";
    QTest::newRow("short line keeps the rest") << QByteArray("Grp1,0009,0") << shortLine;
}

void tst_DatabaseFile::groupValues() {
    QFETCH(QByteArray, line);
    QFETCH(QByteArrayList, expected);

    PagerDatabase db = sampleDatabase();
    PagerGroup& group = db.Groups[0];
    group = {"0042", "1", "1", "3", "1", "4", "1", "5"};
    for (int k = 1; k <= 20; ++k)
        group[Grp::PagerID1 + k - 1] = n(1000 + k);
    group[Grp::Defined] = "";
    group[Grp::Reference] = "old";
    const PagerGroup second = db.Groups[1];
    QByteArray notes;
    ReadDatabaseFile(atLine(51, line), false, db, notes);
    QCOMPARE(QByteArrayList(db.Groups[0].begin(), db.Groups[0].end()), expected);
    QCOMPARE(db.Groups[1], second);
}

void tst_DatabaseFile::roundTrip() {
    const PagerDatabase source = sampleDatabase();
    const QByteArray sourceNotes = "Site \"North\", rack 2, \"A,B\"";
    const QByteArray file = WriteDatabaseFile(source, sourceNotes);

    for (bool atStartup : {false, true}) {
        SharedState target = newDatabaseState();
        target.Notes = "old notes";
        target.Db.Settings.PETEnabled = false;
        target.Db.Settings.PETSupported = true;
        ReadDatabaseFile(file, atStartup, target.Db, target.Notes);

        PagerDatabase expected = source;
        expected.Settings.PETEnabled = false;
        expected.Settings.PETSupported = true;
        QCOMPARE(firstDifference(target.Db, expected), QByteArray());
        QCOMPARE(target.Notes, sourceNotes);
        QCOMPARE(WriteDatabaseFile(target.Db, target.Notes), file);
    }
}

void tst_DatabaseFile::lineBreaksWrittenAsBlanks() {
    PagerDatabase db = sampleDatabase();
    db.Messages[2] = "one\rtwo\n";
    db.Groups[4][Grp::Reference] = "a\nb";
    // Every other field of a family and a group, the two text settings, and a word of an
    // encoder's family reply.
    PagerDatabase expected = db;
    for (int j = Fam::Active + 1; j < Fam::Defined; ++j)
        db.Families[6][j] = "1\r2\n" + n(j);
    for (int j = Grp::GroupID; j <= Grp::PagerID20; ++j)
        db.Groups[3][j] = "1\r2\n" + n(j);
    db.Settings.DutyCycle = "3\r\n0";
    db.Settings.MaxBatch = "\n9";
    StoreFamilyReply(db.Families[8], RecordWords("G 9 1 000\n1000 1 N 2 102 140 3 11\r\n"));
    for (int j = Fam::Active + 1; j < Fam::Defined; ++j)
        expected.Families[6][j] = "1 2 " + n(j);
    for (int j = Grp::GroupID; j <= Grp::PagerID20; ++j)
        expected.Groups[3][j] = "1 2 " + n(j);
    expected.Settings.DutyCycle = "3  0";
    expected.Settings.MaxBatch = " 9";
    expected.Families[8] = {"1", "000 1000", "1", "N", "2", "102", "140", "3", "11", "YES"};
    const QByteArray file = WriteDatabaseFile(db, "first\r\nsecond");

    QCOMPARE(file.count('\r'), 85);
    QCOMPARE(file.count('\n'), 85);
    QCOMPARE(file.count("\r\n"), 85);
    const QByteArrayList lines = splitFileLines(file);
    QCOMPARE(lines.size(), 85);
    QCOMPARE(lines[54].right(4), ",a b");
    QCOMPARE(lines[62], "Msg3,one two ");
    QCOMPARE(lines[63], "Msg4,Msg 4, \"quoted\", a,b");
    QCOMPARE(lines[84], "Notes,\"first  second\"");

    SharedState target = newDatabaseState();
    ReadDatabaseFile(file, false, target.Db, target.Notes);
    expected.Messages[2] = "one two ";
    expected.Groups[4][Grp::Reference] = "a b";
    expected.Settings.PETEnabled = false;
    expected.Settings.PETSupported = false;
    QCOMPARE(firstDifference(target.Db, expected), QByteArray());
    QCOMPARE(target.Notes, "first  second");
}

QTEST_APPLESS_MAIN(tst_DatabaseFile)
#include "tst_database_file.moc"
