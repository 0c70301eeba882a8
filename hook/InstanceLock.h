#pragma once
// One holder per user and display: a locked file records the holder's main
// window; a local socket beside it carries messages posted to that window by
// other processes (the hand-over of a second instance).
#include "hook/HookApi.h"
#include <functional>
#include <string>
#include <thread>

namespace bxhook {

class TInstanceLock {
public:
    using PostFn = std::function<void(BxHwnd, uint32_t, uintptr_t, intptr_t)>;
    ~TInstanceLock();
    // True when this process now holds the library for mainWindow.
    bool Acquire(BxHwnd mainWindow, PostFn post);
    void Release();
    bool Held() const { return fd_ >= 0; }
    // Main window of the holder, this process or another; 0 when nobody holds it.
    BxHwnd HolderWindow() const;
    // Sends a message to the holder's process; false when it cannot be reached.
    static bool PostToHolder(BxHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);

private:
    static std::string BasePath();
    void Listen();
    int fd_ = -1;
    int listenFd_ = -1;
    BxHwnd window_ = 0;
    PostFn post_;
    std::thread listener_;
};

} // namespace bxhook
