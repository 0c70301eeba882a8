#pragma once
#include "tags/ParseTxt.h"
#include "tags/PlaybackCodes.h"

#include <gtest/gtest.h>

// Parses text (a NUL is added as the streams carry one) and returns the
// result without its NUL, failing the test when the result is malformed.
inline QByteArray Parse(const QByteArray& text, bool keep = false) {
    QByteArray stream = text;
    stream.append('\0');
    ParseTextToType(stream, keep);
    EXPECT_TRUE(playback::IsWellFormed(stream)) << stream.toHex().constData();
    return stream.left(stream.size() - 1);
}

// A code: modifiers | kind, and the value (stored + 1).
inline QByteArray Code(int kind, int value) {
    return playback::Code(static_cast<uint8_t>(kind), static_cast<uint8_t>(value));
}
inline QByteArray Press(int vkey, int mods = 0) {
    return Code(mods | playback::KindPress, vkey);
}
inline QByteArray Seconds(int s) {
    return Code(playback::KindSeconds, s);
}
inline QByteArray Millis(int ms) {
    return Code(playback::KindMilliseconds, ms);
}
