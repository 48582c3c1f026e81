#pragma once
// The encoder's side of the serial dialogue as a state machine over bytes: bytes in, replies
// out. No I/O here; EncoderSim runs it on a pseudo-terminal, and tests feed it bytes directly.

#include "model/PagerDatabase.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <array>
#include <map>
#include <optional>
#include <utility>

namespace sim {

// How the encoder answers the "ATI" probe (and every other line): TAP answers with its
// banner and the "ID=" prompt; the other modes with the texts that give them away.
enum class Mode { Tap, Quillmar, Comp1, Comp2, Pet, Silent };
// "tap", "quillmar", "comp1", "comp2", "pet", "silent".
std::optional<Mode> modeFromName(QByteArrayView name);

// The reserved pager IDs of the encoder's own database: requests go to the first, records to
// be stored to the second.
inline constexpr char DatabaseReadId[] = "019d46";
inline constexpr char DatabaseWriteId[] = "031e64";

// The three TAP checksum characters of a block's bytes from STX through ETX.
QByteArray tapChecksum(QByteArrayView stxToEtx);
// STX id CR message CR ETX checksum CR.
QByteArray tapBlock(const QByteArray& id, const QByteArray& message);

// Cuts a received stream into commands as the encoder frames them: a line with its CR (and
// the LF right after it), a TAP block whole, and last any unfinished command.
QList<QByteArray> splitCommands(const QByteArray& stream);

// One command the encoder took in and what it answered.
struct Exchange {
    QByteArray command; // as framed: a line with its CR, or a whole block
    QByteArray reply;   // empty: no answer
};

struct EncoderOptions {
    Mode mode = Mode::Tap;
    // First line of the answer to "ATI" in the TAP and Quillmar modes; the program looks for
    // "Quillmar Paging Encoder v7" at its start.
    QByteArray banner = "Quillmar Paging Encoder v7.1.9";
    // False: "config pet?" gets a lone RS (option unknown) and "config pet n" is not stored.
    bool petSupported = true;
    // An older encoder answers a family request with three words only.
    bool olderEncoder = false;
    // Pages outside a TAP login go unanswered.
    bool requireLogin = true;
    // After this many replies the encoder answers and does nothing more; -1 = never.
    int silenceAfterReplies = -1;
    // Sent in front of every reply.
    QByteArray junkBeforeReply;
    // In place of its normal reply and action, a command gets the reply paired with the first
    // key that equals the command's text or is followed there by a blank. The text is a
    // line without its CR, or a block's message ("G 12" matches a request for family 12 and
    // the record "G 12 1 ..."). An empty reply means no answer.
    QList<std::pair<QByteArray, QByteArray>> replyOverrides;
};

class EncoderProtocol {
public:
    EncoderProtocol();

    EncoderOptions options;

    // Feeds bytes as received; returns one exchange per command that they complete.
    QList<Exchange> receive(QByteArrayView bytes);
    // Forgets a half-received command (bytes sent at a speed the encoder does not listen at).
    void resetInput();

    // Records in the form the encoder reads and writes them ("L 1 ...", "G 1 ...",
    // "M 1 \"...\""), kept exactly as stored; numbers count from 1.
    QByteArray groupRecord(int n) const;
    QByteArray familyRecord(int n) const;
    QByteArray messageRecord(int n) const;
    // Stores a record by its letter and number; false when it names no record.
    bool setRecord(const QByteArray& record);

    // The options by their command names: "maxbatch", "dutycycle", "pphreset", "ignorerfcd",
    // "pet", "invertrfcd", "invertdata", "briefack", "altfc", "idascap".
    QByteArray setting(const QByteArray& name) const;
    void setSetting(const QByteArray& name, const QByteArray& value);

    // A TAP login ("ESC PG1" CR) is standing.
    bool loggedIn() const { return m_loggedIn; }
    void dropSession() { m_loggedIn = false; }
    int repliesSent() const { return m_replies; }

    // Every record in full form; an empty field takes the empty value of a new database.
    // Settings from the database, "pet" from PETEnabled.
    void loadDatabase(const qpes::PagerDatabase& db);
    // A *.PG7 file's content, read over the start values (the file carries no PET setting, so
    // "pet" is kept).
    void loadDatabaseFile(const QByteArray& content);
    // The records as tables: fields as the records carry them (missing ones empty), Defined
    // "YES" for a full group record and for a full family record that is neither the filler
    // record nor an empty family (Active "0", PagerQty "000"); PETSupported from the options.
    qpes::PagerDatabase exportDatabase() const;

private:
    QByteArray answer(const QByteArray& frame);
    QByteArray answerLine(const QByteArray& line);
    QByteArray answerConfig(const QByteArray& line);
    QByteArray answerBlock(const QByteArray& block);
    QByteArray readRecord(const QByteArray& request);
    QByteArray lookup(const QByteArray& id) const;
    QByteArray& slot(char letter, int n);

    // Splits the input into commands.
    class Framer {
    public:
        enum class Kind { Line, Block, LineFeed, Fragment };
        struct Frame {
            Kind kind;
            QByteArray bytes;
        };
        std::optional<Frame> feed(char c);
        const QByteArray& pending() const { return m_buf; }
        void reset() { *this = Framer(); }

    private:
        QByteArray m_buf;
        bool m_inBlock = false;
        int m_afterEtx = -1; // bytes since ETX; -1 before it
        bool m_lastWasCr = false;
    };
    friend QList<QByteArray> splitCommands(const QByteArray& stream);

    Framer m_framer;
    std::array<QByteArray, qpes::GroupCount> m_groups;
    std::array<QByteArray, qpes::FamilyCount> m_families;
    std::array<QByteArray, qpes::MessageCount> m_messages;
    std::map<QByteArray, QByteArray> m_settings;
    bool m_loggedIn = false;
    int m_replies = 0;
};

} // namespace sim
