#pragma once
// Shortcut codes: a Windows virtual-key code in the low bits plus 0x2000
// Shift, 0x4000 Ctrl, 0x8000 Alt; 0 means none. Codes are stored in
// dictionaries and settings, so names and numbers must round-trip exactly.
// Texts are Windows-1252.
#include <QByteArray>
#include <cstdint>

// Virtual key above 255 gives 0, as no such key can be stored.
uint16_t MakeKeyCode(unsigned vkey, bool shift, bool ctrl, bool alt);

// "Shift+", "Ctrl+", "Alt+" (in that order) and the key's name; empty when
// the key has no name.
QByteArray KeyCodeToText(uint16_t code);

// The inverse of KeyCodeToText, case-insensitive, also accepting a single
// character of the current layout and the names SHIFT, CTRL, ALT, PAUSE,
// CAPS, PRINT, NUMPAD0..9, NUMPAD* + - / ., NUMLOCK, SCROLL, LWIN, RWIN, APP.
// 0 when the text names no key.
uint16_t TextToKeyCode(const QByteArray& text);

// Three bytes: 0x01, high byte + 1, low byte + 1. Empty for 0, for codes with
// a byte of 255, which cannot travel inside a NUL-terminated text, and for
// key numbers above 255, which would change the kind of code.
QByteArray EncodeKeyInText(uint16_t code);
