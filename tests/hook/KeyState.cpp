// Prints the keyboard state of the X server, for comparing one moment with
// another: "map CODE SYMS..." for every key code, then "down CODE" for every
// key the server holds down.
#include <X11/Xlib.h>

#include <cstdio>

int main() {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "bx_keystate: no X display\n");
        return 1;
    }
    int minKey = 0, maxKey = 0, per = 0;
    XDisplayKeycodes(dpy, &minKey, &maxKey);
    KeySym* syms =
        XGetKeyboardMapping(dpy, static_cast<KeyCode>(minKey), maxKey - minKey + 1, &per);
    for (int k = minKey; syms && k <= maxKey; ++k) {
        std::printf("map %d", k);
        for (int i = 0; i < per; ++i)
            std::printf(" %lx", syms[(k - minKey) * per + i]);
        std::printf("\n");
    }
    if (syms) XFree(syms);
    char keys[32];
    XQueryKeymap(dpy, keys);
    for (int k = 0; k < 256; ++k)
        if (keys[k / 8] & (1 << (k % 8))) std::printf("down %d\n", k);
    XCloseDisplay(dpy);
    return 0;
}
