// The encoder simulator: its protocol fed with bytes, and its pseudo-terminal end to end.

#include "model/DatabaseFile.h"
#include "sim/EncoderSim.h"

#include <QtTest>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using sim::EncoderProtocol;
using sim::Exchange;
using sim::Mode;

namespace {

// Everything the encoder answers to `bytes`, joined.
QByteArray replies(EncoderProtocol& p, const QByteArray& bytes) {
    QByteArray out;
    for (const Exchange& e : p.receive(bytes))
        out += e.reply;
    return out;
}

QByteArray readBlock(const QByteArray& message) {
    return sim::tapBlock(sim::DatabaseReadId, message);
}
QByteArray writeBlock(const QByteArray& record) {
    return sim::tapBlock(sim::DatabaseWriteId, record);
}

const QByteArray EmptyGroupFields = "0000 0 0 00 0 00 0 00" + QByteArray(" 0000").repeated(20);
const QByteArray EmptyFamilyFields = "0 0000000 5 A 3 000 0000 00 00";
const QByteArray LoginReply = "110 1.8\r\nQuillmar Paging Encoder Ready\r\x06\r\x1b[p\r";

// The program's end of the line, opened with plain POSIX calls.
class ProgramEnd {
public:
    explicit ProgramEnd(const QString& path, speed_t speed = B9600)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {
        setSpeed(speed);
    }
    ~ProgramEnd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }
    void setSpeed(speed_t speed) {
        termios t{};
        ::tcgetattr(m_fd, &t);
        ::cfmakeraw(&t);
        ::cfsetspeed(&t, speed);
        ::tcsetattr(m_fd, TCSANOW, &t);
    }
    bool write(const QByteArray& bytes) {
        return ::write(m_fd, bytes.constData(), bytes.size()) == bytes.size();
    }
    // Reads until the bytes end with `last`; gives up after a few seconds so a broken
    // simulator fails the test instead of hanging it.
    QByteArray readUntil(const QByteArray& last) {
        QByteArray got;
        QDeadlineTimer deadline(5000);
        while (!got.endsWith(last) && !deadline.hasExpired()) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0) {
                char buffer[256];
                const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
                if (n > 0)
                    got.append(buffer, n);
            }
        }
        return got;
    }

private:
    int m_fd;
};

} // namespace

class TestEncoderSim : public QObject {
    Q_OBJECT

private slots:
    void tapBlock_data();
    void tapBlock();
    void splitCommands_data();
    void splitCommands();
    void probe_data();
    void probe();
    void configCommands_data();
    void configCommands();
    void petNotSupported();
    void unknownCommands_data();
    void unknownCommands();
    void readRecords_data();
    void readRecords();
    void olderEncoderFamilies();
    void programRecords_data();
    void programRecords();
    void tapSession();
    void lookup_data();
    void lookup();
    void tuningCommandsGetNoReply();
    void repliesOverridden();
    void silenceAndJunk();
    void commandsSplitAcrossReads();
    void databaseFile();

    void ptyProbe();
    void ptyAnswersOnlyAtOneSpeed();
    void ptyReopenSplitDelayed();
    void ptyReceiveHookBeforeTheReply();
};

void TestEncoderSim::tapBlock_data() {
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("block");
    QTest::newRow("abc M 1") << QByteArray("abc") << QByteArray("M 1")
                             << QByteArray("\x02"
                                           "abc\rM 1\r\x03"
                                           "1>3\r");
    QTest::newRow("empty") << QByteArray() << QByteArray()
                           << QByteArray("\x02\r\r\x03"
                                         "01?\r");
    QTest::newRow("page") << QByteArray("123") << QByteArray("abc")
                          << QByteArray("\x02"
                                        "123\rabc\r\x03"
                                        "1=;\r");
}

void TestEncoderSim::tapBlock() {
    QFETCH(QByteArray, id);
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, block);
    QCOMPARE(sim::tapBlock(id, message), block);
}

void TestEncoderSim::splitCommands_data() {
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QList<QByteArray>>("commands");
    QTest::newRow("probe") << QByteArray("ATI\r\r") << QList<QByteArray>{"ATI\r", "\r"};
    QTest::newRow("CR LF stays with its line")
        << QByteArray("config maxbatch?\r\nCONFIG IDASCAP?\r")
        << QList<QByteArray>{"config maxbatch?\r\n", "CONFIG IDASCAP?\r"};
    QTest::newRow("block between lines") << QByteArray("TEST512\r") + readBlock("G 1") + "LOOKUP 1\r\n"
                                         << QList<QByteArray>{"TEST512\r", readBlock("G 1"), "LOOKUP 1\r\n"};
    QTest::newRow("block with CRs inside")
        << writeBlock("M 1 \"a\"") << QList<QByteArray>{writeBlock("M 1 \"a\"")};
    QTest::newRow("unfinished last") << QByteArray("\x1bPG1\rconfig pet")
                                     << QList<QByteArray>{"\x1bPG1\r", "config pet"};
    QTest::newRow("broken block dropped at the next STX") << QByteArray("\x02"
                                                                        "12\rab") +
                                                                 readBlock("L 1")
                                                          << QList<QByteArray>{"\x02"
                                                                               "12\rab",
                                                                               readBlock("L 1")};
    QTest::newRow("lone LF starts a line") << QByteArray("\n\r") << QList<QByteArray>{"\n\r"};
}

void TestEncoderSim::splitCommands() {
    QFETCH(QByteArray, stream);
    QFETCH(QList<QByteArray>, commands);
    QCOMPARE(sim::splitCommands(stream), commands);
}

void TestEncoderSim::probe_data() {
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("tap") << Mode::Tap << QByteArray("Quillmar Paging Encoder v7.1.9\r\nID=");
    QTest::newRow("quillmar") << Mode::Quillmar
                              << QByteArray("Quillmar Paging Encoder v7.1.9\r\nEncoder>Encoder>");
    QTest::newRow("comp1") << Mode::Comp1 << QByteArray("COMP1>COMP1>");
    QTest::newRow("comp2") << Mode::Comp2 << QByteArray("COMP2>COMP2>");
    QTest::newRow("pet") << Mode::Pet << QByteArray("INVALID\r\nINVALID\r\n");
    QTest::newRow("silent") << Mode::Silent << QByteArray();
}

void TestEncoderSim::probe() {
    QFETCH(Mode, mode);
    QFETCH(QByteArray, reply);
    EncoderProtocol p;
    p.options.mode = mode;
    QCOMPARE(replies(p, "ATI\r\r"), reply);
}

void TestEncoderSim::configCommands_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("value"); // the setting afterwards

    QTest::newRow("maxbatch?") << QByteArray("config maxbatch?\r\n") << QByteArray("10\r\n")
                               << QByteArray("maxbatch") << QByteArray("10");
    QTest::newRow("dutycycle?") << QByteArray("config dutycycle?\r\n") << QByteArray("50\r\n")
                                << QByteArray("dutycycle") << QByteArray("50");
    QTest::newRow("pphreset?") << QByteArray("config pphreset?\r\n") << QByteArray("1\r\n")
                               << QByteArray("pphreset") << QByteArray("1");
    QTest::newRow("ignorerfcd?") << QByteArray("config ignorerfcd?\r\n") << QByteArray("0\r\n")
                                 << QByteArray("ignorerfcd") << QByteArray("0");
    QTest::newRow("pet?") << QByteArray("config pet?\r\n") << QByteArray("0\r\n") << QByteArray("pet")
                          << QByteArray("0");
    QTest::newRow("invertrfcd?") << QByteArray("config invertrfcd?\r\n") << QByteArray("1\r\n")
                                 << QByteArray("invertrfcd") << QByteArray("1");
    QTest::newRow("invertdata?") << QByteArray("config invertdata?\r\n") << QByteArray("0\r\n")
                                 << QByteArray("invertdata") << QByteArray("0");
    QTest::newRow("briefack?") << QByteArray("config briefack?\r\n") << QByteArray("0\r\n")
                               << QByteArray("briefack") << QByteArray("0");
    QTest::newRow("altfc?") << QByteArray("config altfc?\r\n") << QByteArray("1\r\n") << QByteArray("altfc")
                            << QByteArray("1");

    QTest::newRow("invertdata 1") << QByteArray("config invertdata 1\r\n") << QByteArray("\r\n")
                                  << QByteArray("invertdata") << QByteArray("1");
    QTest::newRow("pet 1 ends with CR")
        << QByteArray("config pet 1\r\n") << QByteArray("\r") << QByteArray("pet") << QByteArray("1");
    QTest::newRow("invertrfcd 0") << QByteArray("config invertrfcd 0\r\n") << QByteArray("\r\n")
                                  << QByteArray("invertrfcd") << QByteArray("0");
    QTest::newRow("dutycycle 25") << QByteArray("config dutycycle 25\r\n") << QByteArray("\r\n")
                                  << QByteArray("dutycycle") << QByteArray("25");
    QTest::newRow("maxbatch 032") << QByteArray("config maxbatch 032\r\n") << QByteArray("\r\n")
                                  << QByteArray("maxbatch") << QByteArray("032");
    QTest::newRow("pphreset 0") << QByteArray("config pphreset 0\r\n") << QByteArray("\r\n")
                                << QByteArray("pphreset") << QByteArray("0");
    QTest::newRow("ignorerfcd 1") << QByteArray("config ignorerfcd 1\r\n") << QByteArray("\r\n")
                                  << QByteArray("ignorerfcd") << QByteArray("1");
    QTest::newRow("briefack 1") << QByteArray("config briefack 1\r\n") << QByteArray("\r\n")
                                << QByteArray("briefack") << QByteArray("1");
    QTest::newRow("altfc 0") << QByteArray("config altfc 0\r\n") << QByteArray("\r\n") << QByteArray("altfc")
                             << QByteArray("0");

    QTest::newRow("IDASCAP?") << QByteArray("CONFIG IDASCAP?\r") << QByteArray("0\r\n")
                              << QByteArray("idascap") << QByteArray("0");
    QTest::newRow("IDASCAP 1") << QByteArray("CONFIG IDASCAP 1\r") << QByteArray("IDASCAP option updated\r\n")
                               << QByteArray("idascap") << QByteArray("1");
    QTest::newRow("idascap 1") << QByteArray("config idascap 1\r\n")
                               << QByteArray("IDASCAP option updated\r\n") << QByteArray("idascap")
                               << QByteArray("1");
}

void TestEncoderSim::configCommands() {
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, value);
    EncoderProtocol p;
    QCOMPARE(replies(p, command), reply);
    QCOMPARE(p.setting(name), value);
}

void TestEncoderSim::petNotSupported() {
    EncoderProtocol p;
    p.options.petSupported = false;
    QCOMPARE(replies(p, "config pet?\r\n"), QByteArray("\x1e"));
    QCOMPARE(replies(p, "config pet 1\r\n"), QByteArray("\r"));
    QCOMPARE(p.setting("pet"), QByteArray("0"));
    QCOMPARE(p.exportDatabase().Settings.PETSupported, false);

    p.setSetting("idascap", "1");
    QCOMPARE(replies(p, "CONFIG IDASCAP?\r"), QByteArray("1\r\n"));
    QCOMPARE(replies(p, "CONFIG IDASCAP 0\r"), QByteArray("IDASCAP option updated\r\n"));
    QCOMPARE(replies(p, "CONFIG IDASCAP?\r"), QByteArray("0\r\n"));
}

void TestEncoderSim::unknownCommands_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("capitals for a small-letter command") << QByteArray("CONFIG MAXBATCH?\r\n");
    QTest::newRow("unknown option") << QByteArray("config speed?\r\n");
    QTest::newRow("set without value") << QByteArray("config altfc\r\n");
    QTest::newRow("idascap bad value") << QByteArray("CONFIG IDASCAP 2\r");
    QTest::newRow("anything else") << QByteArray("HELLO\r");
}

void TestEncoderSim::unknownCommands() {
    QFETCH(QByteArray, command);
    EncoderProtocol p;
    QCOMPARE(replies(p, command), QByteArray("ERROR\r\n"));
}

void TestEncoderSim::readRecords_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("group 1") << QByteArray("L 1") << "L 1 " + EmptyGroupFields + "\r\n";
    QTest::newRow("group 10") << QByteArray("L 10") << "L 10 " + EmptyGroupFields + "\r\n";
    QTest::newRow("family 50") << QByteArray("G 50") << "G 50 " + EmptyFamilyFields + "\r\n";
    QTest::newRow("message 15") << QByteArray("M 15") << QByteArray("M 15 \"\"\r\n");
    QTest::newRow("stored family") << QByteArray("G 7")
                                   << QByteArray("G 7 1 0001000 2 N 0 010 0012 1 00\r\n");
    QTest::newRow("family 51") << QByteArray("G 51") << QByteArray("ERROR\r\n");
    QTest::newRow("leading zero") << QByteArray("G 07") << QByteArray("ERROR\r\n");
    QTest::newRow("group 0") << QByteArray("L 0") << QByteArray("ERROR\r\n");
}

void TestEncoderSim::readRecords() {
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    EncoderProtocol p;
    QVERIFY(p.setRecord("G 7 1 0001000 2 N 0 010 0012 1 00"));
    QCOMPARE(replies(p, readBlock(request)), reply);
}

void TestEncoderSim::olderEncoderFamilies() {
    EncoderProtocol p;
    p.options.olderEncoder = true;
    QVERIFY(p.setRecord("G 2 1 0001000 2 N 0 010 0012 1 00"));
    QCOMPARE(replies(p, readBlock("G 1") + readBlock("G 2")), QByteArray("G 1 0\r\nG 2 1\r\n"));
    QCOMPARE(replies(p, readBlock("L 1")), "L 1 " + EmptyGroupFields + "\r\n");
}

void TestEncoderSim::programRecords_data() {
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("stored"); // the record read back afterwards
    QTest::addColumn<QByteArray>("readRequest");

    const QByteArray group = "L 3 1234 1 1 2 0 00 1 15" + QByteArray(" 0101").repeated(20);
    QTest::newRow("group") << writeBlock(group) << QByteArray("\x1e\r") << group << QByteArray("L 3");
    QTest::newRow("group filler") << writeBlock("L 10 0 0 0 0 0 0 0 0") << QByteArray("\x1e\r")
                                  << QByteArray("L 10 0 0 0 0 0 0 0 0") << QByteArray("L 10");
    QTest::newRow("family with an empty field")
        << writeBlock("G 50 1 0001000 5 A 3 010  00 00") << QByteArray("\x1e\r")
        << QByteArray("G 50 1 0001000 5 A 3 010  00 00") << QByteArray("G 50");
    QTest::newRow("message with a quote") << writeBlock("M 1 \"say \"hi\"\"") << QByteArray("\x1e\r")
                                          << QByteArray("M 1 \"say \"hi\"\"") << QByteArray("M 1");
    QTest::newRow("empty message") << writeBlock("M 15 \"\"") << QByteArray("\x1e\r")
                                   << QByteArray("M 15 \"\"") << QByteArray("M 15");

    QByteArray badSum = writeBlock("G 1 1 0001000 5 A 3 010 100 00 00");
    badSum[badSum.size() - 2] = badSum[badSum.size() - 2] + 1;
    QTest::newRow("bad checksum") << badSum << QByteArray("\x15\r") << "G 1 " + EmptyFamilyFields
                                  << QByteArray("G 1");
    QTest::newRow("number out of range") << writeBlock("L 11 0 0 0 0 0 0 0 0") << QByteArray("\x15\r")
                                         << "L 1 " + EmptyGroupFields << QByteArray("L 1");
    QTest::newRow("message unquoted")
        << writeBlock("M 2 abc") << QByteArray("\x15\r") << QByteArray("M 2 \"\"") << QByteArray("M 2");
    QTest::newRow("no fields") << writeBlock("G 2") << QByteArray("\x15\r") << "G 2 " + EmptyFamilyFields
                               << QByteArray("G 2");
}

void TestEncoderSim::programRecords() {
    QFETCH(QByteArray, block);
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, readRequest);
    EncoderProtocol p;
    QCOMPARE(replies(p, block), reply);
    QCOMPARE(replies(p, readBlock(readRequest)), stored + "\r\n");
}

void TestEncoderSim::tapSession() {
    EncoderProtocol p;
    const QByteArray page = sim::tapBlock("1234", "hello");
    QCOMPARE(replies(p, page), QByteArray()); // no login yet
    QCOMPARE(replies(p, "\r"), QByteArray("ID="));
    QCOMPARE(replies(p, "\x1bPG1\r"), LoginReply);
    QVERIFY(p.loggedIn());
    QCOMPARE(replies(p, page), QByteArray("211\r\x06\r"));

    QByteArray badSum = page;
    badSum[badSum.size() - 2] = '0';
    QCOMPARE(replies(p, badSum), QByteArray("\x15\r"));

    QCOMPARE(replies(p, "config briefack 1\r\n"), QByteArray("\r\n"));
    QCOMPARE(replies(p, page), QByteArray("\r\x06\r"));

    p.dropSession();
    QCOMPARE(replies(p, page), QByteArray());
    p.options.requireLogin = false;
    QCOMPARE(replies(p, page), QByteArray("\r\x06\r"));
}

void TestEncoderSim::lookup_data() {
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("first of the family")
        << QByteArray("100") << QByteArray("ID 100 capcode 0001000 msg enc:A baud:512 func bits:11\r\n");
    QTest::newRow("inside, with zeros")
        << QByteArray("0105") << QByteArray("ID 0105 capcode 0001005 msg enc:A baud:512 func bits:11\r\n");
    QTest::newRow("numeric 1200") << QByteArray("501")
                                  << QByteArray(
                                         "ID 501 capcode 0200000 msg enc:N baud:1200 func bits:01\r\n");
    QTest::newRow("past the end") << QByteArray("110") << QByteArray("ID 110 not found\r\n");
    QTest::newRow("family off") << QByteArray("900") << QByteArray("ID 900 not found\r\n");
    QTest::newRow("group") << QByteArray("42") << QByteArray("ID 42 list 2\r\n");
    QTest::newRow("not a number") << QByteArray("abc") << QByteArray("ID abc not found\r\n");
}

void TestEncoderSim::lookup() {
    QFETCH(QByteArray, id);
    QFETCH(QByteArray, reply);
    EncoderProtocol p;
    QVERIFY(p.setRecord("G 1 1 0001000 5 A 3 010 0100 00 00"));
    QVERIFY(p.setRecord("G 2 1 0200000 1 N 1 005 501 00 00"));
    QVERIFY(p.setRecord("G 3 0 0300000 2 A 3 010 0900 00 00"));
    QVERIFY(p.setRecord("L 2 0042 1 0 00 0 00 0 00" + QByteArray(" 0100").repeated(20)));
    QCOMPARE(replies(p, "LOOKUP " + id + "\r\n"), reply);
}

void TestEncoderSim::tuningCommandsGetNoReply() {
    EncoderProtocol p;
    const QList<Exchange> exchanges = p.receive("TEST512\rTEST1200\rTEST2400\r");
    QCOMPARE(exchanges.size(), 3);
    QCOMPARE(exchanges[1].command, QByteArray("TEST1200\r"));
    for (const Exchange& e : exchanges)
        QCOMPARE(e.reply, QByteArray());
}

void TestEncoderSim::repliesOverridden() {
    EncoderProtocol p;
    p.options.replyOverrides = {{"G 1", "ID="}, {"CONFIG IDASCAP?", "COMP2>"}, {"config pet", ""}};
    const QByteArray record = "G 1 1 0001000 5 A 3 010 100 00 00";
    QCOMPARE(replies(p, writeBlock(record)), QByteArray("ID="));
    QCOMPARE(p.familyRecord(1), "G 1 " + EmptyFamilyFields); // an overridden command is not carried out
    QCOMPARE(replies(p, writeBlock("G 10 1 0001000 5 A 3 010 100 00 00")), QByteArray("\x1e\r"));
    QCOMPARE(replies(p, "CONFIG IDASCAP?\r"), QByteArray("COMP2>"));
    QCOMPARE(replies(p, "config pet 1\r\n"), QByteArray());
    QCOMPARE(replies(p, "config pet?\r\n"), QByteArray("0\r\n")); // the key is followed by "?", not a blank
}

void TestEncoderSim::silenceAndJunk() {
    EncoderProtocol p;
    p.options.junkBeforeReply = "\x7f";
    p.options.silenceAfterReplies = 2;
    QCOMPARE(replies(p, "config maxbatch?\r\n"), QByteArray("\x7f"
                                                            "10\r\n"));
    QCOMPARE(replies(p, "TEST512\r"), QByteArray()); // no reply, not counted
    QCOMPARE(replies(p, "config dutycycle 20\r\n"), QByteArray("\x7f\r\n"));
    QCOMPARE(replies(p, "config dutycycle 30\r\n"), QByteArray());
    QCOMPARE(p.setting("dutycycle"), QByteArray("20"));
    QCOMPARE(p.repliesSent(), 2);
}

void TestEncoderSim::commandsSplitAcrossReads() {
    const QByteArray stream = "CONFIG IDASCAP?\rconfig maxbatch?\r\n" + writeBlock("M 3 \"abc\"") +
                              readBlock("M 3") + "\r\x1bPG1\r" + sim::tapBlock("77", "x");
    EncoderProtocol whole;
    const QList<Exchange> expected = whole.receive(stream);
    QCOMPARE(expected.size(), 7);

    EncoderProtocol byByte;
    QList<Exchange> got;
    for (char c : stream)
        got += byByte.receive(QByteArray(1, c));
    QCOMPARE(got.size(), expected.size());
    for (qsizetype i = 0; i < got.size(); ++i) {
        QCOMPARE(got[i].command, expected[i].command);
        QCOMPARE(got[i].reply, expected[i].reply);
    }
    QCOMPARE(got[3].reply, QByteArray("M 3 \"abc\"\r\n"));
    QCOMPARE(got[5].reply, LoginReply);
    QCOMPARE(got[6].reply, QByteArray("211\r\x06\r"));
}

void TestEncoderSim::databaseFile() {
    qpes::PagerDatabase db;
    qpes::clearTables(db);
    db.Families[0] = {"1", "0001000", "5", "A", "3", "010", "100", "1", "00", "YES"};
    db.Groups[1][qpes::Grp::GroupID] = "0042";
    db.Groups[1][qpes::Grp::Active] = "1";
    db.Messages[4] = "Fire, exit now";
    db.Settings.DutyCycle = "25";
    db.Settings.MaxBatch = "32";
    db.Settings.InvertData = true;
    db.Settings.InvertRFCD = false;
    db.Settings.FlowBeforeACK = false;

    EncoderProtocol p;
    p.loadDatabaseFile(qpes::WriteDatabaseFile(db, "notes"));
    QCOMPARE(p.familyRecord(1), QByteArray("G 1 1 0001000 5 A 3 010 100 1 00"));
    QCOMPARE(p.familyRecord(2), "G 2 " + EmptyFamilyFields);
    QCOMPARE(p.groupRecord(2), "L 2 0042 1 0 00 0 00 0 00" + QByteArray(" 0000").repeated(20));
    QCOMPARE(p.messageRecord(5), QByteArray("M 5 \"Fire, exit now\""));
    QCOMPARE(replies(p, "config dutycycle?\r\nconfig maxbatch?\r\nconfig invertdata?\r\nconfig altfc?\r\n"),
             QByteArray("25\r\n32\r\n1\r\n0\r\n"));

    const qpes::PagerDatabase back = p.exportDatabase();
    QCOMPARE(back.Families[0], db.Families[0]);
    QCOMPARE(back.Families[1][qpes::Fam::Defined], QByteArray()); // an empty family
    QCOMPARE(back.Groups[1][qpes::Grp::GroupID], QByteArray("0042"));
    QCOMPARE(back.Groups[1][qpes::Grp::Defined], QByteArray("YES"));
    QCOMPARE(back.Messages[4], db.Messages[4]);
    QCOMPARE(back.Settings.DutyCycle, QByteArray("25"));
    QCOMPARE(back.Settings.InvertRFCD, false);
    QCOMPARE(back.Settings.FlowBeforeACK, false);

    // What programming leaves for undefined records exports as not defined.
    QVERIFY(p.setRecord("G 3 0 8 5 A 0 0 0 0 0"));
    QVERIFY(p.setRecord("L 4 0 0 0 0 0 0 0 0"));
    const qpes::PagerDatabase programmed = p.exportDatabase();
    QCOMPARE(programmed.Families[2][qpes::Fam::Defined], QByteArray());
    QCOMPARE(programmed.Families[2][qpes::Fam::StartCap], QByteArray("8"));
    QCOMPARE(programmed.Groups[3][qpes::Grp::Defined], QByteArray());
}

void TestEncoderSim::ptyProbe() {
    sim::EncoderSim encoder;
    QVERIFY2(encoder.isRunning(), qPrintable(encoder.errorString()));
    ProgramEnd line(encoder.slavePath());
    QVERIFY(line.isOpen());
    QVERIFY(line.write("ATI\r\r"));
    QCOMPARE(line.readUntil("ID="), QByteArray("Quillmar Paging Encoder v7.1.9\r\nID="));
    QCOMPARE(encoder.received(), QByteArray("ATI\r\r"));
    QCOMPARE(encoder.receivedCommands(), (QList<QByteArray>{"ATI\r", "\r"}));
    QCOMPARE(encoder.lineBaud(), 9600);

    encoder.clearReceived();
    QVERIFY(line.write("TEST2400\r"));
    QVERIFY(encoder.waitForReceived("TEST2400\r"));
    QCOMPARE(encoder.received(), QByteArray("TEST2400\r"));
}

void TestEncoderSim::ptyAnswersOnlyAtOneSpeed() {
    sim::EncoderSim encoder;
    QVERIFY2(encoder.isRunning(), qPrintable(encoder.errorString()));
    encoder.setAnswerOnlyAtBaud(2400);
    ProgramEnd line(encoder.slavePath(), B9600);
    QVERIFY(line.write("ATI\r\r"));
    QVERIFY(encoder.waitForReceived("ATI\r\r"));
    line.setSpeed(B2400);
    QCOMPARE(encoder.lineBaud(), 2400);
    QVERIFY(line.write("ATI\r\r"));
    // Replies go out in order, so an answer to the first probe would come before this one.
    QCOMPARE(line.readUntil("ID="), QByteArray("Quillmar Paging Encoder v7.1.9\r\nID="));
    QCOMPARE(encoder.received(), QByteArray("ATI\r\rATI\r\r"));
}

void TestEncoderSim::ptyReopenSplitDelayed() {
    sim::EncoderSim encoder;
    QVERIFY2(encoder.isRunning(), qPrintable(encoder.errorString()));
    {
        ProgramEnd first(encoder.slavePath());
        QVERIFY(first.write("config maxbatch?\r\n"));
        QCOMPARE(first.readUntil("\r\n"), QByteArray("10\r\n"));
    }
    encoder.setSplitReplies(true, 1);
    encoder.setReplyDelay(5);
    encoder.setPace(115200);
    auto options = encoder.options();
    options.junkBeforeReply = "~";
    encoder.setOptions(options);

    ProgramEnd again(encoder.slavePath());
    QVERIFY(again.write("\x1bPG1\r"));
    QCOMPARE(again.readUntil("\x1b[p\r"), "~" + LoginReply);
    QVERIFY(encoder.loggedIn());
    QCOMPARE(encoder.receivedCommands(), (QList<QByteArray>{"config maxbatch?\r\n", "\x1bPG1\r"}));
}

// The hook sees the bytes as received, before the command they complete is answered (the
// command log's turn comes just before the reply).
void TestEncoderSim::ptyReceiveHookBeforeTheReply() {
    std::mutex mutex; // outlives the simulator's thread
    QList<QByteArray> events;
    sim::EncoderSim encoder;
    QVERIFY2(encoder.isRunning(), qPrintable(encoder.errorString()));
    encoder.setReceiveHook([&] {
        const QByteArray received = encoder.received();
        std::lock_guard lock(mutex);
        events.append("received " + received);
    });
    encoder.setCommandLog([&](const Exchange& e) {
        std::lock_guard lock(mutex);
        events.append("answered " + e.command);
    });
    ProgramEnd line(encoder.slavePath());
    QVERIFY(line.write("config maxbatch?\r\n"));
    QCOMPARE(line.readUntil("\r\n"), QByteArray("10\r\n"));
    std::lock_guard lock(mutex);
    QCOMPARE(events, (QList<QByteArray>{"received config maxbatch?\r\n", "answered config maxbatch?\r"}));
}

QTEST_GUILESS_MAIN(TestEncoderSim)
#include "tst_encoder_sim.moc"
