#include "hook/x11/XError.h"

#include <map>
#include <mutex>

namespace bxhook::x11 {
namespace {

std::mutex gMutex;
std::map<Display*, int> gErrors;
XErrorHandler gPrevious = nullptr;
bool gInstalled = false;

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

} // namespace

Display* OpenTrappedDisplay(const char* name) {
    Display* dpy = XOpenDisplay(name);
    if (!dpy) return nullptr;
    std::lock_guard g(gMutex);
    if (!gInstalled) {
        gPrevious = XSetErrorHandler(OnError);
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

} // namespace bxhook::x11
