#include "hook/x11/X11Windows.h"
#include "hook/x11/XError.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#ifdef BREVIX_HAVE_XRES
#include <X11/extensions/XRes.h>
#endif

#include <algorithm>
#include <chrono>
#include <thread>

namespace bxhook::x11 {
namespace {

constexpr int kMaxDepth = 64;

Window Parent(Display* dpy, Window w) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(dpy, w, &root, &parent, &children, &n)) return 0;
    if (children) XFree(children);
    return parent == root ? 0 : parent;
}

bool HasProperty(Display* dpy, Window w, Atom prop) {
    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, w, prop, 0, 1, False, AnyPropertyType, &type, &format, &n, &after,
                           &data) != Success)
        return false;
    if (data) XFree(data);
    return type != None;
}

bool IsSelfOrAncestor(Display* dpy, Window ancestor, Window w) {
    for (int i = 0; w && i < kMaxDepth; ++i, w = Parent(dpy, w))
        if (w == ancestor) return true;
    return false;
}

} // namespace

Window ClientWindow(Display* dpy, Window w) {
    const Atom wmState = XInternAtom(dpy, "WM_STATE", False);
    Window top = w;
    for (int i = 0; w && i < kMaxDepth; ++i, w = Parent(dpy, w)) {
        if (HasProperty(dpy, w, wmState)) return w;
        top = w;
    }
    return top;
}

Window FocusedWindow(Display* dpy) {
    Window w = 0;
    int revert = 0;
    XGetInputFocus(dpy, &w, &revert);
    return w == PointerRoot || w == None ? 0 : w;
}

namespace {
// The local process behind the client that owns w's resources; 0 when the
// server lacks the extension or the client is remote.
uint32_t ClientPid(Display* dpy, Window w) {
#ifdef BREVIX_HAVE_XRES
    int event = 0, error = 0;
    if (!w || !XResQueryExtension(dpy, &event, &error)) return 0;
    XResClientIdSpec spec{w, XRES_CLIENT_ID_PID_MASK};
    long count = 0;
    XResClientIdValue* ids = nullptr;
    uint32_t pid = 0;
    if (XResQueryClientIds(dpy, 1, &spec, &count, &ids) == Success && ids) {
        for (long i = 0; i < count && !pid; ++i) {
            const pid_t p = XResGetClientPid(&ids[i]);
            if (p > 0) pid = static_cast<uint32_t>(p);
        }
        XResClientIdsDestroy(count, ids);
    }
    TakeErrors(dpy);
    return pid;
#else
    (void)dpy;
    (void)w;
    return 0;
#endif
}
} // namespace

uint32_t WindowPid(Display* dpy, Window w) {
    // The focused window is the application's own (frames belong to the
    // window manager), so its creator is the process to ask about.
    if (const uint32_t pid = ClientPid(dpy, w)) return pid;
    const Atom pidAtom = XInternAtom(dpy, "_NET_WM_PID", False);
    for (int i = 0; w && i < kMaxDepth; ++i, w = Parent(dpy, w)) {
        Atom type = None;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &n,
                               &after, &data) == Success &&
            data) {
            const uint32_t pid =
                type == XA_CARDINAL && format == 32 && n == 1
                    ? static_cast<uint32_t>(*reinterpret_cast<unsigned long*>(data))
                    : 0;
            XFree(data);
            if (pid) return pid;
        }
    }
    TakeErrors(dpy);
    return 0;
}

uint32_t WindowScreenPos(Display* dpy, Window w) {
    if (!w) return 0;
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(dpy, w, DefaultRootWindow(dpy), 0, 0, &x, &y, &child)) {
        TakeErrors(dpy);
        return 0;
    }
    x = std::clamp(x, 0, 0xFFFF);
    y = std::clamp(y, 0, 0xFFFF);
    return static_cast<uint32_t>(x) | (static_cast<uint32_t>(y) << 16);
}

bool WindowScreenRect(Display* dpy, Window w, int32_t out[4]) {
    if (!w) return false;
    XWindowAttributes a{};
    int x = 0, y = 0;
    Window child = 0;
    if (!XGetWindowAttributes(dpy, w, &a) ||
        !XTranslateCoordinates(dpy, w, DefaultRootWindow(dpy), 0, 0, &x, &y, &child)) {
        TakeErrors(dpy);
        return false;
    }
    out[0] = x;
    out[1] = y;
    out[2] = a.width;
    out[3] = a.height;
    return a.width > 0 && a.height > 0;
}

void ActivateWindow(Display* dpy, Window w) {
    if (!w) return;
    const Window client = ClientWindow(dpy, w);
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = client;
    ev.xclient.message_type = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = 2; // from a pager-like tool: honoured without focus stealing checks
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, DefaultRootWindow(dpy), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    for (int i = 0; i < 30; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(dpy, w, &a) && a.map_state == IsViewable) {
            XSetInputFocus(dpy, w, RevertToParent, CurrentTime);
            XSync(dpy, False);
            const Window f = FocusedWindow(dpy);
            if (f && (IsSelfOrAncestor(dpy, w, f) || IsSelfOrAncestor(dpy, f, w))) break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    TakeErrors(dpy);
}

bool WindowClassHint(Display* dpy, Window w, std::string& className, std::string& instance) {
    className.clear();
    instance.clear();
    bool found = false;
    for (int i = 0; w && i < kMaxDepth && !found; ++i, w = Parent(dpy, w)) {
        XClassHint hint{};
        if (!XGetClassHint(dpy, w, &hint)) continue;
        if (hint.res_class) className = hint.res_class;
        if (hint.res_name) instance = hint.res_name;
        XFree(hint.res_class);
        XFree(hint.res_name);
        found = !className.empty() || !instance.empty();
    }
    TakeErrors(dpy);
    return found;
}

} // namespace bxhook::x11
