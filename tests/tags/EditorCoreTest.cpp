// The editor's checks and tag texts, and the recorder's conversion of keys
// into text to type.
#include "platform/VirtualKeys.h"
#include "tags/EditorText.h"
#include "tags/KeyRecording.h"

#include <gtest/gtest.h>

using namespace EditorText;

TEST(EditorText, BraceCheck) {
    EXPECT_EQ(UnbalancedBrace("a {b} c"), -1);
    EXPECT_EQ(UnbalancedBrace("{@LEFTBRACE} and {@KEY Enter}"), -1);
    EXPECT_EQ(UnbalancedBrace("Dear {@KEY Enter"), 5);
    EXPECT_EQ(UnbalancedBrace("{ok} then {{nested} open"), 10);
    EXPECT_EQ(UnbalancedBrace("a } b"), -1); // a lone right brace is text
}

TEST(EditorText, InputFieldNamesForTheVariableMenu) {
    const QString text = "{@input(First Name) Your name?}{@INPUTDATE(when)}\r\n"
                         "{@InputFile(body) note.txt}{@INPUT no name}{@INPUT( )}"
                         "{@INPUT(first name)}{@INPUT(city\r\n}";
    EXPECT_EQ(InputFieldNames(text),
              (QStringList{"First Name", "when", "body", "first name", "city"}));
    EXPECT_TRUE(InputFieldNames("{@INPUTTCL (x)}").isEmpty());
}

TEST(EditorText, TagsTheDialogsWrite) {
    EXPECT_EQ(InputTag("first name", " Your name? "), "{@INPUT(first_name) Your name?}");
    EXPECT_EQ(InputTag("", ""), "{@INPUT}");
    EXPECT_EQ(InputTag("c", "Colour", {"red", "{@KEY Tab}"}, true, ", "),
              "{@INPUT(c) Colour @SEP=\", \"\r\nred\r\n{@KEY Tab}\r\n}");
    EXPECT_EQ(InputTag("c", "", {"red"}, false, ""), "{@INPUT(c) @SINGLE\r\nred\r\n}");
    EXPECT_EQ(InputDateTag("due", "Due on", true), "{@INPUTDATE(due) Due on @LONG}");
    EXPECT_EQ(InputDateTag("", "", false), "{@INPUTDATE}");
    EXPECT_EQ(InputFileTag("b", "note.txt"), "{@INPUTFILE(b) note.txt}");
    EXPECT_EQ(InputMsgTag("  Hello  "), "{@INPUTMSG Hello}");
    EXPECT_EQ(InputTclTag("expr 1"), "{@INPUTTCL \r\nexpr 1}");
    EXPECT_EQ(Tag(" PAUSE 2 "), "{@PAUSE 2}");
    EXPECT_EQ(LinesCaption(1), "1 line");
    EXPECT_EQ(LinesCaption(0), "0 line");
    EXPECT_EQ(LinesCaption(3), "3 lines");
    EXPECT_EQ(ItemsCaption(1), "1 item");
    EXPECT_EQ(ItemsCaption(0), "0 items");
}

namespace {
// Keys as the hook reports them: a modifier's press without its own bit,
// its release with it (the state before the key).
struct TTyping {
    TKeyRecording rec;
    qint64 t = 0;
    uint32_t window = 7;
    void Key(uint16_t code, bool release = false) { rec.OnKey(code, release, t += 50, window); }
    void Press(uint16_t code) {
        Key(code);
        Key(code, true);
    }
};
} // namespace

TEST(KeyRecording, HeldModifiersBecomeDownAndUpTags) {
    TTyping k;
    k.Key(vk::Shift);
    k.Press(shortcut::Shift | 'H');
    k.Key(shortcut::Shift | vk::Shift, true);
    k.Press('I');
    k.Press(vk::Space);
    k.Press(vk::Return);
    k.Press(vk::NumLock);
    EXPECT_EQ(k.rec.Text(), "{@KEYDOWN Shift}h{@KEYUP Shift}i {@KEY Enter}");
    EXPECT_EQ(k.rec.Count(), 7); // Num Lock counts, yet types nothing
}

TEST(KeyRecording, WindowSwitchAndAltTab) {
    TTyping k;
    k.Key(0xA4); // left Alt
    k.Press(shortcut::Alt | vk::Tab);
    k.window = 9;
    k.Key(shortcut::Alt | 0xA4, true);
    EXPECT_EQ(k.rec.Text(), "{@KEYDOWN Alt}{@KEY Tab}{@PAUSE}{@KEYUP Alt}");

    // The first key in a new window right after an Alt press brings its Tab.
    TTyping j;
    j.Key(vk::Menu);
    j.window = 9;
    j.Key(shortcut::Alt | vk::Menu, true);
    EXPECT_EQ(j.rec.Text(), "{@KEYDOWN Alt}{@KEY Tab}{@PAUSE}{@KEYUP Alt}");
}

TEST(KeyRecording, FastRepeatsRecordedOnce) {
    TKeyRecording rec;
    for (int i = 0; i < 20; ++i)
        rec.OnKey('A', false, 1000 + i * 5, 1);
    rec.OnKey('B', false, 2000, 1);
    EXPECT_EQ(rec.Text(), "ab");
    // A control key is named; a key with Ctrl held in the tags loses the Ctrl.
    TTyping k;
    k.Press(shortcut::Ctrl | 'C');
    k.Key(vk::Control);
    k.Press(shortcut::Ctrl | 'V');
    EXPECT_EQ(k.rec.Text(), "{@KEY Ctrl+C}{@KEYDOWN Ctrl}v");
}
