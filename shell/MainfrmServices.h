#pragma once
// The main window's answers to the auto-replace engine (services 0x400-0x40E).
#include "typing/AutoreplLookup.h"
#include "typing/AutoreplServices.h"

class TMainForm;

class TMainServices : public TAutoReplaceServices {
public:
    explicit TMainServices(TMainForm& form) : form_(form) {}

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
    TMainForm& form_;
};
