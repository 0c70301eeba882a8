#pragma once
// Reads everything another client offers on a selection, as a requestor:
// its TARGETS, then each target in turn (incremental transfers included),
// so that the contents can be served again after that client lost the
// selection. The caller holds the connection; events other than the
// replies asked for stay queued for it.
#include <X11/Xlib.h>

#include <cstddef>
#include <string>
#include <vector>

namespace bxhook::x11 {

struct TSelectionItem {
    Atom target = 0;
    Atom type = 0;
    int format = 8;
    // As Xlib hands it out: bytes, shorts or longs for formats 8, 16, 32.
    std::string data;
    // Elements of the format in data.
    size_t Count() const {
        return data.size() / (format == 32 ? sizeof(long) : format == 16 ? sizeof(short) : 1);
    }
};

struct TSelectionContents {
    bool owned = false; // someone held the selection
    std::vector<TSelectionItem> items;
};

// requestor: a window of this connection that selects PropertyChangeMask;
// property: an atom it uses for nothing else. Targets that fail, that only
// describe the selection (TARGETS, TIMESTAMP, MULTIPLE...), or that would
// take the total past maxBytes are left out; a client that stays silent
// until the deadline ends the reading with what was read.
TSelectionContents FetchSelection(Display* dpy, Window requestor, Atom property, Atom selection,
                                  size_t maxBytes, int timeoutMsec);

} // namespace bxhook::x11
