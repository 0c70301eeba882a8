// libFuzzer target: any bytes as an entry block from the clipboard. The
// reader must never crash or hang, and what it read must encode and read
// back the same.
#include "dictionary/DictItem.h"
#include "dictionary/EntryClipboard.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray block(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto decoded = EntryClipboard::Decode(block);
    if (static_cast<qint64>(decoded.Items.size()) > decoded.Declared) std::abort();
    std::vector<const TDictionaryItem*> items;
    for (const auto& item : decoded.Items)
        items.push_back(item.get());
    const auto again = EntryClipboard::Decode(EntryClipboard::Encode(items));
    if (again.Items.size() != items.size() || !again.Problem.isEmpty()) std::abort();
    for (size_t i = 0; i < items.size(); ++i)
        if (again.Items[i]->GetKeyword() != items[i]->GetKeyword() ||
            again.Items[i]->GetText() != items[i]->GetText() ||
            again.Items[i]->GetShortcut() != items[i]->GetShortcut())
            std::abort();
    return 0;
}
