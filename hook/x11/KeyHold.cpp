#include "hook/x11/KeyHold.h"
#include "hook/x11/KeyTable.h"
#include "hook/x11/XError.h"
#include "hook/x11/XTestDevice.h"

#include <X11/Xlib-xcb.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <xcb/xinput.h>

#include <algorithm>
#include <cstdlib>

namespace bxhook::x11 {
TKeyHold::~TKeyHold() {
    Close();
}

bool TKeyHold::Open(std::string& error) {
    if (dpy_) return true;
    dpy_ = OpenTrappedDisplay(nullptr);
    if (!dpy_) {
        error = "cannot open the X display";
        return false;
    }
    int event = 0, err = 0, major = 2, minor = 0, ev = 0, er = 0, tmaj = 0, tmin = 0;
    if (!XQueryExtension(dpy_, "XInputExtension", &xiOpcode_, &event, &err) ||
        XIQueryVersion(dpy_, &major, &minor) != Success || major < 2 ||
        !XTestQueryExtension(dpy_, &ev, &er, &tmaj, &tmin)) {
        error = "the X server has no XInput 2";
        CloseTrappedDisplay(dpy_);
        dpy_ = nullptr;
        return false;
    }
    XTestGrabControl(dpy_, True);
    xcb_ = XGetXCBConnection(dpy_);
    // Looked up now: the first request would otherwise ask on the key's path.
    xcb_get_extension_data(xcb_, &xcb_input_id);
    // Keyboards plugged in or out change the devices to grab.
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_HierarchyChanged);
    XIEventMask mask{XIAllDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(dpy_, DefaultRootWindow(dpy_), &mask, 1);
    XFlush(dpy_);
    return true;
}

void TKeyHold::Close() {
    if (!dpy_) return;
    ReleaseAllReplayed();
    Confirm();
    for (int id : grabbed_)
        XIUngrabDevice(dpy_, id, CurrentTime);
    grabbed_.clear();
    begun_ = false;
    leaked_.clear();
    queue_.clear();
    CloseTrappedDisplay(dpy_);
    dpy_ = nullptr;
    xcb_ = nullptr;
}

uint32_t TKeyHold::ClientBase() const {
    return xcb_ ? xcb_get_setup(xcb_)->resource_id_base : 0;
}

int TKeyHold::Fd() const {
    return dpy_ ? ConnectionNumber(dpy_) : -1;
}

std::vector<int> TKeyHold::PhysicalKeyboards() {
    if (keyboardsKnown_) return keyboards_;
    std::vector<int>& ids = keyboards_;
    ids.clear();
    keyboardsKnown_ = true;
    int n = 0;
    XIDeviceInfo* info = XIQueryDevice(dpy_, XIAllDevices, &n);
    for (int i = 0; info && i < n; ++i)
        if (info[i].use == XISlaveKeyboard && info[i].enabled && !IsXTestDevice(info[i].name))
            ids.push_back(info[i].deviceid);
    if (info) XIFreeDeviceInfo(info);
    return ids;
}

bool TKeyHold::Begin() {
    if (!dpy_ || begun_) return begun_;
    const uint32_t mask = XCB_INPUT_XI_EVENT_MASK_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_KEY_RELEASE;
    const xcb_window_t root = DefaultRootWindow(dpy_);
    for (int id : PhysicalKeyboards()) {
        const xcb_input_xi_grab_device_cookie_t cookie = xcb_input_xi_grab_device(
            xcb_, root, XCB_CURRENT_TIME, XCB_NONE, static_cast<xcb_input_device_id_t>(id),
            XCB_INPUT_GRAB_MODE_22_ASYNC, XCB_INPUT_GRAB_MODE_22_ASYNC,
            XCB_INPUT_GRAB_OWNER_NO_OWNER, 1, &mask);
        pending_.push_back({id, cookie.sequence});
    }
    xcb_flush(xcb_);
    begun_ = !pending_.empty();
    since_ = std::chrono::steady_clock::now();
    return begun_;
}

bool TKeyHold::Confirm() {
    for (const TPending& p : pending_) {
        xcb_generic_error_t* error = nullptr;
        xcb_input_xi_grab_device_reply_t* reply =
            xcb_input_xi_grab_device_reply(xcb_, {p.sequence}, &error);
        // A keyboard another program grabbed cannot be held; the others still are.
        if (reply && reply->status == XCB_GRAB_STATUS_SUCCESS) grabbed_.push_back(p.device);
        free(reply);
        free(error);
    }
    pending_.clear();
    return !grabbed_.empty();
}

void TKeyHold::Process(const Taken& taken) {
    if (!dpy_) return;
    while (XPending(dpy_)) {
        XEvent ev;
        XNextEvent(dpy_, &ev);
        XGenericEventCookie* cookie = &ev.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != xiOpcode_ ||
            !XGetEventData(dpy_, cookie))
            continue;
        if (cookie->evtype == XI_HierarchyChanged) keyboardsKnown_ = false;
        if (cookie->evtype == XI_KeyPress || cookie->evtype == XI_KeyRelease) {
            const auto* e = static_cast<const XIDeviceEvent*>(cookie->data);
            // Repeats the server makes while a key is held are not replayed:
            // the replayed press repeats by itself if the key is still down.
            const bool repeat = e->flags & XIKeyRepeat;
            const TKey key{static_cast<KeyCode>(e->detail), cookie->evtype == XI_KeyPress};
            if (e->detail > 7 && e->detail < 256 && !repeat && !(taken && taken(key)))
                queue_.push_back(key);
        }
        XFreeEventData(dpy_, cookie);
    }
}

void TKeyHold::End(const Taken& taken) {
    if (!dpy_ || !Holding()) return;
    Confirm();
    // Keys already on their way to us are queued before the grab ends.
    XSync(dpy_, False);
    Process(taken);
    // Whatever the user still holds goes up now; its real release, once the
    // grab is gone, finds it up and changes nothing.
    ReleaseAllReplayed();
    for (int id : grabbed_)
        XIUngrabDevice(dpy_, id, CurrentTime);
    grabbed_.clear();
    begun_ = false;
    XSync(dpy_, False);
    Process(taken);
}

void TKeyHold::Fake(KeyCode code, bool down, bool recorded) {
    if (recorded && sent_) sent_(code, down);
    XTestFakeKeyEvent(dpy_, code, down ? True : False, CurrentTime);
    XFlush(dpy_);
}

TKeyHold::TKey TKeyHold::ReplayNext() {
    std::deque<TKey>& from = leaked_.empty() ? queue_ : leaked_;
    const TKey key = from.front();
    from.pop_front();
    if (dpy_) {
        Fake(key.code, key.down);
        replayedDown_[key.code] = key.down;
    }
    return key;
}

void TKeyHold::ReleaseReplayed(KeyCode code) {
    if (!dpy_ || !replayedDown_[code]) return;
    // Its release is sent now instead of in turn.
    for (std::deque<TKey>* q : {&leaked_, &queue_}) {
        const auto it = std::find_if(q->begin(), q->end(),
                                     [code](const TKey& k) { return k.code == code && !k.down; });
        if (it != q->end()) {
            q->erase(it);
            break;
        }
    }
    Fake(code, false);
    replayedDown_[code] = false;
}

void TKeyHold::ReleaseAllReplayed() {
    for (int k = 8; k < 256; ++k)
        if (replayedDown_[k]) ReleaseReplayed(static_cast<KeyCode>(k));
}

void TKeyHold::PassRelease(KeyCode code) {
    if (!dpy_) return;
    char keys[32];
    XQueryKeymap(dpy_, keys);
    if (!KeymapHas(keys, code)) return;
    // The server ignores the press of a key that is already down; only the
    // release reaches the target.
    Fake(code, true, false);
    Fake(code, false);
}

} // namespace bxhook::x11
