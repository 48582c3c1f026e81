#pragma once
// The encoder simulator: plays the encoder's side of the serial line on a pseudo-terminal, on a
// thread of its own, so the program's waits on the window thread see real replies. The protocol
// itself is EncoderProtocol; this class is the pty, the thread, the pacing and the faults of the
// line. Every member may be called from any thread.

#include "sim/EncoderProtocol.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace sim {

class EncoderSim {
public:
    // Opens the pty pair and starts answering at once.
    EncoderSim();
    ~EncoderSim();
    EncoderSim(const EncoderSim&) = delete;
    EncoderSim& operator=(const EncoderSim&) = delete;

    bool isRunning() const { return m_thread.joinable(); }
    QString errorString() const { return m_error; }
    // The device the program opens (tests: SettingsStore::setPortDevice(1, slavePath())).
    QString slavePath() const { return m_slavePath; }

    // The encoder.
    EncoderOptions options() const;
    void setOptions(const EncoderOptions& options);
    // Answers the command `key` with `reply` alone (empty: silence) instead of carrying it out.
    void setReplyOverride(const QByteArray& key, const QByteArray& reply);
    void setMode(Mode mode);
    // Anything else of the protocol, under the simulator's lock: sim.withProtocol([](auto& p) {...}).
    template <class F> auto withProtocol(F&& f) {
        std::lock_guard lock(m_mutex);
        return f(m_protocol);
    }

    // Its database (see EncoderProtocol).
    void loadDatabase(const qpes::PagerDatabase& db);
    void loadDatabaseFile(const QByteArray& content);
    qpes::PagerDatabase exportDatabase() const;
    QByteArray groupRecord(int n) const;
    QByteArray familyRecord(int n) const;
    QByteArray messageRecord(int n) const;
    bool setRecord(const QByteArray& record);
    QByteArray setting(const QByteArray& name) const;
    void setSetting(const QByteArray& name, const QByteArray& value);
    bool loggedIn() const;
    void dropSession();

    // The line.
    // The speed the program set on its end of the line; 0 when it is not a standard one.
    int lineBaud() const;
    // Listens only while the line runs at this speed; bytes sent at another speed go
    // unanswered. 0 = any speed.
    void setAnswerOnlyAtBaud(int baud);
    // Reads and answers no faster than a wire at this speed (10 bits a byte); 0 = at once.
    void setPace(int baud);
    // Waits this long before each reply.
    void setReplyDelay(int ms);
    // Writes each reply one byte at a time, with this gap between bytes.
    void setSplitReplies(bool split, int gapMs = 2);
    // Drops whatever the program has not read yet, as a closed serial port would have.
    void discardPending();
    // The device goes away (unplugged): the encoder stops and the line hangs up for good.
    // What arrived before stays readable through received().
    void hangUp();

    // What arrived, every byte in order.
    QByteArray received() const;
    QList<QByteArray> receivedCommands() const { return splitCommands(received()); }
    void clearReceived();
    // Waits until the received bytes hold `text`; false after the timeout.
    bool waitForReceived(const QByteArray& text, int timeoutMs = 5000) const;
    // Called on the simulator's thread for every command, before its reply goes out.
    void setCommandLog(std::function<void(const Exchange&)> log);
    // Called on the simulator's thread whenever bytes arrive, once received() holds them; the
    // replies to them wait until it returns.
    void setReceiveHook(std::function<void()> hook);

private:
    struct LineOptions {
        int onlyAtBaud = 0;
        int paceBaud = 0;
        int replyDelayMs = 0;
        bool splitReplies = false;
        int splitGapMs = 2;
    };

    bool openPty();
    void run();
    bool sendReply(const QByteArray& reply, const LineOptions& line);
    bool writeAll(const char* data, qsizetype size);
    bool sleepUntil(std::chrono::steady_clock::time_point t); // false when stopped
    bool sleepFor(std::chrono::nanoseconds d) { return sleepUntil(std::chrono::steady_clock::now() + d); }

    int m_master = -1;
    int m_slave = -1; // held open so the program can close and reopen its end freely
    int m_stop[2] = {-1, -1};
    QString m_slavePath;
    QString m_error;
    std::chrono::steady_clock::time_point m_wireFreeAt; // paced reading: when the last byte arrived

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_receivedChanged;
    EncoderProtocol m_protocol;
    LineOptions m_line;
    QByteArray m_received;
    std::function<void(const Exchange&)> m_log;
    std::function<void()> m_receiveHook;

    std::thread m_thread;
};

} // namespace sim
