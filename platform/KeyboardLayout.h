#pragma once
// The keyboard layout as key-naming and key-finding code sees it: which key
// and shift state type a character, and what the layout calls a key. The
// product installs the layout of the user's desktop; until then, and in unit
// tests, a fixed US layout answers so that results are deterministic.
#include <QByteArray>
#include <cstdint>
#include <memory>

// Shift-state bits reported by KeyForChar.
namespace layoutshift {
constexpr uint8_t Shift = 1, Ctrl = 2, Alt = 4;
} // namespace layoutshift

// A layout object never changes once installed; a changed desktop layout is
// installed as a new object, so callers may cache answers per object.
class TKeyboardLayout {
public:
    virtual ~TKeyboardLayout() = default;
    // The virtual key and the shift state (layoutshift bits) that type the
    // Windows-1252 character c; false when no key of the layout types it.
    virtual bool KeyForChar(unsigned char c, uint8_t& vkey, uint8_t& shiftState) const = 0;
    // The layout's own name for a key, Windows-1252; empty when it has none.
    virtual QByteArray KeyName(uint8_t vkey) const = 0;
};

class TUsKeyboardLayout final : public TKeyboardLayout {
public:
    bool KeyForChar(unsigned char c, uint8_t& vkey, uint8_t& shiftState) const override;
    // The punctuation keys are named by the character they type unshifted.
    QByteArray KeyName(uint8_t vkey) const override;
};

// Never null. Safe to call from any thread.
std::shared_ptr<const TKeyboardLayout> CurrentKeyboardLayout();
// A null layout restores the fixed US layout.
void SetCurrentKeyboardLayout(std::shared_ptr<const TKeyboardLayout> layout);
