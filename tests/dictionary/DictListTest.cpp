#include "dictionary/Dict.h"
#include "platform/Errors.h"
#include "tests/dictionary/TestEntries.h"

#include <gtest/gtest.h>

namespace {

TDictionaryItem* Entry(const char* keyword) {
    return NewItem({keyword, "t"});
}

QByteArrayList Keywords(const TDictionaryList& list) {
    QByteArrayList out;
    for (int i = 0; i < list.Count(); ++i)
        out << list.GetKeywordAt(i);
    return out;
}

struct CountingProgress : TProgress {
    int maximum = -1, updates = 0;
    void SetRange(int, int max) override { maximum = max; }
    void SetPosition(int) override {}
    void ProcessMessages() override { ++updates; }
};

} // namespace

TEST(DictItem, KeywordIsTrimmedAndLowerCasedIncludingAnsiCapitals) {
    TDictionaryItem e;
    e.SetKeyword(" \t\x01 \xC0"
                 "Bc\xDE \r\n");
    EXPECT_EQ(e.GetKeyword(), QByteArray("\xE0"
                                         "bc\xFE"));
    e.SetDescription("  Desc  ");
    EXPECT_EQ(e.GetDescription(), QByteArray("Desc"));
}

TEST(DictItem, DisplayDescriptionFallsBackToFirst80TextCharsOnOneLine) {
    TDictionaryItem e;
    e.SetText("line1\r\nline2\tx" + QByteArray(100, 'y'));
    e.SetDescription("   ");
    const QByteArray d = e.GetDisplayDescription();
    EXPECT_EQ(d.size(), 80);
    EXPECT_TRUE(d.startsWith("line1  line2 x"));
    e.SetDescription("Given");
    EXPECT_EQ(e.GetDisplayDescription(), QByteArray("Given"));
}

TEST(DictItem, ReadOnlyTouchesBitZeroOnlyAndAssignCopiesLinked) {
    TDictionaryItem e;
    e.SetFlags(0x8002);
    e.SetReadOnly(true);
    EXPECT_EQ(e.GetFlags(), 0x8003);
    e.SetReadOnly(false);
    EXPECT_EQ(e.GetFlags(), 0x8002);
    e.SetLinked(4);
    e.SetShortcut(0x2041);
    TDictionaryItem copy;
    copy.Assign(e);
    EXPECT_EQ(copy.GetLinked(), 4);
    EXPECT_EQ(copy.GetShortcut(), 0x2041);
    EXPECT_EQ(copy.GetFlags(), 0x8002);
}

TEST(DictList, LookupIgnoresCaseAndBlanksAndDuplicatesAreRefused) {
    TDictionaryList list;
    ASSERT_EQ(list.Add(Entry("  Hello ")), 0);
    EXPECT_EQ(list.IndexOfKeyword("HELLO"), 0);
    EXPECT_EQ(list.IndexOfKeyword(" hello\t"), 0);
    EXPECT_EQ(list.IndexOfKeyword("hell"), -1);
    std::unique_ptr<TDictionaryItem> dup(Entry("HELLO "));
    EXPECT_EQ(list.Add(dup.get()), -1);
    EXPECT_EQ(list.Count(), 1);
}

TEST(DictList, OrderIgnoresCaseCountsPunctuationAndKeepsCollatorTiesApart) {
    TDictionaryList list;
    for (const char* k : {"Zeta", "beta", "alpha", "a-c", "ab", "\xC9t\xE9", "ez"})
        ASSERT_GE(list.Add(Entry(k)), 0) << k;
    // Accented letters sort with their base letter, not after 'z'.
    EXPECT_EQ(Keywords(list),
              QByteArrayList({"a-c", "ab", "alpha", "beta", "\xE9t\xE9", "ez", "zeta"}));
    // The collator ignores U+0081, yet these are different keywords.
    ASSERT_GE(list.Add(Entry("a\x81"
                             "b")),
              0);
    EXPECT_EQ(list.Count(), 8);
    EXPECT_GE(list.IndexOfKeyword("a\x81"
                                  "b"),
              0);
    EXPECT_NE(list.IndexOfKeyword("a\x81"
                                  "b"),
              list.IndexOfKeyword("ab"));
}

TEST(DictList, FindNearest) {
    TDictionaryList list;
    EXPECT_EQ(list.FindNearest("a"), -1);
    for (const char* k : {"apple", "banana", "cherry"})
        list.Add(Entry(k));
    struct Case {
        QByteArray s;
        int row;
    } cases[] = {{"", 0}, {"a", 0}, {"b", 1}, {"BAN", 1}, {"bz", 2}, {"zzz", 2}, {"cherry", 2}};
    for (const Case& c : cases)
        EXPECT_EQ(list.FindNearest(c.s), c.row) << c.s.constData();

    // The first row not below "cote" is "cot\xE9", which does not start with
    // it; the next one does.
    TDictionaryList accents;
    accents.Add(Entry("cot\xE9"));
    accents.Add(Entry("cotea"));
    ASSERT_EQ(accents.GetKeywordAt(0), QByteArray("cot\xE9"));
    EXPECT_EQ(accents.FindNearest("cote"), 1);
}

TEST(DictList, TotalCharsFollowsAddAndRemove) {
    TDictionaryList list;
    TDictionaryItem* a = NewItem({"abc", "hello"});       // 3 + 5 (display) + 5
    TDictionaryItem* b = NewItem({"xy", "text", "desc"}); // 2 + 4 + 4
    list.Add(a);
    list.Add(b);
    EXPECT_EQ(list.TotalChars(), 13 + 10);
    TDictionaryItem stranger;
    stranger.SetKeyword("abc");
    list.Remove(&stranger);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.TotalChars(), 23);
    list.Remove(a);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.TotalChars(), 10);
    EXPECT_EQ(a->GetText(), QByteArray("hello")); // removed, not freed
    delete a;
}

TEST(DictList, ClearResetsHeaderAndReportsProgress) {
    TDictionaryList list;
    list.SetInfoLines("one", "two", "three");
    list.Header.SetFlags(3);
    list.Header.SetWord(2, 5);
    for (int i = 0; i < 5; ++i)
        list.Add(Entry(QByteArray::number(i).constData()));
    CountingProgress progress;
    list.ProgressBar = &progress;
    list.Clear();
    EXPECT_EQ(progress.maximum, 5);
    EXPECT_EQ(progress.updates, 5);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.TotalChars(), 0);
    EXPECT_EQ(list.Header.Flags(), 0);
    QByteArray a, b, c;
    list.GetInfoLines(a, b, c);
    EXPECT_TRUE(a.isEmpty() && b.isEmpty() && c.isEmpty());
}

TEST(DictList, HeaderStringsAreCutTo40) {
    TDictionaryList list;
    list.SetInfoLines(QByteArray(50, 'i'), "b", "c");
    QByteArray a, b, c;
    list.GetInfoLines(a, b, c);
    EXPECT_EQ(a, QByteArray(40, 'i'));
    list.SetStoredFileName(QByteArray(40, 'n'));
    EXPECT_EQ(list.GetStoredFileName(), QByteArray(40, 'n'));
    EXPECT_THROW(list.SetStoredFileName(QByteArray(37, 'f') + ".bxd"), EBrevix);
    EXPECT_EQ(list.GetStoredFileName(), QByteArray(37, 'f') + ".bx");
}
