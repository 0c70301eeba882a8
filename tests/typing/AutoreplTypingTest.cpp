#include "TypingHarness.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kBksp = "{@KEY BKSP}";

TEST(AutoReplace, DelimiterDecidesWhatIsTypedAfterTheExpansion) {
    const struct {
        const char* keys;
        const char* suffix;
        const char* screen;
    } cases[] = {
        {"addr ", "{@KEY Space}", "12 Main Street "},
        {"addr\t", "", "12 Main Street"},
        {"addr\r", "{@KEY Enter}", "12 Main Street\n"},
    };
    for (const auto& c : cases) {
        TTypist t({{"addr", "12 Main Street"}});
        t.Type(c.keys);
        EXPECT_EQ(t.prefix, kBksp.repeated(4)) << c.keys;
        EXPECT_EQ(t.memo, "12 Main Street") << c.keys;
        EXPECT_EQ(t.suffix, c.suffix) << c.keys;
        EXPECT_EQ(t.screen, c.screen) << c.keys;
        EXPECT_EQ(t.engine.Word(), "") << c.keys;
    }
}

TEST(AutoReplace, ExpansionFollowsTheCapitalsTyped) {
    const struct {
        const char* keys;
        const char* text;
        const char* memo;
    } cases[] = {
        {"Addr ", "main street", "Main street"},
        {"ADDR ", "main street", "MAIN STREET"},
        {"AdDR ", "main street", "Main street"},
        {"aDDR ", "main street", "main street"},
        // The text has those capitals already: only its first letter changes.
        {"ADDR ", "xDDR lane", "XDDR lane"},
        {"ADDR ", "{@KEY TAB}x", "{@KEY TAB}X"},
    };
    for (const auto& c : cases) {
        TTypist t({{"addr", c.text}});
        t.Type(c.keys);
        EXPECT_EQ(t.memo, c.memo) << c.keys << " / " << c.text;
    }
}

TEST(AutoReplace, FirstCharacterAlreadyOnScreenIsKept) {
    const struct {
        const char* keys;
        const char* text;
        int erased;
        const char* memo;
        const char* screen;
    } cases[] = {
        {"addr ", "address and more", 3, "ddress and more", "address and more "},
        {"Addr ", "address", 3, "ddress", "Address "},
        {"(addr ", "address", 3, "ddress", "(address "},
        // Case differs: erase everything and type it again.
        {"addr ", "Address", 4, "Address", "Address "},
    };
    for (const auto& c : cases) {
        TTypist t({{"addr", c.text}});
        t.Type(c.keys);
        EXPECT_EQ(t.prefix, kBksp.repeated(c.erased)) << c.keys;
        EXPECT_EQ(t.memo, c.memo) << c.keys;
        EXPECT_EQ(t.screen, c.screen) << c.keys;
    }
}

TEST(AutoReplace, KeptCharacterReachesTheMainWindow) {
    TTypist t({{"addr", "address"}});
    t.Type("addr");
    ASSERT_EQ(t.engine.AutoReplaceKey(vk::Space, false, false, false), arresult::Consumed);
    QByteArray text;
    ASSERT_EQ(t.engine.PerformReplacement(text), arresult::Replaced);
    EXPECT_EQ(t.services.KeptChar, 'a');
    EXPECT_EQ(text, "ddress");
    EXPECT_EQ(t.services.BackspacePrefix, kBksp.repeated(3));
}

TEST(AutoReplace, TypedScenarios) {
    const std::initializer_list<TEntry> addr = {{"addr", "12 Main Street"}};
    const std::initializer_list<TEntry> eg = {{"e.g.", "for example"}};
    const std::initializer_list<TEntry> sig = {{"sig", "Best regards, Jo"}, {"jo", "John Smith"}};
    const std::initializer_list<TEntry> co = {{"co", "company"}, {"co.uk", "United Kingdom"}};
    const struct {
        std::initializer_list<TEntry> entries;
        const char* keys;
        const char* screen;
        uint16_t options = kDefaultOptions;
    } cases[] = {
        {addr, "my addrx add addr, ok", "my addrx add 12 Main Street, ok"},
        // The opening parenthesis stays; the closing one ends the keyword.
        {addr, "see (addr) ", "see (12 Main Street) "},
        // A lookup that matched "c" for "(c" must not shorten the erasing of "(c)".
        {{{"c", "Charlie"}, {"(c)", "\xA9"}}, "(c) ", "\xA9 "},
        {eg, "e.g. ", "for example "},
        {eg, "e.g., ", "for example, "},
        {eg, "see e.g.x", "see for examplex"},
        {eg, "e.x. ", "e.x. "},
        // Without the final stop the keyword expands at the stop...
        {{{"e.g", "for example"}}, "e.g. ", "for example. "},
        // ...unless the stop makes a keyword of its own.
        {{{"e.g", "for example"}, {"e.g.", "that is"}}, "e.g. ", "that is "},
        {{{"etc", "et cetera"}}, "etc... ", "et cetera... "},
        // A mark kept for a longer keyword still ends the shorter one.
        {co, "co. co.; co.u co.uk ", "company. company.; company.u United Kingdom "},
        {{{"addr", "12 Main Street"}, {"addr.x", "x"}}, "addr.y ", "12 Main Street.y "},
        // Commas are word characters only with AutoComplete.
        {addr, "addr,ad,, ", "12 Main Street,ad,, ", kDefaultOptions & ~aoAutoComplete},
        {addr, "adx<BS>dr ", "12 Main Street "},
        // Back over the parenthesis and the space: the word before them returns.
        {{{"hello", "Hi there"}}, "hellx (<BS><BS><BS>o ", "Hi there "},
        // Backspace after an expansion brings back its last word, also after punctuation.
        {sig, "sig <BS> ", "Best regards, John Smith "},
        {sig, "sig.<BS> ", "Best regards, John Smith "},
        {sig, "sig <BS> ", "Best regards, Jo ", kDefaultOptions & ~aoRememberLastExpandedWord},
        {addr, "ad<CAPS>d<NUM>r ", "12 Main Street "},
        {addr, "addr ", "addr ", kDefaultOptions & ~aoAutoReplace},
    };
    for (const auto& c : cases) {
        TTypist t(c.entries, c.options);
        t.Type(c.keys);
        EXPECT_EQ(t.screen, c.screen) << c.keys;
    }
}

TEST(AutoReplace, CommaCompletion) {
    const std::initializer_list<TEntry> entries = {
        {"adam", "Adam Smith"}, {"addr", "12 Main Street"}, {"adverb", "quickly"}, {"zoo", "Zoo"}};
    const struct {
        const char* keys;
        const char* screen;
        int erased;
    } cases[] = {
        {"ad,, ", "Adam Smith ", 4},
        {"ad,,, ", "12 Main Street ", 5},
        {"ad,,,, ", "quickly ", 6},
        {"addr, ", "12 Main Street, ", 5},
        {"Ad,, ", "Adam Smith ", 3}, // the typed "A" stays
        {"(ad,, ", "(Adam Smith ", 4},
        // More commas than entries after the first match, or no match at all.
        {"zo,,, ", "zo,,, ", 0},
        {"qq,, ", "qq,, ", 0},
    };
    for (const auto& c : cases) {
        TTypist t(entries);
        t.Type(c.keys);
        EXPECT_EQ(t.screen, c.screen) << c.keys;
        if (c.erased) {
            EXPECT_EQ(t.prefix, kBksp.repeated(c.erased)) << c.keys;
        }
    }
}

TEST(AutoReplace, KeptFirstCharacterBelongsToTheRememberedWord) {
    TTypist t({{"jj", "jo"}, {"jo", "John Smith"}});
    t.Type("jj <BS>");
    EXPECT_EQ(t.engine.Word(), "jo");
}

TEST(AutoReplace, AutoRepeatAddsOnlyTheFirstCharacter) {
    TTypist t({{"ab", "Alpha Beta"}});
    for (int i = 0; i < 4; ++i)
        t.Key('A', false, false, false, /*hold*/ true);
    EXPECT_EQ(t.engine.Word(), "a");
    t.engine.KeyReleased();
    t.Type("b");
    EXPECT_EQ(t.engine.Word(), "ab");
}

TEST(AutoReplace, WordBufferHoldsAtMost255Characters) {
    TTypist t({{"addr", "12 Main Street"}});
    const QByteArray longWord = QByteArray("abcdefghij").repeated(30);
    t.Type(longWord.constData());
    EXPECT_EQ(t.engine.Word(), longWord.left(255));
    // A mark that no longer fits ends the word like a delimiter.
    t.Type(".");
    EXPECT_EQ(t.engine.Word(), ".");
    EXPECT_EQ(t.engine.HistoryCount(), 1);
    t.Type(" addr ");
    EXPECT_EQ(t.screen, longWord + ". 12 Main Street ");
}

TEST(AutoReplace, HistoryKeepsTheNewest32Words) {
    TTypist t({});
    for (int i = 0; i < 40; ++i)
        t.Type("w ");
    EXPECT_EQ(t.engine.HistoryCount(), 32);
}

TEST(AutoReplace, ChangeOfTargetWindowStartsAFreshWord) {
    TTypist t({{"addr", "12 Main Street"}});
    t.Type("ad");
    t.services.calling = 200;
    t.Type("dr ");
    EXPECT_EQ(t.replacements, 0);
    t.Type("addr ");
    EXPECT_EQ(t.replacements, 1);
}

TEST(AutoReplace, MouseResetEndsTheWord) {
    TTypist t({{"addr", "12 Main Street"}});
    t.Type("ad");
    t.engine.MouseReset();
    t.Type("dr ");
    EXPECT_EQ(t.replacements, 0);
}

TEST(AutoReplace, RegisteredShortcutIsNoWordCharacter) {
    TTypist t({{"addr", "12 Main Street"}});
    t.services.shortcuts[MakeKeyCode('D', false, false, false)] = shortcutkind::Entry;
    t.Type("ad");
    EXPECT_EQ(t.engine.Word(), "");
}

TEST(AutoReplace, TypingIntoTheProgramsOwnInputForm) {
    TTypist t({{"addr", "address"}});
    t.services.ownControl = 55;
    t.Type("addr ");
    ASSERT_EQ(t.services.backspaces.size(), 1u);
    EXPECT_EQ(t.services.backspaces[0], std::make_pair(BxHwnd(55), 4));
    EXPECT_EQ(t.memo, "address");
    uint8_t key = 0;
    BxHwnd control = 0;
    ASSERT_TRUE(t.engine.TakeControlKey(key, control));
    EXPECT_EQ(key, vk::Space);
    EXPECT_EQ(control, 55u);
    EXPECT_FALSE(t.engine.TakeControlKey(key, control));
}

TEST(AutoReplace, HintShowsTheRecognisedKeywordAtRelease) {
    TTypist t({{"addr", "12 Main Street", "Home address"}});
    t.Type("(Add");
    EXPECT_EQ(t.hint.description, "");
    EXPECT_TRUE(t.hint.shownFor.empty());
    t.Type("r");
    EXPECT_EQ(t.hint.description, "Home address");
    EXPECT_EQ(t.hint.keyword, "Addr");
    EXPECT_EQ(t.hint.skip, 1);
    ASSERT_EQ(t.hint.shownFor.size(), 1u);
    EXPECT_EQ(t.hint.shownFor[0], 100u);
}

TEST(AutoReplace, SuggestionKeyExpandsTheListedEntry) {
    TTypist t({{"address", "12 Main Street"}});
    const uint16_t f1 = MakeKeyCode(vk::F1, false, false, false);
    t.hint.suggestions[f1] = "Address";
    t.Type("(Ad");
    t.hint.skip = 1;
    EXPECT_EQ(t.Key(vk::F1), arresult::Consumed);
    EXPECT_EQ(t.prefix, kBksp.repeated(2));
    EXPECT_EQ(t.memo, "12 Main Street");
    EXPECT_EQ(t.screen, "(12 Main Street");
}

} // namespace
