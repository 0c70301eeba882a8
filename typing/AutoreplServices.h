#pragma once
// What the auto-replace engine asks of the main window, and what it tells the
// hint box and the suggestion window. The engine reaches the program only
// through TAutoReplaceServices, so it runs against a test double just as well.
#include "hook/HookProtocol.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

// What a shortcut code is registered as.
namespace shortcutkind {
constexpr int None = 0, HotKey = 1, File = 2, Entry = 3;
} // namespace shortcutkind

// The answer of a lookup or a completion: owned by the services and valid
// until its next lookup.
struct TLookupAnswer {
    QByteArray Description; // GetDisplayDescription of the entry
    QByteArray Text;        // the entry's text to type
    int Index = -1;         // dictionary row; also the main window's last found index
};

class TAutoReplaceServices {
public:
    virtual ~TAutoReplaceServices() = default;

    // The keyword trimmed and lower-cased, IndexOfKeyword. Null when not
    // found; a found entry's row becomes the last found index.
    virtual const TLookupAnswer* Lookup(const QByteArray& keyword) = 0;
    // Whether some keyword begins with text (FindNearest, no normalising
    // beyond the lookup's). Lets a word that runs through punctuation on
    // its way to a keyword such as "e.g." stay in one piece.
    virtual bool KeywordBegins(const QByteArray& text) = 0;
    // The window the last watched key went to.
    virtual BxHwnd CallingWindow() = 0;
    // The description alone; the last found index is not kept.
    virtual std::optional<QByteArray> LookupDescription(const QByteArray& keyword) = 0;
    // The text control of the program's own input form, or 0.
    virtual BxHwnd OwnInputControl() = 0;
    // which 0 replaces BackspacePrefix, 1 KeySuffix (text without NUL).
    virtual void SetPrefixOrSuffix(int which, const QByteArray& text) = 0;
    // A shortcutkind value; None also for a suggestion window key.
    virtual int ShortcutKind(uint16_t code) = 0;
    // The caret on the screen: x in the low 16 bits, y in the high 16 bits.
    virtual uint32_t CaretPos() = 0;
    // Completion by commas; null when nothing completes.
    virtual const TLookupAnswer* CompletionLookup(const QByteArray& text) = 0;
    // Offers a new entry once the key notification is over. No word: the
    // proposal comes from the clipboard.
    virtual void PostAddEntry(const std::optional<QByteArray>& word) = 0;
    // Puts the word in the keyword box once the key notification is over;
    // wParam 1 also searches for it and clears the box.
    virtual void PostKeywordBox(int wParam, const QByteArray& word) = 0;

    // The program's hot key, and the kept first character of the next text.
    virtual uint16_t HotKey() = 0;
    virtual void SetKeptChar(unsigned char c) = 0;
    // Character messages carrying backspace (code 8) straight to a control
    // of the program's own input form.
    virtual void SendBackspaces(BxHwnd control, int count) = 0;
};

// The hint box and the suggestion window as the engine sees them. Every
// operation does nothing until those windows exist.
class THintSink {
public:
    virtual ~THintSink() = default;

    // Called once from InitEngine.
    virtual void CreateWindows() {}
    // Options changed; the suggestion window is to be shown or hidden.
    virtual void ApplyOptions(uint16_t /*options*/, bool /*suggestionsShown*/) {}
    // "Brevix: " lines for the open dictionary.
    virtual void SetDictionaryLines(const QString& /*hintLine*/, const QString& /*caption*/) {}

    virtual void SetKeywordLine(const QByteArray& /*text*/) {}
    virtual void SetDescriptionLine(const QByteArray& /*text*/) {}
    virtual void HideHint() {}
    virtual bool HintVisible() const { return false; }
    // Place and show the hint box for the window the user types in.
    virtual void ShowHintBox(BxHwnd /*window*/) {}

    // UpdateSuggestions(typed, -1) or (empty, index of the recognised entry).
    virtual void UpdateSuggestions(const QByteArray& /*typed*/, int /*index*/) {}
    virtual void SetSkipCount(int /*count*/) {}
    virtual int SkipCount() const { return 0; }
    // The case-adapted keyword a suggestion key stands for; empty when none.
    virtual QByteArray SuggestionKeyword(uint16_t /*code*/) const { return {}; }
};
