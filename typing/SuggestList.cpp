#include "typing/SuggestList.h"

#include "dictionary/DictList.h"
#include "platform/Ansi.h"
#include "platform/Keycodes.h"
#include "typing/AutoreplCase.h"
#include "typing/SuggestWords.h"

namespace {
constexpr unsigned kVkF1 = 0x70;
constexpr uint8_t kShift = 1, kAlt = 2, kCtrl = 4;
} // namespace

TSuggestionList::TSuggestionList() {
    BuildShortcuts(0);
}

void TSuggestionList::SetColumns(int columns) {
    columns_ = columns == 1 ? 1 : 3;
    rows_ = LabelCount / columns_;
}

void TSuggestionList::BuildShortcuts(uint8_t shiftState) {
    const bool shift = shiftState & kShift, ctrl = shiftState & kCtrl, alt = shiftState & kAlt;
    modifierPrefix_.clear();
    QString names;
    if (shift) modifierPrefix_ += '+', names += QStringLiteral("Shift+");
    if (ctrl) modifierPrefix_ += '^', names += QStringLiteral("Ctrl+");
    if (alt) modifierPrefix_ += '%', names += QStringLiteral("Alt+");
    for (int i = 0; i < LabelCount; ++i)
        shortcuts_[i] = MakeKeyCode(kVkF1 + i, shift, ctrl, alt);
    shortcutHint_ = QStringLiteral("Press ") + names +
                    QStringLiteral("Function (F) Key to expand the suggestion.");
}

const TDictionaryList* TSuggestionList::Dictionary() const {
    return source_ ? source_() : nullptr;
}

bool TSuggestionList::CompletionMode() const {
    return autoComplete_ && typedPrefix_.size() >= 3 && typedPrefix_.endsWith(",,");
}

void TSuggestionList::UpdateSuggestions(const QByteArray& typed, int index) {
    foundIndex_ = index;
    skipCount_ = 0;
    const TDictionaryList* dict = Dictionary();
    if (!enabled_ || !dict || dict->Count() == 0) {
        // Nothing stays on show that no key could select.
        topIndex_ = -1;
        foundIndex_ = -1;
        headText_.clear();
        headLine_.clear();
        Refresh();
        return;
    }
    QByteArray word = typed;
    int k;
    if (index < 0) {
        typedPrefix_ = typed;
        k = std::max(0, dict->FindNearest(word));
        if (dict->GetKeywordAt(k).left(word.size()) != Ansi::Lower(word)) {
            word = SuggestWords::SkipLeadingNonKeyword(word, alphaChars_, skipCount_);
            k = dict->FindNearest(word);
        }
    } else {
        if (index >= dict->Count()) index = foundIndex_ = -1;
        word = index >= 0 ? dict->GetKeywordAt(index) : QByteArray();
        k = index;
        topIndex_ = index;
    }
    if (word.isEmpty()) {
        topIndex_ = -1;
        foundIndex_ = -1;
        headText_.clear();
        headLine_.clear();
        Refresh();
        return;
    }
    headText_ = word;
    headLine_ = word;
    if (k >= 0) {
        topIndex_ = k;
        if (index >= 0) {
            const TDictionaryItem* item = dict->GetItem(index);
            headLine_ = "[SPACE]  " + item->GetKeyword() + " = " + item->GetDisplayDescription();
            topIndex_ = index + 1; // the list goes on after the recognised entry
        }
    }
    Refresh();
}

void TSuggestionList::ClearLabels() {
    for (QByteArray& l : labels_)
        l.clear();
}

void TSuggestionList::Refresh() {
    suggestionCount_ = 0;
    ClearLabels();
    const TDictionaryList* dict = Dictionary();
    if (!dict || topIndex_ < 0) return;
    const bool completion = CompletionMode();
    // Outside completion the listing ends at the first keyword that does not
    // begin with the head text (keywords are stored lower-cased).
    const QByteArray head = Ansi::Lower(headText_);
    for (int c = 0; c < columns_; ++c) {
        for (int r = 0; r < rows_; ++r) {
            const int p = rows_ * c + r;
            const int row = topIndex_ + p;
            if (row >= dict->Count()) return;
            const TDictionaryItem* item = dict->GetItem(row);
            const QByteArray& kw = item->GetKeyword();
            if (!completion && !kw.startsWith(head)) return;
            ++suggestionCount_;
            labels_[r * columns_ + c] = "[" + modifierPrefix_ + "F" + QByteArray::number(p + 1) +
                                        "]  " + kw + " = " + item->GetDisplayDescription();
        }
    }
}

int TSuggestionList::SuggestionIndexForShortcut(uint16_t code) const {
    if (!enabled_ || topIndex_ < 0 || code == 0) return -1;
    for (int p = 0; p < suggestionCount_; ++p)
        if (shortcuts_[p] == code) return p;
    return -1;
}

QByteArray TSuggestionList::GetSuggestionKeyword(uint16_t code) const {
    const int p = SuggestionIndexForShortcut(code);
    const TDictionaryList* dict = Dictionary();
    if (p < 0 || !dict || topIndex_ + p >= dict->Count()) return {};
    QByteArray kw = dict->GetKeywordAt(topIndex_ + p);
    // Leading punctuation typed before the keyword does not hide its capitals.
    MatchCase(typedPrefix_.mid(skipCount_), kw);
    return kw;
}

std::vector<uint16_t> TSuggestionList::ListedShortcuts() const {
    if (!enabled_ || topIndex_ < 0) return {};
    return std::vector<uint16_t>(shortcuts_.begin(), shortcuts_.begin() + suggestionCount_);
}
