#include "typing/SuggestWords.h"

#include "platform/Ansi.h"

namespace SuggestWords {

bool IsKeywordChar(unsigned char c, const QByteArray& extraChars) {
    if (c == '_' || Ansi::IsAlphaNumeric(c)) return true;
    return c != 0 && extraChars.contains(static_cast<char>(Ansi::LowerChar(c)));
}

QByteArray SkipLeadingNonKeyword(const QByteArray& typed, const QByteArray& extraChars,
                                 int& skipped) {
    QByteArray out = typed;
    skipped = 0;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c == 0 || c == ' ' || IsKeywordChar(c, extraChars)) break;
        out[i] = ' ';
        ++skipped;
    }
    return Ansi::Trim(out);
}

void MatchCase(const QByteArray& typed, QByteArray& text) {
    if (typed.isEmpty() || text.isEmpty()) return;
    const auto first = static_cast<unsigned char>(typed[0]);
    if (Ansi::LowerChar(first) == first) return;
    bool smallSeen = false;
    int differences = 0;
    for (qsizetype i = 1; i < typed.size(); ++i) {
        const auto c = static_cast<unsigned char>(typed[i]);
        if (Ansi::UpperChar(c) != c) {
            smallSeen = true;
            break;
        }
        if (Ansi::LowerChar(c) != c && i < text.size() && typed[i] != text[i]) ++differences;
    }
    if (smallSeen || differences == 0)
        text[0] = static_cast<char>(Ansi::UpperChar(static_cast<unsigned char>(text[0])));
    else
        text = Ansi::Upper(text);
}

} // namespace SuggestWords
