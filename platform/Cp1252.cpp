#include "platform/Cp1252.h"

namespace Cp1252 {
unsigned char FromUnicode(char16_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<unsigned char>(u);
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == u && u != 0) return static_cast<unsigned char>(0x80 + i);
        if (kHigh[i] == 0 && u == 0x80 + i) return static_cast<unsigned char>(u);
    }
    return 0;
}

std::string FromUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int len = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : 4;
        uint32_t u = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
        bool ok = b < 0x80 || (b >= 0xC2 && b <= 0xF4);
        for (int k = 1; ok && k < len; ++k) {
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                ok = false;
            else
                u = (u << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        if (!ok) {
            out += '?';
            ++i;
            continue;
        }
        i += len;
        const unsigned char c = u == 0        ? 0
                                : u <= 0xFFFF ? FromUnicode(static_cast<char16_t>(u))
                                              : 0;
        out += (c || u == 0) ? static_cast<char>(c) : '?';
    }
    return out;
}
} // namespace Cp1252
