#pragma once
// The control codes inside a playback text: 0x01, a kind byte, an argument
// byte. The kind's low five bits tell the kind, its high three bits carry the
// modifiers (0x20 Shift, 0x40 Ctrl, 0x80 Alt); the argument is the value + 1,
// so no byte of a code is ever NUL.
#include <QByteArray>
#include <cstdint>

namespace playback {

constexpr char Lead = '\x01';
constexpr qsizetype CodeLength = 3;
constexpr uint8_t KindPress = 0x01, KindSeconds = 0x02, KindDown = 0x04, KindUp = 0x06,
                  KindMilliseconds = 0x08;
constexpr uint8_t ModifierBits = 0xE0;
constexpr int MaxSeconds = 254, MaxMilliseconds = 200;

// A complete code starts at p[i]: the lead byte and two more before end, none NUL.
inline bool IsCodeAt(const char* p, qsizetype i, qsizetype end) {
    return p[i] == Lead && i + 2 < end && p[i + 1] != 0 && p[i + 2] != 0;
}

// value must be below 255.
inline QByteArray Code(uint8_t kind, uint8_t value) {
    const char bytes[CodeLength] = {Lead, static_cast<char>(kind), static_cast<char>(value + 1)};
    return QByteArray(bytes, CodeLength);
}

// Exactly one NUL, at the end, and no code cut short before it.
inline bool IsWellFormed(const QByteArray& text) {
    const qsizetype n = text.size();
    if (n == 0 || text[n - 1] != 0) return false;
    const char* p = text.constData();
    for (qsizetype i = 0; i < n - 1; ++i) {
        if (p[i] == 0) return false;
        if (p[i] == Lead) {
            if (!IsCodeAt(p, i, n - 1)) return false;
            i += CodeLength - 1;
        }
    }
    return true;
}

} // namespace playback
