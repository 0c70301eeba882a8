#pragma once
// The answers the auto-replace engine gets from the program: dictionary
// lookups, what a shortcut code is registered as, and where the erasing
// keys, the delimiter and the kept character go. What only the windows know
// comes through TServicesHost.
#include "typing/AutoreplLookup.h"
#include "typing/AutoreplServices.h"

#include <optional>

class TTypingController;

class TServicesHost {
public:
    virtual ~TServicesHost() = default;
    virtual uint16_t HotKey() const = 0;
    // The suggestion window lists a suggestion for the key now: the engine
    // must see it, even when it is also some shortcut.
    virtual bool SuggestionWantsKey(uint16_t code) const = 0;
    virtual bool IsFileShortcut(uint16_t code) const = 0;
    virtual bool IsEntryShortcut(uint16_t code) const = 0;
    // Both run once the current key notification is over.
    virtual void ProposeEntry(const std::optional<QByteArray>& word) = 0;
    virtual void KeywordBoxRequest(int wParam, const QByteArray& word) = 0;
    // The program's own input control the key being handled was typed
    // into, or 0 (a key from the hook, typed in another program).
    virtual BxHwnd OwnInputControl() const = 0;
    // Erasing keys to that control.
    virtual void SendBackspaces(BxHwnd control, int count) = 0;
};

class TMainServices : public TAutoReplaceServices {
public:
    TMainServices(TTypingController& typing, TServicesHost& host) : typing_(typing), host_(host) {}

    const TLookupAnswer* Lookup(const QByteArray& keyword) override;
    bool KeywordBegins(const QByteArray& text) override;
    BxHwnd CallingWindow() override;
    std::optional<QByteArray> LookupDescription(const QByteArray& keyword) override;
    BxHwnd OwnInputControl() override;
    void SetPrefixOrSuffix(int which, const QByteArray& text) override;
    int ShortcutKind(uint16_t code) override;
    uint32_t CaretPos() override;
    const TLookupAnswer* CompletionLookup(const QByteArray& text) override;
    void PostAddEntry(const std::optional<QByteArray>& word) override;
    void PostKeywordBox(int wParam, const QByteArray& word) override;
    uint16_t HotKey() override;
    void SetKeptChar(unsigned char c) override;
    void SendBackspaces(BxHwnd control, int count) override;

    // Answers come from the open dictionary.
    TDictionaryLookup Dictionary;

private:
    TTypingController& typing_;
    TServicesHost& host_;
};
