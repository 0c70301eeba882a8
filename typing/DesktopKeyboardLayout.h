#pragma once
// The desktop's keyboard layout, read from the X server when created.
#include "platform/KeyboardLayout.h"

#include <array>

class TX11KeyboardLayout final : public TKeyboardLayout {
public:
    // Null when the X server cannot be asked (no display, no XKB).
    static std::shared_ptr<TX11KeyboardLayout> Read();

    bool KeyForChar(unsigned char c, uint8_t& vkey, uint8_t& shiftState) const override;
    QByteArray KeyName(uint8_t vkey) const override;

private:
    std::array<uint8_t, 256> vkey_{};
    std::array<uint8_t, 256> shift_{};
    std::array<QByteArray, 256> name_;
};
