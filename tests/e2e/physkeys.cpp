// Types a text as if on the keyboard itself: through the X server's own
// keyboard device rather than the XTest keyboard every automation tool
// (and Brevix) types with, so the keys are the user's in every respect.
//
//   bx_physkeys [--delay MS] [--overlap] TEXT
//
// --overlap presses each key before releasing the one before it, as fast
// typists do. Characters need a key on the current layout (level 1 or 2).
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

struct TStroke {
    KeyCode code = 0;
    bool shift = false;
};

int KeyboardDevice(Display* dpy) {
    int n = 0, id = -1;
    XIDeviceInfo* info = XIQueryDevice(dpy, XIAllDevices, &n);
    for (int i = 0; i < n && id < 0; ++i)
        if (info[i].use == XISlaveKeyboard && !std::strstr(info[i].name, "XTEST"))
            id = info[i].deviceid;
    XIFreeDeviceInfo(info);
    return id;
}

TStroke StrokeFor(Display* dpy, unsigned char c) {
    KeySym sym = c == '\n' ? XK_Return : c == '\t' ? XK_Tab : c == ' ' ? XK_space : c;
    TStroke s;
    s.code = XKeysymToKeycode(dpy, sym);
    if (s.code) s.shift = XkbKeycodeToKeysym(dpy, s.code, 0, 0) != sym;
    return s;
}

} // namespace

int main(int argc, char** argv) {
    int delay = 20;
    bool overlap = false;
    int i = 1;
    for (; i < argc - 1; ++i) {
        if (!std::strcmp(argv[i], "--delay"))
            delay = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--overlap"))
            overlap = true;
        else
            break;
    }
    if (i != argc - 1) {
        std::fprintf(stderr, "usage: bx_physkeys [--delay MS] [--overlap] TEXT\n");
        return 2;
    }
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "bx_physkeys: cannot open the display\n");
        return 1;
    }
    const int id = KeyboardDevice(dpy);
    XDevice* dev = id >= 0 ? XOpenDevice(dpy, static_cast<XID>(id)) : nullptr;
    if (!dev) {
        std::fprintf(stderr, "bx_physkeys: the display has no keyboard device\n");
        return 1;
    }
    auto send = [&](KeyCode k, bool down) {
        XTestFakeDeviceKeyEvent(dpy, dev, k, down ? True : False, nullptr, 0, CurrentTime);
        XFlush(dpy);
    };
    const KeyCode shift = XKeysymToKeycode(dpy, XK_Shift_L);
    const std::string text = argv[i];
    KeyCode previous = 0;
    for (unsigned char c : text) {
        const TStroke s = StrokeFor(dpy, c);
        if (!s.code) {
            std::fprintf(stderr, "bx_physkeys: no key types '%c'\n", c);
            return 1;
        }
        if (s.shift) send(shift, true);
        send(s.code, true);
        if (overlap && previous && previous != s.code) send(previous, false);
        if (!overlap) send(s.code, false);
        if (s.shift) send(shift, false);
        previous = overlap ? s.code : 0;
        XSync(dpy, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    }
    if (previous) send(previous, false);
    XSync(dpy, False);
    XCloseDevice(dpy, dev);
    XCloseDisplay(dpy);
    return 0;
}
