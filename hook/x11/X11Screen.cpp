#include "hook/x11/X11Screen.h"
#include "hook/x11/KeyTable.h"
#include "hook/x11/X11Windows.h"
#include "hook/x11/XError.h"
#include "hook/x11/XkbLayout.h"
#include "platform/VirtualKeys.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <optional>
#include <thread>

namespace bxhook::x11 {
namespace {

// More windows than any desktop holds; a longer list is cut.
constexpr long kMaxWindows = 1 << 16;
// A window title longer than this is cut (in 32-bit units).
constexpr long kMaxTitle = 1 << 14;
// How long a window manager may take to activate a window.
constexpr int kActivateWaitMs = 1000;

// A property's raw bytes; empty when the window lacks it.
std::optional<std::string> Property(Display* dpy, Window w, Atom prop, Atom type, long maxLong) {
    Atom actual = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, w, prop, 0, maxLong, False, type, &actual, &format, &n, &after,
                           &data) != Success)
        return std::nullopt;
    std::optional<std::string> out;
    if (actual != None && data && format == 8) out = std::string(reinterpret_cast<char*>(data), n);
    if (data) XFree(data);
    return out;
}

std::optional<std::vector<Window>> WindowList(Display* dpy, Window w, Atom prop) {
    Atom actual = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, w, prop, 0, kMaxWindows, False, XA_WINDOW, &actual, &format, &n,
                           &after, &data) != Success)
        return std::nullopt;
    std::optional<std::vector<Window>> out;
    if (actual == XA_WINDOW && format == 32) {
        const auto* ids = reinterpret_cast<unsigned long*>(data);
        out.emplace(ids, ids + n);
    }
    if (data) XFree(data);
    return out;
}

// A window manager runs: its check window names itself. The EWMH lists a
// window manager left on the root when it ended are stale otherwise.
bool ManagerRuns(Display* dpy) {
    const Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
    const auto root = WindowList(dpy, DefaultRootWindow(dpy), check);
    if (!root || root->empty() || !root->front()) return false;
    const auto self = WindowList(dpy, root->front(), check);
    TakeErrors(dpy);
    return self && !self->empty() && self->front() == root->front();
}

std::string Latin1ToUtf8(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

// The text in Latin-1 when every character has a Latin-1 byte.
std::optional<std::string> Utf8ToLatin1(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < s.size()) {
            out.push_back(static_cast<char>(((c & 0x03) << 6) | (s[++i] & 0x3F)));
        } else {
            return std::nullopt;
        }
    }
    return out;
}

// WM_NAME in whatever encoding the client chose.
std::optional<std::string> LegacyTitle(Display* dpy, Window w) {
    XTextProperty prop{};
    if (!XGetWMName(dpy, w, &prop)) return std::nullopt;
    std::optional<std::string> out;
    if (prop.value && prop.format == 8) {
        const std::string raw(reinterpret_cast<char*>(prop.value), prop.nitems);
        if (prop.encoding == XA_STRING) {
            out = Latin1ToUtf8(raw);
        } else {
            // UTF8_STRING as it is; compound text converted when the locale allows.
            char** list = nullptr;
            int count = 0;
            if (prop.encoding != XInternAtom(dpy, "UTF8_STRING", False) &&
                Xutf8TextPropertyToTextList(dpy, &prop, &list, &count) == Success && count > 0)
                out = std::string(list[0]);
            else
                out = raw;
            if (list) XFreeStringList(list);
        }
    }
    if (prop.value) XFree(prop.value);
    return out;
}

// Key codes of a virtual key: both sides for Shift, Ctrl and Alt.
std::vector<KeyCode> KeyCodes(Display* dpy, uint8_t vkey) {
    std::vector<KeySym> syms;
    switch (vkey) {
    case vk::Shift:
        syms = {XK_Shift_L, XK_Shift_R};
        break;
    case vk::Control:
        syms = {XK_Control_L, XK_Control_R};
        break;
    case vk::Menu:
        syms = {XK_Alt_L, XK_Alt_R, XK_Meta_L};
        break;
    case 0xA0:
        syms = {XK_Shift_L};
        break;
    case 0xA1:
        syms = {XK_Shift_R};
        break;
    case 0xA2:
        syms = {XK_Control_L};
        break;
    case 0xA3:
        syms = {XK_Control_R};
        break;
    case 0xA4:
        syms = {XK_Alt_L};
        break;
    case 0xA5:
        syms = {XK_Alt_R};
        break;
    default: {
        TXkbLayout layout;
        if (layout.Load(dpy))
            if (const KeyCode k = layout.KeycodeForVk(vkey)) return {k};
        return {};
    }
    }
    std::vector<KeyCode> codes;
    for (KeySym s : syms)
        if (const KeyCode k = XKeysymToKeycode(dpy, s)) codes.push_back(k);
    return codes;
}

} // namespace

TX11Screen::~TX11Screen() {
    CloseTrappedDisplay(dpy_);
}

Display* TX11Screen::Dpy() {
    if (!dpy_) dpy_ = OpenTrappedDisplay(nullptr);
    if (dpy_) TakeErrors(dpy_); // errors of an earlier call are no concern of this one
    return dpy_;
}

bool TX11Screen::ExistsLocked(Display* dpy, Window w) {
    XWindowAttributes a{};
    return w && XGetWindowAttributes(dpy, w, &a) && TakeErrors(dpy) == 0;
}

bool TX11Screen::TopWindows(std::vector<BxHwnd>& out) {
    std::lock_guard g(mutex_);
    Display* dpy = Dpy();
    if (!dpy) return false;
    out.clear();
    const Window root = DefaultRootWindow(dpy);
    if (ManagerRuns(dpy))
        if (auto clients = WindowList(dpy, root, XInternAtom(dpy, "_NET_CLIENT_LIST", False))) {
            out.assign(clients->begin(), clients->end());
            return true;
        }
    // No window manager: the root's children that are mapped application windows.
    Window rootOut = 0, parent = 0, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(dpy, root, &rootOut, &parent, &children, &n)) return false;
    for (unsigned i = 0; i < n; ++i) {
        XWindowAttributes a{};
        if (XGetWindowAttributes(dpy, children[i], &a) && a.map_state == IsViewable &&
            !a.override_redirect && a.c_class == InputOutput)
            out.push_back(static_cast<BxHwnd>(children[i]));
    }
    if (children) XFree(children);
    TakeErrors(dpy);
    return true;
}

bool TX11Screen::Exists(BxHwnd window) {
    std::lock_guard g(mutex_);
    Display* dpy = Dpy();
    return dpy && ExistsLocked(dpy, window);
}

bool TX11Screen::ClassNames(BxHwnd window, std::string& className, std::string& instance) {
    std::lock_guard g(mutex_);
    Display* dpy = Dpy();
    if (!dpy || !ExistsLocked(dpy, window)) return false;
    className.clear();
    instance.clear();
    XClassHint hint{};
    if (XGetClassHint(dpy, window, &hint)) {
        if (hint.res_class) className = hint.res_class;
        if (hint.res_name) instance = hint.res_name;
        XFree(hint.res_class);
        XFree(hint.res_name);
    }
    return TakeErrors(dpy) == 0;
}

bool TX11Screen::Title(BxHwnd window, std::string& out) {
    std::lock_guard g(mutex_);
    Display* dpy = Dpy();
    if (!dpy || !ExistsLocked(dpy, window)) return false;
    std::optional<std::string> title =
        Property(dpy, window, XInternAtom(dpy, "_NET_WM_NAME", False),
                 XInternAtom(dpy, "UTF8_STRING", False), kMaxTitle);
    if (!title) title = LegacyTitle(dpy, window);
    out = title.value_or(std::string());
    return TakeErrors(dpy) == 0;
}

bool TX11Screen::SetTitle(BxHwnd window, const std::string& title) {
    std::lock_guard g(mutex_);
    Display* dpy = Dpy();
    if (!dpy || !ExistsLocked(dpy, window)) return false;
    const Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    const auto* bytes = reinterpret_cast<const unsigned char*>(title.data());
    XChangeProperty(dpy, window, XInternAtom(dpy, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                    bytes, static_cast<int>(title.size()));
    // WM_NAME for clients that read only it: Latin-1 when that suffices.
    if (const auto latin1 = Utf8ToLatin1(title))
        XChangeProperty(dpy, window, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(latin1->data()),
                        static_cast<int>(latin1->size()));
    else
        XChangeProperty(dpy, window, XA_WM_NAME, utf8, 8, PropModeReplace, bytes,
                        static_cast<int>(title.size()));
    return TakeErrors(dpy) == 0;
}

BxHwnd TX11Screen::ForegroundLocked(Display* dpy) {
    const Window root = DefaultRootWindow(dpy);
    if (ManagerRuns(dpy))
        if (auto active = WindowList(dpy, root, XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False))) {
            TakeErrors(dpy);
            return active->empty() ? 0 : static_cast<BxHwnd>(active->front());
        }
    // No window manager: the top-level window holding the focus.
    const Window focus = FocusedWindow(dpy);
    const Window top = focus && focus != root ? ClientWindow(dpy, focus) : 0;
    return TakeErrors(dpy) == 0 ? static_cast<BxHwnd>(top) : 0;
}

BxHwnd TX11Screen::Foreground() {
    std::lock_guard g(mutex_);
    Display* dpy = Dpy();
    return dpy ? ForegroundLocked(dpy) : 0;
}

bool TX11Screen::SetForeground(BxHwnd window) {
    std::lock_guard g(mutex_);
    Display* dpy = Dpy();
    if (!dpy || !ExistsLocked(dpy, window)) return false;
    ActivateWindow(dpy, window);
    // The window manager answers in its own time: watch until it has.
    for (int waited = 0; waited < kActivateWaitMs; waited += 10) {
        if (ForegroundLocked(dpy) == window) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

bool TX11Screen::SetFocus(BxHwnd window) {
    std::lock_guard g(mutex_);
    Display* dpy = Dpy();
    if (!dpy || !ExistsLocked(dpy, window)) return false;
    XSetInputFocus(dpy, window, RevertToParent, CurrentTime);
    return TakeErrors(dpy) == 0;
}

bool TX11Screen::Raise(BxHwnd window) {
    std::lock_guard g(mutex_);
    Display* dpy = Dpy();
    if (!dpy || !ExistsLocked(dpy, window)) return false;
    // A managed window is raised by its window manager (a configure request).
    XRaiseWindow(dpy, window);
    return TakeErrors(dpy) == 0;
}

bool TX11Screen::KeyDown(uint8_t vkey) {
    std::lock_guard g(mutex_);
    Display* dpy = Dpy();
    if (!dpy) return false;
    if (vkey == vk::Capital || vkey == vk::NumLock) {
        XkbStateRec state{};
        if (XkbGetState(dpy, XkbUseCoreKbd, &state) != Success) return false;
        const unsigned mask =
            vkey == vk::Capital ? LockMask : XkbKeysymToModifiers(dpy, XK_Num_Lock);
        return mask && (state.locked_mods & mask);
    }
    char keys[32] = {};
    XQueryKeymap(dpy, keys);
    for (KeyCode k : KeyCodes(dpy, vkey))
        if (KeymapHas(keys, k)) return true;
    return false;
}

} // namespace bxhook::x11
