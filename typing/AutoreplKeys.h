#pragma once
// Key to character, as the auto-replace engine reads the keys it is told
// about: four tables built once from the keyboard layout.
#include "platform/KeyboardLayout.h"

#include <array>
#include <cstdint>

// Shift states as the engine codes them: Shift 1, Alt 2, Ctrl 4.
namespace keystate {
constexpr int Shift = 1, Alt = 2, Ctrl = 4;
inline int Of(bool shift, bool ctrl, bool alt) {
    return (shift ? Shift : 0) | (alt ? Alt : 0) | (ctrl ? Ctrl : 0);
}
} // namespace keystate

class TKeyTables {
public:
    // All spaces until built.
    TKeyTables();
    void Build(const TKeyboardLayout& layout);
    // A key above 255 gives a space; Shift, Ctrl+Alt and Shift+Ctrl+Alt have
    // tables of their own, every other state reads the plain one.
    unsigned char KeyToChar(unsigned key, int state) const;

private:
    using TTable = std::array<unsigned char, 256>;
    TTable plain_, shift_, ctrlAlt_, shiftCtrlAlt_;
};
