#include "app/Printout.h"
#include "model/PagerDatabase.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace qpes;

namespace {

const QDate PrintDay(2024, 3, 7);

// The state right after New Database: every table field at its empty value.
SharedState emptyDatabase() {
    SharedState s;
    applyStartValues(s);
    clearTables(s.Db);
    return s;
}

QList<PrintPage> layout(const SharedState& s, const QString& portSettings = QStringLiteral("9600,n,8,1")) {
    const auto pages = layoutPrintout(s, portSettings, PrintDay);
    if (!pages)
        qFatal("the layout failed");
    return *pages;
}

// The text element whose top left is (x, y); a failed test when there is none or more than one.
PrintElement at(const PrintPage& page, int x, int y) {
    QList<PrintElement> found;
    for (const PrintElement& e : page)
        if (e.kind == PrintElement::Kind::Text && !e.centred && e.x == x && e.y == y)
            found.append(e);
    if (found.size() != 1)
        qWarning("%lld elements at (%d, %d)", qlonglong(found.size()), x, y);
    return found.value(0);
}

QList<PrintElement> centredAt(const PrintPage& page, int y) {
    QList<PrintElement> found;
    for (const PrintElement& e : page)
        if (e.centred && e.y == y)
            found.append(e);
    return found;
}

int pdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page\\b"));
    return int(QString::fromLatin1(file.readAll()).count(page));
}

} // namespace

class tst_Printout : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void familyLine_data();
    void familyLine();
    void familyHeader();
    void unreadableNumbers_data();
    void unreadableNumbers();
    void groupCells_data();
    void groupCells();
    void groupHeader();
    void cannedMessage_data();
    void cannedMessage();
    void settingsBlock_data();
    void settingsBlock();
    void pageHeader_data();
    void pageHeader();
    void footer_data();
    void footer();

    void printsCopiesToPdf_data();
    void printsCopiesToPdf();
    void printedText();
    void cancelPrintsNothing();
    void originAtThePrintableArea_data();
    void originAtThePrintableArea();
    void unreadableDatabasePrintsNothing_data();
    void unreadableDatabasePrintsNothing();

private:
    DialogScript m_script;
    QTemporaryDir m_dir;
};

void tst_Printout::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(m_dir.isValid());
}

void tst_Printout::init() {
    m_script = DialogScript{};
    Dialogs::setScript(&m_script);
}

void tst_Printout::cleanup() {
    Dialogs::setScript(nullptr);
    setBusy(false);
}

void tst_Printout::familyLine_data() {
    QTest::addColumn<int>("family");
    // Active, StartCap, Rate, PgrType, Func, PagerQty, StartID, Prefix, Suffix
    QTest::addColumn<QByteArrayList>("fields");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<bool>("bold");

    QTest::newRow("active family 1") << 1 << QByteArrayList{"1",   "1000000", "5",  "A", "3",
                                                            "010", "0100",    "00", "00"}
                                     << QStringList{"   1   ", "  ON   ",   "  010    ", "  0100  ",
                                                    " 0109  ", "1000000  ", "1000009  ", " Alpha  ",
                                                    "  4  ",   " 512 ",     " None  ",   " None "}
                                     << true;
    QTest::newRow("empty inactive family 10")
        << 10 << QByteArrayList{"0", "0000000", "5", "A", "3", "000", "0000", "00", "00"}
        << QStringList{"  10   ",   " OFF   ",  "  000    ", "  0000  ", " 0000  ", "0000000  ",
                       "0000000  ", " Alpha  ", "  4  ",     " 512 ",    " None  ", " None "}
        << false;
    QTest::newRow("prefix without zero, suffix with zero")
        << 2 << QByteArrayList{"1", "0000123", "1", "N", "0", "005", "12", "5", "05"}
        << QStringList{"   2   ",   "  ON   ",  "  005    ", "  12  ", " 0016  ", "0000123  ",
                       "0000127  ", "Numeric ", "  1  ",     "1200 ",  "  5   ",  "   5  "}
        << true;
    QTest::newRow("prefix with zero, suffix without")
        << 3 << QByteArrayList{"1", "0000200", "2", "A", "2", "001", "0300", "05", "5"}
        << QStringList{"   3   ",   "  ON   ",  "  001    ", "  0300  ", " 0300  ", "0000200  ",
                       "0000200  ", " Alpha  ", "  3  ",     "2400 ",    "   5   ", "  5  "}
        << true;
    QTest::newRow("two-digit messages, family 50")
        << 50 << QByteArrayList{"0", "1234567", "2", "A", "1", "999", "8999", "15", "12"}
        << QStringList{"  50   ",   " OFF   ",  "  999    ", "  8999  ", " 9997  ", "1234567  ",
                       "1235565  ", " Alpha  ", "  2  ",     "2400 ",    "  15   ", "  12  "}
        << false;
    QTest::newRow("short start capcode zero-filled")
        << 4 << QByteArrayList{"1", "5", "5", "N", "0", "003", "7", "00", "00"}
        << QStringList{"   4   ",   "  ON   ",  "  003    ", "  7  ", " 0009  ", "0000005  ",
                       "0000007  ", "Numeric ", "  1  ",     " 512 ", " None  ", " None "}
        << true;
    // Not a number, but an empty family never reads its start values.
    QTest::newRow("empty family with unreadable start")
        << 5 << QByteArrayList{"0", "x", "5", "A", "3", "000", "ab", "00", "00"}
        << QStringList{"   5   ",   " OFF   ",  "  000    ", "  ab  ", " 0000  ", "000000x  ",
                       "0000000  ", " Alpha  ", "  4  ",     " 512 ",  " None  ", " None "}
        << false;
    QTest::newRow("end ID past 16 bits")
        << 6 << QByteArrayList{"1", "2147483000", "5", "A", "3", "010", "32767", "00", "00"}
        << QStringList{"   6   ",      "  ON   ",  "  010    ", "  32767  ", " 32776  ", "2147483000  ",
                       "2147483009  ", " Alpha  ", "  4  ",     " 512 ",     " None  ",  " None "}
        << true;
}

void tst_Printout::familyLine() {
    QFETCH(int, family);
    QFETCH(QByteArrayList, fields);
    QFETCH(QStringList, cells);
    QFETCH(bool, bold);

    SharedState s = emptyDatabase();
    for (int i = 0; i < fields.size(); ++i)
        s.Db.Families[family - 1][i] = fields[i];

    const PrintElement line = at(layout(s).at(0), 500, 3050 + 230 * (family - 1));
    QCOMPARE(line.text, cells.join(QString()));
    QCOMPARE(line.bold, bold);
    QCOMPARE(line.font, QStringLiteral("Courier New"));
    QCOMPARE(line.points, 10);
}

void tst_Printout::familyHeader() {
    const PrintPage page = layout(emptyDatabase()).at(0);
    const PrintElement header = at(page, 500, 2800);
    QCOMPARE(header.text,
             QStringLiteral(
                 "Family Active PagerQty StartID EndID StartCap  EndCap   PgrType Func Rate Prefix Suffix"));
    QVERIFY(header.bold);
    QCOMPARE(at(page, 500, 14320).text.left(7), QStringLiteral("  50   "));
}

void tst_Printout::unreadableNumbers_data() {
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("field");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("quantity");
    QTest::addColumn<int>("group");
    QTest::addColumn<QByteArray>("pagerId");

    QTest::newRow("pager quantity") << 7 << int(Fam::PagerQty) << QByteArray("1O") << QByteArray() << 0
                                    << QByteArray();
    QTest::newRow("empty pager quantity")
        << 50 << int(Fam::PagerQty) << QByteArray() << QByteArray() << 0 << QByteArray();
    QTest::newRow("start ID of a used family")
        << 3 << int(Fam::StartID) << QByteArray("12a") << QByteArray("005") << 0 << QByteArray();
    QTest::newRow("start capcode of a used family")
        << 3 << int(Fam::StartCap) << QByteArray() << QByteArray("005") << 0 << QByteArray();
    QTest::newRow("end capcode past 32 bits")
        << 1 << int(Fam::StartCap) << QByteArray("2147483647") << QByteArray("002") << 0 << QByteArray();
    QTest::newRow("pager ID of a group") << 0 << 0 << QByteArray() << QByteArray() << 3 << QByteArray("12a");
    QTest::newRow("empty pager ID of a group")
        << 0 << 0 << QByteArray() << QByteArray() << 10 << QByteArray("");
}

void tst_Printout::unreadableNumbers() {
    QFETCH(int, family);
    QFETCH(int, field);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, quantity);
    QFETCH(int, group);
    QFETCH(QByteArray, pagerId);

    SharedState s = emptyDatabase();
    QVERIFY(layoutPrintout(s, QString(), PrintDay));
    if (family > 0) {
        if (!quantity.isEmpty())
            s.Db.Families[family - 1][Fam::PagerQty] = quantity;
        s.Db.Families[family - 1][field] = value;
    }
    if (group > 0)
        s.Db.Groups[group - 1][Grp::PagerID1 + 19] = pagerId;
    QVERIFY(!layoutPrintout(s, QString(), PrintDay));
}

void tst_Printout::groupCells_data() {
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("field");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("trigger"); // a second field set to "1", -1 for none
    QTest::addColumn<int>("y");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("cell");

    QTest::newRow("short reference") << 1 << int(Grp::Reference) << QByteArray("AB") << -1 << 3000
                                     << "Reference:"
                                     << "    AB ";
    QTest::newRow("six-character reference")
        << 2 << int(Grp::Reference) << QByteArray("ABCDEF") << -1 << 3000 << "Reference:"
        << "ABCDEF ";
    QTest::newRow("long reference") << 10 << int(Grp::Reference) << QByteArray("ABCDEFGH") << -1 << 3000
                                    << "Reference:"
                                    << "ABCDEFGH ";
    QTest::newRow("empty reference") << 4 << int(Grp::Reference) << QByteArray() << -1 << 3000 << "Reference:"
                                     << "       ";
    QTest::newRow("active") << 3 << int(Grp::Active) << QByteArray("1") << -1 << 3200 << "Active:"
                            << "  ON   ";
    QTest::newRow("inactive") << 3 << int(Grp::Active) << QByteArray("0") << -1 << 3200 << "Active:"
                              << "  OFF  ";
    QTest::newRow("group ID") << 5 << int(Grp::GroupID) << QByteArray("1234") << -1 << 3400 << "Group ID:"
                              << " 1234  ";
    QTest::newRow("group ID not set")
        << 5 << int(Grp::GroupID) << QByteArray("0000") << -1 << 3400 << "Group ID:"
        << " 0000  ";
    QTest::newRow("pager ID 0000") << 1 << int(Grp::PagerID1) << QByteArray("0000") << -1 << 3600
                                   << "Pager ID 1:"
                                   << "       ";
    QTest::newRow("pager ID 0") << 6 << int(Grp::PagerID20) << QByteArray("0") << -1 << 7400 << "Pager ID 20:"
                                << "       ";
    QTest::newRow("pager ID 12") << 7 << int(Grp::PagerID1 + 4) << QByteArray("12") << -1 << 4400
                                 << "Pager ID 5:"
                                 << " 0012  ";
    QTest::newRow("pager ID 8999") << 10 << int(Grp::PagerID1 + 1) << QByteArray("8999") << -1 << 3800
                                   << "Pager ID 2:"
                                   << " 8999  ";
    QTest::newRow("CC active") << 2 << int(Grp::CCActive) << QByteArray("1") << -1 << 7600 << "CC Active:"
                               << "  ON   ";
    QTest::newRow("CC message while CC is off")
        << 2 << int(Grp::CCMsg) << QByteArray("7") << -1 << 7800 << "CC Msg #:"
        << " None  ";
    QTest::newRow("CC message, one digit")
        << 2 << int(Grp::CCMsg) << QByteArray("7") << int(Grp::CCActive) << 7800 << "CC Msg #:"
        << "   7   ";
    QTest::newRow("CC message, two digits")
        << 2 << int(Grp::CCMsg) << QByteArray("12") << int(Grp::CCActive) << 7800 << "CC Msg #:"
        << "  12   ";
    QTest::newRow("CC message 00 while on")
        << 2 << int(Grp::CCMsg) << QByteArray("00") << int(Grp::CCActive) << 7800 << "CC Msg #:"
        << "  00   ";
    QTest::newRow("CO active") << 8 << int(Grp::COActive) << QByteArray("1") << -1 << 8000 << "CO Active:"
                               << "  ON   ";
    QTest::newRow("CO message") << 8 << int(Grp::COMsg) << QByteArray("3") << int(Grp::COActive) << 8200
                                << "CO Msg #:"
                                << "   3   ";
    QTest::newRow("CO message while CO is off")
        << 8 << int(Grp::COMsg) << QByteArray("3") << -1 << 8200 << "CO Msg #:"
        << " None  ";
    QTest::newRow("timer inactive") << 9 << int(Grp::TimerActive) << QByteArray("0") << -1 << 8400
                                    << "Timer Active:"
                                    << "  OFF  ";
    QTest::newRow("timer message") << 9 << int(Grp::TimerMsg) << QByteArray("15") << int(Grp::TimerActive)
                                   << 8600 << "Timer Msg #:"
                                   << "  15   ";
    QTest::newRow("timer message while timer is off")
        << 9 << int(Grp::TimerMsg) << QByteArray("15") << -1 << 8600 << "Timer Msg #:"
        << " None  ";
}

void tst_Printout::groupCells() {
    QFETCH(int, group);
    QFETCH(int, field);
    QFETCH(QByteArray, value);
    QFETCH(int, trigger);
    QFETCH(int, y);
    QFETCH(QString, label);
    QFETCH(QString, cell);

    SharedState s = emptyDatabase();
    s.Db.Groups[group - 1][field] = value;
    if (trigger >= 0)
        s.Db.Groups[group - 1][trigger] = "1";

    const PrintPage page = layout(s).at(1);
    const PrintElement labelElement = at(page, 500, y);
    QCOMPARE(labelElement.text, label);
    QVERIFY(labelElement.bold);
    const PrintElement cells = at(page, 2500, y);
    QVERIFY(!cells.bold);
    QCOMPARE(cells.font, QStringLiteral("Courier New"));
    QCOMPARE(cells.text.mid(7 * (group - 1), cell.size()), cell);
    QCOMPARE(cells.text.size(), 63 + (group == 10 ? cell.size() : 7));
}

void tst_Printout::groupHeader() {
    const PrintPage page = layout(emptyDatabase()).at(1);
    QCOMPARE(at(page, 500, 2800).text, QStringLiteral("Pager Group:"));
    const PrintElement numbers = at(page, 2500, 2800);
    QCOMPARE(numbers.text,
             QStringLiteral("   1      2      3      4      5      6      7      8      9     10"));
    QVERIFY(numbers.bold);
}

void tst_Printout::cannedMessage_data() {
    QTest::addColumn<int>("message");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("y");
    QTest::addColumn<QString>("label");

    QTest::newRow("first") << 1 << QByteArray("FIRE ALARM ZONE 3") << 9000 << "Canned Msg #1:";
    QTest::newRow("tenth") << 10 << QByteArray("Caf\xe9 closed") << 10800 << "Canned Msg #10:";
    QTest::newRow("last, empty") << 15 << QByteArray() << 11800 << "Canned Msg #15:";
}

void tst_Printout::cannedMessage() {
    QFETCH(int, message);
    QFETCH(QByteArray, text);
    QFETCH(int, y);
    QFETCH(QString, label);

    SharedState s = emptyDatabase();
    s.Db.Messages[message - 1] = text;
    const PrintPage page = layout(s).at(1);
    const PrintElement labelElement = at(page, 500, y);
    QCOMPARE(labelElement.text, label);
    QVERIFY(labelElement.bold);
    const PrintElement textElement = at(page, 2500, y);
    QCOMPARE(textElement.text, QString::fromLatin1(text));
    QVERIFY(!textElement.bold);
}

void tst_Printout::settingsBlock_data() {
    QTest::addColumn<bool>("flipped"); // every switch turned from its start value
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("value");

    const auto rows = [](bool flipped, const char* name, const QStringList& values) {
        const QStringList labels{
            "Duty Cycle %:", "Max Msg/Batch:", "Carrier Detect:", "Port Timer Reset:", "ID As Capcode:",
            "CD Polarity:",  "Data Polarity:", "Port Settings:",  "Brief ACK:",        "Flow Before ACK:"};
        for (int i = 0; i < labels.size(); ++i)
            QTest::addRow("%s %s", name, qPrintable(labels[i]))
                << flipped << (i % 2 ? 5000 : 500) << 12200 + 200 * (i / 2) << labels[i] << values[i];
    };
    rows(false, "start values",
         {"50", "10", "Enabled", "Enabled", "Disabled", "0V", "Normal", "9600,n,8,1", "Disabled", "Enabled"});
    rows(true, "switches flipped",
         {"32", "7", "Disabled", "Disabled", "Enabled", "5V", "Inverted", "2400,e,7,1", "Enabled",
          "Disabled"});
}

void tst_Printout::settingsBlock() {
    QFETCH(bool, flipped);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(QString, label);
    QFETCH(QString, value);

    SharedState s = emptyDatabase();
    QString port = QStringLiteral("9600,n,8,1");
    if (flipped) {
        EncoderSettings& e = s.Db.Settings;
        e.DutyCycle = "32";
        e.MaxBatch = "7";
        e.IgnoreRFCD = true;
        e.PPHReset = false;
        e.IDAsCap = true;
        e.InvertRFCD = false;
        e.InvertData = true;
        e.BriefACK = true;
        e.FlowBeforeACK = false;
        e.PETEnabled = true;
        port = QStringLiteral("2400,e,7,1");
    }
    const PrintPage page = layout(s, port).at(1);
    const PrintElement labelElement = at(page, x, y);
    QCOMPARE(labelElement.text, label);
    QVERIFY(labelElement.bold);
    const PrintElement valueElement = at(page, x == 500 ? 2500 : 7300, y);
    QCOMPARE(valueElement.text, value);
    QVERIFY(!valueElement.bold);
    QCOMPARE(valueElement.font, QStringLiteral("Courier New"));
}

void tst_Printout::pageHeader_data() {
    QTest::addColumn<int>("page");
    QTest::newRow("page 1") << 0;
    QTest::newRow("page 2") << 1;
}

void tst_Printout::pageHeader() {
    QFETCH(int, page);

    SharedState s = emptyDatabase();
    s.Notes = "North wing, r\xe9vision 2";
    const PrintPage elements = layout(s).at(page);

    const PrintElement logo = elements.at(0);
    QCOMPARE(logo.kind, PrintElement::Kind::Picture);
    QCOMPARE(QRect(logo.x, logo.y, logo.width, logo.height), QRect(500, 500, 2035, 1735));

    const QList<PrintElement> title = centredAt(elements, 1200);
    QCOMPARE(title.size(), 1);
    QCOMPARE(title[0].text, QStringLiteral("Quillmar Paging Encoder Configuration"));
    QCOMPARE(title[0].font, QStringLiteral("Arial"));
    QCOMPARE(title[0].points, 20);
    QVERIFY(title[0].bold);
    QCOMPARE(title[0].centreOffset, 1000);

    const QList<PrintElement> date = centredAt(elements, 1900);
    QCOMPARE(date.size(), 1);
    QCOMPARE(date[0].text, QStringLiteral("Mar. 7, 2024"));
    QCOMPARE(date[0].points, 10);
    QVERIFY(date[0].bold);
    QCOMPARE(date[0].centreOffset, 1000);

    const PrintElement label = at(elements, 500, 2500);
    QCOMPARE(label.text, QStringLiteral("Configuration Notes: "));
    QCOMPARE(label.font, QStringLiteral("Arial"));
    QVERIFY(label.bold);
    const PrintElement notes = at(elements, 2600, 2500);
    QCOMPARE(notes.text, QString::fromLatin1("North wing, r\xe9vision 2"));
    QCOMPARE(notes.font, QStringLiteral("Arial"));
    QCOMPARE(notes.points, 10);
    QVERIFY(!notes.bold);
}

void tst_Printout::footer_data() {
    QTest::addColumn<QString>("lastFile");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("line");

    QTest::newRow("page 1 with file")
        << "/home/site/NORTH.PG7" << 0 << "Filename: /home/site/NORTH.PG7    p. 1 of 2";
    QTest::newRow("page 2 with file")
        << "/home/site/NORTH.PG7" << 1 << "Filename: /home/site/NORTH.PG7    p. 2 of 2";
    QTest::newRow("page 1 without file") << "" << 0 << "p. 1 of 2";
    QTest::newRow("page 2 without file") << "" << 1 << "p. 2 of 2";
}

void tst_Printout::footer() {
    QFETCH(QString, lastFile);
    QFETCH(int, page);
    QFETCH(QString, line);

    SharedState s = emptyDatabase();
    s.LastFile = lastFile;
    const PrintPage elements = layout(s).at(page);

    // Placed up from the page's foot, whatever the page's height.
    const QList<PrintElement> first = centredAt(elements, 750);
    QCOMPARE(first.size(), 1);
    QVERIFY(first[0].fromFoot);
    QCOMPARE(first[0].text, line);
    QCOMPARE(first[0].font, QStringLiteral("Arial"));
    QVERIFY(first[0].bold);
    QCOMPARE(first[0].points, 10);
    QCOMPARE(first[0].centreOffset, 0);

    const QList<PrintElement> maker = centredAt(elements, 500);
    QCOMPARE(maker.size(), 1);
    QVERIFY(maker[0].fromFoot);
    QCOMPARE(maker[0].text, QStringLiteral("Quillmar Communications"));
    QVERIFY(maker[0].bold);
    QCOMPARE(maker[0].centreOffset, 0);
}

void tst_Printout::printsCopiesToPdf_data() {
    QTest::addColumn<int>("copies");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("lastFile");
    QTest::addColumn<QString>("jobName"); // as the print queue and the PDF's title show it
    QTest::newRow("one copy of a saved database") << 1 << 2 << "/home/site/NORTH.PG7"
                                                  << "NORTH.PG7";
    QTest::newRow("three copies of a new database") << 3 << 6 << ""
                                                    << "Quillmar Paging Encoder Configuration";
}

void tst_Printout::printsCopiesToPdf() {
    QFETCH(int, copies);
    QFETCH(int, pages);
    QFETCH(QString, lastFile);
    QFETCH(QString, jobName);

    const QString pdf = m_dir.filePath(QStringLiteral("copies%1.pdf").arg(copies));
    m_script.prints.push_back({true, pdf, copies});
    QImage logo(203, 173, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    SharedState s = emptyDatabase();
    s.LastFile = lastFile;

    PrintDatabase(s, QStringLiteral("9600,n,8,1"), logo);

    QCOMPARE(m_script.printRequests, 1);
    QCOMPARE(pdfPages(pdf), pages);
    QVERIFY(!isBusy());

    const QString info = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (info.isEmpty())
        QSKIP("pdfinfo is not installed");
    QProcess run;
    run.start(info, {pdf});
    QVERIFY(run.waitForFinished(30000));
    static const QRegularExpression title(QStringLiteral("^Title: *(.*)$"),
                                          QRegularExpression::MultilineOption);
    QCOMPARE(title.match(QString::fromUtf8(run.readAllStandardOutput())).captured(1), jobName);
}

void tst_Printout::printedText() {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        QSKIP("pdftotext is not installed");

    SharedState s = emptyDatabase();
    s.Notes = "Lobby encoder";
    s.LastFile = QStringLiteral("/srv/NORTH.PG7");
    PagerFamily& f = s.Db.Families[0];
    f[Fam::Active] = "1";
    f[Fam::StartCap] = "1000000";
    f[Fam::PagerQty] = "010";
    f[Fam::StartID] = "0100";
    const QString pdf = m_dir.filePath(QStringLiteral("text.pdf"));
    m_script.prints.push_back({true, pdf, 1});

    PrintDatabase(s, QStringLiteral("9600,n,8,1"), QImage());

    QProcess run;
    run.start(tool, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(run.waitForFinished(30000));
    QCOMPARE(run.exitCode(), 0);
    const QString text = QString::fromUtf8(run.readAllStandardOutput()).simplified();
    for (const char* expected :
         {"Quillmar Paging Encoder Configuration", "Configuration Notes:", "Lobby encoder",
          "1 ON 010 0100 0109 1000000 1000009 Alpha 4 512 None None",
          "Pager Group:", "Canned Msg #1:", "Duty Cycle %: 50", "Filename: /srv/NORTH.PG7 p. 1 of 2",
          "Filename: /srv/NORTH.PG7 p. 2 of 2", "Quillmar Communications"})
        QVERIFY2(text.contains(QLatin1String(expected)), expected);
}

void tst_Printout::cancelPrintsNothing() {
    const QString pdf = m_dir.filePath(QStringLiteral("cancelled.pdf"));
    m_script.prints.push_back({false, pdf, 1});

    PrintDatabase(emptyDatabase(), QStringLiteral("9600,n,8,1"), QImage());

    QCOMPARE(m_script.printRequests, 1);
    QVERIFY(!QFile::exists(pdf));
    QVERIFY(!isBusy());
    QVERIFY(m_script.boxes.isEmpty());
}

void tst_Printout::unreadableDatabasePrintsNothing_data() {
    QTest::addColumn<bool>("neverLoaded");
    QTest::newRow("pager quantity not a number") << false;
    QTest::newRow("never loaded") << true;
}

void tst_Printout::unreadableDatabasePrintsNothing() {
    QFETCH(bool, neverLoaded);

    SharedState s = emptyDatabase();
    s.Db.Families[20][Fam::PagerQty] = "0x5";
    if (neverLoaded)
        s = SharedState{};
    const QString pdf = m_dir.filePath(QStringLiteral("unreadable%1.pdf").arg(neverLoaded));
    m_script.prints.push_back({true, pdf, 2});

    PrintDatabase(s, QStringLiteral("9600,n,8,1"), QImage());

    QCOMPARE(m_script.printRequests, 1);
    QVERIFY(!QFile::exists(pdf) || QFileInfo(pdf).size() == 0);
    QVERIFY(!isBusy());
    QVERIFY(m_script.boxes.isEmpty());
}

namespace {

struct Word {
    int page = 0; // from 1
    QString text;
    QRectF box; // points from the sheet's corner
};

// Every word of a PDF, in each page's reading order.
QList<Word> pdfWords(const QString& pdf) {
    QProcess run;
    run.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")),
              {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    run.waitForFinished(30000);
    static const QRegularExpression box(
        QStringLiteral(R"re(xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<)re"));
    QList<Word> words;
    int page = 0;
    for (const QString& line : QString::fromUtf8(run.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.contains(QLatin1String("<page ")))
            ++page;
        const auto m = box.match(line);
        if (m.hasMatch())
            words.append({page, m.captured(5),
                          QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                 QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return words;
}

// The box of the first such word on the page; an empty box when there is none.
QRectF wordBox(const QList<Word>& words, int page, const QString& text) {
    for (const Word& w : words)
        if (w.page == page && w.text == text)
            return w.box;
    qWarning("no word %s on page %d", qPrintable(text), page);
    return QRectF();
}

QString describe(const QRectF& box) {
    return QStringLiteral("(%1, %2)-(%3, %4)")
        .arg(box.left())
        .arg(box.top())
        .arg(box.right())
        .arg(box.bottom());
}

} // namespace

// A printer with unprintable margins draws from the corner of its printable area and places the
// footer by that area's height; a sheet without margins (a PDF file) from the sheet's corner. A
// page whose layout needs more room than the printable area has is shrunk, whole, to fit it.
void tst_Printout::originAtThePrintableArea_data() {
    QTest::addColumn<QPageSize::PageSizeId>("paper");
    QTest::addColumn<QMarginsF>("margins"); // points
    QTest::addColumn<QString>("lastFile");
    QTest::addColumn<int>("page");        // a page that fits, 0 for none
    QTest::addColumn<QString>("heading"); // that page's first table word
    QTest::addColumn<QByteArray>("notes");

    const QString longName = QStringLiteral("/home/installer/customers/northfield-general-hospital/"
                                            "east-wing-encoder/2024-03-07-after-the-site-survey.PG7");
    QTest::newRow("no unprintable margin")
        << QPageSize::A4 << QMarginsF() << "" << 1 << "Family" << QByteArray();
    QTest::newRow("unprintable margins")
        << QPageSize::A4 << QMarginsF(18, 36, 24, 18) << "" << 1 << "Family" << QByteArray();
    QTest::newRow("printable area too short for page 1")
        << QPageSize::Letter << QMarginsF(18, 36, 18, 36) << "" << 2 << "Pager" << QByteArray();
    QTest::newRow("printable area too narrow")
        << QPageSize::A4 << QMarginsF(72, 18, 72, 18) << "" << 0 << "" << QByteArray();
    QTest::newRow("file name wider than the table")
        << QPageSize::A4 << QMarginsF() << longName << 0 << "" << QByteArray();
    // As many of the widest letter as the notes box takes.
    QTest::newRow("notes of 80 W") << QPageSize::A4 << QMarginsF() << "" << 0 << "" << QByteArray(80, 'W');
}

void tst_Printout::originAtThePrintableArea() {
    QFETCH(QPageSize::PageSizeId, paper);
    QFETCH(QMarginsF, margins);
    QFETCH(QString, lastFile);
    QFETCH(int, page);
    QFETCH(QString, heading);
    QFETCH(QByteArray, notes);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    const QString pdf = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(paper));
    printer.setPageMargins(margins, QPageLayout::Point);
    printer.setFullPage(margins.isNull());
    SharedState s = emptyDatabase();
    s.LastFile = lastFile;
    s.Notes = notes;
    QVERIFY(PrintOn(printer, s, QStringLiteral("9600,n,8,1"), QImage(), 1));
    const QList<Word> words = pdfWords(pdf);

    // Within the printable area, give or take the rounding of the PDF's numbers: a hundredth of
    // a point, a sixth of a 1200 dpi device pixel.
    const QRectF printable = QPageSize(paper).rect(QPageSize::Point).marginsRemoved(margins);
    for (const Word& w : words)
        QVERIFY2(printable.marginsAdded(QMarginsF(0.01, 0.01, 0.01, 0.01)).contains(w.box),
                 qPrintable(w.text + describe(w.box)));
    const QRectF lastFamily = wordBox(words, 1, QStringLiteral("50"));
    const QRectF footer = wordBox(words, 1, QStringLiteral("p."));
    QVERIFY2(footer.top() >= lastFamily.bottom(), qPrintable(describe(footer) + describe(lastFamily)));

    // Shrunk alike across and down: the maker's name keeps its shape from page to page.
    const QRectF maker1 = wordBox(words, 1, QStringLiteral("Communications"));
    const QRectF maker2 = wordBox(words, 2, QStringLiteral("Communications"));
    QVERIFY2(qAbs(maker1.width() / maker2.width() - maker1.height() / maker2.height()) < 0.005,
             qPrintable(describe(maker1) + describe(maker2)));
    if (page == 0)
        return;

    // A page that fits is not scaled at all: its heading stands at (500, 2800) twips, the maker's
    // line 500 twips above the page's foot; a point is 20 twips.
    const QRectF top = wordBox(words, page, heading);
    const QRectF maker = wordBox(words, page, QStringLiteral("Communications"));
    QVERIFY2(qAbs(top.left() - (margins.left() + 25)) < 0.1, qPrintable(describe(top)));
    QVERIFY2(qAbs(top.top() - (margins.top() + 140)) < 0.1, qPrintable(describe(top)));
    QVERIFY2(qAbs(maker.top() - (printable.bottom() - 25)) < 0.1, qPrintable(describe(maker)));
}

QTEST_MAIN(tst_Printout)
#include "tst_printout.moc"
