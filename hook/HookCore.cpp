#include "hook/HookCore.h"
#include "hook/Playback.h"
#include "platform/VirtualKeys.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace bxhook {
namespace {
// Time between two looks at the focus in safe mode: each look is a round
// trip to the server, which a text must not wait for key by key.
constexpr auto kSafeCheckPeriod = std::chrono::milliseconds(20);
} // namespace

THookCore& THookCore::Instance() {
    static THookCore core;
    return core;
}

void THookCore::SetMessageProc(BxMessageProc proc, void* ctx) {
    std::lock_guard g(mutex_);
    proc_ = proc;
    procCtx_ = ctx;
}

intptr_t THookCore::Send(BxHwnd hwnd, uint32_t msg, uintptr_t w, intptr_t l) {
    BxMessageProc proc;
    void* ctx;
    {
        std::lock_guard g(mutex_);
        proc = proc_;
        ctx = procCtx_;
    }
    // Never called under our lock: the window may call back into the library.
    return proc && hwnd ? proc(ctx, hwnd, msg, w, l, 1) : 0;
}

void THookCore::Post(BxHwnd hwnd, uint32_t msg, uintptr_t w, intptr_t l) {
    BxMessageProc proc;
    void* ctx;
    {
        std::lock_guard g(mutex_);
        proc = proc_;
        ctx = procCtx_;
    }
    if (proc && hwnd) proc(ctx, hwnd, msg, w, l, 0);
}

std::unique_ptr<TBackend> THookCore::MakeBackend() {
    const char* choice = std::getenv("BREVIX_HOOK");
    std::string name = choice ? choice : "";
    if (name.empty()) {
        const char* display = std::getenv("DISPLAY");
        name = display && *display ? "x11" : "";
    }
    if (name == "virtual") return CreateVirtualBackend();
    if (name == "x11") {
        auto b = CreateX11Backend();
        if (!b) lastError_ = "this build has no X11 keyboard backend";
        return b;
    }
    lastError_ = name.empty() ? "no display to watch (DISPLAY is not set)"
                              : "unknown keyboard backend \"" + name + "\"";
    return nullptr;
}

int THookCore::Init(BxHwnd mainWindow) {
    std::unique_lock g(mutex_);
    if (main_ != 0) return main_ == mainWindow ? 0 : 1;
    g.unlock();
    const bool held = lock_.Acquire(
        mainWindow, [this](BxHwnd h, uint32_t m, uintptr_t w, intptr_t l) { Post(h, m, w, l); });
    if (!held) return 1;
    g.lock();
    main_ = mainWindow;
    lastError_.clear();
    backend_ = MakeBackend();
    fsm_.store(BX_FSM_SUSPENDED);
    return 0;
}

void THookCore::InstallFilter(bool on) {
    // Backends are started and stopped outside the lock: their threads call
    // back into the core while they wind down.
    TBackend* backend;
    {
        std::lock_guard g(mutex_);
        if (!backend_ || on == filterOn_) return;
        backend = backend_.get();
    }
    if (on) {
        std::string error;
        const bool started = backend->Start(error);
        std::lock_guard g(mutex_);
        filterOn_ = started;
        if (!started) {
            lastError_ = error;
            backend_.reset();
        }
    } else {
        backend->Stop();
        std::lock_guard g(mutex_);
        filterOn_ = false;
    }
}

void THookCore::Uninstall(BxHwnd mainWindow) {
    std::unique_ptr<TBackend> backend;
    bool running;
    {
        std::lock_guard g(mutex_);
        if (main_ == 0 || main_ != mainWindow) return;
        running = filterOn_;
        filterOn_ = false;
        main_ = 0;
    }
    abort_.store(true);
    WaitIdle(2000);
    {
        std::lock_guard g(mutex_);
        backend = std::move(backend_);
    }
    if (backend && running) backend->Stop();
    backend.reset();
    lock_.Release();
}

BxHwnd THookCore::MainWindow() const {
    {
        std::lock_guard g(mutex_);
        if (main_) return main_;
    }
    return lock_.HolderWindow();
}

void THookCore::SetState(int s) {
    // A text is waiting for its playback from the moment it is handed over.
    if (s == BX_FSM_HANDED_OVER) waitingInsert_.store(true);
    fsm_.store(s);
    if (TBackend* b = backend_.get()) b->StateChanged();
}

bool THookCore::Typing() const {
    const int s = fsm_.load();
    if (s == BX_FSM_HANDED_OVER || s == BX_FSM_TYPING || s == BX_FSM_TYPING2 || pending_.load() > 0)
        return true;
    std::lock_guard g(playMutex_);
    return playing_ > 0;
}

bool THookCore::OnUserKey(uint16_t code, bool down, BxHwnd window) {
    if (down) userKeys_.fetch_add(1);
    calling_.store(window);
    const int state = fsm_.load();
    const BxHwnd main = MainWindow();
    if (state == BX_FSM_NEXTKEY) {
        // Releases arm the capturing window, so the release of the key that
        // opened it is never taken for the answer.
        const uint8_t key = code & 0xFF;
        const bool modifierOnly = key == 0 || vk::IsModifier(key);
        if (!modifierOnly) Post(nextKey_.load(), BX_MSG_NEXT_KEY, code, down ? 1 : 0);
        return false;
    }
    if (state == BX_FSM_RECORDING) {
        Post(nextKey_.load(), BX_MSG_RECORD_KEY, code, static_cast<intptr_t>(down ? 1 : 0) << 16);
        return false;
    }
    if (state != BX_FSM_WATCHING) return false;
    const intptr_t r = Send(main, BX_MSG_KEY, code, static_cast<intptr_t>(down ? 1 : 0) << 16);
    if (!down || r == 0) return false;
    TBackend* b = backend_.get();
    if (b) b->KeyConsumed(code);
    Send(main, BX_MSG_KEY, code, static_cast<intptr_t>(BX_KEYFLAG_PERFORM) << 16);
    // The key may have started nothing to type (a command, a window shown).
    if (b) b->StateChanged();
    return true;
}

void THookCore::OnMouseButton() {
    if (mouseResets_.load() && fsm_.load() == BX_FSM_WATCHING)
        Post(MainWindow(), BX_MSG_MOUSE_RESET, 0, 0);
}

void THookCore::SetPause(int msec, int keys) {
    (void)msec; // paces nothing: see Display
    pauseKeys_.store(keys < 1 ? 1 : keys);
}

int THookCore::Display(const char* text, BxHwnd target) {
    if (!text) return 0;
    const std::vector<TPlaybackStep> steps =
        DecodePlayback(std::string_view(text, std::strlen(text)));
    {
        std::lock_guard g(playMutex_);
        ++playing_;
    }
    for (int p = pending_.load(); p > 0 && !pending_.compare_exchange_weak(p, p - 1);) {
    }
    TBackend* backend = backend_.get();
    const int before = fsm_.load();
    waitingInsert_.store(false);
    fsm_.store(BX_FSM_TYPING2);
    uint32_t typed = 0;
    if (backend) {
        if (target) backend->FocusTarget(target);
        std::string chars;
        for (const TPlaybackStep& s : steps)
            if (s.kind == TPlaybackStep::Char) chars += static_cast<char>(s.value);
        backend->PrepareChars(chars);
        // Safe mode: typing into whatever window took the focus meanwhile
        // would scatter the text, so playback stops instead.
        // The focus at the start is what later looks compare with; its answer
        // is not waited for before the first key, which it would hold back.
        const bool safe = safeMode_.load();
        std::unique_ptr<TFocusAnswer> startAnswer = safe ? backend->AskFocusWindow() : nullptr;
        BxHwnd startFocus = 0;
        // Every "interval" keys what was typed goes out to the server. An X
        // server queues keys for a busy client and loses none: no sleep is
        // needed for slow targets, and the pause value paces nothing here.
        const int everyKeys = pauseKeys_.load();
        auto lastCheck = std::chrono::steady_clock::now();
        for (const TPlaybackStep& s : steps) {
            if (abort_.load()) break;
            if (safe && std::chrono::steady_clock::now() - lastCheck > kSafeCheckPeriod) {
                if (startAnswer) {
                    startFocus = startAnswer->Get();
                    startAnswer.reset();
                }
                if (startFocus && backend->FocusWindow() != startFocus) break;
                lastCheck = std::chrono::steady_clock::now();
            }
            switch (s.kind) {
            case TPlaybackStep::Char:
                backend->TypeChar(s.value);
                break;
            case TPlaybackStep::KeyPress:
                backend->SendKey(s.value, s.mods, KeyAction::Press);
                break;
            case TPlaybackStep::KeyDown:
                backend->SendKey(s.value, s.mods, KeyAction::Down);
                break;
            case TPlaybackStep::KeyUp:
                backend->SendKey(s.value, s.mods, KeyAction::Up);
                break;
            case TPlaybackStep::PauseSec:
            case TPlaybackStep::PauseMsec: {
                backend->Flush();
                const int ms = s.kind == TPlaybackStep::PauseSec ? s.value * 1000 : s.value;
                if (backend->PauseAfterPaste(ms)) continue;
                for (int waited = 0; waited < ms && !abort_.load(); waited += 10)
                    std::this_thread::sleep_for(
                        std::chrono::milliseconds(std::min(10, ms - waited)));
                continue;
            }
            }
            // Counted as typed, so that a watcher sees the run progress.
            autoKeys_.fetch_add(1, std::memory_order_relaxed);
            if (++typed % everyKeys == 0) backend->Push();
        }
        backend->Flush();
    }
    // Hand the state back: the program's timer ends the run when it sees 8.
    int expected = BX_FSM_TYPING2;
    fsm_.compare_exchange_strong(expected,
                                 before == BX_FSM_HANDED_OVER ? BX_FSM_HANDED_OVER : before);
    {
        std::lock_guard g(playMutex_);
        --playing_;
    }
    if (backend) backend->StateChanged();
    playDone_.notify_all();
    return backend ? 1 : 0;
}

bool THookCore::WaitIdle(int timeoutMsec) {
    std::unique_lock g(playMutex_);
    return playDone_.wait_for(g, std::chrono::milliseconds(timeoutMsec),
                              [this] { return playing_ == 0; });
}

void THookCore::ResetCounts() {
    autoKeys_.store(0);
    userKeys_.store(0);
}

} // namespace bxhook
