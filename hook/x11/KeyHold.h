#pragma once
// Keeps the user's keys away from the target while a replacement is typed.
//
// The recording sees a keyword's delimiter only after it reached the target,
// and the replacement is typed a moment later. Keys the user types in that
// moment would land before the replacement's erasing Backspaces (and be
// erased instead of the keyword) or in the middle of its text. So from the
// delimiter until the replacement is typed, every physical keyboard is
// grabbed through XInput 2: a grabbed slave device is detached from its
// master, while the XTest keyboard we type with stays attached. The keys
// that arrive meanwhile are queued, then replayed in order through the XTest
// keyboard while the grab still holds, so keys typed during the replay queue
// behind them; the grab ends once the queue is empty.
//
// The grabs are asked for without waiting for the server's answers, so the
// replacement is on its way while they travel; Confirm collects the answers
// before anyone relies on what was grabbed.
//
// Used from the backend's service thread only.
#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <bitset>
#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace bxhook::x11 {

class TKeyHold {
public:
    struct TKey {
        KeyCode code;
        bool down;
    };
    // Told of each key the grab takes; true when the key is dealt with and
    // must not be queued.
    using Taken = std::function<bool(const TKey&)>;
    // Told of each key event we type that the recording will report.
    using Sent = std::function<void(KeyCode, bool)>;
    void SetSent(Sent sent) { sent_ = std::move(sent); }

    ~TKeyHold();
    // False (the hold is then never used) without XInput 2 on the server.
    bool Open(std::string& error);
    void Close();
    bool Available() const { return dpy_ != nullptr; }
    int Fd() const;

    // Asks for the grab of every physical keyboard; true when there is one.
    bool Begin();
    // Waits for the answers Begin asked for; true when a keyboard is held.
    // The hold goes on either way until End: keys that leaked before the
    // answers are still typed again after the replacement.
    bool Confirm();
    bool Holding() const { return begun_; }
    // The grab requests Begin sent whose answers are still to be collected.
    int Asked() const { return static_cast<int>(pending_.size()); }
    // What tells this connection's requests from others' in a recording:
    // its resource id base, and XInput's major opcode.
    uint32_t ClientBase() const;
    int Opcode() const { return xiOpcode_; }
    std::chrono::steady_clock::time_point Since() const { return since_; }
    // Queues the keys the grab took.
    void Process(const Taken& taken);
    // Lets the keyboards go; keys that came in meanwhile stay queued.
    void End(const Taken& taken);

    // A key that reached the target before the grab took hold: it is typed
    // again after the replacement, ahead of the keys the grab took.
    void QueueLeaked(const TKey& key) { leaked_.push_back(key); }
    bool HasQueued() const { return !leaked_.empty() || !queue_.empty(); }
    // Types the oldest queued key.
    TKey ReplayNext();
    // A replayed key is down for the target while its release waits in the
    // queue or on the keyboard: release it now.
    bool ReplayedDown(KeyCode code) const { return replayedDown_[code]; }
    void ReleaseReplayed(KeyCode code);
    void ReleaseAllReplayed();
    // A key the target saw go down before the hold, released meanwhile: the
    // target must see it go up now, or it would repeat.
    void PassRelease(KeyCode code);

private:
    std::vector<int> PhysicalKeyboards();
    void Fake(KeyCode code, bool down, bool recorded = true);

    struct TPending {
        int device;
        unsigned int sequence;
    };

    Display* dpy_ = nullptr;
    xcb_connection_t* xcb_ = nullptr;
    int xiOpcode_ = 0;
    bool begun_ = false;
    std::vector<TPending> pending_;
    std::vector<int> grabbed_;
    std::vector<int> keyboards_; // the physical keyboards, until the hierarchy changes
    bool keyboardsKnown_ = false;
    std::deque<TKey> leaked_;
    std::deque<TKey> queue_;
    Sent sent_;
    std::bitset<256> replayedDown_;
    std::chrono::steady_clock::time_point since_{};
};

} // namespace bxhook::x11
