#include "typing/AutoreplLookup.h"

#include "dictionary/DictList.h"
#include "platform/Ansi.h"

#include <algorithm>

namespace {
constexpr int kMaxProposalKeyword = 32;

QByteArray Normalised(const QByteArray& text) {
    return Ansi::Lower(Ansi::Trim(text));
}
} // namespace

void TDictionaryLookup::SetDictionary(const TDictionaryList* list) {
    list_ = list;
    lastFound_ = -1;
}

const TLookupAnswer* TDictionaryLookup::Answer(int row) {
    const TDictionaryItem* item = list_->GetItem(row);
    answer_.Description = item->GetDisplayDescription();
    answer_.Text = item->GetText();
    answer_.Index = row;
    lastFound_ = row;
    return &answer_;
}

const TLookupAnswer* TDictionaryLookup::Lookup(const QByteArray& keyword) {
    if (!list_ || keyword.isEmpty()) return nullptr;
    const int row = list_->IndexOfKeyword(keyword);
    return row < 0 ? nullptr : Answer(row);
}

std::optional<QByteArray> TDictionaryLookup::LookupDescription(const QByteArray& keyword) const {
    if (!list_ || keyword.isEmpty()) return std::nullopt;
    const int row = list_->IndexOfKeyword(keyword);
    if (row < 0) return std::nullopt;
    return list_->GetItem(row)->GetDisplayDescription();
}

const TLookupAnswer* TDictionaryLookup::CompletionLookup(const QByteArray& text) {
    if (!list_ || list_->Count() == 0 || text.isEmpty()) return nullptr;
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == ',')
        --end;
    const qsizetype commas = text.size() - end;
    const QByteArray word = Normalised(end == 0 ? text : text.left(end));
    if (word.isEmpty()) return nullptr;
    const int extra = static_cast<int>(std::max<qsizetype>(commas - 2, 0));
    const int i = std::max(list_->FindNearest(word), 0);
    if (!list_->GetKeywordAt(i).startsWith(word)) return nullptr;
    if (i + extra >= list_->Count()) return nullptr;
    return Answer(i + extra);
}

bool TDictionaryLookup::KeywordBegins(const QByteArray& text) const {
    if (!list_ || list_->Count() == 0) return false;
    const QByteArray word = Normalised(text);
    if (word.isEmpty()) return false;
    const int i = list_->FindNearest(word);
    return i >= 0 && list_->GetKeywordAt(i).startsWith(word);
}

TAddEntryProposal MakeAddEntryProposal(const std::optional<QByteArray>& word,
                                       const QByteArray& clipboard, const QByteArray& prefix,
                                       const QByteArray& suffix) {
    TAddEntryProposal proposal;
    if (word) {
        proposal.Keyword = Ansi::Trim(*word);
        proposal.Text = *word;
    } else {
        proposal.Keyword = Ansi::Trim(clipboard);
        const auto cut = std::find_if(proposal.Keyword.cbegin(), proposal.Keyword.cend(),
                                      [](char c) { return static_cast<unsigned char>(c) <= 32; });
        proposal.Keyword.truncate(cut - proposal.Keyword.cbegin());
        proposal.Text = clipboard;
    }
    if (proposal.Keyword.isEmpty()) {
        proposal.Keyword = " ";
    } else {
        const qsizetype room = std::max<qsizetype>(kMaxProposalKeyword - suffix.size(), 0);
        proposal.Keyword = (prefix + proposal.Keyword).left(room) + suffix;
    }
    return proposal;
}
