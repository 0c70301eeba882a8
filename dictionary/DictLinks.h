#pragma once
// Linked dictionaries: while links are on, the entries of other dictionary
// files are merged into the open one after its own. The open dictionary
// wins every keyword and every shortcut; among the linked files the earlier
// one wins. Merged entries carry the 1-based position of their file in the
// link list and are never written back.
#include "dictionary/DictList.h"

#include <QString>
#include <QStringList>
#include <functional>

class TProgress;

// An entry's link tag is one byte and 0 marks the open dictionary's own
// entries, so no more links than this can be told apart.
constexpr int kMaxDictionaryLinks = 255;

// One merge of the linked dictionaries into an open list: what it is given,
// what it asks, and what it found.
struct TLinkMerge {
    // The configured links in priority order. A link whose removal the user
    // asks for is taken out, so the tags of the following ones stay equal to
    // their new positions.
    QStringList Links;
    // Before each file is read: the progress line ("Loading name...").
    std::function<void(const QString& line)> Announce;
    // A link that could not be opened or is not a dictionary, with the reason;
    // true removes it from Links. Asked at most once per link and load.
    std::function<bool(const QString& path, const QString& reason)> Failed;

    int Merged = 0;     // entries taken in
    int Duplicates = 0; // entries dropped for a keyword already present
    QStringList Removed;
    // Links passed over: the open file itself, a repeat, past the last tag.
    QStringList Skipped;
    // Files whose records stopped early, as "path: reason"; what came
    // before the damage was merged.
    QStringList Damaged;
};

// Merges every usable link into list, whose own entries are already read.
// openPath is the open file, which is never merged into itself.
void LoadLinkedDictionaries(TDictionaryList& list, const QString& openPath, TLinkMerge& merge,
                            TProgress* progress = nullptr);

// The file a merged entry came from, given the links of its load; empty for
// an own entry or a tag past the list.
QString LinkedSource(const TDictionaryItem& item, const QStringList& links);
