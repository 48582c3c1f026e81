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
class EditorGrid;
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

// Writes bytes to a file; fails the test when it cannot.
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

} // namespace qpes::test
