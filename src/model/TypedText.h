#pragma once
// What the editors keep of a text the user types or pastes into a cell editor.

#include <QByteArray>

namespace qpes {

constexpr int MessageMaxLength = 60;

struct TypedText {
    QByteArray text;
    int caret = 0;         // the caret, moved left by the characters taken out before it
    bool hadQuote = false; // a double quote was taken out: the user is told once
};

// A canned message: every double quote (the encoder record quotes the text) and every control
// character (the text travels inside a TAP block) is taken out; the rest stays as it was.
TypedText cleanMessageText(const QByteArray& text, int caret);

// An edit that makes the text longer than `limit` characters loses the characters typed or
// pasted just before the caret, as a length-limited text box would. A stored text already
// longer than the limit (from a file) is never cut: the limit is then its own length.
TypedText limitTypedLength(const QByteArray& text, int caret, int previousLength, int limit);

} // namespace qpes
