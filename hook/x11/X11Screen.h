#pragma once
// Other windows and the key state of an X display, for scripts: EWMH where a
// window manager offers it, plain ICCCM properties and the core protocol
// otherwise. One connection of its own, opened on first use, whose errors
// (a window that vanished) are trapped.
#include "hook/Screen.h"

#include <X11/Xlib.h>

#include <mutex>

namespace bxhook::x11 {

class TX11Screen final : public TScreen {
public:
    TX11Screen() = default;
    ~TX11Screen() override;
    TX11Screen(const TX11Screen&) = delete;
    TX11Screen& operator=(const TX11Screen&) = delete;

    bool TopWindows(std::vector<BxHwnd>& out) override;
    bool Exists(BxHwnd window) override;
    bool ClassNames(BxHwnd window, std::string& className, std::string& instance) override;
    bool Title(BxHwnd window, std::string& out) override;
    bool SetTitle(BxHwnd window, const std::string& title) override;
    BxHwnd Foreground() override;
    bool SetForeground(BxHwnd window) override;
    bool SetFocus(BxHwnd window) override;
    bool Raise(BxHwnd window) override;
    bool KeyDown(uint8_t vkey) override;

private:
    // The connection, opened when first needed; null without a display. Under mutex_.
    Display* Dpy();
    bool ExistsLocked(Display* dpy, Window w);
    BxHwnd ForegroundLocked(Display* dpy);

    std::mutex mutex_;
    Display* dpy_ = nullptr;
};

} // namespace bxhook::x11
