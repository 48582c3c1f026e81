#pragma once
// A clean world for each GUI test: a fresh program folder and settings file, a scripted
// dialog service, an empty serial device list and freshly started shared state. Its end takes
// down the windows the test left.

#include "platform/Dialogs.h"
#include "support/DataRow.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

class QComboBox;
class QTableWidgetItem;

namespace qpes {
class CommControl;
class EditorGrid;
class Link;
class TerminalControls;
} // namespace qpes

namespace sim {
class EncoderSim;
}

namespace qpes::test {

class Sandbox {
public:
    Sandbox();
    ~Sandbox();

    QString folder() const; // the program's folder
    QString path(const QString& name) const;
    QString settingsFile() const;
    DialogScript script;

private:
    QTemporaryDir m_dir;
    QString m_startFolder;
};

// The texts of the boxes recorded so far, in order.
QStringList boxTexts(const DialogScript& script);
// The titles of the boxes recorded so far, in order.
QStringList boxTitles(const DialogScript& script);

// A mouse click on a grid cell, scrolled into view first, as the user clicks it.
void clickCell(EditorGrid* grid, int r, int c);
// How a grid cell's text lies: "left" or "centre" (both centred vertically), "" when never set.
QString alignment(const QTableWidgetItem* cell);
// The texts of a list's items, apart by blanks.
QString itemTexts(const QComboBox* box);

// Has the encoder answer a TAP login and leaves that answer ("110 1.8" first) unread at the
// port; what the encoder took in is forgotten.
void leaveLoginAnswerWaiting(CommControl& port, sim::EncoderSim& encoder);
// Ends a run's wait from outside: the port closed under it, or the progress box's Cancel.
void closePortOrCancel(Link& link, bool closePort);
// What a database transfer shows while it runs, each as true: the hourglass, the database busy,
// and every toolbar button off.
QList<bool> transferUnderWay(const TerminalControls& main);

// Writes bytes to a file; fails the test when it cannot.
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

} // namespace qpes::test
