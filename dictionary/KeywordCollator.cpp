#include "dictionary/KeywordCollator.h"

#include "platform/Ansi.h"

#include <QCollator>
#include <QLocale>

namespace {

QCollator& Collator() {
    static QCollator collator = [] {
        QLocale locale = QLocale::system();
        // The C locale collates by code point and ignores the case setting.
        if (locale.language() == QLocale::C)
            locale = QLocale(QLocale::English, QLocale::UnitedStates);
        QCollator c(locale);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setIgnorePunctuation(false);
        c.setNumericMode(false);
        return c;
    }();
    return collator;
}

QByteArray Folded(const QByteArray& ansi) {
    for (char c : ansi) {
        const auto u = static_cast<unsigned char>(c);
        if (Ansi::LowerChar(u) != u) return Ansi::Lower(ansi);
    }
    return ansi; // shares the caller's bytes
}

} // namespace

TKeywordKey::TKeywordKey(const QByteArray& ansi)
    : collation_(Collator().sortKey(Ansi::ToUnicode(ansi))), folded_(Folded(ansi)) {}

int TKeywordKey::Compare(const TKeywordKey& other) const {
    const int c = collation_.compare(other.collation_);
    if (c != 0) return c;
    return folded_.compare(other.folded_);
}

namespace KeywordCollator {
int Compare(const QByteArray& a, const QByteArray& b) {
    return TKeywordKey(a).Compare(TKeywordKey(b));
}
} // namespace KeywordCollator
