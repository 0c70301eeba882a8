#include "hook/x11/TypingRecord.h"
#include "hook/x11/XTestDevice.h"

#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <unistd.h>

namespace bxhook::x11 {

bool ProcessAlive(pid_t pid) {
    return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM);
}

void TTypingRecord::Open(Display* dpy) {
    dpy_ = dpy;
    const std::string name = "_BREVIX_TYPING_" + std::to_string(getuid());
    atom_ = XInternAtom(dpy, name.c_str(), False);
}

void TTypingRecord::Write(const std::vector<KeyCode>& remapped) {
    if (!dpy_) return;
    std::vector<long> data;
    data.reserve(remapped.size() + 1);
    data.push_back(static_cast<long>(getpid()));
    for (KeyCode k : remapped)
        data.push_back(k);
    XChangeProperty(dpy_, DefaultRootWindow(dpy_), atom_, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()),
                    static_cast<int>(data.size()));
    written_ = true;
}

void TTypingRecord::Clear() {
    if (!dpy_ || !written_) return;
    XDeleteProperty(dpy_, DefaultRootWindow(dpy_), atom_);
    written_ = false;
}

std::optional<TTypingLeftovers> TTypingRecord::Read() const {
    if (!dpy_) return std::nullopt;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* raw = nullptr;
    // One id and at most every key code: anything longer is not ours.
    if (XGetWindowProperty(dpy_, DefaultRootWindow(dpy_), atom_, 0, 1 + 256, False, XA_CARDINAL,
                           &type, &format, &count, &after, &raw) != Success)
        return std::nullopt;
    std::optional<TTypingLeftovers> out;
    int minKey = 0, maxKey = 0;
    XDisplayKeycodes(dpy_, &minKey, &maxKey);
    if (raw && type == XA_CARDINAL && format == 32 && count >= 1 && after == 0) {
        // Format 32 items come as longs, whatever their size on the wire.
        const auto* data = reinterpret_cast<const long*>(raw);
        TTypingLeftovers l;
        l.pid = static_cast<pid_t>(data[0]);
        bool valid = data[0] > 0;
        for (unsigned long i = 1; i < count && valid; ++i) {
            valid = data[i] >= minKey && data[i] <= maxKey;
            if (valid) l.remapped.push_back(static_cast<KeyCode>(data[i]));
        }
        if (valid) out = std::move(l);
    }
    if (raw) XFree(raw);
    return out;
}

TTypingRecord::TRepaired TTypingRecord::Repair() {
    TRepaired done;
    if (!dpy_) return done;
    const std::optional<TTypingLeftovers> left = Read();
    if (left && (left->pid == getpid() || ProcessAlive(left->pid))) return done;
    if (left) {
        // Spare keys carry no symbol until we map one; they get that back.
        for (KeyCode k : left->remapped) {
            KeySym none = NoSymbol;
            XChangeKeyboardMapping(dpy_, k, 1, &none, 1);
            ++done.keysRestored;
        }
        const std::bitset<256> down = XTestKeysDown(dpy_);
        for (int k = 8; k < 256; ++k)
            if (down[k]) {
                XTestFakeKeyEvent(dpy_, static_cast<unsigned>(k), False, CurrentTime);
                ++done.keysReleased;
            }
    }
    // A malformed record is dropped as well: nothing of ours can be in it.
    XDeleteProperty(dpy_, DefaultRootWindow(dpy_), atom_);
    XSync(dpy_, False);
    return done;
}

} // namespace bxhook::x11
