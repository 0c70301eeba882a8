#pragma once
// Drives the auto-replace engine the way the main window's dispatcher does,
// with key events made from typed strings on the US layout, and keeps the
// text the target window would show.
#include "dictionary/DictList.h"
#include "platform/Keycodes.h"
#include "platform/VirtualKeys.h"
#include "tests/dictionary/TestEntries.h"
#include "typing/Autorepl.h"
#include "typing/AutoreplLookup.h"

#include <QByteArray>
#include <map>
#include <optional>
#include <utility>
#include <vector>

// The main window's side: real dictionary answers, everything else recorded.
class TFakeServices final : public TAutoReplaceServices {
public:
    const TLookupAnswer* Lookup(const QByteArray& keyword) override {
        return lookup.Lookup(keyword);
    }
    bool KeywordBegins(const QByteArray& text) override { return lookup.KeywordBegins(text); }
    BxHwnd CallingWindow() override { return calling; }
    std::optional<QByteArray> LookupDescription(const QByteArray& keyword) override {
        return lookup.LookupDescription(keyword);
    }
    BxHwnd OwnInputControl() override { return ownControl; }
    void SetPrefixOrSuffix(int which, const QByteArray& text) override {
        (which == 0 ? BackspacePrefix : KeySuffix) = text;
    }
    int ShortcutKind(uint16_t code) override;
    uint32_t CaretPos() override { return 0; }
    const TLookupAnswer* CompletionLookup(const QByteArray& text) override {
        return lookup.CompletionLookup(text);
    }
    void PostAddEntry(const std::optional<QByteArray>& word) override {
        addEntries.push_back(word);
    }
    void PostKeywordBox(int wParam, const QByteArray& word) override {
        keywordBoxes.emplace_back(wParam, word);
    }
    uint16_t HotKey() override { return hotKey; }
    void SetKeptChar(unsigned char c) override { KeptChar = c; }
    void SendBackspaces(BxHwnd control, int count) override {
        backspaces.emplace_back(control, count);
    }

    TDictionaryList dictionary;
    TDictionaryLookup lookup;
    BxHwnd calling = 100;
    BxHwnd ownControl = 0;
    uint16_t hotKey = 0x79; // F10
    std::map<uint16_t, int> shortcuts;
    QByteArray BackspacePrefix, KeySuffix;
    unsigned char KeptChar = 0;
    std::vector<std::optional<QByteArray>> addEntries;
    std::vector<std::pair<int, QByteArray>> keywordBoxes;
    std::vector<std::pair<BxHwnd, int>> backspaces;
};

class THintDouble final : public THintSink {
public:
    void CreateWindows() override { ++created; }
    void ApplyOptions(uint16_t, bool suggestionsShown) override {
        suggestionsOn = suggestionsShown;
    }
    void SetDictionaryLines(const QString& hintLine, const QString& caption) override {
        dictionaryLine = hintLine;
        suggestionCaption = caption;
    }
    void SetKeywordLine(const QByteArray& text) override { keyword = text; }
    void SetDescriptionLine(const QByteArray& text) override { description = text; }
    void HideHint() override { visible = false; }
    bool HintVisible() const override { return visible; }
    void ShowHintBox(BxHwnd window) override {
        visible = true;
        shownFor.push_back(window);
    }
    void UpdateSuggestions(const QByteArray&, int) override {}
    void SetSkipCount(int count) override { skip = count; }
    int SkipCount() const override { return skip; }
    QByteArray SuggestionKeyword(uint16_t code) const override {
        const auto it = suggestions.find(code);
        return it == suggestions.end() ? QByteArray() : it->second;
    }

    int created = 0;
    bool suggestionsOn = false;
    QString dictionaryLine, suggestionCaption;
    QByteArray keyword, description;
    int skip = 0;
    bool visible = false;
    std::vector<BxHwnd> shownFor;
    std::map<uint16_t, QByteArray> suggestions;
};

// The options a fresh settings file gives.
constexpr uint16_t kDefaultOptions = 0x0FCD;

class TTypist {
public:
    explicit TTypist(std::initializer_list<TEntry> entries, uint16_t options = kDefaultOptions);

    // Characters, and named keys in angle brackets: <BS> <ESC> <TAB> <ENTER>
    // <S-ENTER> <C-SPACE> <A-INS> <C-INS> <F10> <CAPS> <NUM>. Each key goes
    // down and up again.
    void Type(const char* keys);
    // One key down (and up unless held); the engine's answer to the key-down.
    int Key(unsigned vkey, bool shift = false, bool ctrl = false, bool alt = false,
            bool hold = false);

    TFakeServices services;
    THintDouble hint;
    TAutoReplaceEngine engine{services, &hint};
    // What the target window shows.
    QByteArray screen;
    // The last text that went to Memo1, and the last PerformReplacement result.
    QByteArray memo;
    // BackspacePrefix and KeySuffix as that text used them.
    QByteArray prefix, suffix;
    int lastPerform = -1;
    int replacements = 0;

private:
    void Inject(const QByteArray& text);
    void Echo(unsigned vkey, bool shift, bool ctrl, bool alt);
};
