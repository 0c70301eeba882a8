// libFuzzer target: any bytes as an espanso match file. The reader must refuse
// or read them without crashing or hanging, and whatever it imported must
// export without crashing.
#include "dictionary/DictList.h"
#include "tools/convert/Formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TImportBatch batch;
    Formats::ImportEspanso(bytes, batch);
    TDictionaryList list;
    ApplyImport(batch, list, true);
    QList<TConvertNote> losses;
    TImportBatch again;
    Formats::ImportEspanso(Formats::ExportEspanso(list, losses), again);
    return 0;
}
