#include "model/MessageArchive.h"

#include <QFile>
#include <QSaveFile>

namespace qpes {

QList<QByteArray> parseArchive(const QByteArray& content) {
    // A line ends at CR LF, CR or LF, so no entry can carry a line end into a page.
    QByteArray text = content;
    text.replace("\r\n", "\n").replace('\r', '\n');
    QList<QByteArray> entries;
    for (const QByteArray& line : text.split('\n'))
        if (!line.isEmpty())
            entries.append(line);
    return entries;
}

QByteArray archiveContent(const QList<QByteArray>& entries) {
    QByteArray out;
    for (const QByteArray& e : entries)
        out += e + "\r\n";
    return out;
}

qsizetype findArchiveEntry(const QList<QByteArray>& entries, const QByteArray& text) {
    return entries.indexOf(text);
}

qsizetype addArchiveEntry(QList<QByteArray>& entries, const QByteArray& text) {
    entries.append(text);
    if (entries.size() > ArchiveLimit)
        entries.removeFirst();
    return entries.size() - 1;
}

void replaceArchiveEntry(QList<QByteArray>& entries, qsizetype index, const QByteArray& text) {
    if (index < 0 || index >= entries.size())
        return;
    entries[index] = text;
    if (entries.size() > ArchiveLimit)
        entries.removeLast();
}

QList<QByteArray> readArchiveFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseArchive(file.readAll());
}

bool writeArchiveFile(const QString& path, const QList<QByteArray>& entries, QString* error) {
    QSaveFile file(path);
    const QByteArray content = archiveContent(entries);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace qpes
