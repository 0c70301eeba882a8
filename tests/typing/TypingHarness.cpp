#include "TypingHarness.h"

#include "dictionary/DictItem.h"
#include "platform/UsLayout.h"
#include "platform/VirtualKeys.h"
#include "tags/ParseTxt.h"
#include "tags/TrailingWord.h"

#include <QByteArrayList>
#include <cstring>
#include <gtest/gtest.h>
#include <utility>

int TFakeServices::ShortcutKind(uint16_t code) {
    const auto it = shortcuts.find(code);
    return it == shortcuts.end() ? shortcutkind::None : it->second;
}

TTypist::TTypist(std::initializer_list<TEntry> entries, uint16_t options) {
    AddEntries(services.dictionary, entries);
    services.lookup.SetDictionary(&services.dictionary);
    engine.InitEngine();
    engine.SetOptions(options);
}

namespace {
struct TNamedKey {
    const char* name;
    uint8_t vkey;
    bool shift, ctrl, alt;
};
constexpr TNamedKey kNamedKeys[] = {
    {"BS", vk::Back, false, false, false},       {"ESC", vk::Escape, false, false, false},
    {"TAB", vk::Tab, false, false, false},       {"ENTER", vk::Return, false, false, false},
    {"S-ENTER", vk::Return, true, false, false}, {"C-SPACE", vk::Space, false, true, false},
    {"A-INS", vk::Insert, false, false, true},   {"C-INS", vk::Insert, false, true, false},
    {"F10", vk::F10, false, false, false},       {"CAPS", vk::Capital, false, false, false},
    {"NUM", vk::NumLock, false, false, false},
};
} // namespace

void TTypist::Type(const char* keys) {
    for (const char* p = keys; *p; ++p) {
        if (*p == '<') {
            const char* end = std::strchr(p, '>');
            const QByteArray name(p + 1, end - p - 1);
            bool found = false;
            for (const TNamedKey& k : kNamedKeys)
                if (name == k.name) {
                    Key(k.vkey, k.shift, k.ctrl, k.alt);
                    found = true;
                }
            if (!found) ADD_FAILURE() << "unknown key <" << name.constData() << ">";
            p = end;
            continue;
        }
        uint8_t vkey = 0;
        bool shift = false;
        if (!UsLayout::KeyForChar(static_cast<unsigned char>(*p), vkey, shift)) {
            ADD_FAILURE() << "no US key for " << *p;
            continue;
        }
        Key(vkey, shift);
    }
}

int TTypist::Key(unsigned vkey, bool shift, bool ctrl, bool alt, bool hold) {
    const int r = engine.AutoReplaceKey(vkey, shift, ctrl, alt);
    if (r != arresult::None) {
        QByteArray text;
        lastPerform = engine.PerformReplacement(text);
        if (lastPerform == arresult::Replaced) Inject(text);
        engine.FlushHint(); // as the main window does once the text is on its way
    } else {
        Echo(vkey, shift, ctrl, alt);
    }
    if (!hold) engine.KeyReleased();
    return r;
}

void TTypist::Echo(unsigned vkey, bool shift, bool ctrl, bool alt) {
    if (ctrl || alt) return;
    if (vkey == vk::Back) {
        screen.chop(1);
        return;
    }
    if (vkey == vk::Return) {
        screen.append('\n');
        return;
    }
    const unsigned char c = UsLayout::CharForKey(static_cast<uint8_t>(vkey), shift);
    if (c >= ' ' || c == '\t') screen.append(static_cast<char>(c));
}

namespace {
// The few key tags the engine produces, as the target shows them.
QByteArray Render(QByteArray tags) {
    tags.replace("{@KEY SPACE}", " ");
    tags.replace("{@KEY Space}", " ");
    tags.replace("{@KEY Enter}", "\n");
    tags.replace("{@KEY Ctrl+Enter}", "\n");
    return tags;
}

QByteArray Parsed(const QByteArray& text) {
    QByteArray stream = text;
    stream.append('\0');
    ParseTextToType(stream, false);
    const qsizetype nul = stream.indexOf('\0');
    return nul < 0 ? stream : stream.left(nul);
}
} // namespace

// What the typing engine does with the prefix, Memo1 and the suffix.
void TTypist::Inject(const QByteArray& text) {
    memo = text;
    ++replacements;
    if (services.ownControl == 0) {
        screen.chop(services.BackspacePrefix.count("{@KEY BKSP}"));
        screen += Render(text) + Render(services.KeySuffix);
        const QByteArray played =
            Parsed(services.BackspacePrefix) + Parsed(text) + Parsed(services.KeySuffix);
        if (engine.Options() & aoRememberLastExpandedWord)
            FeedTrailingWord(played, engine, services.KeptChar);
    }
    services.KeptChar = 0;
    prefix = std::exchange(services.BackspacePrefix, {});
    suffix = std::exchange(services.KeySuffix, {});
}
