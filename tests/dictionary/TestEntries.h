#pragma once
// Dictionaries for tests, filled through the list's own Add like the program does.
#include "dictionary/DictList.h"

#include <initializer_list>

struct TEntry {
    const char* keyword;
    const char* text = "";
    const char* description = "";
};

inline TDictionaryItem* NewItem(const TEntry& e) {
    auto* item = new TDictionaryItem;
    item->SetKeyword(e.keyword);
    item->SetText(e.text);
    item->SetDescription(e.description);
    return item;
}

// Duplicates are dropped, as a loaded file drops them.
inline void AddEntries(TDictionaryList& list, std::initializer_list<TEntry> entries) {
    for (const TEntry& e : entries) {
        TDictionaryItem* item = NewItem(e);
        if (list.Add(item) < 0) delete item;
    }
}

// Keywords k0, k1, ... each with a text of textSize 'x'.
inline TDictionaryList* Filled(int entries, int textSize) {
    auto* list = new TDictionaryList;
    for (int i = 0; i < entries; ++i) {
        auto* e = new TDictionaryItem;
        e->SetKeyword("k" + QByteArray::number(i));
        e->SetText(QByteArray(textSize, 'x'));
        list->Add(e);
    }
    return list;
}
