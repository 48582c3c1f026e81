#pragma once
// Number parsing and text helpers shared by the file format, the printout and the link.

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace qpes {

// The text without the blanks around it.
QByteArrayView trimBlanks(QByteArrayView text);

// Reads decimal text the way every table field is compared: optional blanks around it, an
// optional sign, digits and an optional fraction rounded to the nearest whole number (an exact
// half to the even one). Anything else, or an empty text, is not a number.
std::optional<qint64> parseNumber(QByteArrayView text);
// The same, limited to the 16-bit or 32-bit signed range.
std::optional<int> toInt16(QByteArrayView text);
std::optional<qint32> toInt32(QByteArrayView text);

// Strict reading for what the user types into an ID, quantity or capcode: one or more of the
// digits 0 to 9 and nothing else (no blanks, sign, point or exponent). The value saturates at
// the 64-bit maximum, so any length of digits is safe to compare against a limit.
std::optional<qint64> parseDigits(QByteArrayView text);
bool isDigits(QByteArrayView text);

// Adds "0" on the left until the text has at least `width` characters.
QByteArray zeroFill(const QByteArray& text, int width);

// Replaces every occurrence of `find` from left to right; an inserted replacement is never
// scanned again. An empty `find` returns the text unchanged.
QByteArray ReplaceText(const QByteArray& text, const QByteArray& find, const QByteArray& replacement);

// A one-line text for a file row or an encoder record: CR and LF become blanks.
QByteArray singleLine(QByteArray text);

} // namespace qpes
