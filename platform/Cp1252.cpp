#include "platform/Cp1252.h"
#include "platform/Utf8.h"

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
    Utf8::Decode(s, [&out](uint32_t u) {
        const unsigned char c = u <= 0xFFFF ? FromUnicode(static_cast<char16_t>(u)) : 0;
        out += (c || u == 0) ? static_cast<char>(c) : '?';
    });
    return out;
}
} // namespace Cp1252
