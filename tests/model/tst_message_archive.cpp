// messages.dat: reading, and the add and replace rules with the entry limit.

#include "model/MessageArchive.h"

#include <QtTest>

using namespace qpes;

class TstMessageArchive : public QObject {
    Q_OBJECT

private slots:
    void parse_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<QByteArray>>("entries");
        QTest::newRow("final CR LF") << QByteArray("a\r\nb\r\n") << QList<QByteArray>{"a", "b"};
        QTest::newRow("no final line end") << QByteArray("a\r\nb") << QList<QByteArray>{"a", "b"};
        QTest::newRow("empty lines skipped") << QByteArray("\r\na\r\n\r\n") << QList<QByteArray>{"a"};
        QTest::newRow("commas and quotes whole")
            << QByteArray("x, \"y\", z\r\n") << QList<QByteArray>{"x, \"y\", z"};
        QTest::newRow("empty file") << QByteArray() << QList<QByteArray>{};
        QTest::newRow("lone CR ends a line") << QByteArray("a\rb\r\n") << QList<QByteArray>{"a", "b"};
    }
    void parse() {
        QFETCH(QByteArray, content);
        QFETCH(QList<QByteArray>, entries);
        QCOMPARE(parseArchive(content), entries);
    }

    void limits() {
        QList<QByteArray> entries;
        for (int i = 1; i <= ArchiveLimit; ++i)
            entries.append(QByteArray::number(i));
        QCOMPARE(addArchiveEntry(entries, "new"), ArchiveLimit - 1);
        QCOMPARE(entries.size(), ArchiveLimit);
        QCOMPARE(entries.first(), QByteArray("2"));
        QCOMPARE(entries.last(), QByteArray("new"));
        entries.append("300th, from a file");
        replaceArchiveEntry(entries, 0, "first");
        QCOMPARE(entries.size(), ArchiveLimit);
        QCOMPARE(entries.first(), QByteArray("first"));
        QCOMPARE(entries.last(), QByteArray("new"));
        QCOMPARE(findArchiveEntry(entries, "NEW"), -1);
    }
};

QTEST_APPLESS_MAIN(TstMessageArchive)
#include "tst_message_archive.moc"
