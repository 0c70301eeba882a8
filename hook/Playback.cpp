#include "hook/Playback.h"
#include "hook/HookProtocol.h"

namespace bxhook {

std::vector<TPlaybackStep> DecodePlayback(std::string_view text) {
    std::vector<TPlaybackStep> steps;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<uint8_t>(text[i]);
        if (c == 0) break;
        if (c == static_cast<uint8_t>(playback::Lead)) {
            if (i + 2 >= n || text[i + 1] == 0 || text[i + 2] == 0) break;
            const auto kind = static_cast<uint8_t>(text[i + 1]);
            const auto arg = static_cast<uint8_t>(static_cast<uint8_t>(text[i + 2]) - 1);
            const auto mods = static_cast<uint8_t>(kind & playback::ModifierBits);
            i += 2;
            switch (kind & playback::KindMask) {
            case playback::KindPress:
                steps.push_back({TPlaybackStep::KeyPress, arg, mods});
                break;
            case playback::KindSeconds:
                steps.push_back({TPlaybackStep::PauseSec, arg, 0});
                break;
            case playback::KindDown:
                steps.push_back({TPlaybackStep::KeyDown, arg, mods});
                break;
            case playback::KindUp:
                steps.push_back({TPlaybackStep::KeyUp, arg, mods});
                break;
            case playback::KindMilliseconds:
                steps.push_back({TPlaybackStep::PauseMsec, arg, 0});
                break;
            default:
                break;
            }
            continue;
        }
        if (c == '\r' && i + 1 < n && text[i + 1] == '\n') {
            steps.push_back({TPlaybackStep::KeyPress, 0x0D, 0});
            ++i;
            continue;
        }
        if (c == '\n' || c == '\r') {
            steps.push_back({TPlaybackStep::KeyPress, 0x0D, 0});
            continue;
        }
        steps.push_back({TPlaybackStep::Char, c, 0});
    }
    return steps;
}

} // namespace bxhook
