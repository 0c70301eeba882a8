#pragma once
// The state of the hook library: one per process.
#include "hook/Backend.h"
#include "hook/InstanceLock.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace bxhook {

class THookCore {
public:
    static THookCore& Instance();

    // Called by backends on their own thread for each physical key; returns
    // true when the key was consumed (a keyword's delimiter, a shortcut).
    bool OnUserKey(uint16_t code, bool down, BxHwnd window);
    void OnMouseButton();

    void SetMessageProc(BxMessageProc proc, void* ctx);
    intptr_t Send(BxHwnd hwnd, uint32_t msg, uintptr_t w, intptr_t l);
    void Post(BxHwnd hwnd, uint32_t msg, uintptr_t w, intptr_t l);

    int Init(BxHwnd mainWindow);
    void InstallFilter(bool on);
    void Uninstall(BxHwnd mainWindow);
    BxHwnd MainWindow() const;

    void SetState(int s);
    int State() const { return fsm_.load(); }
    // A text is handed over, about to be or being typed.
    bool Typing() const;
    void TextPending() { pending_.fetch_add(1); }
    BxHwnd CallingHwnd() const { return calling_.load(); }

    int Display(const char* text, BxHwnd target);
    void Abort(bool on) { abort_.store(on); }
    bool WaitingForInsert() const { return waitingInsert_.load(); }
    bool WaitIdle(int timeoutMsec);
    void SetPause(int msec, int keys);
    void SetMouseResets(bool on) { mouseResets_.store(on); }
    // Playback stops when the focus leaves the window it started in.
    void SetSafeMode(bool on) { safeMode_.store(on); }
    void SetNextKeyWindow(BxHwnd w) { nextKey_.store(w); }
    void ResetCounts();
    uint32_t AutoCount() const { return autoKeys_.load(); }
    // Every key: the user's and the ones played back. Read after AutoCount,
    // it is never the smaller of the two.
    uint32_t TotalCount() const { return userKeys_.load() + autoKeys_.load(); }

    TBackend* Backend() const { return backend_.get(); }
    const std::string& LastError() const { return lastError_; }

private:
    THookCore() = default;
    std::unique_ptr<TBackend> MakeBackend();

    mutable std::mutex mutex_;
    BxMessageProc proc_ = nullptr;
    void* procCtx_ = nullptr;
    TInstanceLock lock_;
    BxHwnd main_ = 0;
    std::unique_ptr<TBackend> backend_;
    bool filterOn_ = false;
    std::string lastError_;

    std::atomic<int> fsm_{BX_FSM_SUSPENDED};
    std::atomic<BxHwnd> calling_{0};
    std::atomic<BxHwnd> nextKey_{0};
    std::atomic<bool> abort_{false};
    std::atomic<bool> waitingInsert_{false};
    std::atomic<bool> mouseResets_{false};
    std::atomic<bool> safeMode_{true};
    std::atomic<uint32_t> autoKeys_{0};
    std::atomic<uint32_t> userKeys_{0};
    std::atomic<int> pauseKeys_{40};
    std::atomic<int> pending_{0}; // texts announced and not yet typing

    mutable std::mutex playMutex_;
    std::condition_variable playDone_;
    int playing_ = 0;
};

} // namespace bxhook
