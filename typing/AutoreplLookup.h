#pragma once
// The answers to the engine's dictionary questions (lookup, description,
// completion and the keyword-prefix query) and the add-entry proposal, over
// the open dictionary. No window involved.
#include "typing/AutoreplServices.h"

#include <QByteArray>
#include <optional>

class TDictionaryList;

class TDictionaryLookup {
public:
    // Not owned; null means no dictionary is open.
    void SetDictionary(const TDictionaryList* list);

    // The keyword trimmed and lower-cased, IndexOfKeyword.
    const TLookupAnswer* Lookup(const QByteArray& keyword);
    // The description alone; the last found index is left alone.
    std::optional<QByteArray> LookupDescription(const QByteArray& keyword) const;
    // Completion: the word before the trailing commas; two commas give the first
    // entry beginning with it, each further comma the entry after.
    const TLookupAnswer* CompletionLookup(const QByteArray& text);
    // Some keyword begins with text (trimmed, lower-cased).
    bool KeywordBegins(const QByteArray& text) const;

    int LastFoundIndex() const { return lastFound_; }

private:
    const TLookupAnswer* Answer(int row);

    const TDictionaryList* list_ = nullptr;
    TLookupAnswer answer_; // reused by every lookup
    int lastFound_ = -1;
};

struct TAddEntryProposal {
    QByteArray Keyword;
    QByteArray Text;
};

// A new entry from the word, or without one from the clipboard text (the keyword
// up to its first space or control character). An empty keyword becomes " ";
// any other gets the Alt+Ins prefix and suffix within 32 characters.
TAddEntryProposal MakeAddEntryProposal(const std::optional<QByteArray>& word,
                                       const QByteArray& clipboard, const QByteArray& prefix,
                                       const QByteArray& suffix);
