#include "hook/x11/KeyTable.h"
#include "platform/Cp1252.h"

#include <X11/keysym.h>

namespace bxhook::x11 {
namespace {

struct TSymVk {
    unsigned long sym;
    uint8_t vk;
};

// First entry for a virtual key is the one typed for it.
constexpr TSymVk kSymVk[] = {
    {XK_BackSpace, 0x08},   {XK_Tab, 0x09},        {XK_ISO_Left_Tab, 0x09}, {XK_Clear, 0x0C},
    {XK_KP_Begin, 0x0C},    {XK_Return, 0x0D},     {XK_KP_Enter, 0x0D},     {XK_Shift_L, 0x10},
    {XK_Shift_R, 0x10},     {XK_Control_L, 0x11},  {XK_Control_R, 0x11},    {XK_Alt_L, 0x12},
    {XK_Alt_R, 0x12},       {XK_Meta_L, 0x12},     {XK_Meta_R, 0x12},       {XK_Pause, 0x13},
    {XK_Break, 0x13},       {XK_Caps_Lock, 0x14},  {XK_Escape, 0x1B},       {XK_space, 0x20},
    {XK_KP_Space, 0x20},    {XK_Prior, 0x21},      {XK_KP_Prior, 0x21},     {XK_Next, 0x22},
    {XK_KP_Next, 0x22},     {XK_End, 0x23},        {XK_KP_End, 0x23},       {XK_Home, 0x24},
    {XK_KP_Home, 0x24},     {XK_Left, 0x25},       {XK_KP_Left, 0x25},      {XK_Up, 0x26},
    {XK_KP_Up, 0x26},       {XK_Right, 0x27},      {XK_KP_Right, 0x27},     {XK_Down, 0x28},
    {XK_KP_Down, 0x28},     {XK_Select, 0x29},     {XK_Execute, 0x2B},      {XK_Print, 0x2C},
    {XK_Insert, 0x2D},      {XK_KP_Insert, 0x2D},  {XK_Delete, 0x2E},       {XK_KP_Delete, 0x2E},
    {XK_Help, 0x2F},        {XK_Super_L, 0x5B},    {XK_Super_R, 0x5C},      {XK_Menu, 0x5D},
    {XK_KP_Multiply, 0x6A}, {XK_KP_Add, 0x6B},     {XK_KP_Separator, 0x6C}, {XK_KP_Subtract, 0x6D},
    {XK_KP_Decimal, 0x6E},  {XK_KP_Divide, 0x6F},  {XK_Num_Lock, 0x90},     {XK_Scroll_Lock, 0x91},
    {XK_semicolon, 0xBA},   {XK_colon, 0xBA},      {XK_equal, 0xBB},        {XK_plus, 0xBB},
    {XK_comma, 0xBC},       {XK_less, 0xBC},       {XK_minus, 0xBD},        {XK_underscore, 0xBD},
    {XK_period, 0xBE},      {XK_greater, 0xBE},    {XK_slash, 0xBF},        {XK_question, 0xBF},
    {XK_grave, 0xC0},       {XK_asciitilde, 0xC0}, {XK_bracketleft, 0xDB},  {XK_braceleft, 0xDB},
    {XK_backslash, 0xDC},   {XK_bar, 0xDC},        {XK_bracketright, 0xDD}, {XK_braceright, 0xDD},
    {XK_apostrophe, 0xDE},  {XK_quotedbl, 0xDE},   {XK_exclam, '1'},        {XK_at, '2'},
    {XK_numbersign, '3'},   {XK_dollar, '4'},      {XK_percent, '5'},       {XK_asciicircum, '6'},
    {XK_ampersand, '7'},    {XK_asterisk, '8'},    {XK_parenleft, '9'},     {XK_parenright, '0'},
};

struct TNameVk {
    const char* name;
    uint8_t vk;
};

// Physical positions of the main block with their US virtual keys.
constexpr TNameVk kNameVk[] = {
    {"TLDE", 0xC0}, {"AE01", '1'},  {"AE02", '2'}, {"AE03", '3'},  {"AE04", '4'},  {"AE05", '5'},
    {"AE06", '6'},  {"AE07", '7'},  {"AE08", '8'}, {"AE09", '9'},  {"AE10", '0'},  {"AE11", 0xBD},
    {"AE12", 0xBB}, {"AD01", 'Q'},  {"AD02", 'W'}, {"AD03", 'E'},  {"AD04", 'R'},  {"AD05", 'T'},
    {"AD06", 'Y'},  {"AD07", 'U'},  {"AD08", 'I'}, {"AD09", 'O'},  {"AD10", 'P'},  {"AD11", 0xDB},
    {"AD12", 0xDD}, {"AC01", 'A'},  {"AC02", 'S'}, {"AC03", 'D'},  {"AC04", 'F'},  {"AC05", 'G'},
    {"AC06", 'H'},  {"AC07", 'J'},  {"AC08", 'K'}, {"AC09", 'L'},  {"AC10", 0xBA}, {"AC11", 0xDE},
    {"BKSL", 0xDC}, {"AC12", 0xDC}, {"AB01", 'Z'}, {"AB02", 'X'},  {"AB03", 'C'},  {"AB04", 'V'},
    {"AB05", 'B'},  {"AB06", 'N'},  {"AB07", 'M'}, {"AB08", 0xBC}, {"AB09", 0xBE}, {"AB10", 0xBF},
    {"LSGT", 0xE2}, {"SPCE", 0x20},
};

// The legacy keysym of each character of Windows-1252 0x80..0x9F (the
// characters are Cp1252::kHigh); 0 where there is none.
constexpr uint16_t kHighSym[32] = {0x20AC, 0,      0x0AFD, 0x08F6, 0x0AFE, 0x0AAE, 0x0AF1, 0x0AF2,
                                   0,      0x0AD5, 0x01A9, 0,      0x13BC, 0,      0x01AE, 0,
                                   0,      0x0AD0, 0x0AD1, 0x0AD2, 0x0AD3, 0x0AE6, 0x0AAA, 0x0AA9,
                                   0,      0x0AC9, 0x01B9, 0,      0x13BD, 0,      0x01BE, 0x13BE};

} // namespace

uint8_t VkForKeysym(unsigned long sym) {
    if (sym >= XK_a && sym <= XK_z) return static_cast<uint8_t>('A' + (sym - XK_a));
    if (sym >= XK_A && sym <= XK_Z) return static_cast<uint8_t>(sym);
    if (sym >= XK_0 && sym <= XK_9) return static_cast<uint8_t>(sym);
    if (sym >= XK_KP_0 && sym <= XK_KP_9) return static_cast<uint8_t>(0x60 + (sym - XK_KP_0));
    if (sym >= XK_F1 && sym <= XK_F24) return static_cast<uint8_t>(0x70 + (sym - XK_F1));
    for (const TSymVk& e : kSymVk)
        if (e.sym == sym) return e.vk;
    return 0;
}

unsigned long KeysymForVk(uint8_t vk) {
    if (vk >= 'A' && vk <= 'Z') return XK_a + (vk - 'A');
    if (vk >= '0' && vk <= '9') return vk;
    if (vk >= 0x60 && vk <= 0x69) return XK_KP_0 + (vk - 0x60);
    if (vk >= 0x70 && vk <= 0x87) return XK_F1 + (vk - 0x70);
    switch (vk) {
    case 0xA0:
        return XK_Shift_L;
    case 0xA1:
        return XK_Shift_R;
    case 0xA2:
        return XK_Control_L;
    case 0xA3:
        return XK_Control_R;
    case 0xA4:
        return XK_Alt_L;
    case 0xA5:
        return XK_Alt_R;
    default:
        break;
    }
    for (const TSymVk& e : kSymVk)
        if (e.vk == vk) return e.sym;
    return 0;
}

uint8_t VkForKeyName(std::string_view name) {
    for (const TNameVk& e : kNameVk)
        if (name == e.name) return e.vk;
    return 0;
}

std::string_view KeyNameForVk(uint8_t vk) {
    for (const TNameVk& e : kNameVk)
        if (e.vk == vk) return e.name;
    return {};
}

uint32_t Cp1252ToUnicode(unsigned char c) {
    const char16_t u = Cp1252::ToUnicode(c);
    return u >= 0x80 && u < 0xA0 ? 0 : u; // an undefined byte types nothing
}

int KeysymsForUnicode(uint32_t u, unsigned long out[2]) {
    if (u == 0) return 0;
    if ((u >= 0x20 && u < 0x7F) || (u >= 0xA0 && u <= 0xFF)) {
        out[0] = u;
        out[1] = 0x01000000 | u;
        return 2;
    }
    int n = 0;
    for (int i = 0; i < 32; ++i)
        if (Cp1252::kHigh[i] == u && kHighSym[i]) out[n++] = kHighSym[i];
    out[n++] = 0x01000000 | u;
    return n;
}

bool IsModifierVk(uint8_t vk) {
    return (vk >= 0x10 && vk <= 0x12) || (vk >= 0xA0 && vk <= 0xA5);
}

bool IsPrintableKeysym(unsigned long sym) {
    return (sym >= 0x20 && sym < 0xFF00) || (sym >= XK_KP_Space && sym <= XK_KP_9) ||
           (sym >= 0x01000000 && sym <= 0x0110FFFF) || sym == XK_Return || sym == XK_KP_Enter ||
           sym == XK_Tab;
}

} // namespace bxhook::x11
