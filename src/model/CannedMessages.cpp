#include "model/CannedMessages.h"

namespace qpes {

CleanedMessage cleanMessageText(const QByteArray& text, int caret) {
    CleanedMessage out;
    out.caret = caret;
    for (int i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool quote = c == '"';
        if (quote || c < 32) {
            out.hadQuote |= quote;
            if (i < caret)
                --out.caret;
            continue;
        }
        out.text += char(c);
    }
    return out;
}

} // namespace qpes
