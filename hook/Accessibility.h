#pragma once
// Follows the keyboard focus on the desktop's accessibility bus (AT-SPI) on a
// thread of its own, so that asking whether a password field has the focus
// costs the caller one atomic read. Without a bus nothing is known and the
// state says why.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace bxhook {

class TAccessibility {
public:
    static TAccessibility& Instance();
    ~TAccessibility();

    // Starts following the focus once; later calls do nothing.
    void Start();
    void Stop();
    // The process whose password field has the focus; 0 none or unknown.
    uint32_t PasswordFocusProcess() const { return passwordPid_.load(std::memory_order_relaxed); }
    // "running", "starting", or why the focus cannot be followed.
    std::string State() const;

    // For a focus event: a control of process pid gained (focused) or lost
    // the focus; password tells whether it takes a password.
    void FocusEvent(uint32_t pid, bool focused, bool password);

private:
    void Run();
    void SetState(const std::string& state);

    mutable std::mutex mutex_;
    std::string state_ = "not started";
    std::thread thread_;
    bool started_ = false;
    std::atomic<bool> startRequested_{false}; // read on every key, without the lock
    bool stopping_ = false;
    void* loop_ = nullptr; // GMainLoop of the thread, under mutex_
    std::atomic<uint32_t> passwordPid_{0};
};

} // namespace bxhook
