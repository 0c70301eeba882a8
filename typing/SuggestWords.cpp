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

} // namespace SuggestWords
