// Session files and procedure results: hexadecimal text, then the field list
// and the text saved with it. Whatever comes in is refused or restored whole,
// the same by the one-pass reader of files as by decoding first.
#include "tags/InputList.h"
#include "tags/InputSession.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray raw(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TBXInputList list;
    QByteArray before;
    QByteArray decoded;
    QString why;
    // Both the raw bytes and their hexadecimal form reach the reader.
    for (const QByteArray& session : {raw, raw.toHex()}) {
        before = list.SaveToStream();
        // Files are read in one pass; it must agree with decoding first.
        TBXInputList onePass;
        const bool read = RestoreSessionHex(session, onePass, &why);
        if (!SessionFromHex(session, decoded, &why)) {
            if (read) __builtin_trap();
            continue;
        }
        if (RestoreSessionData(decoded, list, &why)) {
            if (!read || onePass.SaveToStream() != list.SaveToStream() ||
                onePass.RestoredText != list.RestoredText)
                __builtin_trap();
            // Written again, it is the same session, digit for digit.
            const std::optional<QString> text =
                list.RestoredText.isEmpty() ? std::nullopt : std::optional(list.RestoredText);
            if (SessionHex(list, text) != SessionToHex(SessionData(list, text))) __builtin_trap();
            // What was restored reads back from its own stream unchanged.
            const QByteArray saved = list.SaveToStream();
            TBXInputList again;
            if (!again.LoadFromStream(saved) || again.SaveToStream() != saved) __builtin_trap();
        } else if (read || list.SaveToStream() != before) {
            __builtin_trap();
        }
    }
    return 0;
}
