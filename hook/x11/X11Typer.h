#pragma once
// Types into the focused window with XTest, on a connection of its own.
//
// A typing session starts with the first key of a text and ends when no key
// has been typed for a short while (or at once on ReleaseHeldKeys): modifiers
// the user still holds are released at the start and pressed again at the
// end if the user still holds them; Caps Lock is unlocked meanwhile; every
// key the session pressed is up at its end; characters the layout lacks are
// typed through spare key codes that are remapped for them. The keys a text
// needs are remapped before its first key, all in one go, and stay mapped for
// at least a few seconds after the session (until the first Tick after that):
// every client on the display reads its key map again after each change, so
// texts typed close together, which mostly want the same characters, share
// one change and one restore. While keys are remapped the fact is recorded
// on the server (TTypingRecord), and what a killed instance left is repaired
// when the connection opens.
#include "hook/Backend.h"
#include "hook/x11/Injected.h"
#include "hook/x11/TypingRecord.h"
#include "hook/x11/XkbLayout.h"

#include <atomic>
#include <bitset>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace bxhook::x11 {

class TX11Typer {
public:
    using UserHolds = std::function<bool(KeyCode)>;
    // Called before a text starts; returns once every key event that came
    // before it has been looked at, true when the keys the user holds are
    // then known without asking the server (UserKeymap).
    using Settle = std::function<bool()>;
    // Fills the keys others hold down (XQueryKeymap's form); false when
    // they are not known.
    using UserKeymap = std::function<bool(char (&)[32])>;
    TX11Typer(TInjectedKeys& injected, UserHolds userHolds, Settle settle, UserKeymap userKeymap);
    ~TX11Typer();

    bool Open(const char* displayName, std::string& error);
    void Close();

    void PrepareChars(std::string_view chars);
    void TypeChar(unsigned char c);
    void SendKey(uint8_t vkey, uint8_t mods, KeyAction action);
    void Flush();
    void Push();
    void ReleaseHeldKeys();
    // Ends a session that has been idle long enough, and gives spare keys
    // their empty mapping back once they have been unused long enough.
    void Tick();
    bool Active() const { return activeFlag_.load(); }
    // The keyboard mapping changed (not by us): reload before the next key.
    void LayoutChanged() { stale_.store(true); }
    // Keys remapped by us, or a stretch our request rewrote: their mapping
    // changes are not layout changes.
    bool OwnsKeys(int first, int count) const;
    // A key that reached the target: erase it first in the next text.
    void RequestErase();

private:
    using Clock = std::chrono::steady_clock;
    void Begin();
    // Erases the keys that reached the target ahead of the text (RequestErase).
    void EraseRequested();
    void End();
    void RestoreKeys();
    // After another client changed the keyboard: forgets the spare keys
    // that no longer carry our keysym.
    void KeepSurvivingRemaps();
    void Fake(KeyCode code, bool down);
    void SetMods(unsigned want);
    void Stroke(KeyCode code, unsigned mods);
    KeyCode SpareFor(unsigned long keysym);
    // The key typing c on the layout (true), else the keysym a spare key
    // must carry for it (0 when c types nothing).
    bool OnLayout(unsigned char c, TKeyStroke& stroke, unsigned long& spareSym) const;
    // Waits (briefly) until a key that was down when the session began is up.
    void AwaitRelease(KeyCode code);
    // Sets each key's keysym (NoSymbol: none), a request per run of
    // adjacent key codes.
    void MapKeys(std::vector<std::pair<KeyCode, unsigned long>> keys);
    void Record();
    // Reads what the server sent: changes of the keyboard state are kept,
    // so that a text need not ask for it.
    void Drain();
    // The keys down now, ours aside; `settled`: the recorded ones will do.
    void ReadKeymap(char (&keys)[32], bool settled);

    std::mutex mutex_;
    Display* dpy_ = nullptr;
    TInjectedKeys& injected_;
    UserHolds userHolds_;
    Settle settle_;
    UserKeymap userKeymap_;
    int xkbEvent_ = -1; // XKB's event code, -1 without state notices
    TXkbLayout layout_;
    std::atomic<bool> stale_{true};
    bool active_ = false;
    std::atomic<bool> activeFlag_{false};
    Clock::time_point lastKey_{};
    unsigned curMods_ = 0;              // modifiers we hold for the keys typed
    unsigned tagMods_ = 0;              // of those, held by key-down codes
    std::bitset<256> down_;             // keys we pressed and did not release
    std::bitset<256> heldAtBegin_;      // others' keys down when the session began
    std::vector<KeyCode> userReleased_; // the user's modifiers we released
    bool capsUnlocked_ = false;
    int sinceFlush_ = 0;

    struct TRemap {
        KeyCode code;
        unsigned long keysym;
        Clock::time_point used;
    };
    std::vector<TRemap> remaps_;        // spare keys we keep mapped
    std::atomic<int64_t> restoreAt_{0}; // ms since epoch; 0: nothing to restore
    Clock::time_point restoredAt_{};
    TTypingRecord record_;
    std::atomic<uint64_t> ownMask_[4] = {};
    // The stretches of keys our last requests rewrote (first << 8 | count),
    // newest last: they hold keys of the layout, sent back as they were.
    static constexpr int kOwnStretches = 8;
    std::atomic<uint32_t> ownStretches_[kOwnStretches] = {};
    std::atomic<unsigned> nextStretch_{0};
    std::atomic<int64_t> eraseAt_{0}; // ms since epoch of the last request
    std::atomic<int> eraseCount_{0};
};

} // namespace bxhook::x11
