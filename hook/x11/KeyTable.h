#pragma once
// Windows virtual keys against X keysyms and XKB key names. Pure tables:
// no display is needed, so they hold for every layout.
#include <cstdint>
#include <string_view>

namespace bxhook::x11 {

// Virtual key of a keysym; 0 when the keysym has no fixed virtual key (it
// then depends on the layout and is looked up by the key's position).
uint8_t VkForKeysym(unsigned long keysym);

// Preferred keysym for a virtual key (lower-case letters, keypad digits for
// VK_NUMPAD0..9, the US symbols for the OEM keys); 0 when none.
unsigned long KeysymForVk(uint8_t vkey);

// Virtual key of a physical key position named by XKB ("AC10", "TLDE"...),
// the US assignment; 0 for an unknown name. The name is at most 4 chars.
uint8_t VkForKeyName(std::string_view name);
// XKB key name of a virtual key's US position; empty when none.
std::string_view KeyNameForVk(uint8_t vkey);

// Unicode of a Windows-1252 byte; 0 for the five undefined bytes.
uint32_t Cp1252ToUnicode(unsigned char c);
// Keysyms that type a Unicode character: the legacy keysym when one exists,
// then the 0x01000000-based Unicode keysym. Returns how many were written.
int KeysymsForUnicode(uint32_t u, unsigned long out[2]);

// Shift, Ctrl and Alt keys, left, right or either.
bool IsModifierVk(uint8_t vkey);

// Whether a key map vector (XQueryKeymap's 32 bytes) shows the key down.
inline bool KeymapHas(const char keys[32], int code) {
    return code >= 0 && code < 256 &&
           ((static_cast<unsigned char>(keys[code / 8]) >> (code % 8)) & 1);
}

// A keysym that puts text in a document: characters, the keypad's, Return, Tab.
bool IsPrintableKeysym(unsigned long sym);

} // namespace bxhook::x11
