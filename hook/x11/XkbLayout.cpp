#include "hook/x11/XkbLayout.h"
#include "hook/x11/KeyTable.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <bit>
#include <cstring>

namespace bxhook::x11 {

TXkbLayout::~TXkbLayout() {
    if (xkb_) XkbFreeKeyboard(xkb_, 0, True);
}

bool TXkbLayout::Load(Display* dpy, const std::vector<KeyCode>& own) {
    if (xkb_) XkbFreeKeyboard(xkb_, 0, True);
    xkb_ = XkbGetMap(dpy, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (!xkb_) return false;
    if (XkbGetNames(dpy, XkbKeyNamesMask, xkb_) != Success) xkb_->names = nullptr;

    std::fill(std::begin(modKey_), std::end(modKey_), 0);
    std::fill(std::begin(modOf_), std::end(modOf_), 0u);
    if (XModifierKeymap* mm = XGetModifierMapping(dpy)) {
        for (int m = 0; m < 8; ++m)
            for (int j = 0; j < mm->max_keypermod; ++j) {
                const KeyCode kc = mm->modifiermap[m * mm->max_keypermod + j];
                if (!kc) continue;
                modOf_[kc] |= 1u << m;
                if (!modKey_[m]) modKey_[m] = kc;
            }
        XFreeModifiermap(mm);
    }
    numLock_ = XkbKeysymToModifiers(dpy, XK_Num_Lock);
    level3_ = XkbKeysymToModifiers(dpy, XK_ISO_Level3_Shift);
    if (!level3_) level3_ = XkbKeysymToModifiers(dpy, XK_Mode_switch);

    spare_.clear();
    for (int kc = xkb_->min_key_code; kc <= xkb_->max_key_code; ++kc) {
        const bool mine = std::find(own.begin(), own.end(), kc) != own.end();
        bool empty = true;
        for (int i = 0; i < XkbKeyNumSyms(xkb_, kc) && empty; ++i)
            empty = XkbKeySymsPtr(xkb_, kc)[i] == NoSymbol;
        if ((mine || empty) && !modOf_[kc]) spare_.push_back(static_cast<KeyCode>(kc));
    }
    ReadState(dpy);
    Index();
    return true;
}

void TXkbLayout::ReadState(Display* dpy) {
    XkbStateRec st;
    if (XkbGetState(dpy, XkbUseCoreKbd, &st) != Success) return;
    locked_ = st.locked_mods;
    SetGroup(st.group);
}

void TXkbLayout::SetGroup(int group) {
    if (group == group_ && !bySym_.empty()) return;
    group_ = group;
    Index();
}

static int EffectiveGroup(XkbDescPtr xkb, int kc, int group) {
    const int n = XkbKeyNumGroups(xkb, kc);
    if (n <= 0) return -1;
    return group < n ? group : group % n;
}

unsigned TXkbLayout::LevelMods(KeyCode kc, int group, int level) const {
    if (level == 0) return 0;
    XkbKeyTypePtr type = XkbKeyKeyType(xkb_, kc, group);
    unsigned best = ~0u;
    for (int i = 0; i < type->map_count; ++i) {
        const XkbKTMapEntryRec& e = type->map[i];
        if (!e.active || e.level != level) continue;
        // Locks cannot be held down for one key.
        if (e.mods.mask & (LockMask | numLock_)) continue;
        if (best == ~0u || std::popcount(e.mods.mask) < std::popcount(best)) best = e.mods.mask;
    }
    return best;
}

void TXkbLayout::Index() {
    bySym_.clear();
    if (!xkb_) return;
    auto rank = [](const TKeyStroke& s, unsigned long sym) {
        return std::popcount(s.mods) * 2 + (IsKeypadKey(sym) ? 8 : 0);
    };
    for (int kc = xkb_->min_key_code; kc <= xkb_->max_key_code; ++kc) {
        if (std::find(spare_.begin(), spare_.end(), kc) != spare_.end()) continue;
        const int g = EffectiveGroup(xkb_, kc, group_);
        if (g < 0) continue;
        const int width = XkbKeyGroupWidth(xkb_, kc, g);
        for (int level = 0; level < width; ++level) {
            const unsigned long sym = XkbKeySymEntry(xkb_, kc, level, g);
            if (sym == NoSymbol) continue;
            const unsigned mods = LevelMods(static_cast<KeyCode>(kc), g, level);
            if (mods == ~0u) continue;
            const TKeyStroke s{static_cast<KeyCode>(kc), mods};
            auto it = bySym_.find(sym);
            if (it == bySym_.end() || rank(s, sym) < rank(it->second, sym)) bySym_[sym] = s;
        }
    }
}

bool TXkbLayout::Find(unsigned long keysym, TKeyStroke& out) const {
    auto it = bySym_.find(keysym);
    if (it == bySym_.end()) return false;
    out = it->second;
    return true;
}

unsigned long TXkbLayout::Keysym(KeyCode kc, int level) const {
    if (!xkb_ || kc < xkb_->min_key_code || kc > xkb_->max_key_code) return NoSymbol;
    const int g = EffectiveGroup(xkb_, kc, group_);
    if (g < 0 || level >= XkbKeyGroupWidth(xkb_, kc, g)) return NoSymbol;
    return XkbKeySymEntry(xkb_, kc, level, g);
}

std::string TXkbLayout::KeyName(KeyCode kc) const {
    if (!xkb_ || !xkb_->names || !xkb_->names->keys || kc < xkb_->min_key_code ||
        kc > xkb_->max_key_code)
        return {};
    const char* n = xkb_->names->keys[kc].name;
    return std::string(n, strnlen(n, XkbKeyNameLength));
}

uint8_t TXkbLayout::VkForKeycode(KeyCode kc) const {
    unsigned long sym = Keysym(kc, 0);
    if (IsKeypadKey(sym) && (locked_ & numLock_)) {
        const unsigned long digit = Keysym(kc, 1);
        if ((digit >= XK_KP_0 && digit <= XK_KP_9) || digit == XK_KP_Decimal) sym = digit;
    }
    if (const uint8_t vk = VkForKeysym(sym)) return vk;
    return VkForKeyName(KeyName(kc));
}

KeyCode TXkbLayout::KeycodeForVk(uint8_t vkey) const {
    // Punctuation keys are named by position where the layout differs from
    // US, so the key is the one that reports this virtual key.
    // Several keys can report one virtual key (the "<>" key of 102-key
    // keyboards reports the comma's); the one whose plain symbol is the US
    // character wins, so "{@KEY ,}" types a comma and not "<".
    if (vkey >= 0xBA && xkb_) {
        const unsigned long plain = KeysymForVk(vkey);
        KeyCode first = 0;
        for (int kc = xkb_->min_key_code; kc <= xkb_->max_key_code; ++kc) {
            if (VkForKeycode(static_cast<KeyCode>(kc)) != vkey) continue;
            if (plain && Keysym(static_cast<KeyCode>(kc), 0) == plain)
                return static_cast<KeyCode>(kc);
            if (!first) first = static_cast<KeyCode>(kc);
        }
        if (first) return first;
    }
    TKeyStroke s;
    if (const unsigned long sym = KeysymForVk(vkey); sym && Find(sym, s)) return s.code;
    const std::string_view name = KeyNameForVk(vkey);
    if (name.empty() || !xkb_ || !xkb_->names || !xkb_->names->keys) return 0;
    for (int kc = xkb_->min_key_code; kc <= xkb_->max_key_code; ++kc)
        if (KeyName(static_cast<KeyCode>(kc)) == name) return static_cast<KeyCode>(kc);
    return 0;
}

KeyCode TXkbLayout::ModifierKey(unsigned mask) const {
    for (int m = 0; m < 8; ++m)
        if (mask == (1u << m)) return modKey_[m];
    return 0;
}

unsigned TXkbLayout::ModifierOf(KeyCode kc) const {
    return modOf_[kc];
}

} // namespace bxhook::x11
