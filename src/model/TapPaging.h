#pragma once
// The test pages' text rules: the length limits, the escapes typed into a message, the names
// the log gives control characters, and the console log's line format. Pure bytes.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <optional>

namespace qpes {

constexpr char ACK = '\x06';
constexpr char EOT = '\x04';
constexpr char NAK = '\x15';
constexpr char XOFF = '\x13';
constexpr char SUB = '\x1a';

// The console's Send and the range test share the rules but for their numbers and one escape.
enum class PageKind { Send, RangeTest };

struct LengthRule {
    int limit = 0;              // the message box's new typing limit
    bool cut = false;           // a longer message is announced and cut to `limit`
    bool setsMaxLength = false; // false: an ID longer than the box allows leaves the limit alone
};
// The rule for an ID of `idLength` characters.
LengthRule MessageLengthLimit(int idLength, PageKind kind);
// The "Message Truncated" box's text for `limit`.
QByteArray truncationText(int limit, PageKind kind);

// Three escape characters read as a number: blanks around, a sign, a fraction (rounded to the
// nearest whole number, a half to the even one), an exponent, or &H / &O for hexadecimal and
// octal. nullopt when the text is not a number.
std::optional<int> escapeNumber(QByteArrayView text);

struct ExpandedMessage {
    QByteArray text;
    bool expanded = false; // some escape was replaced
};
// "<CR>"/"<cr>", "<LF>"/"<lf>" and "<ASCnnn>"/"<ascnnn>"; characters an escape inserts never
// start another one. The range test expands "<ASC" only to the SUB pairs of codes 0 to 31.
ExpandedMessage ExpandMessageEscapes(const QByteArray& message, PageKind kind);

// CR, ACK, ESC, RS, EOT, NAK, (XOFF,) LF spelled out as "<CR>" and so on, for the log.
QByteArray NameControlCharacters(const QByteArray& text, bool withXoff);

// The lines logged after a range-test login: the answer cut where the encoder's login answer
// has its line ends, as many as there are (a short or odd answer gives fewer, never a failure).
QList<QByteArray> loginAnswerLines(const QByteArray& reply);

// The range test's countdown from `nowMs` to `dueMs` (one clock, milliseconds): the number of
// whole-second boundaries between the two, so it reads 0 within the second the page falls due.
qint64 countdownSeconds(qint64 nowMs, qint64 dueMs);
// When the range test's next page falls due: a whole cycle after `nowMs`.
qint64 rangeTestDue(qint64 nowMs, int cycleSeconds);

// The date and time a log line starts with: "8/16/2007 3:04:05 PM", the date alone at midnight.
QByteArray logTimestamp(const QDateTime& when);
// The timestamp, ": " and the text.
QByteArray logLine(const QDateTime& when, const QByteArray& text);

} // namespace qpes
