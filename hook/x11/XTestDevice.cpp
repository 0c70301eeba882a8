#include "hook/x11/XTestDevice.h"
#include "hook/x11/KeyTable.h"

#include <X11/extensions/XI.h>
#include <X11/extensions/XInput.h>
#include <X11/extensions/XInput2.h>

#include <cstring>

namespace bxhook::x11 {

bool IsXTestDevice(const char* name) {
    // The server names the keyboard of each master's XTest device so.
    const char* suffix = " XTEST keyboard";
    const size_t n = std::strlen(name), s = std::strlen(suffix);
    return n >= s && std::strcmp(name + n - s, suffix) == 0;
}

namespace {

// The XTEST keyboard attached to the core keyboard; 0 when there is none.
int CoreXTestKeyboard(Display* dpy) {
    int id = 0, n = 0;
    XIDeviceInfo* info = XIQueryDevice(dpy, XIAllDevices, &n);
    int master = 0;
    for (int i = 0; info && i < n; ++i)
        if (info[i].use == XIMasterKeyboard && !master) master = info[i].deviceid;
    for (int i = 0; info && i < n && !id; ++i)
        if (info[i].use == XISlaveKeyboard && info[i].attachment == master &&
            IsXTestDevice(info[i].name))
            id = info[i].deviceid;
    if (info) XIFreeDeviceInfo(info);
    return id;
}

} // namespace

std::bitset<256> XTestKeysDown(Display* dpy) {
    std::bitset<256> down;
    int opcode = 0, event = 0, error = 0;
    if (!XQueryExtension(dpy, "XInputExtension", &opcode, &event, &error)) return down;
    const int id = CoreXTestKeyboard(dpy);
    if (!id) return down;
    XDevice* dev = XOpenDevice(dpy, static_cast<XID>(id));
    if (!dev) return down;
    if (XDeviceState* state = XQueryDeviceState(dpy, dev)) {
        const XInputClass* c = state->data;
        for (int i = 0; i < state->num_classes && c; ++i) {
            if (c->c_class == KeyClass) {
                // A bit per key code, whatever the device's range.
                const auto* keys = reinterpret_cast<const XKeyState*>(c);
                for (int k = 0; k < 256; ++k)
                    if (KeymapHas(keys->keys, k)) down[k] = true;
            }
            c = reinterpret_cast<const XInputClass*>(reinterpret_cast<const char*>(c) + c->length);
        }
        XFreeDeviceState(state);
    }
    XCloseDevice(dpy, dev);
    return down;
}

} // namespace bxhook::x11
