#include "model/Tap.h"

#include "model/Text.h"

namespace qpes {

QByteArray TapChecksum(QByteArrayView block) {
    qint64 sum = 0;
    for (const char c : block)
        sum += static_cast<unsigned char>(c);
    QByteArray out(3, '0');
    out[0] = char('0' + ((sum >> 8) & 0xF));
    out[1] = char('0' + ((sum >> 4) & 0xF));
    out[2] = char('0' + (sum & 0xF));
    return out;
}

QByteArray BuildTapBlock(const QByteArray& id, const QByteArray& message) {
    QByteArray block;
    block.reserve(id.size() + message.size() + 8);
    block += STX;
    block += id;
    block += CR;
    block += message;
    block += CR;
    block += ETX;
    block += TapChecksum(block);
    block += CR;
    return block;
}

QList<QByteArray> SplitFields(const QByteArray& text, char delimiter, QByteArray* rest) {
    QList<QByteArray> words;
    const QByteArray work = text.startsWith(delimiter) ? text : delimiter + text + delimiter;
    qsizetype at = 0; // the delimiter the current word starts after
    for (;;) {
        const qsizetype next = work.indexOf(delimiter, at + 1);
        if (next < 0)
            break;
        if (next > at + 1)
            words.append(work.mid(at + 1, next - at - 1));
        at = next;
    }
    if (rest)
        *rest = work.mid(at + 1);
    return words;
}

QByteArray detectCommand() {
    return QByteArrayLiteral("ATI\r\r");
}

QByteArray idAsCapQuery() {
    return QByteArrayLiteral("CONFIG IDASCAP?\r");
}

QByteArray idAsCapSet(bool on) {
    return on ? QByteArrayLiteral("CONFIG IDASCAP 1\r") : "CONFIG IDASCAP 0\r";
}

QByteArray configQuery(QByteArrayView name) {
    return "config " + name.toByteArray() + "?\r\n";
}

QByteArray configSet(QByteArrayView name, bool on) {
    return configSetValue(name, on ? "1" : "0");
}

QByteArray configSetValue(QByteArrayView name, QByteArrayView value) {
    // A line break inside the value would end the command early and start another.
    return "config " + name.toByteArray() + ' ' + singleLine(value.toByteArray()) + "\r\n";
}

QByteArray recordRequest(char letter, int number) {
    return BuildTapBlock(DatabaseReadId, letter + (' ' + QByteArray::number(number)));
}

QByteArray recordStore(const QByteArray& record) {
    return BuildTapBlock(DatabaseWriteId, record);
}

QByteArray lookupCommand(QByteArrayView id) {
    return "LOOKUP " + id.toByteArray() + "\r\n";
}

QByteArray testSignalCommand(int bps) {
    return "TEST" + QByteArray::number(bps) + '\r';
}

QByteArray tapLoginWake() {
    return QByteArray(1, CR);
}

QByteArray tapLoginRequest() {
    return QByteArrayLiteral("\x1bPG1\r");
}

} // namespace qpes
