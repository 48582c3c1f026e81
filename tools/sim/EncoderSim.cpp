#include "sim/EncoderSim.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace sim {

namespace {

using Clock = std::chrono::steady_clock;

int baudOf(speed_t speed) {
    static const std::pair<speed_t, int> speeds[] = {
        {B50, 50},       {B75, 75},         {B110, 110},       {B134, 134},     {B150, 150},
        {B200, 200},     {B300, 300},       {B600, 600},       {B1200, 1200},   {B1800, 1800},
        {B2400, 2400},   {B4800, 4800},     {B9600, 9600},     {B19200, 19200}, {B38400, 38400},
        {B57600, 57600}, {B115200, 115200}, {B230400, 230400},
    };
    for (const auto& [code, baud] : speeds) {
        if (code == speed)
            return baud;
    }
    return 0;
}

// Time on the wire for `bytes` bytes of 10 bits each.
std::chrono::nanoseconds wireTime(qsizetype bytes, int baud) {
    return std::chrono::nanoseconds(qint64(bytes) * 10 * 1'000'000'000 / baud);
}

} // namespace

EncoderSim::EncoderSim() {
    if (!openPty())
        return;
    m_thread = std::thread([this] { run(); });
}

EncoderSim::~EncoderSim() {
    hangUp();
    for (int fd : {m_stop[0], m_stop[1]}) {
        if (fd >= 0)
            ::close(fd);
    }
}

void EncoderSim::hangUp() {
    if (m_thread.joinable()) {
        const char stop = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_stop[1], &stop, 1);
        m_thread.join();
    }
    // Closing the master side hangs up every open end of the slave, the program's included.
    for (int* fd : {&m_master, &m_slave}) {
        if (*fd >= 0)
            ::close(std::exchange(*fd, -1));
    }
}

bool EncoderSim::openPty() {
    const auto fail = [this](const char* step) {
        m_error =
            QString::fromLatin1(step) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    };
    if (::pipe2(m_stop, O_CLOEXEC | O_NONBLOCK) != 0)
        return fail("pipe2");
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        return fail("posix_openpt");
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return fail("grantpt/unlockpt");
    std::array<char, 128> name{};
    if (::ptsname_r(m_master, name.data(), name.size()) != 0)
        return fail("ptsname");
    m_slavePath = QString::fromLocal8Bit(name.data());
    m_slave = ::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0)
        return fail("open slave");
    // Raw both ways, at 9600 like a port just opened; the program sets its own settings on top.
    // The master's line settings are the slave's on Linux, so setting them once here is enough.
    termios t{};
    if (::tcgetattr(m_slave, &t) != 0)
        return fail("tcgetattr");
    ::cfmakeraw(&t);
    ::cfsetspeed(&t, B9600);
    if (::tcsetattr(m_slave, TCSANOW, &t) != 0)
        return fail("tcsetattr");
    if (::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK) != 0)
        return fail("fcntl");
    return true;
}

void EncoderSim::run() {
    std::array<char, 1024> buffer{};
    while (true) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
        if (::poll(fds, 2, 100) < 0 && errno != EINTR)
            return;
        if (fds[1].revents != 0)
            return;
        if ((fds[0].revents & POLLIN) == 0) {
            if (fds[0].revents != 0 && !sleepFor(std::chrono::milliseconds(10)))
                return;
            continue;
        }
        const ssize_t n = ::read(m_master, buffer.data(), buffer.size());
        if (n <= 0) {
            if (!sleepFor(std::chrono::milliseconds(10)))
                return;
            continue;
        }
        const QByteArray bytes(buffer.data(), n);

        LineOptions line;
        {
            std::lock_guard lock(m_mutex);
            line = m_line;
        }
        if (line.paceBaud > 0) {
            m_wireFreeAt = std::max(Clock::now(), m_wireFreeAt) + wireTime(n, line.paceBaud);
            if (!sleepUntil(m_wireFreeAt))
                return;
        }
        QList<Exchange> exchanges;
        std::function<void(const Exchange&)> log;
        std::function<void()> receiveHook;
        {
            std::lock_guard lock(m_mutex);
            m_received += bytes;
            if (line.onlyAtBaud > 0 && lineBaud() != line.onlyAtBaud)
                m_protocol.resetInput(); // noise at the wrong speed
            else
                exchanges = m_protocol.receive(bytes);
            log = m_log;
            receiveHook = m_receiveHook;
        }
        m_receivedChanged.notify_all();
        if (receiveHook)
            receiveHook();
        for (const Exchange& e : exchanges) {
            if (log)
                log(e);
            if (!e.reply.isEmpty() && !sendReply(e.reply, line))
                return;
        }
    }
}

bool EncoderSim::sendReply(const QByteArray& reply, const LineOptions& line) {
    if (line.replyDelayMs > 0 && !sleepFor(std::chrono::milliseconds(line.replyDelayMs)))
        return false;
    if (!line.splitReplies && line.paceBaud <= 0)
        return writeAll(reply.constData(), reply.size());
    Clock::time_point due = Clock::now();
    for (qsizetype i = 0; i < reply.size(); ++i) {
        if (line.paceBaud > 0) {
            // Keep to the wire's own schedule: late wake-ups must not add up over a reply.
            due += wireTime(1, line.paceBaud);
            if (!sleepUntil(due))
                return false;
        }
        if (!writeAll(reply.constData() + i, 1))
            return false;
        if (line.splitReplies && i + 1 < reply.size()) {
            if (!sleepFor(std::chrono::milliseconds(line.splitGapMs)))
                return false;
            due = std::max(due, Clock::now());
        }
    }
    return true;
}

bool EncoderSim::writeAll(const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::write(m_master, data, size);
        if (n > 0) {
            data += n;
            size -= n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return true; // the line is gone; the reply is lost, as on a wire
        // The program's input queue is full: wait until it reads, or until stopped.
        pollfd fds[2] = {{m_master, POLLOUT, 0}, {m_stop[0], POLLIN, 0}};
        ::poll(fds, 2, 100);
        if (fds[1].revents != 0)
            return false;
    }
    return true;
}

bool EncoderSim::sleepUntil(Clock::time_point t) {
    while (true) {
        const auto left = t - Clock::now();
        if (left <= Clock::duration::zero())
            return true;
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec timeout{time_t(ns / 1'000'000'000), long(ns % 1'000'000'000)};
        pollfd stop{m_stop[0], POLLIN, 0};
        if (::ppoll(&stop, 1, &timeout, nullptr) > 0)
            return false;
    }
}

EncoderOptions EncoderSim::options() const {
    std::lock_guard lock(m_mutex);
    return m_protocol.options;
}

void EncoderSim::setReplyOverride(const QByteArray& key, const QByteArray& reply) {
    EncoderOptions changed = options();
    changed.replyOverrides = {{key, reply}};
    setOptions(changed);
}

void EncoderSim::setOptions(const EncoderOptions& options) {
    std::lock_guard lock(m_mutex);
    m_protocol.options = options;
}

void EncoderSim::setMode(Mode mode) {
    std::lock_guard lock(m_mutex);
    m_protocol.options.mode = mode;
}

void EncoderSim::loadDatabase(const qpes::PagerDatabase& db) {
    std::lock_guard lock(m_mutex);
    m_protocol.loadDatabase(db);
}

void EncoderSim::loadDatabaseFile(const QByteArray& content) {
    std::lock_guard lock(m_mutex);
    m_protocol.loadDatabaseFile(content);
}

qpes::PagerDatabase EncoderSim::exportDatabase() const {
    std::lock_guard lock(m_mutex);
    return m_protocol.exportDatabase();
}

QByteArray EncoderSim::groupRecord(int n) const {
    std::lock_guard lock(m_mutex);
    return m_protocol.groupRecord(n);
}

QByteArray EncoderSim::familyRecord(int n) const {
    std::lock_guard lock(m_mutex);
    return m_protocol.familyRecord(n);
}

QByteArray EncoderSim::messageRecord(int n) const {
    std::lock_guard lock(m_mutex);
    return m_protocol.messageRecord(n);
}

bool EncoderSim::setRecord(const QByteArray& record) {
    std::lock_guard lock(m_mutex);
    return m_protocol.setRecord(record);
}

QByteArray EncoderSim::setting(const QByteArray& name) const {
    std::lock_guard lock(m_mutex);
    return m_protocol.setting(name);
}

void EncoderSim::setSetting(const QByteArray& name, const QByteArray& value) {
    std::lock_guard lock(m_mutex);
    m_protocol.setSetting(name, value);
}

bool EncoderSim::loggedIn() const {
    std::lock_guard lock(m_mutex);
    return m_protocol.loggedIn();
}

void EncoderSim::dropSession() {
    std::lock_guard lock(m_mutex);
    m_protocol.dropSession();
}

int EncoderSim::lineBaud() const {
    termios t{};
    if (m_slave < 0 || ::tcgetattr(m_slave, &t) != 0)
        return 0;
    return baudOf(::cfgetospeed(&t));
}

void EncoderSim::setAnswerOnlyAtBaud(int baud) {
    std::lock_guard lock(m_mutex);
    m_line.onlyAtBaud = baud;
}

void EncoderSim::setPace(int baud) {
    std::lock_guard lock(m_mutex);
    m_line.paceBaud = baud;
}

void EncoderSim::setReplyDelay(int ms) {
    std::lock_guard lock(m_mutex);
    m_line.replyDelayMs = ms;
}

void EncoderSim::setSplitReplies(bool split, int gapMs) {
    std::lock_guard lock(m_mutex);
    m_line.splitReplies = split;
    m_line.splitGapMs = gapMs;
}

void EncoderSim::discardPending() {
    if (m_slave >= 0)
        ::tcflush(m_slave, TCIFLUSH);
}

QByteArray EncoderSim::received() const {
    std::lock_guard lock(m_mutex);
    return m_received;
}

void EncoderSim::clearReceived() {
    std::lock_guard lock(m_mutex);
    m_received.clear();
}

bool EncoderSim::waitForReceived(const QByteArray& text, int timeoutMs) const {
    std::unique_lock lock(m_mutex);
    return m_receivedChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                      [&] { return m_received.contains(text); });
}

void EncoderSim::setCommandLog(std::function<void(const Exchange&)> log) {
    std::lock_guard lock(m_mutex);
    m_log = std::move(log);
}

void EncoderSim::setReceiveHook(std::function<void()> hook) {
    std::lock_guard lock(m_mutex);
    m_receiveHook = std::move(hook);
}

} // namespace sim
