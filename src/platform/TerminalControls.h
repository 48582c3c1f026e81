#pragma once
// What the rest of the program reaches of the main window: its controls by name, its status
// bar, and the serial port and timers it owns. The main window implements it; tests may put a
// recording stand-in in its place.

#include "model/PagerDatabase.h"

#include <QString>
#include <functional>

class QObject;

namespace qpes {

class Link;

enum class Control {
    mnuOpenFile,
    mnuNewDB,
    mnuWriteDB,
    mnuReadDB,
    mnuSave,
    mnuSaveAs,
    mnuPrintDB,
    mnuOpen, // "&Open Port" / "&Close Port"
    mnuProperties,
    mnuTest,
    mnuSendMsg,
    mnuTXTune,
    cmdComStatus,
    ImgConnected,
    ImgNotConnected,
    Label25,
    lblIDAsCap,
    txLookup,
    cmdLookup,
    lblLookup,
    cmdSettings,
    // Toolbar1 buttons 1 to 7 (1 is the separator)
    Toolbar1Button1,
    Toolbar1Button2,
    Toolbar1Button3,
    Toolbar1Button4,
    Toolbar1Button5,
    Toolbar1Button6,
    Toolbar1Button7,
};

constexpr Control toolbarButton(int n) {
    return Control(int(Control::Toolbar1Button1) + n - 1);
}

class TerminalControls {
public:
    virtual ~TerminalControls() = default;

    virtual void setControlEnabled(Control c, bool enabled) = 0;
    virtual bool controlEnabled(Control c) const = 0;
    virtual void setCaption(Control c, const QString& caption) = 0; // menu text, button or label text
    virtual QString caption(Control c) const = 0;
    virtual void setControlToolTip(Control c, const QString& tip) = 0;
    virtual void setChecked(Control c, bool checked) = 0;
    virtual void bringToFront(Control c) = 0;                   // the two port pictures
    virtual void setStatus(int panel, const QString& text) = 0; // StatusBar1 panels 1 and 2
    virtual QString status(int panel) const = 0;
    virtual Link& link() = 0; // MSComm1, Timer1, Timer2

    // Other windows the main window loads and unloads.
    virtual void unloadTestConsole() = 0;
};

// A window that asks the user before it may close (the editors' incomplete-record question).
class AsksBeforeClosing {
public:
    virtual ~AsksBeforeClosing() = default;
    virtual bool queryUnload() = 0; // true: the window may close
};

// The main window of this run (null before it is loaded and after it is gone). It is unloaded
// deferred, never while a conversation with the encoder runs (see frmTerminal::closeEvent), so
// a run keeps the pointer it started with across every wait: nothing re-checks it.
TerminalControls* terminal();
void setTerminal(TerminalControls* t);

// The notice every user edit gives: the view no longer matches the encoder.
void MarkConfigurationModified();

// The notice an editor's edit gives. While the program itself fills or transfers the database
// (DatabaseBusy) it is held back, so that the program's own filling marks nothing, and a user's
// edit made meanwhile is told when that run ends.
void NoticeEdit();
// The end of such a run: DatabaseBusy off, then an edit held back meanwhile told, after whatever
// the run itself has shown.
void EndDatabaseRun();

// The notice that the database was replaced (New Database, Open, Read Encoder): each open editor
// shows the new tables, so that no edit lands on a record it does not show. A read that stopped
// early has replaced only its first `groupsReplaced` groups.
void DatabaseReplaced(int groupsReplaced = GroupCount);
// Runs `refill` at every such notice for as long as `editor` lives.
void followDatabase(QObject* editor, std::function<void(int groupsReplaced)> refill);

} // namespace qpes
