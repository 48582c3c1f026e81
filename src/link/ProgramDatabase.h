#pragma once
// Programming the whole pager database into the encoder, and what the read of the database
// shares with it.

#include <QByteArray>
#include <QList>

namespace qpes {

class Link;
class TerminalControls;
struct ExchangeResult;

// The ID-as-capcode query, the nine settings, the 10 group, 50 family and 15 message records
// and the ID-as-capcode setting, one exchange each; progress in status panel 1, failures in
// message boxes. Runs inside the Program command's handler.
void WriteEncoderDatabase();

// ---- Shared by programming and reading ----

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
