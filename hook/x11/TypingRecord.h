#pragma once
// What a typing session changes on the X server, recorded on the root
// window while it lasts: which process types and which spare keys it has
// remapped. A process killed in the middle of a text cannot undo its
// changes; the next instance of the same user on the display finds the
// record and repairs them before it types (Repair).
//
// The record is a CARDINAL property named per user: the typing process's
// id, then the remapped key codes.
#include <X11/Xlib.h>

#include <bitset>
#include <optional>
#include <sys/types.h>
#include <vector>

namespace bxhook::x11 {

struct TTypingLeftovers {
    pid_t pid = 0;
    std::vector<KeyCode> remapped;
};

class TTypingRecord {
public:
    void Open(Display* dpy);
    // A session types, with these spare keys remapped; sent, not waited for.
    void Write(const std::vector<KeyCode>& remapped);
    // The session ended with everything undone.
    void Clear();
    // The record on the server, checked: key codes outside the display's
    // range or a malformed property give nothing.
    std::optional<TTypingLeftovers> Read() const;

    struct TRepaired {
        int keysRestored = 0;
        int keysReleased = 0;
    };
    // A record left by a process that no longer runs: its remapped keys get
    // their empty mapping back, keys the XTEST keyboard still holds are
    // released, and the record goes.
    TRepaired Repair();

private:
    Display* dpy_ = nullptr;
    Atom atom_ = None;
    bool written_ = false;
};

// Whether the process of a record still runs (it may type right now).
bool ProcessAlive(pid_t pid);

} // namespace bxhook::x11
