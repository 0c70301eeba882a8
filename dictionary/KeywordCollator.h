#pragma once
// The one keyword order: locale collation, case-insensitive, punctuation
// counting, on the Windows-1252 text converted to Unicode. Texts the collator
// finds equal but that differ after ANSI lower-casing are told apart by their
// bytes, so distinct keywords are never taken for duplicates.
#include <QByteArray>
#include <QCollatorSortKey>

class TKeywordKey {
public:
    explicit TKeywordKey(const QByteArray& ansi);
    // <0, 0, >0 like strcmp.
    int Compare(const TKeywordKey& other) const;

private:
    QCollatorSortKey collation_;
    QByteArray folded_;
};

namespace KeywordCollator {
int Compare(const QByteArray& a, const QByteArray& b);
} // namespace KeywordCollator
