#include "hook/x11/X11Typer.h"
#include "hook/x11/KeyTable.h"
#include "hook/x11/XError.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <thread>

namespace bxhook::x11 {
namespace {

// Idle time after which a session ends: long enough for the target to have
// read keys typed through a remapped spare key before the key is restored.
constexpr auto kSessionIdle = std::chrono::milliseconds(150);
// Spare keys stay mapped this long after their last use.
constexpr auto kKeepRemaps = std::chrono::seconds(5);
// Pause around a remapping of a spare key.
constexpr auto kRemapSettle = std::chrono::milliseconds(15);
// A consumed key is erased only in the text that follows it promptly.
constexpr int64_t kEraseWindowMs = 3000;
constexpr int kHeldKeyWaitMs = 500;
// Events buffered before they are sent to the server.
constexpr int kFlushEvery = 32;

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

TX11Typer::TX11Typer(TInjectedKeys& injected, UserHolds userHolds, Settle settle,
                     UserKeymap userKeymap)
    : injected_(injected), userHolds_(std::move(userHolds)), settle_(std::move(settle)),
      userKeymap_(std::move(userKeymap)) {}

TX11Typer::~TX11Typer() {
    Close();
}

bool TX11Typer::Open(const char* displayName, std::string& error) {
    std::lock_guard g(mutex_);
    if (dpy_) return true;
    dpy_ = OpenTrappedDisplay(displayName);
    if (!dpy_) {
        error = "cannot open the X display";
        return false;
    }
    int ev, er, major, minor;
    if (!XTestQueryExtension(dpy_, &ev, &er, &major, &minor)) {
        error = "the X server has no XTEST extension (keys cannot be typed)";
        CloseTrappedDisplay(dpy_);
        dpy_ = nullptr;
        return false;
    }
    // Our own typing must not wait for another client's grab of the server.
    XTestGrabControl(dpy_, True);
    // The group and the locks are followed from notices, not asked for by
    // each text: a round trip before its first key.
    int opcode, xkbError;
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    xkbEvent_ = -1;
    if (XkbQueryExtension(dpy_, &opcode, &ev, &xkbError, &major, &minor) &&
        XkbSelectEventDetails(dpy_, XkbUseCoreKbd, XkbStateNotify,
                              XkbGroupStateMask | XkbModifierLockMask,
                              XkbGroupStateMask | XkbModifierLockMask))
        xkbEvent_ = ev;
    record_.Open(dpy_);
    record_.Repair();
    stale_.store(true);
    return true;
}

void TX11Typer::Close() {
    std::lock_guard g(mutex_);
    if (!dpy_) return;
    End();
    RestoreKeys();
    CloseTrappedDisplay(dpy_);
    dpy_ = nullptr;
}

bool TX11Typer::OwnsKeys(int first, int count) const {
    if (count <= 0) return false;
    if (first >= 0 && first < 256 && count < 256) {
        const uint32_t stretch = static_cast<uint32_t>(first) << 8 | static_cast<uint32_t>(count);
        for (const auto& s : ownStretches_)
            if (s.load() == stretch) return true;
    }
    for (int k = first; k < first + count; ++k) {
        if (k < 0 || k > 255) return false;
        if (!(ownMask_[k / 64].load() & (uint64_t{1} << (k % 64)))) return false;
    }
    return true;
}

void TX11Typer::RequestErase() {
    eraseAt_.store(NowMs());
    eraseCount_.fetch_add(1);
}

void TX11Typer::AwaitRelease(KeyCode code) {
    heldAtBegin_.reset(code);
    XFlush(dpy_); // the keys before it go out meanwhile
    char keys[32];
    for (int waited = 0; waited < kHeldKeyWaitMs; ++waited) {
        XQueryKeymap(dpy_, keys);
        if (!KeymapHas(keys, code)) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void TX11Typer::Fake(KeyCode code, bool down) {
    if (!code) return;
    if (down && heldAtBegin_[code]) AwaitRelease(code);
    XTestFakeKeyEvent(dpy_, code, down ? True : False, CurrentTime);
    injected_.Add(code, down);
    down_[code] = down;
    if (++sinceFlush_ >= kFlushEvery) {
        XFlush(dpy_);
        sinceFlush_ = 0;
    }
    lastKey_ = Clock::now();
}

void TX11Typer::SetMods(unsigned want) {
    want |= tagMods_;
    for (unsigned bit = 1; bit < 0x100; bit <<= 1) {
        if (!(curMods_ & bit) == !(want & bit)) continue;
        const KeyCode k = layout_.ModifierKey(bit);
        if (!k) continue;
        Fake(k, want & bit);
        curMods_ ^= bit;
    }
}

void TX11Typer::Stroke(KeyCode code, unsigned mods) {
    SetMods(mods);
    Fake(code, true);
    Fake(code, false);
}

void TX11Typer::Begin() {
    lastKey_ = Clock::now();
    if (active_) return;
    if (stale_.exchange(false)) {
        Drain();
        KeepSurvivingRemaps();
        std::vector<KeyCode> own;
        for (const TRemap& r : remaps_)
            own.push_back(r.code);
        layout_.Load(dpy_, own);
        for (auto& m : ownMask_)
            m.store(0);
        for (KeyCode k : layout_.SpareKeys())
            ownMask_[k / 64].fetch_or(uint64_t{1} << (k % 64));
    } else if (xkbEvent_ >= 0) {
        Drain();
    } else {
        layout_.ReadState(dpy_);
    }
    active_ = true;
    activeFlag_.store(true);
    restoreAt_.store(0);
    curMods_ = 0;
    Record();
    const bool settled = settle_ && settle_();

    // The key that ended a keyword is often still down when the replacement
    // starts; the server ignores a press of a key that is already down, so
    // the same character in the text would be lost. Such a key is waited for
    // only when the text is about to press it (AwaitRelease), not before the
    // first key: a typist holds a key for some 80 ms.
    // Other keys (a shortcut's) are waited for now, as they may still
    // command the target.
    char keys[32];
    heldAtBegin_.reset();
    for (int waited = 0; waited < kHeldKeyWaitMs; ++waited) {
        ReadKeymap(keys, settled);
        bool others = false;
        for (int k = 8; k < 256; ++k) {
            const auto code = static_cast<KeyCode>(k);
            if (!KeymapHas(keys, k) || down_[k] || layout_.ModifierOf(code)) continue;
            if (IsPrintableKeysym(layout_.Keysym(code, 0)))
                heldAtBegin_.set(k);
            else
                others = true;
        }
        if (!others) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    // Keys the user holds (as just read) would change what we type: release
    // them for now.
    userReleased_.clear();
    for (int k = 8; k < 256; ++k) {
        if (!KeymapHas(keys, k) || down_[k]) continue;
        const unsigned mod = layout_.ModifierOf(static_cast<KeyCode>(k));
        if (!mod || (mod & (LockMask | layout_.NumLockMask()))) continue;
        Fake(static_cast<KeyCode>(k), false);
        userReleased_.push_back(static_cast<KeyCode>(k));
    }
    if (layout_.LockedMods() & LockMask) {
        XkbLockModifiers(dpy_, XkbUseCoreKbd, LockMask, 0);
        capsUnlocked_ = true;
    }
    EraseRequested();
}

void TX11Typer::EraseRequested() {
    const int erase = eraseCount_.exchange(0);
    if (erase > 0 && NowMs() - eraseAt_.load() <= kEraseWindowMs)
        for (int i = 0; i < erase; ++i)
            Stroke(layout_.KeycodeForVk(0x08), 0);
}

void TX11Typer::End() {
    if (!active_ || !dpy_) return;
    tagMods_ = 0;
    SetMods(0);
    for (int k = 8; k < 256; ++k)
        if (down_[k]) Fake(static_cast<KeyCode>(k), false);
    for (KeyCode k : userReleased_)
        if (userHolds_ && userHolds_(k)) {
            // Pressed again for the user; not ours to release later.
            XTestFakeKeyEvent(dpy_, k, True, CurrentTime);
            injected_.Add(k, true);
        }
    userReleased_.clear();
    heldAtBegin_.reset();
    if (capsUnlocked_) XkbLockModifiers(dpy_, XkbUseCoreKbd, LockMask, LockMask);
    capsUnlocked_ = false;
    if (remaps_.empty()) record_.Clear();
    XSync(dpy_, False);
    Drain();
    sinceFlush_ = 0;
    active_ = false;
    activeFlag_.store(false);
    restoreAt_.store(remaps_.empty() ? 0 : NowMs() + kKeepRemaps / std::chrono::milliseconds(1));
}

void TX11Typer::RestoreKeys() {
    restoreAt_.store(0);
    if (!dpy_ || active_ || remaps_.empty()) return;
    std::vector<std::pair<KeyCode, unsigned long>> restore;
    for (const TRemap& r : remaps_)
        restore.emplace_back(r.code, NoSymbol);
    MapKeys(std::move(restore));
    restoredAt_ = Clock::now();
    remaps_.clear();
    record_.Clear();
    XSync(dpy_, False);
    Drain();
}

void TX11Typer::KeepSurvivingRemaps() {
    std::erase_if(remaps_, [this](const TRemap& r) {
        int per = 0;
        KeySym* syms = XGetKeyboardMapping(dpy_, r.code, 1, &per);
        const bool ours = syms && per > 0 && syms[0] == r.keysym;
        if (syms) XFree(syms);
        return !ours;
    });
    TakeErrors(dpy_);
}

void TX11Typer::Record() {
    std::vector<KeyCode> codes;
    for (const TRemap& r : remaps_)
        codes.push_back(r.code);
    record_.Write(codes);
}

void TX11Typer::MapKeys(std::vector<std::pair<KeyCode, unsigned long>> keys) {
    if (keys.empty()) return;
    // Clients still fetching a restore may skip a change close behind it.
    if (const auto since = Clock::now() - restoredAt_; since < kSessionIdle)
        std::this_thread::sleep_for(kSessionIdle - since);
    std::sort(keys.begin(), keys.end());
    // A client fetches the keys named by the first change notice it reads and
    // may drop the notices that arrived meanwhile, so the keys change in one
    // request: the stretch from the lowest to the highest, the keys between
    // sent back exactly as the server has them (their types included, which
    // a core request would rebuild).
    XkbDescPtr xkb = XkbGetMap(dpy_, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (!xkb || !xkb->map) {
        if (xkb) XkbFreeKeyboard(xkb, 0, True);
        for (const auto& [code, sym] : keys) {
            KeySym both[2] = {sym, sym};
            XChangeKeyboardMapping(dpy_, code, 2, both, 1);
        }
        return;
    }
    for (const auto& [code, sym] : keys) {
        if (code < xkb->min_key_code || code > xkb->max_key_code) continue;
        XkbSymMapPtr map = &xkb->map->key_sym_map[code];
        if (sym == NoSymbol) {
            XkbResizeKeySyms(xkb, code, 0);
            map->group_info = XkbSetNumGroups(0, 0);
            map->width = 1;
            map->kt_index[0] = XkbOneLevelIndex;
            continue;
        }
        // Both levels, so Shift held for the text does not change the character.
        KeySym* syms = XkbResizeKeySyms(xkb, code, 2);
        if (!syms) continue;
        syms[0] = syms[1] = sym;
        map->group_info = XkbSetNumGroups(0, 1);
        map->width = 2;
        map->kt_index[0] = XkbTwoLevelIndex;
    }
    XkbMapChangesRec changes{};
    changes.changed = XkbKeySymsMask;
    changes.first_key_sym = keys.front().first;
    changes.num_key_syms = static_cast<unsigned char>(keys.back().first - keys.front().first + 1);
    // Known before the server tells the service thread, which must not take
    // it for a change of layout.
    ownStretches_[nextStretch_.fetch_add(1) % kOwnStretches].store(
        static_cast<uint32_t>(changes.first_key_sym) << 8 | changes.num_key_syms);
    XkbChangeMap(dpy_, xkb, &changes);
    XkbFreeKeyboard(xkb, 0, True);
}

void TX11Typer::Drain() {
    // Mapping notices are sent to every client; ours are of no interest.
    while (XPending(dpy_)) {
        XEvent ev;
        XNextEvent(dpy_, &ev);
        if (ev.type != xkbEvent_) continue;
        const auto* xe = reinterpret_cast<const XkbEvent*>(&ev);
        if (xe->any.xkb_type != XkbStateNotify) continue;
        layout_.SetGroup(xe->state.group);
        layout_.SetLockedMods(xe->state.locked_mods);
    }
}

void TX11Typer::ReadKeymap(char (&keys)[32], bool settled) {
    // Once every key event before the text has been looked at, the recording
    // knows what the server would answer.
    if (!settled || !userKeymap_ || !userKeymap_(keys)) XQueryKeymap(dpy_, keys);
}

KeyCode TX11Typer::SpareFor(unsigned long keysym) {
    for (TRemap& r : remaps_)
        if (r.keysym == keysym) {
            r.used = Clock::now();
            return r.code;
        }
    const std::vector<KeyCode>& spare = layout_.SpareKeys();
    KeyCode code = 0;
    for (KeyCode k : spare)
        if (std::none_of(remaps_.begin(), remaps_.end(),
                         [k](const TRemap& r) { return r.code == k; })) {
            code = k;
            break;
        }
    if (!code) {
        if (remaps_.empty()) return 0;
        // Every spare key is in use: take the least recently used one, once
        // the target has had time to read the keys typed through it.
        auto lru =
            std::min_element(remaps_.begin(), remaps_.end(),
                             [](const TRemap& a, const TRemap& b) { return a.used < b.used; });
        code = lru->code;
        remaps_.erase(lru);
        SetMods(0);
        XSync(dpy_, False);
        std::this_thread::sleep_for(kSessionIdle);
    }
    // Clients fetch a changed mapping lazily, when they read the key, and may
    // skip notices older than their last fetch: give the target time to read
    // the keys before this change and to fetch it before the next one.
    SetMods(0);
    XSync(dpy_, False);
    std::this_thread::sleep_for(kRemapSettle);
    remaps_.push_back({code, keysym, Clock::now()});
    Record(); // before the change: a kill in between leaves it known
    MapKeys({{code, keysym}});
    XSync(dpy_, False);
    std::this_thread::sleep_for(kRemapSettle);
    return code;
}

void TX11Typer::TypeChar(unsigned char c) {
    switch (c) {
    case '\t':
        SendKey(0x09, 0, KeyAction::Press);
        return;
    case '\b':
        SendKey(0x08, 0, KeyAction::Press);
        return;
    case 0x1B:
        SendKey(0x1B, 0, KeyAction::Press);
        return;
    case '\r':
    case '\n':
        SendKey(0x0D, 0, KeyAction::Press);
        return;
    default:
        break;
    }
    if (c < 0x20 || c == 0x7F) return;
    std::lock_guard g(mutex_);
    if (!dpy_) return;
    Begin();
    TKeyStroke s;
    unsigned long sym = 0;
    if (OnLayout(c, s, sym))
        Stroke(s.code, s.mods);
    else if (sym)
        if (const KeyCode k = SpareFor(sym)) Stroke(k, 0);
}

bool TX11Typer::OnLayout(unsigned char c, TKeyStroke& stroke, unsigned long& spareSym) const {
    unsigned long syms[2];
    const int n = KeysymsForUnicode(Cp1252ToUnicode(c), syms);
    for (int i = 0; i < n; ++i) {
        if (!layout_.Find(syms[i], stroke)) continue;
        // A level behind a modifier no key sets cannot be reached.
        bool reachable = true;
        for (unsigned bit = 1; bit < 0x100; bit <<= 1)
            if ((stroke.mods & bit) && !layout_.ModifierKey(bit)) reachable = false;
        if (reachable) return true;
    }
    spareSym = n > 0 ? syms[0] : 0;
    return false;
}

void TX11Typer::PrepareChars(std::string_view chars) {
    std::lock_guard g(mutex_);
    if (!dpy_) return;
    const bool joining = active_;
    Begin();
    if (joining) {
        // A text soon after the last one, in the same session: the key that
        // started it has its own leaks to settle and its own erasing.
        if (settle_) settle_();
        EraseRequested();
    }
    std::vector<unsigned long> wanted;
    for (char ch : chars) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) continue;
        TKeyStroke s;
        unsigned long sym = 0;
        if (OnLayout(c, s, sym) || !sym) continue;
        const bool known = std::any_of(remaps_.begin(), remaps_.end(),
                                       [sym](const TRemap& r) { return r.keysym == sym; });
        if (!known && std::find(wanted.begin(), wanted.end(), sym) == wanted.end())
            wanted.push_back(sym);
    }
    // Keys still free take what they can; the rest is remapped one by one
    // as it comes (SpareFor).
    std::vector<std::pair<KeyCode, unsigned long>> keys;
    for (KeyCode k : layout_.SpareKeys()) {
        if (keys.size() == wanted.size()) break;
        if (std::none_of(remaps_.begin(), remaps_.end(),
                         [k](const TRemap& r) { return r.code == k; }))
            keys.emplace_back(k, wanted[keys.size()]);
    }
    if (keys.empty()) return;
    const auto now = Clock::now();
    for (const auto& [code, sym] : keys)
        remaps_.push_back({code, sym, now});
    Record();
    // No pause after it: the target is told of the change, in one notice,
    // ahead of the keys that follow on this connection.
    MapKeys(std::move(keys));
}

void TX11Typer::SendKey(uint8_t vkey, uint8_t mods, KeyAction action) {
    std::lock_guard g(mutex_);
    if (!dpy_) return;
    Begin();
    const unsigned mask = ((mods & playback::ModShift) ? ShiftMask : 0) |
                          ((mods & playback::ModCtrl) ? ControlMask : 0) |
                          ((mods & playback::ModAlt) ? Mod1Mask : 0);
    const KeyCode k = layout_.KeycodeForVk(vkey);
    if (!k && vkey == 0) {
        // A modifier named alone ({@KEYDOWN SHIFT}) is held until its key-up;
        // SetMods keeps what key-down codes hold.
        if (action == KeyAction::Down) tagMods_ |= mask;
        if (action == KeyAction::Up) tagMods_ &= ~mask;
        if (action == KeyAction::Press) SetMods(mask);
        SetMods(0);
        return;
    }
    if (!k) return;
    switch (action) {
    case KeyAction::Press:
        Stroke(k, mask);
        SetMods(0);
        break;
    case KeyAction::Down:
        tagMods_ |= mask;
        SetMods(mask);
        Fake(k, true);
        break;
    case KeyAction::Up:
        Fake(k, false);
        tagMods_ &= ~mask;
        SetMods(0);
        break;
    }
}

void TX11Typer::Flush() {
    std::lock_guard g(mutex_);
    if (!dpy_ || !active_) return;
    SetMods(0);
    XSync(dpy_, False);
    Drain();
    sinceFlush_ = 0;
}

void TX11Typer::Push() {
    std::lock_guard g(mutex_);
    if (dpy_) XFlush(dpy_);
    sinceFlush_ = 0;
}

void TX11Typer::ReleaseHeldKeys() {
    std::lock_guard g(mutex_);
    End();
}

void TX11Typer::Tick() {
    // Never waits: a text being typed may wait for the service thread that ticks.
    std::unique_lock g(mutex_, std::try_to_lock);
    if (!g.owns_lock()) return;
    if (active_ && Clock::now() - lastKey_ > kSessionIdle) End();
    if (const int64_t at = restoreAt_.load(); !active_ && at != 0 && NowMs() >= at) RestoreKeys();
}

} // namespace bxhook::x11
