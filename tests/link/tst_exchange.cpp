// The serial port layer and the request-and-wait exchange over a real pseudo-terminal; the test
// plays the encoder on the master side.

#include "link/Exchange.h"
#include "link/Link.h"
#include "model/PagerDatabase.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"

#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

using namespace qpes;

namespace {

// The encoder's end of the line.
class PtyMaster {
public:
    PtyMaster() {
        m_fd = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_fd >= 0 && ::grantpt(m_fd) == 0 && ::unlockpt(m_fd) == 0)
            m_slave = QString::fromLocal8Bit(::ptsname(m_fd));
    }
    ~PtyMaster() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    QString slave() const { return m_slave; }
    void send(const QByteArray& bytes) const {
        QCOMPARE_EQ(::write(m_fd, bytes.constData(), bytes.size()), bytes.size());
    }
    // What the program wrote, once `count` bytes are there (or whatever came within 2 s).
    QByteArray receive(int count) const {
        QByteArray got;
        while (got.size() < count) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 2000) <= 0)
                break;
            char buf[512];
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, n);
        }
        return got;
    }
    // Everything the program wrote that is waiting now.
    QByteArray drain() const {
        QByteArray got;
        pollfd p{m_fd, POLLIN, 0};
        while (::poll(&p, 1, 0) > 0) {
            char buf[512];
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, n);
        }
        return got;
    }

private:
    int m_fd = -1;
    QString m_slave;
};

// Plays `pieces` to the program one after the other from the event loop, `gapMs` apart.
void sendLater(const PtyMaster& pty, const QList<QByteArray>& pieces, int gapMs) {
    for (int i = 0; i < pieces.size(); ++i) {
        const QByteArray piece = pieces[i];
        QTimer::singleShot(i * gapMs, [&pty, piece] { pty.send(piece); });
    }
}

// Waits, without the event loop that would fetch them, until the port counts `count` bytes; a
// pseudo-terminal hands them over when the kernel gets to it.
bool countsWithoutEvents(const CommControl& port, int count) {
    const QDeadlineTimer deadline(5000);
    while (port.InBufferCount() < count && !deadline.hasExpired())
        QThread::msleep(1);
    return port.InBufferCount() == count;
}

} // namespace

class TstExchange : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void settingsParsing_data();
    void settingsParsing();
    void settingsOnPseudoTerminal_data();
    void settingsOnPseudoTerminal();
    void pseudoTerminalMajors_data();
    void pseudoTerminalMajors();
    void portNumber();
    void outputSendsEveryByte();
    void inputAndBufferCount();
    void waitForInputWakesOnArrival();

    void replyInPiecesIsJoined_data();
    void replyInPiecesIsJoined();
    void textAfterTerminatorIsKept();
    void timeOut();
    void cancel();
    void dropFirst_data();
    void dropFirst();
    void writeOnClosedPort();
    void exitConfirmedEndsWait();
    void portClosedDuringWait();
    void waitAloneAfterSeveralWrites();

private:
    QTemporaryDir m_dir;
    PtyMaster m_pty;
    Link* m_link = nullptr;
    DialogScript m_script;
};

void TstExchange::initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY(!m_pty.slave().isEmpty());
    SettingsStore::useFile(m_dir.filePath(QStringLiteral("settings.ini")));
    SettingsStore::setPortDevice(1, m_pty.slave());
}

void TstExchange::init() {
    resetShared();
    m_script = DialogScript{};
    Dialogs::setScript(&m_script);
    m_link = new Link;
    QVERIFY(m_link->MSComm1.setCommPort(1));
    QVERIFY(m_link->MSComm1.setPortOpen(true));
    QVERIFY(!m_link->MSComm1.hasError());
    m_pty.drain();
}

void TstExchange::cleanup() {
    delete m_link;
    m_link = nullptr;
    Dialogs::setScript(nullptr);
    m_pty.drain();
}

void TstExchange::settingsParsing_data() {
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("upper-case parity") << "9600,N,8,1" << true << "9600,n,8,1";
    QTest::newRow("even seven bits") << "9600,e,7,1" << true << "9600,e,7,1";
    QTest::newRow("mark, two stop bits") << "300,M,8,2" << true << "300,m,8,2";
    QTest::newRow("space, one and a half") << "1200,s,5,1.5" << true << "1200,s,5,1.5";
    QTest::newRow("odd, leading zero speed") << "02400,O,6,1" << true << "2400,o,6,1";
    QTest::newRow("unusual speed") << "19200,n,8,1" << true << "19200,n,8,1";
    QTest::newRow("one baud") << "1,n,8,1" << true << "1,n,8,1";
    QTest::newRow("not settings") << "abc" << false << "2400,e,7,1";
    QTest::newRow("three parts") << "9600,n,8" << false << "2400,e,7,1";
    QTest::newRow("five parts") << "9600,n,8,1,1" << false << "2400,e,7,1";
    QTest::newRow("empty") << "" << false << "2400,e,7,1";
    QTest::newRow("zero speed") << "0,n,8,1" << false << "2400,e,7,1";
    QTest::newRow("signed speed") << "+9600,n,8,1" << false << "2400,e,7,1";
    QTest::newRow("blank in speed") << " 9600,n,8,1" << false << "2400,e,7,1";
    QTest::newRow("unknown parity") << "9600,x,8,1" << false << "2400,e,7,1";
    QTest::newRow("nine data bits") << "9600,n,9,1" << false << "2400,e,7,1";
    QTest::newRow("four data bits") << "9600,n,4,1" << false << "2400,e,7,1";
    QTest::newRow("three stop bits") << "9600,n,8,3" << false << "2400,e,7,1";
}

void TstExchange::settingsParsing() {
    QFETCH(QString, settings);
    QFETCH(bool, accepted);
    QFETCH(QString, readBack);

    CommControl port; // closed: only the parsing decides
    QVERIFY(port.setSettings(QStringLiteral("2400,e,7,1")));
    QCOMPARE(port.setSettings(settings), accepted);
    QCOMPARE(port.Settings(), readBack);
    QCOMPARE(port.hasError(), !accepted);
    QCOMPARE(port.errorDescription().isEmpty(), accepted);
}

void TstExchange::settingsOnPseudoTerminal_data() {
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("readBack");

    // A pseudo-terminal always carries 8 bits without parity; asking for else is no failure.
    QTest::newRow("1200,e,7,1") << "1200,e,7,1"
                                << "1200,e,7,1";
    QTest::newRow("300,E,7,1") << "300,E,7,1"
                               << "300,e,7,1";
    QTest::newRow("2400,o,8,2") << "2400,o,8,2"
                                << "2400,o,8,2";
    QTest::newRow("19200,n,8,1") << "19200,n,8,1"
                                 << "19200,n,8,1";
}

void TstExchange::settingsOnPseudoTerminal() {
    QFETCH(QString, settings);
    QFETCH(QString, readBack);
    CommControl& port = m_link->MSComm1;
    QVERIFY(port.setSettings(settings));
    QVERIFY2(!port.hasError(), qPrintable(port.errorDescription()));
    QCOMPARE(port.Settings(), readBack);
    QVERIFY(port.PortOpen());

    QVERIFY(!port.setSettings(QStringLiteral("9600,n,8")));
    QCOMPARE(port.Settings(), readBack);
    QVERIFY(port.hasError());

    // The line still works at the new settings.
    port.clearError();
    QVERIFY(port.Output("ATI\r\r"));
    QCOMPARE(m_pty.receive(5), QByteArray("ATI\r\r"));
}

// Only pseudo-terminals are let off a refused parity or word length; serial ports and adapters
// report it.
void TstExchange::pseudoTerminalMajors_data() {
    QTest::addColumn<unsigned int>("major");
    QTest::addColumn<bool>("pty");
    QTest::newRow("first pty slave block") << 136u << true;
    QTest::newRow("last pty slave block") << 143u << true;
    QTest::newRow("pty master") << 128u << false;
    QTest::newRow("below the slaves") << 135u << false;
    QTest::newRow("above the slaves") << 144u << false;
    QTest::newRow("built-in port ttyS") << 4u << false;
    QTest::newRow("USB adapter ttyUSB") << 188u << false;
}

void TstExchange::pseudoTerminalMajors() {
    QFETCH(unsigned int, major);
    QFETCH(bool, pty);
    QCOMPARE(isPtySlaveMajor(major), pty);
}

void TstExchange::portNumber() {
    CommControl& port = m_link->MSComm1;
    QCOMPARE(port.CommPort(), 1);
    QVERIFY(!port.setCommPort(2)); // open
    QVERIFY(port.hasError());
    QCOMPARE(port.CommPort(), 1);
    port.clearError();

    QVERIFY(port.setPortOpen(false));
    QVERIFY(!port.setCommPort(0));
    QVERIFY(!port.setCommPort(17));
    QCOMPARE(port.CommPort(), 1);
    port.clearError();
    QVERIFY(port.setCommPort(16));
    QCOMPARE(port.CommPort(), 16);

    // COM3 names a device that does not exist: opening fails with a pending error.
    SettingsStore::setPortDevice(3, m_dir.filePath(QStringLiteral("no-such-device")));
    QVERIFY(port.setCommPort(3));
    QVERIFY(!port.setPortOpen(true));
    QVERIFY(!port.PortOpen());
    QVERIFY(port.hasError());
    QVERIFY(!port.errorDescription().isEmpty());

    // COM4 has no device in the store: no guessed device is opened in its place.
    port.clearError();
    QVERIFY(port.setCommPort(4));
    QVERIFY(!port.setPortOpen(true));
    QVERIFY(!port.PortOpen());
    QCOMPARE(port.errorDescription(), QString("No serial device is assigned to COM 4"));
}

void TstExchange::outputSendsEveryByte() {
    QByteArray all;
    for (int c = 0; c < 256; ++c)
        all += char(c);
    QVERIFY(m_link->MSComm1.Output(all));
    QVERIFY(!m_link->MSComm1.hasError());
    QCOMPARE(m_pty.receive(all.size()), all);
}

void TstExchange::inputAndBufferCount() {
    CommControl& port = m_link->MSComm1;
    QCOMPARE(port.InBufferCount(), 0);
    QCOMPARE(port.Input(), QByteArray());
    m_pty.send("ID=\x1e\r\n");
    QTRY_COMPARE(port.InBufferCount(), 6);
    QCOMPARE(port.Input(), QByteArray("ID=\x1e\r\n"));
    QCOMPARE(port.Input(), QByteArray());
    QCOMPARE(port.InBufferCount(), 0);

    m_pty.send("junk");
    QTRY_COMPARE(port.InBufferCount(), 4);
    port.clearInBuffer();
    QCOMPARE(port.InBufferCount(), 0);
    QCOMPARE(port.Input(), QByteArray());

    // What the driver holds before the window has fetched it counts and is read as well.
    m_pty.send("abc");
    QVERIFY(countsWithoutEvents(port, 3));
    QCOMPARE(port.InBufferCount(), 3);
    QCOMPARE(port.Input(), QByteArray("abc"));
    m_pty.send("x");
    QVERIFY(countsWithoutEvents(port, 1));
    QCOMPARE(port.Input(), QByteArray("x"));
}

void TstExchange::waitForInputWakesOnArrival() {
    CommControl& port = m_link->MSComm1;
    port.waitForInput(100);
    QCOMPARE(port.InBufferCount(), 0);
    QVERIFY(!port.hasError());
    m_pty.send("x");
    port.waitForInput(5000);
    QCOMPARE(port.InBufferCount(), 1);
    port.waitForInput(5000); // still waiting, not yet read
    QCOMPARE(port.Input(), QByteArray("x"));
}

void TstExchange::replyInPiecesIsJoined_data() {
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<QList<QByteArray>>("terminators");
    QTest::addColumn<QByteArray>("reply");

    using L = QList<QByteArray>;
    QTest::newRow("CR LF split between reads") << L{"01", "0\r", "\n"} << L{"\r\n"} << QByteArray("010\r\n");
    QTest::newRow("TAP prompt in three pieces")
        << L{"Quillmar Paging Encoder v7.1\r\nI", "D", "="} << L{"ID="}
        << QByteArray("Quillmar Paging Encoder v7.1\r\nID=");
    QTest::newRow("second terminator") << L{"\x1e"} << L{"\r\n", "\x1e"} << QByteArray("\x1e");
    QTest::newRow("RS CR after a lone CR")
        << L{"x\r", "\x1e", "\r"} << L{"\x1e\r"} << QByteArray("x\r\x1e\r");
}

void TstExchange::replyInPiecesIsJoined() {
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(QList<QByteArray>, terminators);
    QFETCH(QByteArray, reply);

    sendLater(m_pty, pieces, 60);
    const ExchangeResult r = EncoderExchange(*m_link, "config maxbatch?\r\n", terminators, true);
    QCOMPARE(r.reply, reply);
    QCOMPARE(r.end, ExchangeResult::Answered);
    QCOMPARE(m_pty.receive(18), QByteArray("config maxbatch?\r\n"));
    QVERIFY(!m_link->Timer2.isActive());
    QVERIFY(!shared().ReplyTimedOut);
    QVERIFY(!m_link->exchangeRunning);
    QVERIFY(m_script.boxes.isEmpty());
}

void TstExchange::textAfterTerminatorIsKept() {
    sendLater(m_pty, {"10\r\n\x1e more"}, 0);
    const ExchangeResult r = EncoderExchange(*m_link, "config maxbatch?\r\n", {"\r\n"}, false);
    QCOMPARE(r.reply, QByteArray("10\r\n\x1e more"));
    QCOMPARE(r.end, ExchangeResult::Answered);
}

void TstExchange::timeOut() {
    m_link->Timer2.setInterval(200);
    // At the port before the wait, however slow the machine: the time-out returns it.
    m_pty.send("no terminator");
    QTRY_COMPARE(m_link->MSComm1.InBufferCount(), 13);
    const ExchangeResult r = EncoderExchange(*m_link, "CONFIG IDASCAP?\r", {"\n"}, false);
    QCOMPARE(r.end, ExchangeResult::TimedOut);
    QCOMPARE(r.reply, QByteArray("no terminator"));
    QVERIFY(shared().ReplyTimedOut); // left for the caller to clear
    QVERIFY(!shared().CancelRequested);
    QVERIFY(!m_link->Timer2.isActive());
    QCOMPARE(m_link->Timer2.interval(), 200);
    QCOMPARE(m_pty.receive(16), QByteArray("CONFIG IDASCAP?\r"));
}

void TstExchange::cancel() {
    m_link->Timer2.setInterval(60000);
    QTimer::singleShot(100, [] { shared().CancelRequested = true; });
    const ExchangeResult r = EncoderExchange(*m_link, "ATI\r\r", {"ID="}, false);
    QCOMPARE(r.end, ExchangeResult::Cancelled);
    QVERIFY(shared().CancelRequested); // left for the caller to clear
    QVERIFY(!shared().ReplyTimedOut);
    QVERIFY(!m_link->Timer2.isActive());
    QCOMPARE(m_link->Timer2.interval(), 60000);
}

void TstExchange::dropFirst_data() {
    QTest::addColumn<bool>("dropFirst");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("dropped") << true << QByteArray("5\r\n");
    QTest::newRow("kept") << false << QByteArray("stale\r5\r\n");
}

void TstExchange::dropFirst() {
    QFETCH(bool, dropFirst);
    QFETCH(QByteArray, reply);

    m_pty.send("stale\r");
    QTRY_COMPARE(m_link->MSComm1.InBufferCount(), 6);
    sendLater(m_pty, {"5\r\n"}, 0);
    const ExchangeResult r = EncoderExchange(*m_link, "config dutycycle?\r\n", {"\r\n"}, dropFirst);
    QCOMPARE(r.reply, reply);
    QCOMPARE(r.end, ExchangeResult::Answered);
}

void TstExchange::writeOnClosedPort() {
    m_link->MSComm1.setPortOpen(false);
    m_link->Timer2.setInterval(200);
    const ExchangeResult r = EncoderExchange(*m_link, "config pet?\r\n", {"\r\n", "\x1e"}, true);
    QCOMPARE(r.end, ExchangeResult::TimedOut);
    QVERIFY(shared().ReplyTimedOut);
    QCOMPARE(m_script.boxes.size(), 1);
    const BoxRecord box = m_script.boxes.first();
    QCOMPARE(box.title, QStringLiteral("Quillmar Paging Encoder Setup"));
    QCOMPARE(box.text, QStringLiteral("Operation valid only when the port is open"));
    QCOMPARE(box.icon, Icon::Exclamation);
    QCOMPARE(box.buttons, Buttons::Ok);
    QVERIFY(!m_link->MSComm1.hasError()); // reported once, then forgotten

    // The next exchange reports its own failure, not a left-over one.
    shared().ReplyTimedOut = false;
    EncoderExchange(*m_link, "config pet?\r\n", {"\r\n"}, true);
    QCOMPARE(m_script.boxes.size(), 2);

    // A closed port holds nothing and closes again without complaint; a later failure replaces
    // a pending one.
    CommControl& port = m_link->MSComm1;
    QCOMPARE(port.InBufferCount(), 0);
    QCOMPARE(port.Input(), QByteArray());
    port.waitForInput(10);
    QVERIFY(port.setPortOpen(false));
    QVERIFY(!port.hasError());
    QVERIFY(!port.setCommPort(0));
    QVERIFY(!port.setSettings(QStringLiteral("fast")));
    QCOMPARE(port.errorDescription(), QStringLiteral("Invalid port settings: fast"));
}

void TstExchange::exitConfirmedEndsWait() {
    m_link->Timer2.setInterval(60000);
    QTimer::singleShot(100, [] { shared().ExitConfirmed = true; });
    ExchangeResult r = EncoderExchange(*m_link, "ATI\r\r", {"ID="}, false);
    QCOMPARE(r.end, ExchangeResult::Aborted);
    QVERIFY(!shared().ReplyTimedOut);
    QVERIFY(!shared().CancelRequested);
    QVERIFY(!m_link->Timer2.isActive());

    // Already set: one pass, then out.
    r = EncoderExchange(*m_link, "ATI\r\r", {"ID="}, false);
    QCOMPARE(r.end, ExchangeResult::Aborted);
}

void TstExchange::portClosedDuringWait() {
    m_link->Timer2.setInterval(60000);
    QTimer::singleShot(100, m_link, [this] { m_link->MSComm1.setPortOpen(false); });
    const ExchangeResult r = EncoderExchange(*m_link, "ATI\r\r", {"ID="}, false);
    QCOMPARE(r.end, ExchangeResult::Aborted);
    QVERIFY(!shared().ReplyTimedOut);
    QVERIFY(!m_link->Timer2.isActive());
    QVERIFY(m_script.boxes.isEmpty());
}

void TstExchange::waitAloneAfterSeveralWrites() {
    CommControl& port = m_link->MSComm1;
    port.clearInBuffer();
    QVERIFY(port.Output("\x1bPG"));
    QVERIFY(port.Output("1\r"));
    sendLater(m_pty, {"110 1.8\r", "\x1b[p\r"}, 30);
    const ExchangeResult r = waitForReply(*m_link, {"\x1b[p"});
    QCOMPARE(r.end, ExchangeResult::Answered);
    QCOMPARE(r.reply, QByteArray("110 1.8\r\x1b[p\r"));
    QCOMPARE(m_pty.receive(5), QByteArray("\x1bPG1\r"));
}

QTEST_MAIN(TstExchange)
#include "tst_exchange.moc"
