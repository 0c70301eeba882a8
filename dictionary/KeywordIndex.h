#pragma once
// The entries of one dictionary in keyword order, each row with its
// comparison key. The keys live side by side in one block of bytes and each
// row carries the first eight of them, so a binary search mostly decides on
// the rows alone and never calls the collator for a row.
#include "dictionary/KeywordCollator.h"

#include <cstdint>
#include <vector>

class TDictionaryItem;

class TKeywordIndex {
public:
    struct Search {
        bool found;
        // The matching row, or where the key would be inserted.
        int position;
    };

    int Count() const { return static_cast<int>(rows_.size()); }
    TDictionaryItem* Item(int row) const { return rows_[static_cast<size_t>(row)].item; }
    // Compares the key of a row with a key.
    int Compare(int row, const TKeywordKey& key) const;
    Search Find(const TKeywordKey& key) const;

    // The key must be the item's keyword's; the caller has checked the place.
    void Insert(int position, const TKeywordKey& key, TDictionaryItem* item);
    void Erase(int position);
    void Clear();

    // Adding many items at once: each is staged (its keyword normalised)
    // while its data is still in the cache, then all are merged in with the
    // outcome of adding them one by one in the order staged: of equal
    // keywords the row already present, else the earliest, is kept.
    void Stage(TDictionaryItem* item);
    void ReserveStaged(size_t count) { staged_.reserve(count); }
    // Which of the staged items were taken (the others are not referred to).
    std::vector<bool> MergeStaged();
    // Forgets the staged items (a load that failed half-way).
    void DropStaged();

private:
    struct Row {
        uint64_t head;
        uint32_t at; // of the key in keys_
        uint32_t size;
        TDictionaryItem* item;
    };
    int Compare(const Row& a, const Row& b) const;
    Row Store(const uint8_t* key, size_t size, uint64_t head, TDictionaryItem* item);
    // Drops the bytes of erased rows once they are half the block.
    void Compact();

    std::vector<Row> rows_;
    std::vector<Row> staged_;
    std::vector<uint8_t> keys_;
    size_t unused_ = 0; // bytes in keys_ no row refers to
};
