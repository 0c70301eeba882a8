// The keyword order kept as byte keys must be the order of the locale
// collator (case-insensitive, punctuation counting) with ties broken by the
// lower-cased bytes, and every search over it must answer as a plain
// comparison would.
#include "dictionary/Dict.h"
#include "platform/Ansi.h"
#include "tests/dictionary/Fixtures.h"
#include "tests/dictionary/TestEntries.h"

#include <QBuffer>
#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <random>

namespace {

// The order as stated, through Qt's collator and nothing of the list's.
class TReferenceOrder {
public:
    explicit TReferenceOrder(QLocale locale) {
        if (locale.language() == QLocale::C) locale = QLocale(QLocale::English);
        collator_ = QCollator(locale);
        collator_.setCaseSensitivity(Qt::CaseInsensitive);
        collator_.setIgnorePunctuation(false);
        collator_.setNumericMode(false);
    }
    int Compare(const QByteArray& a, const QByteArray& b) const {
        const int c =
            collator_.sortKey(Ansi::ToUnicode(a)).compare(collator_.sortKey(Ansi::ToUnicode(b)));
        if (c != 0) return c;
        return Ansi::Lower(a).compare(Ansi::Lower(b));
    }

private:
    QCollator collator_;
};

int Sign(int v) {
    return (v > 0) - (v < 0);
}

// Every byte alone, and words mixing case, accents, ligatures, punctuation,
// digits, ignorable controls and the letters some locales treat specially.
QByteArrayList Corpus() {
    QByteArrayList words;
    for (int c = 1; c < 256; ++c)
        words << QByteArray(1, char(c));
    // '|' separates the words; octal escapes where a letter follows.
    const QByteArray more =
        "a|A|ab|aB|a-b|a'b|a b|a_b|a.b|a\201b|a\tb|a\177b|\xE0|\xC0|\xE1|\xE2|\xE4|\xC4|"
        "\xE5|\xC5|\xE6|\xC6|ae|\xF6|oe|\x9C|\x8C|\xDF|ss|\xDE|th|\xF0|\xF8|\xE7|c|ch|cz|"
        "ci|h|\x9A|s|\x8A|\x9E|z|aa|\345r|ar|ll|l|\xF1|n|o|\xF5|\xFF|y|\x9F|Y|10|9|1|1.0|-1|"
        "+1|\x80|e|\xE9|\xC9|\xE8|\xEA|\xEB|cote|cot\xE9|c\364te|c\364t\xE9|\351t\xE9|ete|"
        "Zeta|zeta|z\352ta|\223q\x94|\"q\"|q|abcdefgh|abcdefghi|abcdefgh\xE9|abcdefgi|"
        "abcdefgh-|ABCDEFGH";
    words += more.split('|');
    return words;
}

// The sign of every pair under each locale, against the reference.
TEST(KeywordOrder, MatchesTheLocaleCollatorWithByteTiesInSeveralLocales) {
    const QByteArrayList words = Corpus();
    for (const char* name : {"C", "en_US", "de_DE", "sv_SE", "cs_CZ", "da_DK", "fr_FR", "es_ES"}) {
        const QLocale locale(QString::fromLatin1(name));
        const TKeywordCollator collator(locale);
        const TReferenceOrder reference(locale);
        int mismatches = 0;
        for (const QByteArray& a : words) {
            for (const QByteArray& b : words) {
                const int want = Sign(reference.Compare(a, b));
                const int got = Sign(collator.Compare(a, b));
                if (want != got && ++mismatches <= 5)
                    ADD_FAILURE() << name << ": \"" << a.toHex().constData() << "\" vs \""
                                  << b.toHex().constData() << "\": " << got << " instead of "
                                  << want;
            }
        }
        EXPECT_EQ(mismatches, 0) << name;
    }
}

// Keys longer than the eight bytes a row keeps at hand, keys that are
// prefixes of others, and texts the collator cannot tell apart: the list is
// in reference order whatever the order of adding, each keyword is found at
// its row, and the nearest row for a prefix is the stated one.
TEST(KeywordOrder, ListSearchesAgreeWithAPlainComparison) {
    const TReferenceOrder reference(QLocale::system());
    QByteArrayList words;
    for (const QByteArray& w : Corpus()) {
        const QByteArray k = TDictionaryItem::NormalKeyword(w);
        if (!k.isEmpty() && !words.contains(k)) words << k;
    }
    std::mt19937 rng(7);
    for (int round = 0; round < 3; ++round) {
        std::shuffle(words.begin(), words.end(), rng);
        TDictionaryList list;
        for (const QByteArray& w : words)
            ASSERT_GE(list.Add(NewItem({w.constData(), "t"})), 0) << w.toHex().constData();
        QByteArrayList sorted = words;
        std::stable_sort(
            sorted.begin(), sorted.end(),
            [&](const QByteArray& a, const QByteArray& b) { return reference.Compare(a, b) < 0; });
        ASSERT_EQ(list.Count(), sorted.size());
        for (int i = 0; i < sorted.size(); ++i) {
            ASSERT_EQ(list.GetKeywordAt(i), sorted[i]) << i;
            EXPECT_EQ(list.IndexOfKeyword(Ansi::Upper(sorted[i])), i) << i;
        }
        for (const QByteArray& w : Corpus()) {
            // The first row not below w, moved on once when only the next
            // one starts with it.
            int want = 0;
            while (want < sorted.size() && reference.Compare(sorted[want], w) < 0)
                ++want;
            if (!w.isEmpty() && want + 1 < sorted.size() &&
                reference.Compare(w, sorted[want].left(w.size())) < 0 &&
                reference.Compare(w, sorted[want + 1].left(w.size())) == 0)
                ++want;
            want = std::min<int>(want, static_cast<int>(sorted.size()) - 1);
            EXPECT_EQ(list.FindNearest(w), want) << w.toHex().constData();
        }
    }
}

// A file out of order with repeated keywords (in other case, or padded)
// loads all at once with the outcome of adding its records one by one: the
// first of each keyword stays, wherever it comes in the file.
TEST(KeywordOrder, LoadingAtOnceKeepsWhatAddingOneByOneKeeps) {
    std::mt19937 rng(11);
    QByteArray file = Fx::Scrambled(Fx::Header{});
    TDictionaryList added;
    for (int i = 0; i < 4000; ++i) {
        QByteArray keyword = "w" + QByteArray::number(rng() % 1500);
        if (rng() % 3 == 0) keyword = Ansi::Upper(keyword);
        if (rng() % 5 == 0) keyword = " " + keyword + "\t";
        const QByteArray text = QByteArray::number(i);
        file += Fx::Record7({keyword, "", text});
        TDictionaryItem* item = NewItem({keyword.constData(), text.constData()});
        if (added.Add(item) < 0) delete item;
    }
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    TDictionaryList loaded;
    const TLoadResult r = loaded.LoadFromStream(buffer);
    EXPECT_EQ(r.recordsRead, 4000);
    EXPECT_EQ(r.duplicates, 4000 - added.Count());
    ASSERT_EQ(loaded.Count(), added.Count());
    EXPECT_EQ(loaded.TotalChars(), added.TotalChars());
    for (int i = 0; i < added.Count(); ++i) {
        ASSERT_EQ(loaded.GetKeywordAt(i), added.GetKeywordAt(i)) << i;
        EXPECT_EQ(loaded.GetItem(i)->GetText(), added.GetItem(i)->GetText()) << i;
    }
}

// Entries taken out and put back many times: the rows keep their keys.
TEST(KeywordOrder, RemovingAndAddingAgainKeepsEveryLookup) {
    TDictionaryList list;
    std::vector<TDictionaryItem*> items;
    for (int i = 0; i < 3000; ++i) {
        items.push_back(
            NewItem({("keyword-long-" + QByteArray::number(i * 7 % 3000)).constData()}));
        ASSERT_GE(list.Add(items.back()), 0);
    }
    std::mt19937 rng(3);
    for (int round = 0; round < 5; ++round) {
        std::vector<TDictionaryItem*> out;
        for (TDictionaryItem* item : items)
            if (rng() % 2) {
                list.Remove(item);
                out.push_back(item);
            }
        for (TDictionaryItem* item : out)
            ASSERT_GE(list.Add(item), 0);
    }
    ASSERT_EQ(list.Count(), 3000);
    for (int i = 1; i < list.Count(); ++i)
        ASSERT_LT(KeywordCollator::Compare(list.GetKeywordAt(i - 1), list.GetKeywordAt(i)), 0);
    for (TDictionaryItem* item : items)
        EXPECT_EQ(list.GetItem(list.IndexOfKeyword(item->GetKeyword())), item);
}

} // namespace
