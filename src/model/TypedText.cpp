#include "model/TypedText.h"

#include <algorithm>

namespace qpes {

TypedText cleanMessageText(const QByteArray& text, int caret) {
    TypedText out;
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

TypedText limitTypedLength(const QByteArray& text, int caret, int previousLength, int limit) {
    TypedText out{text, std::clamp(caret, 0, int(text.size())), false};
    const int excess = int(text.size()) - std::max(limit, previousLength);
    if (excess <= 0)
        return out;
    const int from = std::max(0, out.caret - excess);
    out.text.remove(from, out.caret - from);
    out.caret = from;
    // Whatever the caret did not cover goes from the end.
    if (out.text.size() > std::max(limit, previousLength))
        out.text.truncate(std::max(limit, previousLength));
    return out;
}

} // namespace qpes
