#pragma once
// What programming and reading the encoder's database share: the exchange of one step, the
// toolbar around a run, the box for an unconfirmed ID-as-capcode command, and putting the
// encoder's ID-as-capcode mode back after a stopped run.

#include "link/Exchange.h"

#include <QByteArray>
#include <QList>

namespace qpes {

class Link;
class TerminalControls;

// Whether the run began on an open port; only then does the port closing under it stop the run.
enum class PortAtStart { Closed, Open };

// One exchange of a database transfer. Once the exit is confirmed, the user has stopped the
// conversation, or a port that was open at the start of the run has been closed, nothing more
// is sent and the result is Aborted.
ExchangeResult TransferExchange(Link& link, PortAtStart port, const QByteArray& command,
                                const QList<QByteArray>& terminators, bool dropFirst);

// Every button of Toolbar1 on or off.
void SetToolbarEnabled(TerminalControls& t, bool enabled);
// After a run that did not complete: each toolbar button as the program's state allows (the
// editors always; Program and Read while the port is open; Test Encoder while the port is open
// and the view matches the encoder).
void RestoreToolbar(TerminalControls& t);

// The box for an encoder that did not confirm an ID-as-capcode command.
void ReportImproperIdAsCapResponse();

// For a run that turned the encoder's ID-as-capcode mode off and stopped before turning it on
// again: "CONFIG IDASCAP 1" once, without emptying the receive buffer, its LF awaited (neither a
// cancel nor the user's stop cuts that wait short) and the reply not judged. Nothing once the
// exit is confirmed or while the port is closed or its device gone. Leaves ReplyTimedOut clear
// and CancelRequested as it found it.
void RestoreIdAsCapMode(Link& link);

} // namespace qpes
