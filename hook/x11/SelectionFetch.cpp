#include "hook/x11/SelectionFetch.h"
#include "hook/x11/XError.h"

#include <X11/Xatom.h>

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>

namespace bxhook::x11 {
namespace {

using Clock = std::chrono::steady_clock;

// More targets than any toolkit offers; a list longer than this is cut.
constexpr long kMaxTargets = 256;

struct TMatch {
    Window window;
    Atom selection, property, target;
};

Bool IsNotify(Display*, XEvent* e, XPointer arg) {
    const auto* m = reinterpret_cast<const TMatch*>(arg);
    return e->type == SelectionNotify && e->xselection.requestor == m->window &&
           e->xselection.selection == m->selection && e->xselection.target == m->target;
}

Bool IsNewValue(Display*, XEvent* e, XPointer arg) {
    const auto* m = reinterpret_cast<const TMatch*>(arg);
    return e->type == PropertyNotify && e->xproperty.window == m->window &&
           e->xproperty.atom == m->property && e->xproperty.state == PropertyNewValue;
}

// Waits for the event pred picks; false at the deadline.
bool WaitFor(Display* dpy, Bool (*pred)(Display*, XEvent*, XPointer), TMatch& match, XEvent& out,
             Clock::time_point deadline) {
    XFlush(dpy);
    for (;;) {
        if (XCheckIfEvent(dpy, &out, pred, reinterpret_cast<XPointer>(&match))) return true;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd p{ConnectionNumber(dpy), POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) return false;
        // Reads what arrived into the queue without blocking.
        XEventsQueued(dpy, QueuedAfterReading);
    }
}

void DropNewValues(Display* dpy, TMatch& match) {
    XEvent e;
    while (XCheckIfEvent(dpy, &e, IsNewValue, reinterpret_cast<XPointer>(&match))) {
    }
}

// The property's whole value, deleted as it is read; false when it is
// missing or longer than room bytes.
bool ReadProperty(Display* dpy, Window w, Atom property, size_t room, TSelectionItem& out) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* raw = nullptr;
    const long words = static_cast<long>(std::min<size_t>(room / 4 + 1, LONG_MAX / 4));
    const int status = XGetWindowProperty(dpy, w, property, 0, words, True, AnyPropertyType, &type,
                                          &format, &count, &after, &raw);
    const bool ok = status == Success && type != None && after == 0 &&
                    (format == 8 || format == 16 || format == 32);
    if (ok) {
        const size_t unit = format == 32 ? sizeof(long) : format == 16 ? sizeof(short) : 1;
        out.type = type;
        out.format = format;
        out.data.assign(reinterpret_cast<const char*>(raw), count * unit);
    }
    if (raw) XFree(raw);
    if (!ok) XDeleteProperty(dpy, w, property);
    return ok && out.data.size() <= room;
}

// One target into out; false when it failed or did not fit.
bool FetchTarget(Display* dpy, Window w, Atom property, Atom selection, Atom target, Atom incr,
                 size_t room, Clock::time_point deadline, TSelectionItem& out) {
    TMatch match{w, selection, property, target};
    XConvertSelection(dpy, selection, target, property, w, CurrentTime);
    XEvent e;
    if (!WaitFor(dpy, IsNotify, match, e, deadline) || e.xselection.property == None) return false;
    // The owner wrote the property before notifying: its events are old news.
    DropNewValues(dpy, match);
    out.target = target;
    if (!ReadProperty(dpy, w, property, room, out)) return false;
    if (out.type != incr) return true;
    // Incremental: each deletion asks for the next chunk; an empty one ends it.
    std::string whole;
    Atom type = None;
    int format = 8;
    for (;;) {
        if (!WaitFor(dpy, IsNewValue, match, e, deadline)) return false;
        TSelectionItem chunk;
        if (!ReadProperty(dpy, w, property, room - std::min(room, whole.size()), chunk))
            return false;
        if (chunk.data.empty()) break;
        type = chunk.type;
        format = chunk.format;
        whole += chunk.data;
    }
    out.type = type == None ? target : type;
    out.format = format;
    out.data = std::move(whole);
    return true;
}

} // namespace

TSelectionContents FetchSelection(Display* dpy, Window requestor, Atom property, Atom selection,
                                  size_t maxBytes, int timeoutMsec) {
    TSelectionContents out;
    out.owned = XGetSelectionOwner(dpy, selection) != None;
    if (!out.owned) return out;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMsec, 0));
    const char* names[] = {"TARGETS",          "TIMESTAMP",       "MULTIPLE",     "DELETE",
                           "INSERT_SELECTION", "INSERT_PROPERTY", "SAVE_TARGETS", "INCR",
                           "_BREVIX_SKIP"};
    Atom atoms[std::size(names)] = {};
    XInternAtoms(dpy, const_cast<char**>(names), static_cast<int>(std::size(names)), False, atoms);
    const Atom targetsAtom = atoms[0], incr = atoms[7];

    TSelectionItem list;
    if (!FetchTarget(dpy, requestor, property, selection, targetsAtom, incr,
                     kMaxTargets * sizeof(long), deadline, list) ||
        list.format != 32) {
        TakeErrors(dpy);
        return out;
    }
    const auto* targets = reinterpret_cast<const long*>(list.data.data());
    size_t total = 0;
    for (size_t i = 0; i < list.Count() && Clock::now() < deadline; ++i) {
        const auto target = static_cast<Atom>(targets[i]);
        if (target == None ||
            std::find(std::begin(atoms), std::end(atoms), target) != std::end(atoms))
            continue;
        bool seen = false;
        for (const TSelectionItem& item : out.items)
            seen = seen || item.target == target;
        if (seen) continue;
        TSelectionItem item;
        if (FetchTarget(dpy, requestor, property, selection, target, incr, maxBytes - total,
                        deadline, item)) {
            total += item.data.size();
            out.items.push_back(std::move(item));
        }
    }
    TakeErrors(dpy);
    return out;
}

} // namespace bxhook::x11
