#pragma once
// Decoding UTF-8 without Qt, for the hook library and the character set.
#include <cstdint>
#include <string_view>

namespace Utf8 {

// What a malformed, cut or overlong sequence decodes to: one per bad byte.
inline constexpr uint32_t kInvalid = 0xFFFFFFFF;

// Calls onChar(code point) for each character of s, in order.
// (The callback is not called "emit": Qt defines that word away as a macro.)
template <class Emit> void Decode(std::string_view s, Emit&& onChar) {
    static constexpr uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            onChar(uint32_t{c});
            ++i;
            continue;
        }
        const size_t len = c >= 0xF8 ? 0 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
        uint32_t cp = c & (0x7Fu >> len);
        bool ok = len != 0 && i + len <= s.size();
        for (size_t k = 1; ok && k < len; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            ok = (d & 0xC0) == 0x80;
            cp = cp << 6 | (d & 0x3F);
        }
        if (!ok || cp < kMin[len]) {
            onChar(kInvalid);
            ++i;
            continue;
        }
        onChar(cp);
        i += len;
    }
}

} // namespace Utf8
