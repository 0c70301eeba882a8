// Session files and procedure results: hexadecimal text, then the field list
// and the text saved with it. Whatever comes in is refused or restored whole.
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
        if (!SessionFromHex(session, decoded, &why)) continue;
        if (RestoreSessionData(decoded, list, &why)) {
            // What was restored reads back from its own stream unchanged.
            const QByteArray saved = list.SaveToStream();
            TBXInputList again;
            if (!again.LoadFromStream(saved) || again.SaveToStream() != saved) __builtin_trap();
        } else if (list.SaveToStream() != before) {
            __builtin_trap();
        }
    }
    return 0;
}
