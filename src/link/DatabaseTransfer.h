#pragma once
// What programming and reading the encoder's database share: the exchange of one step, the
// toolbar around a run, and the box for an unconfirmed ID-as-capcode command.

#include "link/Exchange.h"

#include <QByteArray>
#include <QList>

namespace qpes {

class Link;
class TerminalControls;

// One exchange of a database transfer. Once the exit is confirmed, or when a port that was
// open at the start of the run has been closed, nothing more is sent and the result is Aborted.
ExchangeResult TransferExchange(Link& link, bool portWasOpen, const QByteArray& command,
                                const QList<QByteArray>& terminators, bool dropFirst);

// Every button of Toolbar1 on or off.
void SetToolbarEnabled(TerminalControls& t, bool enabled);
// After a run that did not complete: each toolbar button as the program's state allows (the
// editors always; Program and Read while the port is open; Test Encoder while the port is open
// and the view matches the encoder).
void RestoreToolbar(TerminalControls& t);

// The box for an encoder that did not confirm an ID-as-capcode command.
void ReportImproperIdAsCapResponse();

} // namespace qpes
