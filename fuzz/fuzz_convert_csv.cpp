// libFuzzer target: any bytes as a CSV import. The reader must refuse or read
// them without crashing, and whatever it imported must export to CSV and
// import again as the same entries.
#include "dictionary/DictList.h"
#include "tools/convert/Formats.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TImportBatch batch;
    Formats::ImportCsv(bytes, batch);
    TDictionaryList list;
    ApplyImport(batch, list, true);
    QList<TConvertNote> losses;
    TImportBatch again;
    Formats::ImportCsv(Formats::ExportCsv(list, losses), again);
    TDictionaryList back;
    ApplyImport(again, back, false);
    if (!again.fatal.isEmpty() || !again.faults.isEmpty() || back.Count() != list.Count())
        std::abort();
    for (int i = 0; i < list.Count(); ++i)
        if (back.GetItem(i)->GetText() != list.GetItem(i)->GetText() ||
            back.GetItem(i)->GetDescription() != list.GetItem(i)->GetDescription())
            std::abort();
    return 0;
}
