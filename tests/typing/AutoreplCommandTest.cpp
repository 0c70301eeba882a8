#include "TypingHarness.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandKeys, CtrlSpaceTypesASpaceWithoutExpanding) {
    TTypist t({{"addr", "12 Main Street"}});
    t.Type("addr<C-SPACE>");
    EXPECT_EQ(t.memo, "{@KEY SPACE}");
    EXPECT_EQ(t.prefix, "");
    EXPECT_EQ(t.suffix, "");
    EXPECT_EQ(t.screen, "addr ");
    EXPECT_EQ(t.engine.Word(), "");

    // Switched off, Ctrl+Space is a delimiter typed again as it was.
    TTypist off({{"addr", "12 Main Street"}}, kDefaultOptions & ~aoUseCtrlSpace);
    off.Type("addr<C-SPACE>");
    EXPECT_EQ(off.memo, "12 Main Street");
    EXPECT_EQ(off.suffix, "{@KEY Ctrl+Space}");
}

TEST(CommandKeys, EscWhileTheHintIsShownCancelsTheKeyword) {
    TTypist t({{"addr", "12 Main Street", "Home"}});
    t.Type("addr");
    ASSERT_TRUE(t.hint.visible);
    EXPECT_EQ(t.Key(vk::Escape), arresult::Consumed);
    EXPECT_EQ(t.lastPerform, arresult::CommandDone);
    t.Type(" ");
    EXPECT_EQ(t.replacements, 0);
    EXPECT_EQ(t.screen, "addr ");

    // No hint: Esc only ends the word and reaches the target.
    TTypist plain({{"addr", "12 Main Street"}});
    plain.Type("xyz");
    ASSERT_FALSE(plain.hint.visible);
    EXPECT_EQ(plain.Key(vk::Escape), arresult::None);
    EXPECT_EQ(plain.engine.Word(), "");
}

// The hook waits for the answer to the key that ends a keyword before the
// replacement can start: the hint boxes are brought up to date after it.
TEST(CommandKeys, KeyStartingAReplacementLeavesTheHintForAfterwards) {
    TTypist t({{"addr", "12 Main Street", "Home"}});
    t.Type("addr");
    ASSERT_TRUE(t.hint.visible);
    ASSERT_EQ(t.hint.description, "Home");
    ASSERT_EQ(t.engine.AutoReplaceKey(vk::Space, false, false, false), arresult::Consumed);
    EXPECT_TRUE(t.hint.visible);
    QByteArray text;
    ASSERT_EQ(t.engine.PerformReplacement(text), arresult::Replaced);
    t.engine.FlushHint();
    EXPECT_FALSE(t.hint.visible);
    EXPECT_EQ(t.hint.description, "");
    EXPECT_EQ(t.hint.keyword, "");

    // A key that replaces nothing updates them at once.
    t.engine.KeyReleased();
    t.Type("ad");
    EXPECT_EQ(t.hint.keyword, "ad");
    EXPECT_EQ(t.engine.AutoReplaceKey(vk::Space, false, false, false), arresult::None);
    EXPECT_EQ(t.hint.keyword, "");
}

TEST(CommandKeys, ShiftEnterExpandsWithoutTheEnter) {
    TTypist t({{"addr", "12 Main Street"}}, kDefaultOptions | aoUseShiftEnter);
    t.Type("addr<S-ENTER>");
    EXPECT_EQ(t.suffix, "");
    EXPECT_EQ(t.screen, "12 Main Street");

    TTypist off({{"addr", "12 Main Street"}});
    off.Type("addr<S-ENTER>");
    EXPECT_EQ(off.replacements, 0);
    EXPECT_EQ(off.screen, "addr\n");
    EXPECT_EQ(off.engine.Word(), "");
}

TEST(CommandKeys, AltInsProposesTheWordAsANewEntry) {
    TTypist t({});
    t.Type("newword<A-INS>");
    ASSERT_EQ(t.services.addEntries.size(), 1u);
    EXPECT_EQ(t.services.addEntries[0], QByteArray("newword"));
    EXPECT_EQ(t.lastPerform, arresult::CommandDone);
    EXPECT_EQ(t.engine.Word(), "");
    EXPECT_EQ(t.engine.LastWord(), "newword");
    EXPECT_EQ(t.engine.AltInsWord(), "newword");

    // Shorter than "AltInsMinWordLength": an empty proposal, not the clipboard.
    t.Type("ab<A-INS>");
    ASSERT_EQ(t.services.addEntries.size(), 2u);
    EXPECT_EQ(t.services.addEntries[1], QByteArray(""));

    TTypist off({}, kDefaultOptions & ~aoUseAltIns);
    off.Type("newword<A-INS>");
    EXPECT_TRUE(off.services.addEntries.empty());
}

TEST(CommandKeys, SecondCtrlInsInARowTakesTheClipboard) {
    TTypist t({});
    t.Type("<C-INS>");
    EXPECT_TRUE(t.services.addEntries.empty());
    t.Type("<C-INS>");
    ASSERT_EQ(t.services.addEntries.size(), 1u);
    EXPECT_EQ(t.services.addEntries[0], std::nullopt);
    // A third one starts a new pair; a key between breaks a pair.
    t.Type("<C-INS>x<C-INS>");
    EXPECT_EQ(t.services.addEntries.size(), 1u);
    // Holding the keys down is no second press.
    TTypist held({});
    held.Key(vk::Insert, false, true, false, true);
    held.Key(vk::Insert, false, true, false, true);
    EXPECT_TRUE(held.services.addEntries.empty());
}

TEST(CommandKeys, HotKeyHandsTheWordToTheKeywordBox) {
    TTypist t({{"addr", "12 Main Street"}});
    t.Type("addr<F10>");
    ASSERT_EQ(t.services.keywordBoxes.size(), 1u);
    EXPECT_EQ(t.services.keywordBoxes[0], std::make_pair(1, QByteArray("addr")));
    EXPECT_EQ(t.lastPerform, arresult::CommandDone);
    EXPECT_EQ(t.engine.Word(), "");
    EXPECT_EQ(t.engine.LastWord(), "addr");
    // The word lives on for one more hot key, then is gone.
    t.Type("<F10>");
    EXPECT_EQ(t.services.keywordBoxes[1].second, "addr");
    EXPECT_EQ(t.engine.LastWord(), "");

    TTypist off({{"addr", "12 Main Street"}}, kDefaultOptions & ~aoAutoReplace);
    off.Type("<F10>");
    EXPECT_EQ(off.services.keywordBoxes.size(), 1u);
}

TEST(CommandKeys, PreviousKeyCharacterEndsTheRepeatGuard) {
    TTypist t({});
    t.Key('A', false, false, false, true);
    EXPECT_EQ(t.engine.PreviousKeyChar('b'), 'a');
    t.Key('A', false, false, false, true);
    EXPECT_EQ(t.engine.Word(), "a");
    EXPECT_EQ(t.engine.PreviousKeyChar('a'), 'a');
    t.Key('A', false, false, false, true);
    EXPECT_EQ(t.engine.Word(), "aa");
}

TEST(CommandKeys, OtherKeysEndTheWordAndClearTheHistory) {
    TTypist t({{"addr", "12 Main Street"}});
    t.Type("one ad");
    t.Key(vk::Left);
    EXPECT_EQ(t.engine.Word(), "");
    EXPECT_EQ(t.engine.HistoryCount(), 0);
    t.Type("dr ");
    EXPECT_EQ(t.replacements, 0);
}

TEST(EngineSetup, AutoReplaceCheckBoxStartsAndStopsTheEngine) {
    TFakeServices services;
    THintDouble hint;
    TAutoReplaceEngine engine(services, &hint);
    // Nothing is followed before the engine exists.
    EXPECT_EQ(engine.AutoReplaceKey('A', false, false, false), arresult::None);
    EXPECT_EQ(engine.Word(), "");

    const uint16_t options = kDefaultOptions & ~aoAutoReplace;
    EXPECT_EQ(engine.AutoReplaceChkChanged(true, options | aoAutoReplaceAlwaysShow,
                                           "/home/u/dicts/Work Notes.bxd"),
              kDefaultOptions | aoAutoReplaceAlwaysShow);
    EXPECT_TRUE(engine.Initialised());
    EXPECT_EQ(hint.created, 1);
    EXPECT_EQ(engine.Options(), kDefaultOptions | aoAutoReplaceAlwaysShow);
    EXPECT_TRUE(hint.suggestionsOn);
    EXPECT_EQ(hint.dictionaryLine, "Brevix: Work Notes.bxd");
    EXPECT_EQ(hint.suggestionCaption, "Brevix: WORK NOTES.BXD");

    EXPECT_EQ(engine.AutoReplaceChkChanged(false, kDefaultOptions | aoAutoReplaceAlwaysShow, ""),
              options | aoAutoReplaceAlwaysShow);
    EXPECT_FALSE(hint.suggestionsOn);
    engine.AutoReplaceChkChanged(true, options, "x.bxd");
    EXPECT_EQ(hint.created, 1);
}

} // namespace
