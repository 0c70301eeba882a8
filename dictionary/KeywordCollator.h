#pragma once
// The one keyword order: locale collation, case-insensitive, punctuation
// counting, on the Windows-1252 text converted to Unicode. Texts the collator
// finds equal but that differ after ANSI lower-casing are told apart by their
// bytes, so distinct keywords are never taken for duplicates.
//
// Both rules live in one comparison key: the collation sort key (which ends
// with its only zero byte) followed by the lower-cased bytes. Keys compare as
// plain bytes, so a list keeps them once and never asks the collator again.
#include <QByteArray>
#include <QLocale>
#include <QVarLengthArray>
#include <cstdint>
#include <cstring>

struct UCollator;

class TKeywordCollator {
public:
    // Case-insensitive, punctuation counting, numbers as text; the C locale
    // (which collates by code point) stands for American English.
    explicit TKeywordCollator(const QLocale& locale);
    ~TKeywordCollator();
    TKeywordCollator(const TKeywordCollator&) = delete;
    TKeywordCollator& operator=(const TKeywordCollator&) = delete;

    // The user's locale, made once.
    static const TKeywordCollator& Default();

    using TKeyBuffer = QVarLengthArray<uint8_t, 96>;
    // Replaces out with the comparison key of the ANSI text.
    void MakeKey(const char* ansi, qsizetype size, TKeyBuffer& out) const;
    int Compare(const QByteArray& a, const QByteArray& b) const;

private:
    UCollator* collator_ = nullptr;
};

namespace KeywordKeys {
// The first eight key bytes as a big-endian number, zero-padded: comparing two
// heads orders two keys exactly as their bytes do whenever the heads differ.
inline uint64_t Head(const uint8_t* key, size_t size) {
    uint8_t b[8] = {};
    std::memcpy(b, key, size < 8 ? size : 8);
    uint64_t h = 0;
    for (uint8_t c : b)
        h = (h << 8) | c;
    return h;
}
// <0, 0, >0 like strcmp; a key that is a prefix of another sorts first.
inline int Compare(const uint8_t* a, size_t na, const uint8_t* b, size_t nb) {
    const size_t n = na < nb ? na : nb;
    if (const int c = n ? std::memcmp(a, b, n) : 0) return c;
    return na < nb ? -1 : na > nb ? 1 : 0;
}
} // namespace KeywordKeys

// The key of one text under the user's locale, for searching a list.
class TKeywordKey {
public:
    explicit TKeywordKey(const QByteArray& ansi);
    const uint8_t* Data() const { return bytes_.constData(); }
    size_t Size() const { return static_cast<size_t>(bytes_.size()); }
    uint64_t Head() const { return head_; }
    // <0, 0, >0 like strcmp.
    int Compare(const TKeywordKey& other) const {
        return KeywordKeys::Compare(Data(), Size(), other.Data(), other.Size());
    }

private:
    TKeywordCollator::TKeyBuffer bytes_;
    uint64_t head_;
};

namespace KeywordCollator {
// Under the user's locale.
int Compare(const QByteArray& a, const QByteArray& b);
} // namespace KeywordCollator
