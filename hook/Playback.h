#pragma once
// Decoding of a playback text into typing steps.
#include <cstdint>
#include <string_view>
#include <vector>

namespace bxhook {

struct TPlaybackStep {
    enum Kind { Char, KeyPress, KeyDown, KeyUp, PauseSec, PauseMsec } kind;
    uint8_t value = 0; // character, virtual key, seconds or milliseconds
    uint8_t mods = 0;  // 0x20 Shift, 0x40 Ctrl, 0x80 Alt
};

// Stops at the first NUL. CR LF counts as one Return key; a cut-off or
// unknown control code is dropped rather than typed.
std::vector<TPlaybackStep> DecodePlayback(std::string_view text);

} // namespace bxhook
