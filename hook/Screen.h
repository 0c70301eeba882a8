#pragma once
// Other windows of the desktop and its key state, as scripts ask for them.
// Windows are top-level windows; texts are UTF-8. Every call copes with a
// window that vanished: it answers false (or 0), never fails otherwise.
#include "hook/HookProtocol.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bxhook {

class TScreen {
public:
    virtual ~TScreen() = default;
    // Top-level windows in the desktop's order; false when it cannot be asked.
    virtual bool TopWindows(std::vector<BxHwnd>& out) = 0;
    virtual bool Exists(BxHwnd window) = 0;
    // The class and instance names; empty when the window has none.
    virtual bool ClassNames(BxHwnd window, std::string& className, std::string& instance) = 0;
    virtual bool Title(BxHwnd window, std::string& out) = 0;
    virtual bool SetTitle(BxHwnd window, const std::string& title) = 0;
    // The active top-level window; 0 when none.
    virtual BxHwnd Foreground() = 0;
    // True once the window is the foreground window.
    virtual bool SetForeground(BxHwnd window) = 0;
    virtual bool SetFocus(BxHwnd window) = 0;
    // To the top of the stacking order.
    virtual bool Raise(BxHwnd window) = 0;
    // A virtual key held down; for CapsLock and NumLock, whether the lock is on.
    virtual bool KeyDown(uint8_t vkey) = 0;
};

// The first top-level window whose class or instance name is className
// (case ignored; any when empty) and, when title is given, whose title is
// exactly that; 0 when none.
BxHwnd FindTopWindow(TScreen& screen, const std::string& className, const std::string* title);

} // namespace bxhook
