#include "dictionary/KeywordCollator.h"

#include "platform/Ansi.h"
#include "platform/Cp1252.h"

#include <unicode/ucol.h>

TKeywordCollator::TKeywordCollator(const QLocale& requested) {
    QLocale locale = requested;
    if (locale.language() == QLocale::C) locale = QLocale(QLocale::English, QLocale::UnitedStates);
    const QByteArray name = locale.bcp47Name().toLatin1().replace('-', '_');
    UErrorCode status = U_ZERO_ERROR;
    collator_ = ucol_open(name.constData(), &status);
    if (U_FAILURE(status) || !collator_) {
        // The root collation still orders every text; it only lacks the
        // locale's own rules.
        status = U_ZERO_ERROR;
        collator_ = ucol_open("", &status);
    }
    const auto set = [&](UColAttribute attribute, UColAttributeValue value) {
        UErrorCode s = U_ZERO_ERROR;
        ucol_setAttribute(collator_, attribute, value, &s);
    };
    set(UCOL_NORMALIZATION_MODE, UCOL_ON);
    set(UCOL_STRENGTH, UCOL_SECONDARY); // accents count, case does not
    set(UCOL_NUMERIC_COLLATION, UCOL_OFF);
    set(UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE); // punctuation counts
}

TKeywordCollator::~TKeywordCollator() {
    if (collator_) ucol_close(collator_);
}

const TKeywordCollator& TKeywordCollator::Default() {
    static const TKeywordCollator collator(QLocale::system());
    return collator;
}

void TKeywordCollator::MakeKey(const char* ansi, qsizetype size, TKeyBuffer& out) const {
    QVarLengthArray<UChar, 64> text(size);
    for (qsizetype i = 0; i < size; ++i)
        text[i] = Cp1252::ToUnicode(static_cast<unsigned char>(ansi[i]));
    out.resize(out.capacity());
    int32_t length = collator_
                         ? ucol_getSortKey(collator_, text.constData(), static_cast<int32_t>(size),
                                           out.data(), static_cast<int32_t>(out.size()))
                         : 0;
    if (length > out.size()) {
        out.resize(length);
        length = ucol_getSortKey(collator_, text.constData(), static_cast<int32_t>(size),
                                 out.data(), length);
    }
    if (length <= 0) { // no collator: every text sorts by its bytes alone
        out.resize(1);
        out[0] = 0;
        length = 1;
    }
    out.resize(length + size);
    for (qsizetype i = 0; i < size; ++i)
        out[length + i] = Ansi::LowerChar(static_cast<unsigned char>(ansi[i]));
}

int TKeywordCollator::Compare(const QByteArray& a, const QByteArray& b) const {
    TKeyBuffer ka, kb;
    MakeKey(a.constData(), a.size(), ka);
    MakeKey(b.constData(), b.size(), kb);
    return KeywordKeys::Compare(ka.constData(), ka.size(), kb.constData(), kb.size());
}

TKeywordKey::TKeywordKey(const QByteArray& ansi) {
    TKeywordCollator::Default().MakeKey(ansi.constData(), ansi.size(), bytes_);
    head_ = KeywordKeys::Head(Data(), Size());
}

namespace KeywordCollator {
int Compare(const QByteArray& a, const QByteArray& b) {
    return TKeywordCollator::Default().Compare(a, b);
}
} // namespace KeywordCollator
