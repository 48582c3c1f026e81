#pragma once
// What the canned messages editor keeps of a typed or pasted message text.

#include <QByteArray>

namespace qpes {

constexpr int MessageMaxLength = 60;

struct CleanedMessage {
    QByteArray text;
    int caret = 0;          // the caret, moved left by the characters taken out before it
    bool hadQuote = false;  // a double quote was taken out: the user is told once
};

// Takes out every double quote (the encoder record quotes the text) and every control
// character (the text travels inside a TAP block); the rest stays as it was.
CleanedMessage cleanMessageText(const QByteArray& text, int caret);

} // namespace qpes
