#include "dictionary/TextSearch.h"

#include "platform/Ansi.h"

#include <array>

namespace {
struct TTables {
    std::array<unsigned char, 256> upper;
    std::array<bool, 256> alnum;
    TTables() {
        for (int c = 0; c < 256; ++c) {
            upper[c] = Ansi::UpperChar(static_cast<unsigned char>(c));
            alnum[c] = Ansi::IsAlphaNumeric(static_cast<unsigned char>(c));
        }
    }
};
const TTables& Tables() {
    static const TTables tables;
    return tables;
}
} // namespace

TTextSearch::TTextSearch(const QByteArray& what, TSearchOptions options)
    : what_(options.MatchCase ? what : Ansi::Upper(what)), options_(options) {}

qsizetype TTextSearch::Find(const char* text, qsizetype size, qsizetype start) const {
    const qsizetype n = what_.size();
    if (n == 0 || start < 0 || size - start < n) return -1;
    const TTables& t = Tables();
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    const auto* w = reinterpret_cast<const unsigned char*>(what_.constData());
    const unsigned char first = w[0];
    for (qsizetype at = start; at + n <= size; ++at) {
        const unsigned char c = options_.MatchCase ? s[at] : t.upper[s[at]];
        if (c != first) continue;
        qsizetype k = 1;
        if (options_.MatchCase)
            while (k < n && s[at + k] == w[k])
                ++k;
        else
            while (k < n && t.upper[s[at + k]] == w[k])
                ++k;
        if (k < n) continue;
        if (options_.WholeWord &&
            ((at > 0 && t.alnum[s[at - 1]]) || (at + n < size && t.alnum[s[at + n]])))
            continue;
        return at;
    }
    return -1;
}
