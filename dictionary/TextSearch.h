#pragma once
// The string search behind Find and Search Again, over Windows-1252 bytes:
// case folded the ANSI way unless case must match, and whole words bounded
// by the start or end of the text or a character that is not alphanumeric.
#include <QByteArray>

struct TSearchOptions {
    bool MatchCase = false;
    bool WholeWord = false;
};

class TTextSearch {
public:
    TTextSearch(const QByteArray& what, TSearchOptions options);
    // The first occurrence at or after start; -1 when there is none or the
    // search string is empty.
    qsizetype Find(const char* text, qsizetype size, qsizetype start = 0) const;
    qsizetype Find(const QByteArray& text, qsizetype start = 0) const {
        return Find(text.constData(), text.size(), start);
    }
    qsizetype Length() const { return what_.size(); }

private:
    QByteArray what_; // upper-cased unless the case must match
    TSearchOptions options_;
};

inline qsizetype SearchText(const QByteArray& text, qsizetype start, const QByteArray& what,
                            TSearchOptions options) {
    return TTextSearch(what, options).Find(text, start);
}
