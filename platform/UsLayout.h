#pragma once
// The fixed US keyboard layout: used by the virtual desktop and by unit tests
// so that key questions have deterministic answers.
#include <cstdint>

namespace UsLayout {
// Virtual key and shift for an ANSI character; false when no key types it.
bool KeyForChar(unsigned char c, uint8_t& vkey, bool& shift);
// Character a key types with the given shift state; 0 when none.
unsigned char CharForKey(uint8_t vkey, bool shift);
} // namespace UsLayout
