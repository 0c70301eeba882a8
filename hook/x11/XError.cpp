#include "hook/x11/XError.h"

#include <atomic>
#include <map>
#include <mutex>
#include <unistd.h>

namespace bxhook::x11 {
namespace {

std::mutex gMutex;
std::map<Display*, int> gErrors;
XErrorHandler gPrevious = nullptr;
bool gInstalled = false;
std::atomic<bool> gLost{false};

int OnError(Display* dpy, XErrorEvent* e) {
    {
        std::lock_guard g(gMutex);
        auto it = gErrors.find(dpy);
        if (it != gErrors.end()) {
            ++it->second;
            return 0;
        }
    }
    return gPrevious ? gPrevious(dpy, e) : 0;
}

[[noreturn]] int OnIOError(Display*) {
    gLost = true;
    static const char kMessage[] = "Brevix: the X display is gone; ending.\n";
    [[maybe_unused]] const ssize_t n = write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
    _exit(1);
}

} // namespace

Display* OpenTrappedDisplay(const char* name) {
    Display* dpy = XOpenDisplay(name);
    if (!dpy) return nullptr;
    std::lock_guard g(gMutex);
    if (!gInstalled) {
        gPrevious = XSetErrorHandler(OnError);
        XSetIOErrorHandler(OnIOError);
        gInstalled = true;
    }
    gErrors[dpy] = 0;
    return dpy;
}

void CloseTrappedDisplay(Display* dpy) {
    if (!dpy) return;
    XSync(dpy, False);
    XCloseDisplay(dpy);
    std::lock_guard g(gMutex);
    gErrors.erase(dpy);
}

int TakeErrors(Display* dpy) {
    XSync(dpy, False);
    std::lock_guard g(gMutex);
    auto it = gErrors.find(dpy);
    if (it == gErrors.end()) return 0;
    const int n = it->second;
    it->second = 0;
    return n;
}

bool DisplayLost(const char* name) {
    if (gLost) return true;
    // A display that went away refuses the connection at once.
    Display* probe = XOpenDisplay(name);
    if (!probe) return true;
    XCloseDisplay(probe);
    return false;
}

} // namespace bxhook::x11
