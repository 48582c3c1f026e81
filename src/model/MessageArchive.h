#pragma once
// The test console's message archive: its entries, the rules for adding and replacing, and the
// file "messages.dat" (one entry a line, CR LF after each).

#include <QByteArray>
#include <QList>
#include <QString>

namespace qpes {

inline constexpr char ArchiveFileName[] = "messages.dat";
constexpr int ArchiveLimit = 299;

// One entry a line (ended by CR LF, CR or LF); a final line end makes no extra entry and empty
// lines are skipped.
QList<QByteArray> parseArchive(const QByteArray& content);
QByteArray archiveContent(const QList<QByteArray>& entries);

// The index of the first entry equal to `text` (case counts), or -1.
qsizetype findArchiveEntry(const QList<QByteArray>& entries, const QByteArray& text);
// Appends; past the limit the oldest (first) entry goes. Returns the new entry's index.
qsizetype addArchiveEntry(QList<QByteArray>& entries, const QByteArray& text);
// Puts `text` in place of entry `index`; past the limit the last entry goes.
void replaceArchiveEntry(QList<QByteArray>& entries, qsizetype index, const QByteArray& text);

// Reads the archive from `path`; a missing or unreadable file is an empty archive.
QList<QByteArray> readArchiveFile(const QString& path);
// Writes the whole archive beside the old file and replaces it only once complete, so the old
// archive stays whole when anything fails. On failure `error` receives the description.
bool writeArchiveFile(const QString& path, const QList<QByteArray>& entries, QString* error);

} // namespace qpes
