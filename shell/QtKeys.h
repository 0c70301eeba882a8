#pragma once
// Virtual keys and Qt's key events, both ways: for menu accelerators, for
// keys handed to our own controls, and for keys typed into them that the
// auto-replace engine must see as the hook would report them.
#include <QString>
#include <Qt>
#include <cstdint>

namespace QtKeys {
// The Qt key of a virtual key; 0 for keys without an unambiguous Qt key.
int QtKeyForVk(uint8_t key);
// The character a virtual key types unshifted, as a key event carries it;
// empty for keys that type none.
QString TextForVk(uint8_t key);
// The shortcut code of a key event (the character through the current
// keyboard layout); false for a modifier alone and keys with no code.
bool CodeForKeyEvent(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text,
                     uint16_t& code);
} // namespace QtKeys
