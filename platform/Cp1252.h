#pragma once
// Windows-1252, the character set of every stored text, without Qt so that
// the hook library can use it too.
#include <cstdint>
#include <string>
#include <string_view>

namespace Cp1252 {
// 0x80..0x9F; 0 marks the five undefined bytes.
inline constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The five undefined bytes map to themselves (C1 controls). Inline: text
// conversion runs it for every byte of a dictionary.
inline char16_t ToUnicode(unsigned char c) {
    if (c >= 0x80 && c < 0xA0 && kHigh[c - 0x80] != 0) return kHigh[c - 0x80];
    return c;
}
// 0 when the character has no Windows-1252 byte (NUL maps to 0 as well).
unsigned char FromUnicode(char16_t u);
// UTF-8 to Windows-1252; characters without a byte, and malformed or
// overlong sequences, become '?'.
std::string FromUtf8(std::string_view utf8);
} // namespace Cp1252
