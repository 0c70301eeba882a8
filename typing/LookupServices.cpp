#include "typing/LookupServices.h"
#include "hook/HookApi.h"
#include "typing/TypingController.h"

const TLookupAnswer* TMainServices::Lookup(const QByteArray& keyword) {
    return Dictionary.Lookup(keyword);
}

bool TMainServices::KeywordBegins(const QByteArray& text) {
    return Dictionary.KeywordBegins(text);
}

BxHwnd TMainServices::CallingWindow() {
    if (const BxHwnd own = host_.OwnInputControl()) return own;
    return GetCallingHwnd();
}

std::optional<QByteArray> TMainServices::LookupDescription(const QByteArray& keyword) {
    return Dictionary.LookupDescription(keyword);
}

BxHwnd TMainServices::OwnInputControl() {
    return host_.OwnInputControl();
}

void TMainServices::SetPrefixOrSuffix(int which, const QByteArray& text) {
    (which == 0 ? typing_.BackspacePrefix : typing_.KeySuffix) = text;
}

int TMainServices::ShortcutKind(uint16_t code) {
    if (code == 0 || host_.SuggestionWantsKey(code)) return shortcutkind::None;
    if (code == host_.HotKey()) return shortcutkind::HotKey;
    if (host_.IsFileShortcut(code)) return shortcutkind::File;
    if (host_.IsEntryShortcut(code)) return shortcutkind::Entry;
    return shortcutkind::None;
}

uint32_t TMainServices::CaretPos() {
    return GetCaretScreenPos();
}

const TLookupAnswer* TMainServices::CompletionLookup(const QByteArray& text) {
    return Dictionary.CompletionLookup(text);
}

void TMainServices::PostAddEntry(const std::optional<QByteArray>& word) {
    host_.ProposeEntry(word);
}

void TMainServices::PostKeywordBox(int wParam, const QByteArray& word) {
    host_.KeywordBoxRequest(wParam, word);
}

uint16_t TMainServices::HotKey() {
    return host_.HotKey();
}

void TMainServices::SetKeptChar(unsigned char c) {
    typing_.KeptChar = c;
}

void TMainServices::SendBackspaces(BxHwnd control, int count) {
    host_.SendBackspaces(control, count);
}
