#include "platform/KeyboardLayout.h"

#include "platform/UsLayout.h"

#include <mutex>

bool TUsKeyboardLayout::KeyForChar(unsigned char c, uint8_t& vkey, uint8_t& shiftState) const {
    bool shift = false;
    if (!UsLayout::KeyForChar(c, vkey, shift)) return false;
    shiftState = shift ? layoutshift::Shift : 0;
    return true;
}

QByteArray TUsKeyboardLayout::KeyName(uint8_t vkey) const {
    // Letters, digits, Space and Tab have names of their own elsewhere.
    if (vkey < 0xBA) return {};
    const unsigned char c = UsLayout::CharForKey(vkey, false);
    return c ? QByteArray(1, static_cast<char>(c)) : QByteArray();
}

namespace {
std::mutex gLayoutMutex;

std::shared_ptr<const TKeyboardLayout>& LayoutSlot() {
    static std::shared_ptr<const TKeyboardLayout> slot = std::make_shared<TUsKeyboardLayout>();
    return slot;
}
} // namespace

std::shared_ptr<const TKeyboardLayout> CurrentKeyboardLayout() {
    std::lock_guard lock(gLayoutMutex);
    return LayoutSlot();
}

void SetCurrentKeyboardLayout(std::shared_ptr<const TKeyboardLayout> layout) {
    if (!layout) layout = std::make_shared<TUsKeyboardLayout>();
    std::lock_guard lock(gLayoutMutex);
    LayoutSlot() = std::move(layout);
}
