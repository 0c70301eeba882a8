#include "dictionary/KeywordIndex.h"

#include "dictionary/DictItem.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <stdexcept>

int TKeywordIndex::Compare(int row, const TKeywordKey& key) const {
    const Row& r = rows_[static_cast<size_t>(row)];
    if (r.head != key.Head()) return r.head < key.Head() ? -1 : 1;
    return KeywordKeys::Compare(keys_.data() + r.at, r.size, key.Data(), key.Size());
}

int TKeywordIndex::Compare(const Row& a, const Row& b) const {
    if (a.head != b.head) return a.head < b.head ? -1 : 1;
    return KeywordKeys::Compare(keys_.data() + a.at, a.size, keys_.data() + b.at, b.size);
}

TKeywordIndex::Search TKeywordIndex::Find(const TKeywordKey& key) const {
    int low = 0, high = Count() - 1;
    bool found = false;
    while (low <= high) {
        const int mid = (low + high) / 2;
        const int c = Compare(mid, key);
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

TKeywordIndex::Row TKeywordIndex::Store(const uint8_t* key, size_t size, uint64_t head,
                                        TDictionaryItem* item) {
    if (keys_.size() + size > std::numeric_limits<uint32_t>::max())
        throw std::length_error("keyword index full");
    const auto at = static_cast<uint32_t>(keys_.size());
    keys_.insert(keys_.end(), key, key + size);
    return Row{head, at, static_cast<uint32_t>(size), item};
}

void TKeywordIndex::Insert(int position, const TKeywordKey& key, TDictionaryItem* item) {
    const Row row = Store(key.Data(), key.Size(), key.Head(), item);
    try {
        rows_.insert(rows_.begin() + position, row);
    } catch (...) {
        keys_.resize(row.at);
        throw;
    }
}

void TKeywordIndex::Erase(int position) {
    unused_ += rows_[static_cast<size_t>(position)].size;
    rows_.erase(rows_.begin() + position);
    Compact();
}

void TKeywordIndex::Clear() {
    rows_.clear();
    staged_.clear();
    rows_.shrink_to_fit();
    keys_.clear();
    keys_.shrink_to_fit();
    unused_ = 0;
}

void TKeywordIndex::Compact() {
    if (unused_ < 4096 || unused_ * 2 < keys_.size()) return;
    std::vector<uint8_t> kept;
    kept.reserve(keys_.size() - unused_);
    for (Row& r : rows_) {
        const auto at = static_cast<uint32_t>(kept.size());
        kept.insert(kept.end(), keys_.begin() + r.at, keys_.begin() + r.at + r.size);
        r.at = at;
    }
    keys_ = std::move(kept);
    unused_ = 0;
}

void TKeywordIndex::Stage(TDictionaryItem* item) {
    TKeywordCollator::TKeyBuffer key;
    const QByteArray& keyword = item->GetKeyword();
    TKeywordCollator::Default().MakeKey(keyword.constData(), keyword.size(), key);
    const auto* bytes = key.constData();
    const auto size = static_cast<size_t>(key.size());
    staged_.push_back(Store(bytes, size, KeywordKeys::Head(bytes, size), item));
}

void TKeywordIndex::DropStaged() {
    for (const Row& r : staged_)
        unused_ += r.size;
    staged_.clear();
}

std::vector<bool> TKeywordIndex::MergeStaged() {
    const std::vector<Row> incoming = std::move(staged_);
    staged_.clear();
    std::vector<uint32_t> order(incoming.size());
    std::iota(order.begin(), order.end(), 0u);
    auto less = [&](uint32_t a, uint32_t b) { return Compare(incoming[a], incoming[b]) < 0; };
    // Files are written sorted; only a file from elsewhere needs sorting.
    if (!std::is_sorted(order.begin(), order.end(), less))
        std::stable_sort(order.begin(), order.end(), less);

    std::vector<bool> taken(incoming.size(), false);
    std::vector<Row> merged;
    merged.reserve(rows_.size() + incoming.size());
    size_t r = 0;
    for (uint32_t k : order) {
        const Row& row = incoming[k];
        while (r < rows_.size() && Compare(rows_[r], row) < 0)
            merged.push_back(rows_[r++]);
        // Equal to a row already there, or to an earlier incoming one.
        if ((r < rows_.size() && Compare(rows_[r], row) == 0) ||
            (!merged.empty() && Compare(merged.back(), row) == 0)) {
            unused_ += row.size;
            continue;
        }
        taken[k] = true;
        merged.push_back(row);
    }
    merged.insert(merged.end(), rows_.begin() + static_cast<std::ptrdiff_t>(r), rows_.end());
    rows_ = std::move(merged);
    if (keys_.capacity() > keys_.size() + keys_.size() / 4) keys_.shrink_to_fit();
    Compact();
    return taken;
}
