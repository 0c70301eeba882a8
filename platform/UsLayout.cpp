#include "platform/UsLayout.h"

namespace UsLayout {
namespace {
struct Punct {
    uint8_t vkey;
    char plain, shifted;
};
constexpr Punct kPunct[] = {{0xBA, ';', ':'},  {0xBB, '=', '+'}, {0xBC, ',', '<'}, {0xBD, '-', '_'},
                            {0xBE, '.', '>'},  {0xBF, '/', '?'}, {0xC0, '`', '~'}, {0xDB, '[', '{'},
                            {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'}};
constexpr char kShiftedDigits[] = ")!@#$%^&*(";
} // namespace

bool KeyForChar(unsigned char c, uint8_t& vkey, bool& shift) {
    shift = false;
    if (c >= 'a' && c <= 'z') {
        vkey = static_cast<uint8_t>(c - 32);
        return true;
    }
    if (c >= 'A' && c <= 'Z') {
        vkey = c;
        shift = true;
        return true;
    }
    if (c >= '0' && c <= '9') {
        vkey = c;
        return true;
    }
    switch (c) {
    case ' ':
        vkey = 0x20;
        return true;
    case '\t':
        vkey = 0x09;
        return true;
    case '\r':
    case '\n':
        vkey = 0x0D;
        return true;
    default:
        break;
    }
    for (int i = 0; i < 10; ++i)
        if (kShiftedDigits[i] == static_cast<char>(c)) {
            vkey = static_cast<uint8_t>('0' + i);
            shift = true;
            return true;
        }
    for (const Punct& p : kPunct) {
        if (p.plain == static_cast<char>(c)) {
            vkey = p.vkey;
            return true;
        }
        if (p.shifted == static_cast<char>(c)) {
            vkey = p.vkey;
            shift = true;
            return true;
        }
    }
    return false;
}

unsigned char CharForKey(uint8_t vkey, bool shift) {
    if (vkey >= 'A' && vkey <= 'Z') return shift ? vkey : vkey + 32;
    if (vkey >= '0' && vkey <= '9') return shift ? kShiftedDigits[vkey - '0'] : vkey;
    if (vkey == 0x20) return ' ';
    if (vkey == 0x09) return '\t';
    for (const Punct& p : kPunct)
        if (p.vkey == vkey) return shift ? p.shifted : p.plain;
    return 0;
}
} // namespace UsLayout
