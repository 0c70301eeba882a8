#pragma once
// Key events we injected ourselves come back through the recording; they are
// recognised here so they are never reported as the user's keys.
#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <mutex>

namespace bxhook::x11 {

class TInjectedKeys {
public:
    // Only counted while the recording runs, so nothing waits forever.
    void SetRecording(bool on);
    void Add(KeyCode code, bool down);
    // True (and forgotten) when an event of this key was injected by us.
    bool Consume(KeyCode code, bool down);

private:
    using Clock = std::chrono::steady_clock;
    std::mutex mutex_;
    std::atomic<bool> recording_{false};
    unsigned pending_[256][2] = {};
    unsigned total_ = 0;
    Clock::time_point last_{};
};

} // namespace bxhook::x11
