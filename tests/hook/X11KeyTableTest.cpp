#include "hook/x11/KeyTable.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

namespace {
using namespace bxhook::x11;

// Range ends, keypad, modifiers and punctuation; the round trip below covers the rest.
TEST(X11KeyTable, KeysymsMapToVirtualKeys) {
    const struct {
        unsigned long sym;
        uint8_t vk;
    } cases[] = {
        {XK_a, 'A'},
        {XK_0, '0'},
        {XK_F1, 0x70},
        {XK_F24, 0x87},
        {XK_KP_0, 0x60},
        {XK_KP_Home, 0x24},
        {XK_KP_Enter, 0x0D},
        {XK_ISO_Left_Tab, 0x09},
        {XK_space, 0x20},
        {XK_Shift_R, 0x10},
        {XK_Control_L, 0x11},
        {XK_Alt_L, 0x12},
        {XK_Num_Lock, 0x90},
        {XK_KP_Divide, 0x6F},
        {XK_KP_Decimal, 0x6E},
        {XK_semicolon, 0xBA},
        {XK_equal, 0xBB},
        {XK_comma, 0xBC},
        {XK_minus, 0xBD},
        {XK_period, 0xBE},
        {XK_slash, 0xBF},
        {XK_grave, 0xC0},
        {XK_bracketleft, 0xDB},
        {XK_backslash, 0xDC},
        {XK_bracketright, 0xDD},
        {XK_apostrophe, 0xDE},
        {XK_ampersand, '7'},
        {XK_eacute, 0},
        {XK_dead_acute, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VkForKeysym(c.sym), c.vk) << std::hex << c.sym;
}

TEST(X11KeyTable, EveryTypableVirtualKeyComesBackFromItsKeysym) {
    for (int vk = 1; vk < 0xFF; ++vk) {
        const unsigned long sym = KeysymForVk(static_cast<uint8_t>(vk));
        if (!sym) continue;
        const uint8_t back = VkForKeysym(sym);
        // Left and right modifiers come back as the generic ones.
        const uint8_t generic = vk >= 0xA0 && vk <= 0xA5 ? 0x10 + (vk - 0xA0) / 2 : vk;
        EXPECT_EQ(back, generic) << std::hex << vk;
    }
    EXPECT_EQ(KeysymForVk('Q'), static_cast<unsigned long>(XK_q));
    EXPECT_EQ(KeysymForVk(0x0D), static_cast<unsigned long>(XK_Return));
    EXPECT_EQ(KeysymForVk(0xA1), static_cast<unsigned long>(XK_Shift_R));
    EXPECT_EQ(KeysymForVk(0x07), 0ul);
}

TEST(X11KeyTable, KeyPositionsGiveUsVirtualKeys) {
    EXPECT_EQ(VkForKeyName("AC10"), 0xBA);
    EXPECT_EQ(VkForKeyName("AD01"), 'Q');
    EXPECT_EQ(VkForKeyName("AE10"), '0');
    EXPECT_EQ(VkForKeyName("TLDE"), 0xC0);
    EXPECT_EQ(VkForKeyName("LSGT"), 0xE2);
    EXPECT_EQ(VkForKeyName("XXXX"), 0);
    EXPECT_EQ(VkForKeyName(""), 0);
    EXPECT_EQ(KeyNameForVk(0xDE), "AC11");
    EXPECT_EQ(KeyNameForVk(0xDC), "BKSL");
    EXPECT_TRUE(KeyNameForVk(0x70).empty());
}

TEST(X11KeyTable, AnsiCharactersHaveKeysyms) {
    unsigned long syms[2];
    ASSERT_EQ(KeysymsForUnicode(Cp1252ToUnicode('a'), syms), 2);
    EXPECT_EQ(syms[0], static_cast<unsigned long>(XK_a));
    ASSERT_EQ(KeysymsForUnicode(Cp1252ToUnicode(0xE9), syms), 2);
    EXPECT_EQ(syms[0], static_cast<unsigned long>(XK_eacute));
    EXPECT_EQ(syms[1], 0x010000E9ul);
    EXPECT_EQ(Cp1252ToUnicode(0x80), 0x20ACu);
    ASSERT_EQ(KeysymsForUnicode(0x20AC, syms), 2);
    EXPECT_EQ(syms[0], static_cast<unsigned long>(XK_EuroSign));
    EXPECT_EQ(Cp1252ToUnicode(0x85), 0x2026u); // ellipsis
    ASSERT_EQ(KeysymsForUnicode(0x2026, syms), 2);
    EXPECT_EQ(syms[0], 0x0AAEul);
    // Without a legacy keysym only the Unicode one remains.
    ASSERT_EQ(KeysymsForUnicode(Cp1252ToUnicode(0x88), syms), 1);
    EXPECT_EQ(syms[0], 0x010002C6ul);
    // The five undefined bytes type nothing.
    for (unsigned char c : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_EQ(Cp1252ToUnicode(c), 0u);
        EXPECT_EQ(KeysymsForUnicode(Cp1252ToUnicode(c), syms), 0);
    }
}

} // namespace
