#pragma once
// One request and its reply: write a command, then poll the port while the user interface
// stays alive, until the reply holds one of the expected terminators, the reply timer fires,
// the user cancels, the user leaves the program or the port is closed under the wait.

#include <QByteArray>
#include <QList>

namespace qpes {

class Link;

struct ExchangeResult {
    QByteArray reply; // everything received during the wait, the terminator and what follows it
    enum End { Answered, TimedOut, Cancelled, Aborted } end = TimedOut;
};

// Drops unread input first when asked, writes `command` and waits. A failed write is reported
// in the failure box once and forgotten; the wait still runs. The flags ReplyTimedOut and
// CancelRequested are left for the caller to clear.
ExchangeResult EncoderExchange(Link& link, const QByteArray& command, const QList<QByteArray>& terminators,
                               bool dropFirst);

// The wait alone, for a caller that has written its command itself. At least one pass runs;
// each pass lets window events run and waits up to 50 ms, waking as soon as bytes arrive.
// `end` is Answered when a terminator came, else Aborted (ExitConfirmed, or the port closed
// during the wait), TimedOut or Cancelled.
ExchangeResult waitForReply(Link& link, const QList<QByteArray>& terminators);
// The same wait under a reply timer that is already running: it neither restarts nor stops
// it, so several waits share one time-out (the steps of a login).
ExchangeResult waitForReplyWithin(Link& link, const QList<QByteArray>& terminators);

} // namespace qpes
