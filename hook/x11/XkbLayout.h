#pragma once
// The keyboard layout of an X display as XKB describes it: which key and
// modifiers type a keysym in the current group, which virtual key a key
// code is, and which key codes are free for temporary use.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace bxhook::x11 {

struct TKeyStroke {
    KeyCode code = 0;
    unsigned mods = 0; // real modifier mask (ShiftMask, Mod5Mask...)
};

class TXkbLayout {
public:
    TXkbLayout() = default;
    ~TXkbLayout();
    TXkbLayout(const TXkbLayout&) = delete;
    TXkbLayout& operator=(const TXkbLayout&) = delete;

    // Reads the map, key names and modifier map; false when XKB is missing.
    // Keys in `own` (remapped by us) are treated as spare and never indexed.
    bool Load(Display* dpy, const std::vector<KeyCode>& own = {});
    bool Loaded() const { return xkb_ != nullptr; }
    // Group and locked modifiers as the server reports them now.
    void ReadState(Display* dpy);
    void SetGroup(int group);
    int Group() const { return group_; }
    void SetLockedMods(unsigned mods) { locked_ = mods; }
    unsigned LockedMods() const { return locked_; }

    // Key and modifiers typing the keysym in the current group.
    bool Find(unsigned long keysym, TKeyStroke& out) const;
    // Keysym a key types at a level of the current group.
    unsigned long Keysym(KeyCode code, int level) const;
    // Virtual key of a key code (NumLock picks the keypad digits).
    uint8_t VkForKeycode(KeyCode code) const;
    // Key code of a virtual key: by keysym, else by the key's US position.
    KeyCode KeycodeForVk(uint8_t vkey) const;
    std::string KeyName(KeyCode code) const;

    // Key codes that carry no symbol at all, the spare keys for characters
    // the layout lacks.
    const std::vector<KeyCode>& SpareKeys() const { return spare_; }
    // A key that sets the real modifier (from the modifier map); 0 when none.
    KeyCode ModifierKey(unsigned mask) const;
    // Real modifier of a key code (0 when it is no modifier).
    unsigned ModifierOf(KeyCode code) const;
    unsigned NumLockMask() const { return numLock_; }
    unsigned LevelThreeMask() const { return level3_; }

private:
    void Index();
    unsigned LevelMods(KeyCode code, int group, int level) const;

    XkbDescPtr xkb_ = nullptr;
    int group_ = 0;
    unsigned locked_ = 0;
    unsigned numLock_ = 0;
    unsigned level3_ = 0;
    std::unordered_map<unsigned long, TKeyStroke> bySym_;
    std::vector<KeyCode> spare_;
    KeyCode modKey_[8] = {};
    unsigned modOf_[256] = {};
};

} // namespace bxhook::x11
