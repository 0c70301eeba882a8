#pragma once
// A client asking for a selection the way toolkits do, for the selection
// tests (inside tests/e2e/run_with_display.sh).
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace selectiontest {

using namespace std::chrono_literals;

struct TProperty {
    bool exists = false;
    Atom type = None;
    int format = 0;
    std::string bytes;      // format 8
    std::vector<long> list; // format 32
};

class TRequestor {
public:
    Display* dpy = XOpenDisplay(nullptr);
    Window win = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
    Atom prop = A("BX_TEST_PROP");

    TRequestor() { XSelectInput(dpy, win, PropertyChangeMask); }
    ~TRequestor() { XCloseDisplay(dpy); }
    Atom A(const char* name) { return XInternAtom(dpy, name, False); }

    bool WaitEvent(XEvent& out, const std::function<bool(const XEvent&)>& match) {
        XFlush(dpy);
        const auto until = std::chrono::steady_clock::now() + 5s;
        auto pred = [](Display*, XEvent* e, XPointer arg) -> Bool {
            return (*reinterpret_cast<const std::function<bool(const XEvent&)>*>(arg))(*e);
        };
        while (!XCheckIfEvent(dpy, &out, pred, (XPointer)&match)) {
            if (std::chrono::steady_clock::now() > until) return false;
            pollfd p{ConnectionNumber(dpy), POLLIN, 0};
            poll(&p, 1, 20);
        }
        return true;
    }
    // The property the owner named in its SelectionNotify; None: refused.
    Atom Request(Atom selection, Atom target, Atom property, Time time = CurrentTime) {
        XConvertSelection(dpy, selection, target, property, win, time);
        XEvent e;
        if (!WaitEvent(e, [&](const XEvent& x) {
                return x.type == SelectionNotify && x.xselection.target == target;
            }))
            return None;
        return e.xselection.property;
    }
    TProperty Read(Atom property, bool remove) {
        TProperty p;
        unsigned long count = 0, after = 0;
        unsigned char* raw = nullptr;
        XGetWindowProperty(dpy, win, property, 0, 1 << 26, remove, AnyPropertyType, &p.type,
                           &p.format, &count, &after, &raw);
        p.exists = p.type != None;
        if (p.format == 8) p.bytes.assign(reinterpret_cast<char*>(raw), count);
        if (p.format == 32) p.list.assign((long*)raw, (long*)raw + count);
        if (raw) XFree(raw);
        return p;
    }
    // Deletes the INCR header, then collects chunks until the empty one.
    TProperty ReceiveIncr(Atom property) {
        Read(property, true);
        TProperty whole;
        for (;;) {
            XEvent e;
            if (!WaitEvent(e, [&](const XEvent& x) {
                    return x.type == PropertyNotify && x.xproperty.atom == property &&
                           x.xproperty.state == PropertyNewValue;
                }))
                return {};
            TProperty chunk = Read(property, true);
            if (!chunk.exists) continue; // the notice of a value already taken
            whole.exists = true;
            whole.type = chunk.type;
            if (chunk.bytes.empty()) return whole;
            whole.bytes += chunk.bytes;
        }
    }
    TProperty Convert(Atom selection, Atom target, bool* incr = nullptr) {
        if (Request(selection, target, prop) != prop) return {};
        TProperty p = Read(prop, false);
        if (incr) *incr = p.type == A("INCR");
        if (p.type == A("INCR")) return ReceiveIncr(prop);
        return Read(prop, true);
    }
};

} // namespace selectiontest
