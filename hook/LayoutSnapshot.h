#pragma once
// The desktop's keyboard layout for the program's key questions. The X11
// backend reads it once per call from XKB on a short-lived connection of its
// own; the virtual desktop has none of its own (it is the fixed US layout).
#include "hook/HookApi.h"

#include <cstdint>
#include <string>

namespace bxhook {

struct TLayoutSnapshot {
    // Per Windows-1252 byte: the virtual key typing it (0 none) and the shift
    // state, bits 1 Shift, 2 Ctrl, 4 Alt (AltGr counts as Ctrl+Alt).
    uint8_t vkey[256] = {};
    uint8_t shift[256] = {};
    // Per virtual key of the punctuation range (0xBA and above): the
    // character it types unshifted, UTF-8; empty when none.
    std::string name[256];
};

// False when no X display with XKB can be reached.
BX_API bool X11LayoutSnapshot(TLayoutSnapshot& out);
// The running backend's layout; false when there is none to read, and the
// program keeps its own US layout.
BX_API bool DesktopLayoutSnapshot(TLayoutSnapshot& out);

} // namespace bxhook
