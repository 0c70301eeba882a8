#pragma once
// Windows virtual-key codes and shortcut-code bits; stored in files and
// settings, so the numbers never change.
#include <cstdint>

namespace vk {
constexpr uint8_t Back = 0x08, Tab = 0x09, Return = 0x0D, Shift = 0x10, Control = 0x11, Menu = 0x12,
                  Pause = 0x13, Capital = 0x14, Escape = 0x1B, Space = 0x20, Prior = 0x21,
                  Next = 0x22, End = 0x23, Home = 0x24, Left = 0x25, Up = 0x26, Right = 0x27,
                  Down = 0x28, Insert = 0x2D, Delete = 0x2E, F1 = 0x70, F10 = 0x79, F24 = 0x87,
                  NumLock = 0x90, Scroll = 0x91;
// Shift, Ctrl or Alt pressed alone (also their left and right keys).
inline bool IsModifier(uint8_t key) {
    return key == Shift || key == Control || key == Menu || (key >= 0xA0 && key <= 0xA5);
}
} // namespace vk

// Shortcut codes: a virtual key in the low byte plus modifier bits.
namespace shortcut {
constexpr uint16_t Shift = 0x2000, Ctrl = 0x4000, Alt = 0x8000;
constexpr uint16_t KeyMask = 0x00FF;
inline uint8_t Key(uint16_t code) {
    return static_cast<uint8_t>(code & KeyMask);
}
} // namespace shortcut

// Modifier set of the suggestion keys, as the settings hold it.
enum TShiftStateBit : uint8_t { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
