#include "TypingHarness.h"
#include "platform/KeyboardLayout.h"
#include "typing/AutoreplCase.h"
#include "typing/AutoreplKeys.h"

#include <gtest/gtest.h>

namespace {

TEST(MatchCase, AdaptsToTheCapitalsTyped) {
    const struct {
        const char* typed;
        const char* text;
        const char* result;
    } cases[] = {
        {"addr", "main street", "main street"},
        {"Addr", "main street", "Main street"},
        {"ADDR", "main street", "MAIN STREET"},
        {"ADDR", "ADDRess", "ADDRess"},
        {"AdDR", "main", "Main"},
        {"A", "alpha", "Alpha"},
        {"AB", "a", "A"},
        {"A1,,", "x1", "X1"},
        {"\xC9T\xC9", "\xE9t\xE9", "\xC9T\xC9"}, // Windows-1252 accented capitals
        {"ADDR", "", ""},
        {"", "main", "main"},
        {"1AB", "xyz", "xyz"}, // no capital first: nothing carries over
    };
    for (const auto& c : cases) {
        QByteArray text = c.text;
        MatchCase(c.typed, text);
        EXPECT_EQ(text, c.result) << c.typed << " / " << c.text;
    }
}

TEST(KeyTables, ReadTheUsLayout) {
    TKeyTables tables;
    EXPECT_EQ(tables.KeyToChar('A', 0), ' ');
    tables.Build(TUsKeyboardLayout());
    const struct {
        unsigned key;
        int state;
        unsigned char ch;
    } cases[] = {
        {'A', 0, 'a'},
        {'A', keystate::Shift, 'A'},
        {'9', keystate::Shift, '('},
        {0xBE, 0, '.'},
        {0xBC, 0, ','},
        {0x60, 0, '0'},
        {0x6E, 0, '.'},
        {vk::Space, 0, ' '},
        // Ctrl alone and Shift+Alt read the plain table; AltGr has nothing on US.
        {'A', keystate::Ctrl, 'a'},
        {'A', keystate::Shift | keystate::Alt, 'a'},
        {'A', keystate::Ctrl | keystate::Alt, ' '},
        {300, 0, ' '},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tables.KeyToChar(c.key, c.state), c.ch) << c.key << " state " << c.state;
}

TEST(KeywordChars, AlphaCharsWidenTheKeywordAlphabet) {
    TFakeServices services;
    TAutoReplaceEngine engine(services);
    EXPECT_TRUE(engine.IsKeywordChar('a'));
    EXPECT_TRUE(engine.IsKeywordChar('_'));
    EXPECT_TRUE(engine.IsKeywordChar(0xE9));
    EXPECT_FALSE(engine.IsKeywordChar('#'));
    EXPECT_FALSE(engine.IsKeywordChar(0));
    engine.SetAlphaChars(" #\xC4");
    EXPECT_TRUE(engine.IsKeywordChar('#'));
    EXPECT_FALSE(engine.IsKeywordChar(' '));
    EXPECT_FALSE(engine.IsKeywordChar('-'));
}

TEST(KeywordChars, ExtraCharactersJoinTheWord) {
    TTypist t({{"c#", "C sharp"}});
    t.engine.SetAlphaChars("#");
    t.Type("c# ");
    EXPECT_EQ(t.screen, "C sharp ");
}

class LookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        AddEntries(list, {{"adam", "text of adam"},
                          {"addr", "text of addr"},
                          {"adverb", "text of adverb"},
                          {"zoo", "text of zoo"}});
        lookup.SetDictionary(&list);
    }
    TDictionaryList list;
    TDictionaryLookup lookup;
};

TEST_F(LookupTest, ExactLookupNormalisesTheKeyword) {
    const TLookupAnswer* a = lookup.Lookup("  ADDR ");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Text, "text of addr");
    EXPECT_EQ(a->Description, "text of addr");
    EXPECT_EQ(a->Index, 1);
    EXPECT_EQ(lookup.LastFoundIndex(), 1);
    EXPECT_EQ(lookup.Lookup("add"), nullptr);
    EXPECT_EQ(lookup.LastFoundIndex(), 1);
    EXPECT_EQ(lookup.LookupDescription("zoo"), QByteArray("text of zoo"));
    EXPECT_EQ(lookup.LookupDescription("zo"), std::nullopt);
}

TEST_F(LookupTest, CompletionCountsTheCommas) {
    const struct {
        const char* text;
        const char* keyword; // null: no answer
    } cases[] = {
        {"ad,,", "adam"},      {"ad,,,", "addr"}, {"AD,,,,", "adverb"}, {"ad,,,,,", "zoo"},
        {"ad,,,,,,", nullptr}, {"ad", "adam"},    {"ad,", "adam"},      {"zoo,,,", nullptr},
        {"q,,", nullptr},      {",,,", nullptr},  {"", nullptr},
    };
    for (const auto& c : cases) {
        const TLookupAnswer* a = lookup.CompletionLookup(c.text);
        if (!c.keyword) {
            EXPECT_EQ(a, nullptr) << c.text;
            continue;
        }
        ASSERT_NE(a, nullptr) << c.text;
        EXPECT_EQ(a->Text, QByteArray("text of ") + c.keyword) << c.text;
        EXPECT_EQ(lookup.LastFoundIndex(), a->Index) << c.text;
    }
    TDictionaryLookup none;
    EXPECT_EQ(none.CompletionLookup("ad,,"), nullptr);
    EXPECT_FALSE(none.KeywordBegins("a"));
}

TEST_F(LookupTest, KeywordPrefixes) {
    for (const char* yes : {"a", "ad", "ADD", "adverb", "z"})
        EXPECT_TRUE(lookup.KeywordBegins(yes)) << yes;
    for (const char* no : {"", "b", "adx", "adverbs", "zz"})
        EXPECT_FALSE(lookup.KeywordBegins(no)) << no;
}

TEST(AddEntryProposal, FromTheWordOrTheClipboard) {
    const struct {
        std::optional<QByteArray> word;
        const char* clipboard;
        const char* prefix;
        const char* suffix;
        const char* keyword;
        QByteArray text;
    } cases[] = {
        {QByteArray("newword"), "", "", " .", "newword .", "newword"},
        {QByteArray(" pad "), "", "x", "", "xpad", " pad "},
        {QByteArray(""), "", "", " .", " ", ""},
        {std::nullopt, "  hello world\r\nmore", "", " .", "hello .", "  hello world\r\nmore"},
        {std::nullopt, "tab\there", "", "", "tab", "tab\there"},
        {std::nullopt, "", "", " .", " ", ""},
        // The prefix and the keyword share what the suffix leaves of 32.
        {QByteArray(40, 'k'), "", "pre", "!!", "prekkkkkkkkkkkkkkkkkkkkkkkkkkk!!",
         QByteArray(40, 'k')},
    };
    for (const auto& c : cases) {
        const TAddEntryProposal p = MakeAddEntryProposal(c.word, c.clipboard, c.prefix, c.suffix);
        EXPECT_EQ(p.Keyword, c.keyword) << c.clipboard;
        EXPECT_EQ(p.Text, c.text) << c.clipboard;
    }
}

} // namespace
