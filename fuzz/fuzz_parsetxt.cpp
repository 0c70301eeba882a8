// libFuzzer target: the tag parser in both modes and the key-name parser.
// Any input must give a well-formed playback text and never crash or hang.
#include "platform/Keycodes.h"
#include "tags/ParseTxt.h"
#include "tags/PlaybackCodes.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (bool keep : {false, true}) {
        QByteArray stream = text;
        ParseTextToType(stream, keep);
        if (stream.size() >= 2 && !playback::IsWellFormed(stream)) std::abort();
        (void)LeadingPauseLength(stream);
    }
    const uint16_t code = TextToKeyCode(text.left(64));
    const QByteArray name = KeyCodeToText(code);
    if (!name.isEmpty() && TextToKeyCode(name) != code) std::abort();
    return 0;
}
