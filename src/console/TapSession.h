#pragma once
// The console's TAP dialogue with the encoder: the login, a page, its reply, the log lines and
// the error boxes. The Send waits for terminators under the reply time-out; the range test
// reads whatever came after one tick of a one-second timer.

#include <QByteArray>
#include <functional>

class QTimer;

namespace qpes {

class Link;

enum class PageEnd {
    Done,      // the reply was logged
    Failed,    // a login or communication error was reported
    Abandoned, // the program is closing (or the range test ended during a login retry)
};

// The login: Done when it succeeded.
PageEnd LogInToEncoder(Link& link);
// The Send from its login on: `pin` and the typed `message` (already cut to the length rule).
// `loggedIn` runs once a login stands, before the page is written.
PageEnd SendTestPage(Link& link, const QByteArray& pin, const QByteArray& message,
                     const std::function<void()>& loggedIn = {});

// Waits for one tick of the one-shot `timer`: it ends when that timer fires, when the timer is
// stopped by someone else, when the user leaves the program or when `stop` says so.
void TickWait(QTimer& timer, const std::function<bool()>& stop = {});

// One range-test page. `ended` tells that the test has stopped or its console has gone: a
// login retry then gives up. Once `consoleGone` says so, the page's outcome shows no box.
// CancelRequested is clear when it returns.
PageEnd SendRangeTestPage(Link& link, const QByteArray& pin, const QByteArray& message,
                          const std::function<bool()>& ended, const std::function<bool()>& consoleGone);

} // namespace qpes
