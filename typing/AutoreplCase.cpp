#include "typing/AutoreplCase.h"

#include "platform/Ansi.h"

namespace {
bool IsCapital(unsigned char c) {
    return Ansi::LowerChar(c) != c;
}
bool IsSmall(unsigned char c) {
    return Ansi::UpperChar(c) != c;
}
} // namespace

void MatchCase(const QByteArray& typed, QByteArray& text) {
    if (typed.isEmpty() || !IsCapital(static_cast<unsigned char>(typed[0]))) return;
    bool smallSeen = false;
    int differences = 0;
    for (qsizetype i = 1; i < typed.size(); ++i) {
        const auto c = static_cast<unsigned char>(typed[i]);
        if (IsSmall(c)) {
            smallSeen = true;
            break;
        }
        if (IsCapital(c) && i < text.size() && typed[i] != text[i]) ++differences;
    }
    if (smallSeen || differences == 0) {
        if (!text.isEmpty())
            text[0] = static_cast<char>(Ansi::UpperChar(static_cast<unsigned char>(text[0])));
    } else {
        text = Ansi::Upper(text);
    }
}
