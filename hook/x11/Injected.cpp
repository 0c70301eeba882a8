#include "hook/x11/Injected.h"

#include <cstring>

namespace bxhook::x11 {

void TInjectedKeys::SetRecording(bool on) {
    std::lock_guard g(mutex_);
    recording_.store(on);
    std::memset(pending_, 0, sizeof pending_);
    total_ = 0;
}

void TInjectedKeys::Add(KeyCode code, bool down) {
    if (!recording_.load()) return;
    std::lock_guard g(mutex_);
    ++pending_[code][down];
    ++total_;
    last_ = Clock::now();
}

bool TInjectedKeys::Consume(KeyCode code, bool down) {
    std::lock_guard g(mutex_);
    if (total_ == 0) return false;
    // The server echoes within milliseconds; counts older than this are of
    // events that were never recorded and must not swallow the user's keys.
    if (Clock::now() - last_ > std::chrono::seconds(3)) {
        std::memset(pending_, 0, sizeof pending_);
        total_ = 0;
        return false;
    }
    if (pending_[code][down] == 0) return false;
    --pending_[code][down];
    --total_;
    return true;
}

} // namespace bxhook::x11
