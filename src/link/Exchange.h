#pragma once
// One request and its reply: write a command, then poll the port while the user interface
// stays alive, until the reply holds one of the expected terminators, the reply timer fires,
// the user cancels or stops the conversation, the user leaves the program, the port is closed
// under the wait or the device goes away.

#include <QByteArray>
#include <QList>

namespace qpes {

class Link;

struct ExchangeResult {
    QByteArray reply; // everything received during the wait, the terminator and what follows it
    // Aborted: the exit was confirmed, the user stopped the conversation (Link::stopConversation)
    // or the port was closed under the wait; the run ends quietly. DeviceGone: the device went
    // away; its error has been shown and the run takes its failure path.
    enum End { Answered, TimedOut, Cancelled, Aborted, DeviceGone } end = TimedOut;
};

// Whether CancelRequested (the progress box's Cancel) ends a wait. The ID lookup alone ignores
// it, so that a cancel left over from another run does not cut its reply short.
enum class CancelEnds { Yes, No };

// Whether a wait starts the reply timer afresh and stops it at its end, or runs on under a
// timer already started, so that several waits share one time-out (the steps of a login).
enum class ReplyTimer { Fresh, Running };

// Drops unread input first when asked, writes `command` and waits. A failed write is reported
// in the failure box once and forgotten; the wait still runs. The flags ReplyTimedOut and
// CancelRequested are left for the caller to clear.
ExchangeResult EncoderExchange(Link& link, const QByteArray& command, const QList<QByteArray>& terminators,
                               bool dropFirst);

// The wait alone, for a caller that has written its command itself; the one wait of the whole
// program. At least one pass runs; each pass lets window events run and waits up to 50 ms,
// waking as soon as bytes arrive. The reply timer runs for the whole wait, so it also bounds
// the sending of what the port still holds. When the device goes away the wait shows the
// port's pending error once, ends as DeviceGone and has the port closed once the conversation
// has unwound (Link::closePortAfterRun).
ExchangeResult waitForReply(Link& link, const QList<QByteArray>& terminators,
                            CancelEnds cancel = CancelEnds::Yes, ReplyTimer timer = ReplyTimer::Fresh);

// The port's pending error in the failure box, then forgotten; nothing when none is pending.
void reportPendingError(Link& link);

} // namespace qpes
