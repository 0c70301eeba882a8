#include "platform/Keycodes.h"

#include "platform/Ansi.h"
#include "platform/KeyboardLayout.h"
#include "platform/VirtualKeys.h"

#include <QHash>
#include <array>

namespace {

constexpr uint16_t kKeyBits = 0x1FFF;

// Keys named the same on every layout.
QByteArray FixedName(unsigned vkey) {
    switch (vkey) {
    case 8:
        return "BkSp";
    case 9:
        return "Tab";
    case 13:
        return "Enter";
    case 27:
        return "Esc";
    case 32:
        return "Space";
    case 33:
        return "PgUp";
    case 34:
        return "PgDn";
    case 35:
        return "End";
    case 36:
        return "Home";
    case 37:
        return "Left";
    case 38:
        return "Up";
    case 39:
        return "Right";
    case 40:
        return "Down";
    case 45:
        return "Ins";
    case 46:
        return "Del";
    default:
        break;
    }
    if ((vkey >= '0' && vkey <= '9') || (vkey >= 'A' && vkey <= 'Z'))
        return QByteArray(1, static_cast<char>(vkey));
    if (vkey >= vk::F1 && vkey <= vk::F24) return "F" + QByteArray::number(vkey - vk::F1 + 1);
    return {};
}

QByteArray StandardName(unsigned vkey, const TKeyboardLayout& layout) {
    QByteArray name = FixedName(vkey);
    return name.isEmpty() ? layout.KeyName(static_cast<uint8_t>(vkey)) : name;
}

struct TExtraName {
    const char* name; // upper case, as compared
    uint8_t vkey;     // 0: the modifier alone
    uint16_t modifier;
};

// Names outside the standard naming, in the order they are tried.
constexpr TExtraName kExtraNames[] = {
    {"SHIFT", 0, shortcut::Shift},
    {"CTRL", 0, shortcut::Ctrl},
    {"ALT", 0, shortcut::Alt},
    {"PAUSE", 19, 0},
    {"CAPS", 20, 0},
    {"PRINT", 44, 0},
    {"NUMPAD0", 96, 0},
    {"NUMPAD1", 97, 0},
    {"NUMPAD2", 98, 0},
    {"NUMPAD3", 99, 0},
    {"NUMPAD4", 100, 0},
    {"NUMPAD5", 101, 0},
    {"NUMPAD6", 102, 0},
    {"NUMPAD7", 103, 0},
    {"NUMPAD8", 104, 0},
    {"NUMPAD9", 105, 0},
    {"NUMPAD*", 106, 0},
    {"NUMPAD+", 107, 0},
    {"NUMPAD-", 109, 0},
    {"NUMPAD/", 111, 0},
    {"NUMPAD.", 110, 0},
    {"NUMLOCK", 144, 0},
    {"SCROLL", 145, 0},
    {"LWIN", 91, 0},
    {"RWIN", 92, 0},
    {"APP", 93, 0},
};

// Display names that replace the standard name of a key.
const char* OwnName(unsigned vkey) {
    switch (vkey) {
    case 19:
        return "Pause";
    case 20:
        return "Caps";
    case 44:
        return "Print";
    case 91:
        return "LWin";
    case 92:
        return "RWin";
    case 93:
        return "App";
    case 106:
        return "NumPad*";
    case 107:
        return "NumPad+";
    case 109:
        return "NumPad-";
    case 110:
        return "NumPad.";
    case 111:
        return "NumPad/";
    case 144:
        return "NumLock";
    case 145:
        return "Scroll";
    default:
        return nullptr;
    }
}

// Standard names of one layout, upper-cased, to their keys; the lowest key
// wins when a layout gives two keys the same name.
class TNameIndex {
public:
    explicit TNameIndex(std::shared_ptr<const TKeyboardLayout> layout)
        : layout_(std::move(layout)) {
        for (unsigned vkey = 255; vkey >= 1; --vkey) {
            const QByteArray name = StandardName(vkey, *layout_);
            if (!name.isEmpty()) keys_.insert(Ansi::Upper(name), static_cast<uint8_t>(vkey));
        }
    }
    const TKeyboardLayout* Layout() const { return layout_.get(); }
    uint8_t Find(const QByteArray& upperName) const { return keys_.value(upperName, 0); }

private:
    std::shared_ptr<const TKeyboardLayout> layout_;
    QHash<QByteArray, uint8_t> keys_;
};

const TNameIndex& IndexFor(std::shared_ptr<const TKeyboardLayout> layout) {
    thread_local std::unique_ptr<TNameIndex> index;
    if (!index || index->Layout() != layout.get())
        index = std::make_unique<TNameIndex>(std::move(layout));
    return *index;
}

// Strips leading modifier prefixes (any order, case ignored) from upper-cased
// text, collecting their bits.
uint16_t StripModifiers(QByteArray& upper) {
    static constexpr std::array<std::pair<const char*, uint16_t>, 3> kPrefixes = {
        {{"SHIFT+", shortcut::Shift}, {"CTRL+", shortcut::Ctrl}, {"ALT+", shortcut::Alt}}};
    uint16_t mods = 0;
    for (bool stripped = true; stripped;) {
        stripped = false;
        for (const auto& [prefix, bit] : kPrefixes) {
            if (upper.startsWith(prefix)) {
                upper.remove(0, qstrlen(prefix));
                mods |= bit;
                stripped = true;
            }
        }
    }
    return mods;
}

// Only the states a layout types characters with count (Shift, Ctrl, AltGr as
// Ctrl+Alt, and Shift+AltGr); a name never gains Shift+Ctrl or Alt alone.
uint16_t LayoutModifiers(uint8_t shiftState) {
    using namespace layoutshift;
    switch (shiftState) {
    case Shift:
        return shortcut::Shift;
    case Ctrl:
        return shortcut::Ctrl;
    case Ctrl | Alt:
        return shortcut::Ctrl | shortcut::Alt;
    case Shift | Ctrl | Alt:
        return shortcut::Shift | shortcut::Ctrl | shortcut::Alt;
    default:
        return 0;
    }
}

} // namespace

uint16_t MakeKeyCode(unsigned vkey, bool shift, bool ctrl, bool alt) {
    if (vkey > 255) return 0;
    return static_cast<uint16_t>(vkey | (shift ? shortcut::Shift : 0) |
                                 (ctrl ? shortcut::Ctrl : 0) | (alt ? shortcut::Alt : 0));
}

QByteArray KeyCodeToText(uint16_t code) {
    const unsigned vkey = code & kKeyBits;
    if (vkey > 255) return {};
    QByteArray name;
    if (vkey >= 96 && vkey <= 105)
        name = "NumPad" + QByteArray::number(vkey - 96);
    else if (const char* own = OwnName(vkey))
        name = own;
    else
        name = StandardName(vkey, *CurrentKeyboardLayout());
    if (name.isEmpty()) return {};
    QByteArray text;
    if (code & shortcut::Shift) text += "Shift+";
    if (code & shortcut::Ctrl) text += "Ctrl+";
    if (code & shortcut::Alt) text += "Alt+";
    return text + name;
}

uint16_t TextToKeyCode(const QByteArray& text) {
    const std::shared_ptr<const TKeyboardLayout> layout = CurrentKeyboardLayout();

    // The standard naming first; the keypad's decimal point is left to the
    // later steps so that "." means the main keyboard's full stop.
    QByteArray rest = Ansi::Upper(text);
    uint16_t mods = StripModifiers(rest);
    const uint8_t standardKey = IndexFor(layout).Find(rest);
    const uint16_t standard = standardKey ? static_cast<uint16_t>(standardKey | mods) : 0;
    if (standardKey != 0 && standardKey != 110) return standard;

    const QByteArray trimmed = Ansi::Trim(text);
    rest = Ansi::Upper(trimmed);
    mods = StripModifiers(rest);

    // A single character: the key that types it, with the shift state it needs.
    uint8_t vkey = 0, shiftState = 0;
    if (rest.size() == 1 &&
        layout->KeyForChar(static_cast<unsigned char>(trimmed.back()), vkey, shiftState))
        return static_cast<uint16_t>(vkey | mods | LayoutModifiers(shiftState));

    for (const TExtraName& extra : kExtraNames)
        if (rest == extra.name) return static_cast<uint16_t>(extra.vkey | extra.modifier | mods);
    return standard;
}

QByteArray EncodeKeyInText(uint16_t code) {
    const auto high = static_cast<uint8_t>(code >> 8), low = static_cast<uint8_t>(code & 0xFF);
    // Key bits above 255 would land in the kind byte and turn the key into another code.
    if (code == 0 || high == 0xFF || low == 0xFF || (code & kKeyBits) > 0xFF) return {};
    const char bytes[3] = {'\x01', static_cast<char>(high + 1), static_cast<char>(low + 1)};
    return QByteArray(bytes, 3);
}
