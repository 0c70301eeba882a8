#include "typing/SuggestList.h"
#include "dictionary/DictList.h"
#include "tests/dictionary/TestEntries.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr uint16_t F(int n) {
    return static_cast<uint16_t>(0x6F + n);
}
constexpr uint16_t kShift = 0x2000, kCtrl = 0x4000, kAlt = 0x8000;

class SuggestList : public ::testing::Test {
protected:
    void SetUp() override {
        AddEntries(*dict, {{"ad", "text of ad", "Advert"},
                           {"addr", "text of addr", "Address"},
                           {"address2", "text of address2"},
                           {"adios", "text of adios", "Goodbye"},
                           {"adz", "text of adz", "Zed"},
                           {"ae", "text of ae", "\xC6"},
                           {"b", "text of b", "Bee"},
                           {"c1", "text of c1", "C one"},
                           {"c2", "text of c2", "C two"},
                           {"c3", "text of c3", "C three"}});
        ASSERT_EQ(dict->Count(), 10);
        list.SetDictionarySource([this] { return dict.get(); });
        list.SetEnabled(true);
    }
    int Row(const char* keyword) const { return dict->IndexOfKeyword(keyword); }
    // The labels in key order F1..F9, whatever the layout.
    QByteArrayList ByKey() const {
        QByteArrayList out;
        for (int p = 0; p < TSuggestionList::LabelCount; ++p) {
            const int r = p % list.Rows(), c = p / list.Rows();
            out << list.Label(r * list.Columns() + c);
        }
        return out;
    }

    std::unique_ptr<TDictionaryList> dict = std::make_unique<TDictionaryList>();
    TSuggestionList list;
};

TEST_F(SuggestList, PrefixListsMatchingEntriesDownTheColumns) {
    list.UpdateSuggestions("ad", -1);
    EXPECT_EQ(list.TopIndex(), Row("ad"));
    EXPECT_EQ(list.SuggestionCount(), 5);
    EXPECT_EQ(list.HeadLine(), "ad");
    EXPECT_FALSE(list.NoSuggestions());
    // Three columns: F2 is below F1, F4 heads the second column.
    EXPECT_EQ(list.Label(0), "[F1]  ad = Advert");
    EXPECT_EQ(list.Label(3), "[F2]  addr = Address");
    EXPECT_EQ(list.Label(6), "[F3]  address2 = text of address2");
    EXPECT_EQ(list.Label(1), "[F4]  adios = Goodbye");
    EXPECT_EQ(list.Label(4), "[F5]  adz = Zed");
    EXPECT_TRUE(list.Label(7).isEmpty()); // "ae" does not begin with "ad"
    EXPECT_EQ(list.SuggestionIndexForShortcut(F(5)), 4);
    EXPECT_EQ(list.SuggestionIndexForShortcut(F(6)), -1);
    EXPECT_EQ(list.GetSuggestionKeyword(F(2)), "addr");
    EXPECT_TRUE(list.GetSuggestionKeyword(F(6)).isEmpty());
    EXPECT_EQ(list.ListedShortcuts(), (std::vector<uint16_t>{F(1), F(2), F(3), F(4), F(5)}));
}

TEST_F(SuggestList, OneColumnKeepsTheKeysMeaning) {
    list.UpdateSuggestions("ad", -1);
    const QByteArrayList threeColumns = ByKey();
    list.SetColumns(1);
    list.Refresh();
    EXPECT_EQ(list.Rows(), 9);
    EXPECT_EQ(ByKey(), threeColumns);
    EXPECT_EQ(list.Label(1), "[F2]  addr = Address");
    EXPECT_EQ(list.GetSuggestionKeyword(F(4)), "adios");
    list.SetColumns(7); // anything but 1 is three columns
    EXPECT_EQ(list.Columns(), 3);
    EXPECT_EQ(list.Rows(), 3);
}

TEST_F(SuggestList, LeadingPunctuationIsSkipped) {
    list.UpdateSuggestions("(add", -1);
    EXPECT_EQ(list.SkipCount(), 1);
    EXPECT_EQ(list.TypedPrefix(), "(add");
    EXPECT_EQ(list.HeadLine(), "add");
    EXPECT_EQ(list.SuggestionCount(), 2);
    EXPECT_EQ(list.GetSuggestionKeyword(F(1)), "addr");
    list.UpdateSuggestions("add", -1);
    EXPECT_EQ(list.SkipCount(), 0);
}

TEST_F(SuggestList, CapitalsTypedCarryOverToTheChosenKeyword) {
    struct Case {
        const char* typed;
        const char* keyword;
    } cases[] = {{"ADD", "ADDRESS2"},
                 {"Add", "Address2"},
                 {"add", "address2"},
                 {"(Add", "Address2"},
                 {"((ADD", "ADDRESS2"}};
    for (const Case& c : cases) {
        list.UpdateSuggestions(c.typed, -1);
        EXPECT_EQ(list.GetSuggestionKeyword(F(2)), QByteArray(c.keyword)) << c.typed;
    }
}

TEST_F(SuggestList, CompletionModeListsNineEntriesUnbounded) {
    list.SetAutoComplete(true);
    list.UpdateSuggestions("ad,,", -1);
    EXPECT_TRUE(list.CompletionMode());
    EXPECT_EQ(list.SuggestionCount(), 9);
    // "ad,," sorts between "ad" and "addr": the nearest entry is "addr".
    EXPECT_EQ(list.GetSuggestionKeyword(F(1)), "addr");
    EXPECT_EQ(list.GetSuggestionKeyword(F(5)), "ae");
    EXPECT_EQ(list.GetSuggestionKeyword(F(9)), "c3");
    // Without AutoComplete, or with one comma, the word bounds the list.
    list.SetAutoComplete(false);
    list.UpdateSuggestions("ad,,", -1);
    EXPECT_EQ(list.SuggestionCount(), 0);
    EXPECT_TRUE(list.NoSuggestions());
    list.SetAutoComplete(true);
    list.UpdateSuggestions("ad,", -1);
    EXPECT_FALSE(list.CompletionMode());
    EXPECT_EQ(list.SuggestionCount(), 0);
    // The list stops at the dictionary's end.
    list.UpdateSuggestions("c,,", -1);
    EXPECT_EQ(list.SuggestionCount(), 3);
    EXPECT_EQ(list.GetSuggestionKeyword(F(3)), "c3");
    EXPECT_EQ(list.SuggestionIndexForShortcut(F(4)), -1);
}

TEST_F(SuggestList, RecognisedEntryHeadsTheListAndTheListGoesOnAfterIt) {
    list.UpdateSuggestions("addr", -1);
    list.UpdateSuggestions("", Row("addr"));
    list.SetSkipCount(0);
    EXPECT_EQ(list.HeadLine(), "[SPACE]  addr = Address");
    EXPECT_EQ(list.TopIndex(), Row("addr") + 1);
    EXPECT_EQ(list.SuggestionCount(), 1);
    EXPECT_EQ(list.GetSuggestionKeyword(F(1)), "address2");
    // A recognised entry with nothing after it is not "no suggestions".
    list.UpdateSuggestions("ae", -1);
    list.UpdateSuggestions("", Row("ae"));
    EXPECT_EQ(list.SuggestionCount(), 0);
    EXPECT_FALSE(list.NoSuggestions());
}

TEST_F(SuggestList, EmptyWordOrNoMatchListsNothing) {
    list.UpdateSuggestions("ad", -1);
    list.UpdateSuggestions("", -1);
    EXPECT_EQ(list.TopIndex(), -1);
    EXPECT_TRUE(list.HeadLine().isEmpty());
    EXPECT_TRUE(list.NoSuggestions());
    EXPECT_EQ(list.SuggestionIndexForShortcut(F(1)), -1);
    for (int i = 0; i < 9; ++i)
        EXPECT_TRUE(list.Label(i).isEmpty());
    // A word past the last keyword lists nothing, not the last entry.
    list.UpdateSuggestions("xyz", -1);
    EXPECT_EQ(list.SuggestionCount(), 0);
    EXPECT_TRUE(list.NoSuggestions());
    EXPECT_EQ(list.HeadLine(), "xyz");
}

TEST_F(SuggestList, EmptyDictionaryOrDisabledSelectsNothing) {
    list.UpdateSuggestions("ad", -1);
    ASSERT_GT(list.SuggestionCount(), 0);
    dict = std::make_unique<TDictionaryList>();
    list.UpdateSuggestions("ad", -1);
    EXPECT_EQ(list.TopIndex(), -1);
    EXPECT_EQ(list.SuggestionIndexForShortcut(F(1)), -1);
    EXPECT_TRUE(list.GetSuggestionKeyword(F(1)).isEmpty());
    EXPECT_TRUE(list.Label(0).isEmpty()); // no stale suggestion stays on show
    EXPECT_TRUE(list.ListedShortcuts().empty());

    SetUp();
    list.UpdateSuggestions("ad", -1);
    list.SetEnabled(false);
    EXPECT_EQ(list.SuggestionIndexForShortcut(F(1)), -1);
    EXPECT_TRUE(list.ListedShortcuts().empty());
}

TEST_F(SuggestList, ShrunkenDictionaryIsNeverReadPastItsEnd) {
    list.UpdateSuggestions("c", -1);
    ASSERT_EQ(list.SuggestionCount(), 3);
    auto smaller = std::make_unique<TDictionaryList>();
    AddEntries(*smaller, {{"c1"}});
    dict = std::move(smaller);
    EXPECT_TRUE(list.GetSuggestionKeyword(F(1)).isEmpty());
    list.UpdateSuggestions("", 57);
    EXPECT_EQ(list.TopIndex(), -1);
    list.Refresh();
    EXPECT_EQ(list.SuggestionCount(), 0);
}

TEST_F(SuggestList, ModifiersMakeTheKeysAndLabels) {
    struct Case {
        uint8_t state;
        uint16_t bits;
        const char* prefix;
        const char* names;
    } cases[] = {{0, 0, "", ""},
                 {1, kShift, "+", "Shift+"},
                 {4, kCtrl, "^", "Ctrl+"},
                 {2, kAlt, "%", "Alt+"},
                 {7, kShift | kCtrl | kAlt, "+^%", "Shift+Ctrl+Alt+"}};
    for (const Case& c : cases) {
        list.BuildShortcuts(c.state);
        list.UpdateSuggestions("ad", -1);
        EXPECT_EQ(list.Shortcut(0), F(1) | c.bits);
        EXPECT_EQ(list.Shortcut(8), F(9) | c.bits);
        EXPECT_EQ(list.Label(0), QByteArray("[") + c.prefix + "F1]  ad = Advert");
        EXPECT_TRUE(list.ShortcutHint().contains(QLatin1String(c.names)));
        EXPECT_EQ(list.SuggestionIndexForShortcut(F(2) | c.bits), 1);
        if (c.bits) {
            EXPECT_EQ(list.SuggestionIndexForShortcut(F(2)), -1);
        }
    }
}

} // namespace
