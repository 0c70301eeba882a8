#include "dictionary/DictList.h"

#include "dictionary/Progress.h"
#include "platform/Ansi.h"
#include "platform/Errors.h"

#include <algorithm>
#include <numeric>

TDictionaryList::TDictionaryList() {
    Clear();
}

TDictionaryList::~TDictionaryList() {
    ProgressBar = nullptr;
    Clear();
}

void TDictionaryList::Clear() {
    if (ProgressBar) ProgressBar->SetRange(0, Count());
    for (size_t i = 0; i < rows_.size(); ++i) {
        delete rows_[i].item;
        rows_[i].item = nullptr;
        if (ProgressBar) {
            ProgressBar->SetPosition(static_cast<int>(i));
            ProgressBar->ProcessMessages();
        }
    }
    rows_.clear();
    Header.Reset();
    totalChars_ = 0;
}

TDictionaryItem* TDictionaryList::GetItem(int i) const {
    return i >= 0 && i < Count() ? rows_[i].item : nullptr;
}

QByteArray TDictionaryList::GetKeywordAt(int i) const {
    return i >= 0 && i < Count() ? rows_[i].item->GetKeyword() : QByteArray();
}

qint64 TDictionaryList::CharsOf(const TDictionaryItem& item) {
    return item.GetKeyword().size() + item.GetDisplayDescriptionLength() + item.GetTextLength();
}

TDictionaryList::Search TDictionaryList::Find(const TKeywordKey& key) const {
    int low = 0, high = Count() - 1;
    bool found = false;
    while (low <= high) {
        const int mid = (low + high) / 2;
        const int c = rows_[mid].key.Compare(key);
        if (c < 0) {
            low = mid + 1;
        } else {
            high = mid - 1;
            if (c == 0) {
                found = true;
                low = mid;
            }
        }
    }
    return {found, low};
}

int TDictionaryList::Add(TDictionaryItem* item) {
    if (!item) return -1;
    item->SetKeyword(item->GetKeyword());
    TKeywordKey key(item->GetKeyword());
    int position;
    // Entries usually arrive in order (files are written sorted).
    if (rows_.empty() || rows_.back().key.Compare(key) < 0) {
        position = Count();
    } else {
        const Search s = Find(key);
        if (s.found) return -1;
        position = s.position;
    }
    try {
        rows_.insert(rows_.begin() + position, Row{std::move(key), item});
    } catch (...) {
        return -1;
    }
    totalChars_ += CharsOf(*item);
    return position;
}

TDictionaryList::Pending TDictionaryList::Prepare(TDictionaryItem* item) {
    item->SetKeyword(item->GetKeyword());
    return Pending{Row{TKeywordKey(item->GetKeyword()), item}, CharsOf(*item)};
}

std::vector<bool> TDictionaryList::AddAll(std::vector<Pending>& incoming) {
    std::vector<bool> taken(incoming.size(), false);
    auto less = [&](size_t a, size_t b) {
        return incoming[a].row.key.Compare(incoming[b].row.key) < 0;
    };
    std::vector<size_t> idx(incoming.size());
    std::iota(idx.begin(), idx.end(), 0);
    if (!std::is_sorted(idx.begin(), idx.end(), less))
        std::stable_sort(idx.begin(), idx.end(), less);

    // Merge with the rows already present; of equal keywords the earliest wins.
    std::vector<Row> merged;
    merged.reserve(rows_.size() + incoming.size());
    size_t r = 0;
    const Row* lastNew = nullptr;
    for (size_t k : idx) {
        Row& row = incoming[k].row;
        if (lastNew && lastNew->key.Compare(row.key) == 0) continue;
        while (r < rows_.size() && rows_[r].key.Compare(row.key) < 0)
            merged.push_back(std::move(rows_[r++]));
        if (r < rows_.size() && rows_[r].key.Compare(row.key) == 0) continue;
        taken[k] = true;
        totalChars_ += incoming[k].chars;
        merged.push_back(std::move(row));
        lastNew = &merged.back();
    }
    while (r < rows_.size())
        merged.push_back(std::move(rows_[r++]));
    rows_ = std::move(merged);
    return taken;
}

void TDictionaryList::Remove(TDictionaryItem* item) {
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].item != item) continue;
        totalChars_ -= CharsOf(*item);
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(i));
        return;
    }
}

int TDictionaryList::IndexOfKeyword(const QByteArray& keyword) const {
    const Search s = Find(TKeywordKey(TDictionaryItem::NormalKeyword(keyword)));
    return s.found ? s.position : -1;
}

int TDictionaryList::FindNearest(const QByteArray& prefix) const {
    const TKeywordKey key(prefix);
    int idx = Find(key).position;
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
