// libFuzzer target: any bytes as a dictionary file. The reader must refuse
// or read them without crashing, and whatever it read must save and read
// back the same.
#include "dictionary/Dict.h"
#include "platform/Errors.h"

#include <QBuffer>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    TDictionaryList list;
    try {
        list.LoadFromStream(in);
    } catch (const EBrevix&) {
        if (list.Count() != 0) std::abort();
        return 0;
    }
    QByteArray saved;
    QBuffer out(&saved);
    out.open(QIODevice::WriteOnly);
    list.SaveToStream(out);
    QBuffer again(&saved);
    again.open(QIODevice::ReadOnly);
    TDictionaryList back;
    const TLoadResult r = back.LoadFromStream(again);
    if (!r.complete || back.Count() != list.Count()) std::abort();
    for (int i = 0; i < list.Count(); ++i)
        if (back.GetKeywordAt(i) != list.GetKeywordAt(i) ||
            back.GetItem(i)->GetText() != list.GetItem(i)->GetText())
            std::abort();
    return 0;
}
