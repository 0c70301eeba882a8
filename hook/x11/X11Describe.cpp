// What a support request needs to know about the X display: the server,
// the extensions Brevix relies on, the window manager and the keyboard.
#include "hook/HookApi.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/record.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
std::string AtomName(Display* d, Atom a) {
    if (!a) return {};
    char* n = XGetAtomName(d, a);
    std::string s = n ? n : "";
    if (n) XFree(n);
    return s;
}

// The name the EWMH window manager gives itself, or "none".
std::string WindowManager(Display* d) {
    const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", True);
    const Atom name = XInternAtom(d, "_NET_WM_NAME", True);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", True);
    if (!check || !name) return "none (no EWMH window manager)";
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string result = "unnamed";
    if (XGetWindowProperty(d, DefaultRootWindow(d), check, 0, 1, False, XA_WINDOW, &type, &format,
                           &count, &after, &data) == Success &&
        data && count == 1 && format == 32) {
        const Window wm = *reinterpret_cast<Window*>(data);
        unsigned char* text = nullptr;
        if (XGetWindowProperty(d, wm, name, 0, 256, False, utf8 ? utf8 : AnyPropertyType, &type,
                               &format, &count, &after, &text) == Success &&
            text && format == 8)
            result.assign(reinterpret_cast<char*>(text), count);
        if (text) XFree(text);
    } else {
        result = "none (no EWMH window manager)";
    }
    if (data) XFree(data);
    return result;
}

std::string Keyboard(Display* d) {
    std::string s;
    XkbDescPtr desc = XkbAllocKeyboard();
    if (!desc) return "unknown";
    if (XkbGetNames(d, XkbSymbolsNameMask | XkbGroupNamesMask, desc) == Success && desc->names) {
        s = AtomName(d, desc->names->symbols);
        std::string groups;
        for (int g = 0; g < XkbNumKbdGroups; ++g) {
            const std::string n = AtomName(d, desc->names->groups[g]);
            if (n.empty()) continue;
            groups += (groups.empty() ? "" : ", ") + n;
        }
        if (!groups.empty()) s += " (groups: " + groups + ")";
        XkbFreeNames(desc, XkbSymbolsNameMask | XkbGroupNamesMask, True);
    }
    XkbStateRec state;
    if (XkbGetState(d, XkbUseCoreKbd, &state) == Success)
        s += "; group in use: " + std::to_string(state.group + 1);
    XkbFreeKeyboard(desc, 0, True);
    return s.empty() ? "unknown" : s;
}

std::string Present(bool on, const std::string& version = {}) {
    return on ? "present" + (version.empty() ? "" : " " + version) : "MISSING";
}
} // namespace

int BxDescribeDisplay(char* out, int size) {
    if (!out || size <= 0) return 0;
    std::string s;
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        s = "X display: cannot be opened (DISPLAY is " +
            std::string(std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "not set") + ")\n";
    } else {
        s += "X display: " + std::string(DisplayString(d)) + "\n";
        s += "X server: " + std::string(ServerVendor(d)) + ", release " +
             std::to_string(VendorRelease(d)) + "\n";
        int event = 0, error = 0, major = 0, minor = 0, opcode = 0;
        const bool xtest = XTestQueryExtension(d, &event, &error, &major, &minor);
        s += "XTest: " + Present(xtest, std::to_string(major) + "." + std::to_string(minor)) + "\n";
        const bool record = XRecordQueryVersion(d, &major, &minor);
        s += "XRecord: " + Present(record, std::to_string(major) + "." + std::to_string(minor)) +
             "\n";
        major = 2;
        minor = 2;
        const bool xi = XQueryExtension(d, "XInputExtension", &opcode, &event, &error) &&
                        XIQueryVersion(d, &major, &minor) == Success;
        s += "XInput 2: " + Present(xi, std::to_string(major) + "." + std::to_string(minor)) + "\n";
        s += "Keyboard layout: " + Keyboard(d) + "\n";
        s += "Window manager: " + WindowManager(d) + "\n";
        XCloseDisplay(d);
    }
    const int n = static_cast<int>(std::min<size_t>(s.size(), static_cast<size_t>(size - 1)));
    std::memcpy(out, s.data(), static_cast<size_t>(n));
    out[n] = '\0';
    return static_cast<int>(s.size());
}
