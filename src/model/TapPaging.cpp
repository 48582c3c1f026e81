#include "model/TapPaging.h"

#include "model/PagerDatabase.h"
#include "model/Tap.h"
#include "model/Text.h"

#include <QLocale>
#include <cmath>
#include <cstdlib>

namespace qpes {

LengthRule MessageLengthLimit(int idLength, PageKind kind) {
    // The TAP block leaves 249 characters for ID and message on a Send (252 on the range
    // test); the shortest IDs keep a fixed limit and are never cut.
    const int room = kind == PageKind::Send ? 249 : 252;
    if (idLength > 10)
        return {};
    if (kind == PageKind::Send && idLength <= 1)
        return {idLength == 0 ? 249 : 248, false, true};
    if (kind == PageKind::RangeTest && idLength <= 1)
        return {251, false, true};
    return {room - idLength, true, true};
}

QByteArray truncationText(int limit, PageKind kind) {
    return QByteArray("Maximum Message Length is Equal to\r") + (kind == PageKind::Send ? "249" : "252") +
           " Minus Length of ID field.\rThis Message will be Truncated to " + QByteArray::number(limit) + '.';
}

std::optional<int> escapeNumber(QByteArrayView text) {
    const QByteArrayView t = trimBlanks(text);
    if (t.isEmpty())
        return std::nullopt;
    if (t.size() >= 3 && t[0] == '&' && (t[1] == 'H' || t[1] == 'h' || t[1] == 'O' || t[1] == 'o')) {
        const int base = (t[1] == 'H' || t[1] == 'h') ? 16 : 8;
        bool ok = false;
        const int v = t.sliced(2).toByteArray().toInt(&ok, base);
        return ok && !t.sliced(2).contains('+') && !t.sliced(2).contains('-') ? std::optional<int>(v)
                                                                              : std::nullopt;
    }
    // Sign, digits with an optional fraction, optional exponent: checked here, converted by strtod.
    qsizetype k = 0;
    if (t[k] == '+' || t[k] == '-')
        ++k;
    int digits = 0;
    while (k < t.size() && t[k] >= '0' && t[k] <= '9')
        ++k, ++digits;
    if (k < t.size() && t[k] == '.') {
        ++k;
        while (k < t.size() && t[k] >= '0' && t[k] <= '9')
            ++k, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (k < t.size() && (t[k] == 'E' || t[k] == 'e')) {
        ++k;
        if (k < t.size() && (t[k] == '+' || t[k] == '-'))
            ++k;
        int expDigits = 0;
        while (k < t.size() && t[k] >= '0' && t[k] <= '9')
            ++k, ++expDigits;
        if (expDigits == 0)
            return std::nullopt;
    }
    if (k != t.size())
        return std::nullopt;
    const QByteArray c = t.toByteArray();
    const double value = std::nearbyint(std::strtod(c.constData(), nullptr)); // a half to the even one
    if (!std::isfinite(value) || value < -32768 || value > 32767)
        return std::nullopt;
    return int(value);
}

ExpandedMessage ExpandMessageEscapes(const QByteArray& message, PageKind kind) {
    const SharedState& s = shared();
    ExpandedMessage out{message, false};
    QByteArray& t = out.text;
    for (qsizetype pos = 0; pos < t.size(); ++pos) {
        if (t[pos] != '<' || t.size() - pos < 4)
            continue;
        const QByteArrayView four = QByteArrayView(t).sliced(pos, 4);
        QByteArray replacement;
        qsizetype replaced = 4;
        if (four == "<CR>" || four == "<cr>") {
            replacement = s.EncodedCR;
        } else if (four == "<LF>" || four == "<lf>") {
            replacement = s.EncodedLF;
        } else if ((four == "<ASC" || four == "<asc") && t.size() - pos >= 8 && t[pos + 7] == '>') {
            const auto v = escapeNumber(QByteArrayView(t).sliced(pos + 4, 3));
            replaced = 8;
            if (v && *v >= 0 && *v <= 31)
                replacement = QByteArray(1, SUB) + char(*v + 64);
            else if (v && *v >= 32 && *v <= 127 && kind == PageKind::Send)
                replacement = QByteArray(1, char(*v));
        }
        if (replacement.isEmpty())
            continue;
        t.replace(pos, replaced, replacement);
        out.expanded = true;
        // The loop steps past the first inserted character only, as the scan always has.
    }
    return out;
}

QByteArray NameControlCharacters(const QByteArray& text, bool withXoff) {
    QByteArray out = ReplaceText(text, QByteArray(1, CR), "<CR>");
    out = ReplaceText(out, QByteArray(1, ACK), "<ACK>");
    out = ReplaceText(out, QByteArray(1, ESC), "<ESC>");
    out = ReplaceText(out, QByteArray(1, RS), "<RS>");
    out = ReplaceText(out, QByteArray(1, EOT), "<EOT>");
    out = ReplaceText(out, QByteArray(1, NAK), "<NAK>");
    if (withXoff)
        out = ReplaceText(out, QByteArray(1, XOFF), "<XOFF>");
    return ReplaceText(out, QByteArray(1, LF), "<LF>");
}

QList<QByteArray> loginAnswerLines(const QByteArray& reply) {
    // The answer's shape: line CR LF, line CR, ACK CR, ESC "[p" CR. After each line its CR
    // and the characters the shape puts there (one, then three) are skipped.
    QList<QByteArray> lines;
    QByteArray rest = reply;
    const int skips[] = {1, 3, 0};
    for (const int skip : skips) {
        if (rest.isEmpty())
            break;
        const qsizetype cr = rest.indexOf(CR);
        lines.append(cr < 0 ? rest : rest.left(cr));
        if (cr < 0 || cr == rest.size() - 1)
            break;
        rest = rest.mid(cr + 1 + skip);
    }
    return lines;
}

qint64 countdownSeconds(qint64 nowMs, qint64 dueMs) {
    const auto second = [](qint64 ms) { return ms >= 0 ? ms / 1000 : -((999 - ms) / 1000); };
    return second(dueMs) - second(nowMs);
}

qint64 rangeTestDue(qint64 nowMs, int cycleSeconds) {
    return nowMs + qint64(cycleSeconds) * 1000;
}

QByteArray logTimestamp(const QDateTime& when) {
    const QTime t = when.time();
    const bool midnight = t.hour() == 0 && t.minute() == 0 && t.second() == 0;
    return QLocale::c()
        .toString(when, midnight ? QStringLiteral("M/d/yyyy") : QStringLiteral("M/d/yyyy h:mm:ss AP"))
        .toLatin1();
}

QByteArray logLine(const QDateTime& when, const QByteArray& text) {
    return logTimestamp(when) + ": " + text;
}

} // namespace qpes
