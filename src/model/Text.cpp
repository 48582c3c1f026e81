#include "model/Text.h"

#include <cmath>
#include <limits>

namespace qpes {

QByteArrayView trimBlanks(QByteArrayView text) {
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && text[i] == ' ')
        ++i;
    while (end > i && text[end - 1] == ' ')
        --end;
    return text.sliced(i, end - i);
}

std::optional<qint64> parseNumber(QByteArrayView untrimmed) {
    const QByteArrayView text = trimBlanks(untrimmed);
    const qsizetype end = text.size();
    if (end == 0)
        return std::nullopt;
    qsizetype i = 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    qint64 whole = 0;
    int digits = 0;
    while (i < end && text[i] >= '0' && text[i] <= '9') {
        if (whole > (std::numeric_limits<qint64>::max() - 9) / 10)
            return std::nullopt;
        whole = whole * 10 + (text[i] - '0');
        ++i;
        ++digits;
    }
    // The fraction only decides the rounding: above, below or exactly a half.
    int fractionSign = 0; // -1 below a half, 0 exactly a half, 1 above
    bool hasFraction = false;
    if (i < end && text[i] == '.') {
        ++i;
        hasFraction = true;
        if (i < end && text[i] >= '0' && text[i] <= '9') {
            const char first = text[i];
            fractionSign = first > '5' ? 1 : (first < '5' ? -1 : 0);
            ++i;
            ++digits;
            while (i < end && text[i] >= '0' && text[i] <= '9') {
                if (fractionSign == 0 && text[i] != '0')
                    fractionSign = 1;
                ++i;
            }
        } else {
            fractionSign = -1;
        }
    }
    if (i != end || digits == 0)
        return std::nullopt;
    if (hasFraction && (fractionSign > 0 || (fractionSign == 0 && whole % 2 == 1)))
        ++whole;
    return negative ? -whole : whole;
}

std::optional<int> toInt16(QByteArrayView text) {
    const auto v = parseNumber(text);
    if (!v || *v < -32768 || *v > 32767)
        return std::nullopt;
    return int(*v);
}

std::optional<qint32> toInt32(QByteArrayView text) {
    const auto v = parseNumber(text);
    if (!v || *v < std::numeric_limits<qint32>::min() || *v > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(*v);
}

std::optional<qint64> parseDigits(QByteArrayView text) {
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const int digit = c - '0';
        value = value > (std::numeric_limits<qint64>::max() - digit) / 10 ? std::numeric_limits<qint64>::max()
                                                                          : value * 10 + digit;
    }
    return value;
}

bool isDigits(QByteArrayView text) {
    return parseDigits(text).has_value();
}

QByteArray zeroFill(const QByteArray& text, int width) {
    if (text.size() >= width)
        return text;
    return QByteArray(width - text.size(), '0') + text;
}

QByteArray ReplaceText(const QByteArray& text, const QByteArray& find, const QByteArray& replacement) {
    if (find.isEmpty())
        return text;
    QByteArray result;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(find, from);
        if (at < 0)
            break;
        result += text.mid(from, at - from);
        result += replacement;
        from = at + find.size();
    }
    result += text.mid(from);
    return result;
}

QByteArray singleLine(QByteArray text) {
    text.replace('\r', ' ');
    text.replace('\n', ' ');
    return text;
}

} // namespace qpes
