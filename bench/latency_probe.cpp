// A typing target that times itself, for bench/expand_latency.sh. It opens its
// own window, takes the focus and keeps the text a plain text field would
// hold, from its key events: characters, BackSpace, Return and Shift+Insert
// (a paste of CLIPBOARD, else PRIMARY, keys behind it waiting as a real
// widget's would). It sends keys itself through XTEST and takes the time
// from just before a key goes out to the event that completes the expected
// text, so the floor and the expansions are measured the same way, with no
// polling in between.
//
//   latency_probe COUNT KEYWORD EXPECTED EXPANSIONS_OUT FLOOR_OUT [PAUSE_MS]
//
// Each round: KEYWORD typed (20 ms between keys) and, PAUSE_MS (50, a fast
// typist's gap) after it showed, a space timed until the
// field holds EXPECTED; then one plain key timed until it shows, and a space
// so that key never joins the next keyword. Microseconds, one a line.
#include "ProbeKeys.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

Display* dpy = nullptr;
Window win = 0;
Atom aClipboard, aUtf8, aProp, aActive;

std::string text;
int pastes = 0;
std::deque<XKeyEvent> held; // keys that came while a paste was on its way
// The request of a paste on its way, 0 when none: 1 CLIPBOARD UTF8_STRING,
// 2 CLIPBOARD STRING, 3 PRIMARY UTF8_STRING, 4 PRIMARY STRING.
int pasteStep = 0;

[[noreturn]] void Die(const char* why) {
    std::fprintf(stderr, "latency_probe: %s; the field holds \"%s\"\n", why, text.c_str());
    std::exit(1);
}

void RequestPaste() {
    const Atom selection = pasteStep <= 2 ? aClipboard : XA_PRIMARY;
    const Atom target = pasteStep % 2 ? aUtf8 : XA_STRING;
    XConvertSelection(dpy, selection, target, aProp, win, CurrentTime);
    XFlush(dpy);
}

void ApplyKey(XKeyEvent& ev) {
    char buf[32];
    KeySym sym = 0;
    const int n = XLookupString(&ev, buf, sizeof buf, &sym, nullptr);
    if (sym == XK_Insert && (ev.state & ShiftMask)) {
        pasteStep = 1;
        RequestPaste();
        return;
    }
    if (sym == XK_BackSpace) {
        if (!text.empty()) text.pop_back();
        return;
    }
    if (sym == XK_Return || sym == XK_KP_Enter) {
        text += '\n';
        return;
    }
    if (ev.state & (ControlMask | Mod1Mask)) return;
    for (int i = 0; i < n; ++i)
        if (static_cast<unsigned char>(buf[i]) >= ' ' || buf[i] == '\t') text += buf[i];
}

void PasteArrived(const XSelectionEvent& ev) {
    if (ev.property == None) {
        if (++pasteStep > 4)
            pasteStep = 0; // nothing to paste anywhere
        else
            RequestPaste();
        return;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, win, aProp, 0, 1 << 20, True, AnyPropertyType, &type, &format,
                           &count, &after, &data) == Success &&
        data && format == 8)
        text.append(reinterpret_cast<char*>(data), count);
    if (data) XFree(data);
    pasteStep = 0;
    ++pastes;
}

long events = 0;

void Handle(XEvent& ev) {
    ++events;
    switch (ev.type) {
    case KeyPress:
        if (pasteStep)
            held.push_back(ev.xkey);
        else
            ApplyKey(ev.xkey);
        break;
    case SelectionNotify:
        if (ev.xselection.requestor != win || !pasteStep) break;
        PasteArrived(ev.xselection);
        while (!pasteStep && !held.empty()) {
            XKeyEvent k = held.front();
            held.pop_front();
            ApplyKey(k);
        }
        break;
    case MappingNotify:
        // Playback may type through spare keys it maps for the moment.
        XRefreshKeyboardMapping(&ev.xmapping);
        break;
    default:
        break;
    }
}

// Events until `until`; true (and the time of the event) once the text is `want`.
bool Pump(Clock::time_point until, const std::string* want, Clock::time_point* at) {
    for (;;) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            Handle(ev);
            if (want && !pasteStep && text == *want) {
                if (at) *at = Clock::now();
                return true;
            }
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        if (left.count() <= 0) return false;
        pollfd p{ConnectionNumber(dpy), POLLIN, 0};
        poll(&p, 1, static_cast<int>(left.count()) + 1);
    }
}

// Until nothing has come for a while: stray keys of the round before are in.
void Quiet() {
    XSync(dpy, False);
    for (int i = 0; i < 100; ++i) {
        const long before = events;
        Pump(Clock::now() + 30ms, nullptr, nullptr);
        if (events == before && !pasteStep) return;
    }
}

KeyCode Code(KeySym sym) {
    return ProbeKeycode(dpy, sym);
}

void Stroke(KeyCode k) {
    ProbeStroke(dpy, k);
}

bool Focused() {
    Window f = 0;
    int revert = 0;
    XGetInputFocus(dpy, &f, &revert);
    return f == win;
}

void TakeFocus() {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = win;
    ev.xclient.message_type = aActive;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = 2; // a pager's request: window managers obey it
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, DefaultRootWindow(dpy), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    XSync(dpy, False);
    for (int i = 0; i < 100 && !Focused(); ++i) {
        XSetInputFocus(dpy, win, RevertToParent, CurrentTime);
        Pump(Clock::now() + 20ms, nullptr, nullptr);
    }
    if (!Focused()) Die("the window did not get the focus");
}

double Micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6 && argc != 7) {
        std::fprintf(stderr, "usage: latency_probe COUNT KEYWORD EXPECTED EXPANSIONS_OUT FLOOR_OUT "
                             "[PAUSE_MS]\n");
        return 2;
    }
    const int count = std::atoi(argv[1]);
    const auto pause = std::chrono::milliseconds(argc == 7 ? std::atoi(argv[6]) : 50);
    const std::string keyword = argv[2], expected = argv[3];
    FILE* expOut = std::fopen(argv[4], "w");
    FILE* floorOut = std::fopen(argv[5], "w");
    if (!expOut || !floorOut) Die("cannot write the figures");
    dpy = XOpenDisplay(nullptr);
    if (!dpy) Die("no X display");
    int ev, er, major, minor;
    if (!XTestQueryExtension(dpy, &ev, &er, &major, &minor)) Die("the X server has no XTEST");
    aClipboard = XInternAtom(dpy, "CLIPBOARD", False);
    aUtf8 = XInternAtom(dpy, "UTF8_STRING", False);
    aProp = XInternAtom(dpy, "LATENCY_PROBE_PASTE", False);
    aActive = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);

    win = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 60, 60, 480, 160, 0, 0,
                              WhitePixel(dpy, DefaultScreen(dpy)));
    XStoreName(dpy, win, "Brevix latency target");
    const long pid = getpid();
    XChangeProperty(dpy, win, XInternAtom(dpy, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = True;
    XSetWMHints(dpy, win, &hints);
    XSelectInput(dpy, win, KeyPressMask | FocusChangeMask | StructureNotifyMask);
    XMapWindow(dpy, win);
    for (;;) {
        XEvent e;
        XNextEvent(dpy, &e);
        if (e.type == MapNotify) break;
    }
    TakeFocus();

    const KeyCode space = Code(XK_space), plain = Code(XK_x);
    std::vector<KeyCode> typed;
    for (char c : keyword)
        typed.push_back(Code(static_cast<unsigned char>(c)));
    const std::string plainText = "x", keywordText = keyword, after = "x ";
    int refocused = 0;
    for (int i = 0; i < count; ++i) {
        if (!Focused()) {
            ++refocused;
            TakeFocus();
        }
        Quiet();
        text.clear();
        for (size_t k = 0; k < typed.size(); ++k) {
            if (k) std::this_thread::sleep_for(20ms);
            Stroke(typed[k]);
        }
        if (!Pump(Clock::now() + 5s, &keywordText, nullptr)) Die("the keyword did not arrive");
        std::this_thread::sleep_for(pause);
        Clock::time_point done;
        auto start = Clock::now();
        Stroke(space);
        if (!Pump(Clock::now() + 10s, &expected, &done)) Die("no expansion");
        std::fprintf(expOut, "%.0f\n", Micros(done - start));

        Quiet();
        text.clear();
        start = Clock::now();
        Stroke(plain);
        if (!Pump(Clock::now() + 5s, &plainText, &done)) Die("the plain key did not arrive");
        std::fprintf(floorOut, "%.0f\n", Micros(done - start));
        Stroke(space);
        if (!Pump(Clock::now() + 5s, &after, nullptr))
            Die("the space after the plain key did not arrive");
    }
    std::fclose(expOut);
    std::fclose(floorOut);
    std::fprintf(stderr, "latency_probe: %d rounds, %d pastes, focus taken back %d times\n", count,
                 pastes, refocused);
    XCloseDisplay(dpy);
    return 0;
}
