#include "platform/Keycodes.h"
#include "platform/KeyboardLayout.h"

#include <gtest/gtest.h>

namespace {

constexpr uint16_t S = 0x2000, C = 0x4000, A = 0x8000;

TEST(Keycodes, EveryNamedCodeRoundTrips) {
    int named = 0;
    for (unsigned mods : {0u, 0x2000u, 0x4000u, 0x6000u, 0x8000u, 0xA000u, 0xC000u, 0xE000u})
        for (unsigned vkey = 0; vkey < 256; ++vkey) {
            const auto code = static_cast<uint16_t>(mods | vkey);
            const QByteArray name = KeyCodeToText(code);
            if (name.isEmpty()) continue;
            ++named;
            EXPECT_EQ(TextToKeyCode(name), code) << name.constData();
            EXPECT_EQ(TextToKeyCode(name.toLower()), code) << name.constData();
        }
    // 75 standard names, 23 names of their own, 11 US punctuation keys; 8 modifier sets.
    EXPECT_EQ(named, 109 * 8);
}

TEST(Keycodes, TextToKeyCode) {
    const struct {
        const char* text;
        uint16_t code;
    } cases[] = {
        {"ctrl+alt+NumPad5", 101 | C | A},
        {"F10", 121},
        {"Shift+Ins", 8237},
        {"Alt+Shift+Tab", 9 | S | A}, // modifiers in any order
        {"a", 'A'},                   // a letter names its plain key
        {"A", 'A'},
        {"7", '7'},
        {"!", '1' | S}, // the layout's shift state is added
        {":", 0xBA | S},
        {"Ctrl+:", 0xBA | S | C},
        {"Ctrl++", 0xBB | S | C},
        {";", 0xBA},
        {".", 0xBE},
        {"NumPad.", 110},
        {"Shift", S},
        {"shift+ctrl", S | C},
        {"Alt", A},
        {"caps", 20},
        {"Ctrl+Pause", 19 | C},
        {"numpad/", 111},
        {"LWin", 91},
        {"app", 93},
        {"Scroll", 145},
        {"BkSp", 8},
        {"PgDn", 34},
        {"F24", 135},
        {"F25", 0},
        {"", 0},
        {"Shift+", 0},
        {"NoSuchKey", 0},
        {"\xE9", 0}, // no US key types it
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextToKeyCode(c.text), c.code) << c.text;
}

TEST(Keycodes, KeyCodeToText) {
    const struct {
        uint16_t code;
        const char* text;
    } cases[] = {
        {24688, "Shift+Ctrl+F1"},
        {101 | C | A, "Ctrl+Alt+NumPad5"},
        {'A' | A, "Alt+A"},
        {0xBA | S, "Shift+;"},
        {13, "Enter"},
        {110, "NumPad."},
        {0, ""},
        {S, ""},      // no key
        {0x10, ""},   // Shift itself has no name
        {0x0100, ""}, // beyond the key range
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeyCodeToText(c.code), QByteArray(c.text)) << c.code;
}

TEST(Keycodes, EncodeKeyInText) {
    EXPECT_EQ(EncodeKeyInText('A' | S), QByteArray("\x01\x21\x42", 3));
    EXPECT_EQ(EncodeKeyInText(S), QByteArray("\x01\x21\x01", 3));
    EXPECT_EQ(EncodeKeyInText(0), QByteArray());
    EXPECT_EQ(EncodeKeyInText(0x00FF), QByteArray());
    EXPECT_EQ(EncodeKeyInText(0xFF41), QByteArray());
    EXPECT_EQ(EncodeKeyInText(0x0141), QByteArray()); // would read as a pause
}

TEST(Keycodes, MakeKeyCode) {
    EXPECT_EQ(MakeKeyCode(0x70, true, true, false), 24688);
    EXPECT_EQ(MakeKeyCode(0x41, false, false, true), 'A' | A);
    EXPECT_EQ(MakeKeyCode(256, true, false, false), 0);
}

// A layout unlike US: names the keypad point ".", types "@" with AltGr (Ctrl+Alt),
// "|" with Shift+AltGr, "^" with Shift+Ctrl and "~" with Alt.
class TFakeLayout : public TKeyboardLayout {
public:
    bool KeyForChar(unsigned char c, uint8_t& vkey, uint8_t& shiftState) const override {
        switch (c) {
        case '.':
            vkey = 0xBE, shiftState = 0;
            return true;
        case '@':
            vkey = 'Q', shiftState = layoutshift::Ctrl | layoutshift::Alt;
            return true;
        case '|':
            vkey = 'W', shiftState = layoutshift::Shift | layoutshift::Ctrl | layoutshift::Alt;
            return true;
        case '^':
            vkey = 0xDC, shiftState = layoutshift::Shift | layoutshift::Ctrl;
            return true;
        case '~':
            vkey = 0xDE, shiftState = layoutshift::Alt;
            return true;
        default:
            return false;
        }
    }
    QByteArray KeyName(uint8_t vkey) const override {
        if (vkey == 110) return ".";
        if (vkey == 0xDC) return "Hat";
        return {};
    }
};

class KeycodesLayout : public ::testing::Test {
protected:
    void SetUp() override { SetCurrentKeyboardLayout(std::make_shared<TFakeLayout>()); }
    void TearDown() override { SetCurrentKeyboardLayout(nullptr); }
};

TEST_F(KeycodesLayout, AnswersFollowTheInstalledLayout) {
    EXPECT_EQ(TextToKeyCode("@"), 'Q' | C | A);
    EXPECT_EQ(TextToKeyCode("|"), 'W' | S | C | A);
    // Shift+Ctrl and Alt alone are no character states: the key as it stands.
    EXPECT_EQ(TextToKeyCode("^"), 0xDC);
    EXPECT_EQ(TextToKeyCode("~"), 0xDE);
    EXPECT_EQ(TextToKeyCode("Ctrl+~"), 0xDE | C);
    EXPECT_EQ(TextToKeyCode("Alt+Hat"), 0xDC | A);
    EXPECT_EQ(KeyCodeToText(0xDC | C), QByteArray("Ctrl+Hat"));
    // The keypad's point keeps its own name; "." is the main keyboard's key.
    EXPECT_EQ(TextToKeyCode("."), 0xBE);
    EXPECT_EQ(KeyCodeToText(110), QByteArray("NumPad."));
    EXPECT_EQ(TextToKeyCode(";"), 0); // the US name is gone
    SetCurrentKeyboardLayout(nullptr);
    EXPECT_EQ(TextToKeyCode(";"), 0xBA);
    EXPECT_EQ(TextToKeyCode("Hat"), 0);
}

} // namespace
