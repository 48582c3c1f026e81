#pragma once
// The *.PG7 pager database file: 85 CR LF lines of Latin-1 text, rows identified by position.

#include "model/PagerDatabase.h"

#include <QByteArray>
#include <QList>

namespace qpes {

// The whole file as written by Save: 50 family, 10 group and 15 message lines, the nine
// settings lines and the quoted notes line.
QByteArray WriteDatabaseFile(const PagerDatabase& db, const QByteArray& notes);

struct DatabaseFileRead {
    bool idAsCapSeen = false; // an IDAsCap line was applied: the mode label follows it
};

// Reads the file's lines into the tables, the settings and the notes, field by field; whatever
// the file does not carry keeps its value. At start-up StartID is kept as stored and a group is
// marked defined by the numeric GroupID test.
DatabaseFileRead ReadDatabaseFile(const QByteArray& content, bool atStartup, PagerDatabase& db,
                                  QByteArray& notes);

// Splits file content into lines: CR LF, a lone CR and a lone LF each end a line.
QList<QByteArray> splitFileLines(const QByteArray& content);

} // namespace qpes
