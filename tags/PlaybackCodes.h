#pragma once
// Building and checking the control codes of a playback text (their bytes
// are laid down in the protocol header).
#include "hook/HookProtocol.h"

#include <QByteArray>
#include <cstdint>

namespace playback {

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
