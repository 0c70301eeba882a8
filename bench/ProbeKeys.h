#pragma once
// Keys the bench's probes send through XTEST, as a keyboard would.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstdio>
#include <cstdlib>

// The key of a keysym; ends the probe when the keyboard map has none.
inline KeyCode ProbeKeycode(Display* dpy, KeySym sym) {
    const KeyCode k = XKeysymToKeycode(dpy, sym);
    if (!k) {
        std::fprintf(stderr, "probe: a key is missing from the keyboard map\n");
        std::exit(1);
    }
    return k;
}

// One press and release, sent at once.
inline void ProbeStroke(Display* dpy, KeyCode k) {
    XTestFakeKeyEvent(dpy, k, True, CurrentTime);
    XTestFakeKeyEvent(dpy, k, False, CurrentTime);
    XFlush(dpy);
}
