#include "dictionary/DictList.h"

#include "dictionary/Progress.h"
#include "platform/Ansi.h"
#include "platform/Errors.h"

TDictionaryList::TDictionaryList() {
    Clear();
}

TDictionaryList::~TDictionaryList() {
    ProgressBar = nullptr;
    Clear();
}

void TDictionaryList::Clear() {
    if (ProgressBar) ProgressBar->SetRange(0, Count());
    for (int i = 0; i < Count(); ++i) {
        delete index_.Item(i);
        if (ProgressBar) {
            ProgressBar->SetPosition(i);
            ProgressBar->ProcessMessages();
        }
    }
    index_.Clear();
    Header.Reset();
    totalChars_ = 0;
}

TDictionaryItem* TDictionaryList::GetItem(int i) const {
    return i >= 0 && i < Count() ? index_.Item(i) : nullptr;
}

QByteArray TDictionaryList::GetKeywordAt(int i) const {
    return i >= 0 && i < Count() ? index_.Item(i)->GetKeyword() : QByteArray();
}

qint64 TDictionaryList::CharsOf(const TDictionaryItem& item) {
    return item.GetKeyword().size() + item.GetDisplayDescriptionLength() + item.GetTextLength();
}

int TDictionaryList::Add(TDictionaryItem* item) {
    if (!item) return -1;
    item->SetKeyword(item->GetKeyword());
    const TKeywordKey key(item->GetKeyword());
    int position;
    // Entries usually arrive in order (files are written sorted).
    if (Count() == 0 || index_.Compare(Count() - 1, key) < 0) {
        position = Count();
    } else {
        const TKeywordIndex::Search s = index_.Find(key);
        if (s.found) return -1;
        position = s.position;
    }
    try {
        index_.Insert(position, key, item);
    } catch (...) {
        return -1;
    }
    totalChars_ += CharsOf(*item);
    return position;
}

void TDictionaryList::Remove(TDictionaryItem* item) {
    for (int i = 0; i < Count(); ++i) {
        if (index_.Item(i) != item) continue;
        totalChars_ -= CharsOf(*item);
        index_.Erase(i);
        return;
    }
}

int TDictionaryList::IndexOfKeyword(const QByteArray& keyword) const {
    const TKeywordIndex::Search s =
        index_.Find(TKeywordKey(TDictionaryItem::NormalKeyword(keyword)));
    return s.found ? s.position : -1;
}

int TDictionaryList::FindNearest(const QByteArray& prefix) const {
    const TKeywordKey key(prefix);
    int idx = index_.Find(key).position;
    const int len = static_cast<int>(prefix.size());
    if (idx >= 0 && len > 0 && idx < Count()) {
        if (key.Compare(TKeywordKey(GetKeywordAt(idx).left(len))) < 0 && idx + 1 < Count() &&
            key.Compare(TKeywordKey(GetKeywordAt(idx + 1).left(len))) == 0)
            ++idx;
    }
    if (idx >= Count()) idx = Count() - 1;
    return idx;
}

void TDictionaryList::GetInfoLines(QByteArray& line1, QByteArray& line2, QByteArray& line3) const {
    const int cap = TDictionaryHeader::kLineChars;
    line1 = Header.ShortString(TDictionaryHeader::kInfoLineOffset[0], cap);
    line2 = Header.ShortString(TDictionaryHeader::kInfoLineOffset[1], cap);
    line3 = Header.ShortString(TDictionaryHeader::kInfoLineOffset[2], cap);
}

void TDictionaryList::SetInfoLines(const QByteArray& line1, const QByteArray& line2,
                                   const QByteArray& line3) {
    const int cap = TDictionaryHeader::kLineChars;
    Header.SetShortString(TDictionaryHeader::kInfoLineOffset[0], cap, line1);
    Header.SetShortString(TDictionaryHeader::kInfoLineOffset[1], cap, line2);
    Header.SetShortString(TDictionaryHeader::kInfoLineOffset[2], cap, line3);
}

QByteArray TDictionaryList::GetStoredFileName() const {
    return Header.ShortString(TDictionaryHeader::kStoredNameOffset, TDictionaryHeader::kLineChars);
}

void TDictionaryList::SetStoredFileName(const QByteArray& name) {
    Header.SetShortString(TDictionaryHeader::kStoredNameOffset, TDictionaryHeader::kLineChars,
                          name);
    if (name.size() > TDictionaryHeader::kLineChars)
        throw EBrevix(QStringLiteral("Filename cannot exceed 40 characters."));
}

void TDictionaryList::SetReadOnly(bool readOnly) {
    const uint16_t f = Header.Flags();
    Header.SetFlags(readOnly ? (f | 1) : (f & ~1));
}
