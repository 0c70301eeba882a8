#include "typing/Autorepl.h"

#include "platform/Ansi.h"
#include "platform/Keycodes.h"
#include "platform/VirtualKeys.h"
#include "typing/AutoreplCase.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>

TAutoReplaceEngine::TAutoReplaceEngine(TAutoReplaceServices& services, THintSink* hint)
    : services_(&services), hint_(hint ? hint : &defaultHint_) {}

void TAutoReplaceEngine::SetHintSink(THintSink* hint) {
    hint_ = hint ? hint : &defaultHint_;
}

void TAutoReplaceEngine::InitEngine() {
    if (initialised_) return;
    hint_->CreateWindows();
    options_ = aoInitialOptions;
    history_.clear();
    RebuildKeyboardTables();
    initialised_ = true;
    ResetWord(false);
    UpdateHint();
}

void TAutoReplaceEngine::RebuildKeyboardTables() {
    tables_.Build(*CurrentKeyboardLayout());
}

void TAutoReplaceEngine::SetOptions(uint16_t options) {
    options_ = options;
    hint_->ApplyOptions(options, (options & aoAutoReplaceAlwaysShow) && (options & aoAutoReplace));
}

void TAutoReplaceEngine::SetMainWindow(const QString& dictionaryFileName,
                                       TAutoReplaceServices& services) {
    services_ = &services;
    const QString name = QFileInfo(dictionaryFileName).fileName();
    hint_->SetDictionaryLines("Brevix: " + name, "Brevix: " + name.toUpper());
    hint_->SetKeywordLine({});
    hint_->SetDescriptionLine({});
    hintHasText_ = false;
}

uint16_t TAutoReplaceEngine::AutoReplaceChkChanged(bool checked, uint16_t mainOptions,
                                                   const QString& dictionaryFileName) {
    const uint16_t options =
        checked ? (mainOptions | aoAutoReplace) : (mainOptions & ~aoAutoReplace);
    // InitEngine starts from its own options, so it runs before the box's are applied.
    if (checked) InitEngine();
    SetOptions(options);
    if (checked) SetMainWindow(dictionaryFileName, *services_);
    return options;
}

void TAutoReplaceEngine::SetAlphaChars(const QByteArray& chars) {
    alphaChars_.clear();
    for (char c : chars)
        if (static_cast<unsigned char>(c) > 32)
            alphaChars_.append(static_cast<char>(Ansi::LowerChar(static_cast<unsigned char>(c))));
}

bool TAutoReplaceEngine::IsKeywordChar(unsigned char c) const {
    if (c == 0) return false;
    return Ansi::IsAlphaNumeric(c) || c == '_' ||
           alphaChars_.contains(static_cast<char>(Ansi::LowerChar(c)));
}

// ---- word state -------------------------------------------------------------

void TAutoReplaceEngine::SetBuffer(const QByteArray& text) {
    length_ = static_cast<int>(std::min<qsizetype>(text.size(), MaxWordLength));
    openEnds_.reset();
    std::memcpy(buffer_, text.constData(), length_);
}

bool TAutoReplaceEngine::Append(unsigned char c) {
    if (length_ >= MaxWordLength) return false;
    buffer_[length_++] = static_cast<char>(c);
    return true;
}

void TAutoReplaceEngine::ResetWord(bool keepHistory) {
    lastKeyAny_ = 0;
    expansionPending_ = false;
    expansion_.clear();
    length_ = 0;
    openEnds_.reset();
    pendingKey_ = 0;
    trailText_.clear();
    eraseCount_ = 0;
    if (!keepHistory) history_.clear();
    if (!seedText_.isEmpty()) {
        SetBuffer(seedText_);
        seedText_.clear();
    }
}

void TAutoReplaceEngine::PushWordAndReset() {
    history_.push_back({Word(), false});
    if (history_.size() > MaxHistory) history_.erase(history_.begin());
    ResetWord(true);
}

void TAutoReplaceEngine::PopWord() {
    ResetWord(true);
    if (history_.empty()) return;
    SetBuffer(history_.back().word);
    history_.pop_back();
}

void TAutoReplaceEngine::AddHistoryWord(const QByteArray& word) {
    history_.push_back({word.left(MaxWordLength), length_ > 0});
    if (history_.size() > MaxHistory) history_.erase(history_.begin());
}

QByteArray TAutoReplaceEngine::GetWord() {
    if (length_ == 0) return lastWord_;
    lastWord_ = Word();
    return lastWord_;
}

// ---- lookups ----------------------------------------------------------------

namespace {
// Blanks the characters before the first keyword character or space; how many.
template <typename IsKeyword> int BlankLeading(QByteArray& text, IsKeyword isKeyword) {
    int n = 0;
    for (; n < text.size(); ++n) {
        const auto c = static_cast<unsigned char>(text[n]);
        if (c == 0 || c == ' ' || isKeyword(c)) break;
        text[n] = ' ';
    }
    return n;
}
} // namespace

bool TAutoReplaceEngine::KnownWord() {
    // A prefix, not only a whole keyword: otherwise "e." would end the word
    // before "e.g." could be typed to its end.
    return services_->KeywordBegins(Word());
}

bool TAutoReplaceEngine::LookupKeyword(bool withText, TMatch& match) {
    // A count left from an earlier lookup would erase too little.
    eraseCount_ = 0;
    if (length_ == 0) return false;
    const auto isKeyword = [this](unsigned char c) { return IsKeywordChar(c); };
    QByteArray copy = Word();
    QByteArray commas; // trailing commas typed again after the expansion
    const TLookupAnswer* answer = nullptr;

    if ((options_ & aoAutoComplete) && length_ >= 2 && copy.endsWith(',')) {
        answer = services_->Lookup(copy);
        const bool twoCommas = copy.endsWith(",,");
        if (!answer && twoCommas && length_ >= 3) {
            answer = services_->CompletionLookup(copy);
            if (!answer) {
                QByteArray blanked = copy;
                const int replaced = BlankLeading(blanked, isKeyword);
                if (replaced > 0 && (answer = services_->CompletionLookup(blanked))) {
                    eraseCount_ = length_ - replaced;
                    copy = Ansi::Trim(blanked);
                }
            }
        }
        if (!answer && !twoCommas) {
            while (copy.size() > 1 && copy.endsWith(',')) {
                copy.chop(1);
                commas.append(',');
            }
            answer = services_->Lookup(copy);
        }
    } else {
        answer = services_->Lookup(copy);
    }

    if (answer) {
        match.keyword = copy;
        if (eraseCount_ == 0) eraseCount_ = length_;
    } else {
        QByteArray blanked = copy;
        const int replaced = BlankLeading(blanked, isKeyword);
        if (replaced == 0) return false;
        answer = services_->Lookup(copy.mid(replaced));
        if (!answer) return false;
        match.keyword = Ansi::Trim(blanked);
        eraseCount_ = length_ - replaced;
    }
    match.description = answer->Description;
    match.index = answer->Index;
    if (withText) {
        const qsizetype nul = answer->Text.indexOf('\0');
        expansion_ = nul < 0 ? answer->Text : answer->Text.left(nul);
        trailText_ += commas;
    }
    return true;
}

bool TAutoReplaceEngine::TryMatch() {
    expansionPending_ = false;
    expansion_.clear();
    TMatch match;
    if ((!LookupKeyword(true, match) || match.keyword.isEmpty()) && !MatchAtOpenEnd(match)) {
        expansion_.clear();
        return false;
    }
    matchedKeyword_ = match.keyword;
    expansionPending_ = true;
    MatchCase(match.keyword, expansion_);
    return true;
}

bool TAutoReplaceEngine::MatchAtOpenEnd(TMatch& match) {
    // "co." on its way to "co.uk" that ends here is still "co": the longest
    // such word that is a keyword is replaced, the rest typed again after it.
    const int full = length_;
    for (int end = full - 1; end > 0; --end) {
        if (!openEnds_.test(end)) continue;
        length_ = end;
        const bool found = LookupKeyword(true, match) && !match.keyword.isEmpty();
        length_ = full;
        if (found) {
            eraseCount_ += full - end;
            trailText_.append(buffer_ + end, full - end);
            return true;
        }
    }
    return false;
}

// ---- hint ---------------------------------------------------------------------

void TAutoReplaceEngine::FlushHint() {
    if (hintStale_) UpdateHint();
}

void TAutoReplaceEngine::UpdateHint() {
    hintStale_ = false;
    if (!initialised_) return;
    const QByteArray word = Word();
    hint_->SetKeywordLine(word);
    hint_->UpdateSuggestions(word, -1);
    hint_->SetDescriptionLine({});
    hintHasText_ = false;
    hint_->HideHint();
    TMatch match;
    if (length_ > 0 && !expansionPending_ && LookupKeyword(false, match)) {
        hint_->SetDescriptionLine(match.description);
        hintHasText_ = !match.description.isEmpty();
        hint_->SetKeywordLine(match.keyword);
        hint_->UpdateSuggestions({}, match.index);
        hint_->SetSkipCount(length_ - eraseCount_);
    }
}

void TAutoReplaceEngine::ShowHintFor(BxHwnd window) {
    if (!initialised_ || !hintShown_ || !hintHasText_) return;
    hintShown_ = false;
    hint_->ShowHintBox(window);
}

void TAutoReplaceEngine::RefreshHintAfterTyping() {
    UpdateHint();
    hintShown_ = hintHasText_;
    ShowHintFor(currentTarget_);
}

void TAutoReplaceEngine::CheckTarget(BxHwnd window) {
    if (window == currentTarget_) return;
    ResetWord(false);
    UpdateHint();
    currentTarget_ = window;
}

// ---- keys -----------------------------------------------------------------------

int TAutoReplaceEngine::AutoReplaceKey(unsigned key, bool shift, bool ctrl, bool alt) {
    int r = arresult::None;
    const bool hadLastWord = !lastWord_.isEmpty();
    bool keepLastWord = false;
    CheckTarget(services_->CallingWindow());
    const int state = keystate::Of(shift, ctrl, alt);
    uint16_t sc = MakeKeyCode(key, shift, ctrl, alt);

    if (sc != 0 && sc == services_->HotKey()) {
        services_->PostKeywordBox(1, GetWord());
        ResetWord(false);
        pendingKey_ = NoKey;
        r = arresult::Consumed;
        sc = 0;
        previousKey_ = 0;
    } else if (!(options_ & aoAutoReplace) || !initialised_ ||
               services_->ShortcutKind(sc) != shortcutkind::None) {
        if (length_ > 0) {
            ResetWord(false);
            UpdateHint();
        }
    } else if (sc == previousKey_ || key == vk::Capital || key == vk::NumLock) {
        // auto-repeat and lock keys leave the word alone
    } else {
        const unsigned char ch = tables_.KeyToChar(key, state);
        QByteArray suggestion;
        if (!ctrl && !alt && IsKeywordChar(ch)) {
            r = KeywordCharKey(ch);
        } else if (!(suggestion = hint_->SuggestionKeyword(sc)).isEmpty()) {
            const QByteArray saved = Word();
            SetBuffer(suggestion);
            TryMatch();
            eraseCount_ = std::clamp(static_cast<int>(saved.size()) - hint_->SkipCount(), 0,
                                     static_cast<int>(saved.size()));
            pendingKey_ = NoKey;
            r = arresult::Consumed;
            SetBuffer(saved);
        } else if (ch > 32 && !IsKeywordChar(ch)) {
            r = PunctuationKey(ch);
        } else {
            r = CommandKey(key, state, sc);
            keepLastWord = key == vk::Insert && state == keystate::Alt && (options_ & aoUseAltIns);
        }
        previousKey_ = sc;
        if (r == arresult::Consumed && expansionPending_) {
            // The hook waits for this answer before the replacement can
            // start; the hint boxes follow once the text is on its way.
            hintStale_ = true;
            hintHasText_ = false;
        } else {
            UpdateHint();
        }
        hintShown_ = hintHasText_;
    }

    lastKeyAny_ = sc;
    if (hadLastWord && !keepLastWord) lastWord_.clear();
    return r;
}

int TAutoReplaceEngine::KeywordCharKey(unsigned char ch) {
    const int old = length_;
    Append(ch);
    if (old == 0) return arresult::None;
    if (KnownWord()) {
        if (!IsKeywordChar(static_cast<unsigned char>(buffer_[old - 1]))) openEnds_.set(old);
        return arresult::None;
    }
    length_ = old;
    if (IsKeywordChar(Last())) {
        Append(ch);
        return arresult::None;
    }
    // The word ended with punctuation: a keyword such as "e.g." is complete.
    if (TryMatch()) {
        pendingKey_ = NoKey;
        trailText_.append(static_cast<char>(ch));
        seedText_ = trailText_;
        return arresult::Consumed;
    }
    seedText_ = QByteArray(1, static_cast<char>(Last())) + static_cast<char>(ch);
    --length_;
    if (length_ > 0)
        PushWordAndReset();
    else
        ResetWord(true);
    return arresult::None;
}

int TAutoReplaceEngine::PunctuationKey(unsigned char ch) {
    const int old = length_;
    const bool appended = Append(ch);
    if (appended && ch == ',' && (options_ & aoAutoComplete)) {
        if (length_ == 1) {
            length_ = old;
            seedText_ = ",";
            PushWordAndReset();
        }
        return arresult::None;
    }
    // A repeated mark such as a second full stop stays in the word.
    if (appended && old > 0 && ch == static_cast<unsigned char>(buffer_[old - 1]))
        return arresult::None;
    if (appended && KnownWord()) {
        if (old > 0) openEnds_.set(old);
        return arresult::None;
    }
    length_ = old;
    if (TryMatch()) {
        pendingKey_ = NoKey;
        trailText_.append(static_cast<char>(ch));
        seedText_ = trailText_;
        return arresult::Consumed;
    }
    seedText_ = QByteArray(1, static_cast<char>(ch));
    PushWordAndReset();
    return arresult::None;
}

int TAutoReplaceEngine::CommandKey(unsigned key, int state, uint16_t& sc) {
    if (key == vk::Back && state == 0) {
        if (length_ == 0) {
            PopWord();
        } else {
            const auto first = static_cast<unsigned char>(buffer_[0]);
            openEnds_.reset(--length_);
            // An emptied word goes back to the one before it when it was only
            // punctuation, or when it followed an expansion's last word.
            if (length_ == 0 &&
                (!IsKeywordChar(first) || (!history_.empty() && history_.back().flag)))
                PopWord();
        }
        return arresult::None;
    }
    if (key == vk::Return && state == keystate::Shift && (options_ & aoUseShiftEnter)) {
        if (TryMatch()) {
            pendingKey_ = NoKey;
            return arresult::Consumed;
        }
        PushWordAndReset();
        return arresult::None;
    }
    if (key == vk::Space && state == keystate::Ctrl && (options_ & aoUseCtrlSpace)) {
        ResetWord(false);
        expansionPending_ = true;
        expansion_ = "{@KEY SPACE}";
        pendingKey_ = NoKey;
        return arresult::Consumed;
    }
    if (((key == vk::Tab || key == vk::Return) && !(state & (keystate::Alt | keystate::Shift))) ||
        (key == vk::Space && !(state & keystate::Alt))) {
        if (TryMatch()) {
            pendingKey_ = key == vk::Tab ? NoKey : sc;
            return arresult::Consumed;
        }
        PushWordAndReset();
        return arresult::None;
    }
    if (key == vk::Insert && state == keystate::Alt && (options_ & aoUseAltIns)) {
        const QByteArray word = GetWord();
        altInsWord_ = word.size() >= altInsMinWordLength_ ? word : QByteArray();
        services_->PostAddEntry(altInsWord_);
        ResetWord(false);
        pendingKey_ = NoKey;
        sc = 0;
        return arresult::Consumed;
    }
    if (key == vk::Insert && state == keystate::Ctrl && lastKeyAny_ == sc) {
        services_->PostAddEntry(std::nullopt);
        ResetWord(false);
        pendingKey_ = NoKey;
        sc = 0;
        return arresult::Consumed;
    }
    if (key == vk::Escape && hint_->HintVisible() && length_ > 0) {
        ResetWord(false);
        pendingKey_ = NoKey;
        return arresult::Consumed;
    }
    ResetWord(false);
    return arresult::None;
}

void TAutoReplaceEngine::KeyReleased() {
    previousKey_ = 0;
    CheckTarget(services_->CallingWindow());
    ShowHintFor(currentTarget_);
}

void TAutoReplaceEngine::MouseReset() {
    ResetWord(false);
    UpdateHint();
}

unsigned char TAutoReplaceEngine::PreviousKeyChar(unsigned char c) {
    const uint16_t p = previousKey_;
    const unsigned char previous = tables_.KeyToChar(
        p & 0x1FFF, keystate::Of(p & shortcut::Shift, p & shortcut::Ctrl, p & shortcut::Alt));
    if (previous == c) previousKey_ = 0;
    return previous;
}

// ---- replacement ------------------------------------------------------------------

int TAutoReplaceEngine::PerformReplacement(QByteArray& text) {
    previousKey_ = 0;
    lastExpandedBuffer_ = Word();
    if (!expansionPending_) {
        const bool command = pendingKey_ != 0;
        ResetWord(false);
        UpdateHint();
        return command ? arresult::CommandDone : arresult::None;
    }

    const BxHwnd control = services_->OwnInputControl();
    QByteArray expansion = expansion_;
    if (control == 0) {
        services_->SetKeptChar(0);
        if (eraseCount_ >= 1 && eraseCount_ <= length_ && !expansion.isEmpty() &&
            expansion[0] == buffer_[length_ - eraseCount_]) {
            // The first character is on screen already: keep it rather than
            // erase it and type it again.
            services_->SetKeptChar(static_cast<unsigned char>(expansion[0]));
            expansion.remove(0, 1);
            --eraseCount_;
        }
        services_->SetPrefixOrSuffix(0, QByteArray("{@KEY BKSP}").repeated(eraseCount_));
        text = expansion + trailText_;
        if (pendingKey_ != NoKey)
            services_->SetPrefixOrSuffix(1, "{@KEY " + KeyCodeToText(pendingKey_) + "}");
    } else {
        services_->SendBackspaces(control, eraseCount_);
        text = expansion + trailText_;
        if (pendingKey_ != NoKey) {
            controlKey_ = shortcut::Key(pendingKey_);
            keyControl_ = control;
        }
    }
    ResetWord(false);
    return arresult::Replaced;
}

bool TAutoReplaceEngine::TakeControlKey(uint8_t& vkey, BxHwnd& control) {
    if (controlKey_ == 0) return false;
    vkey = controlKey_;
    control = keyControl_;
    controlKey_ = 0;
    keyControl_ = 0;
    return true;
}
