#pragma once
// The console log: lines with the date and time in front, newest on top of the console's list
// while the console is open, and appended to the communications log file while one is open.
// The log file outlives the console.

#include <QByteArray>
#include <QDateTime>
#include <functional>

class QListWidget;

namespace qpes {

constexpr int LogListLimit = 299;

// The list new lines go to; null while no console is open.
void setLogList(QListWidget* list);
// Adds one line: the date and time, ": " and `text`.
void AddLogLine(const QByteArray& text);

// Asks for the log file (replace or append when it exists), opens it and writes the opening
// record. An open log file is closed first; logFileOpen() tells whether one is open afterwards.
void OpenLogFile();
void CloseLogFile();
bool logFileOpen();

// The clock log lines read; tests fix it. An empty function restores the system clock.
void setLogClock(std::function<QDateTime()> clock);

} // namespace qpes
