#include "hook/x11/Selection.h"
#include "platform/Utf8.h"

#include "hook/x11/XError.h"

#include <X11/Xatom.h>

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <iterator>

namespace bxhook::x11 {
namespace {

using Clock = std::chrono::steady_clock;

// Smaller than any server's limit would require: one huge property stalls
// the server and the requestor, and chunks keep every Process() call short.
constexpr size_t kChunkCap = 256 * 1024;
// Room for the ChangeProperty header inside the maximum request.
constexpr size_t kRequestHeader = 64;
constexpr size_t kMaxTransfers = 32;
constexpr long kMaxMultiplePairs = 256;
// A client flooding us with requests cannot keep Process() from returning.
constexpr int kEventBudget = 4096;
constexpr int kServerTimeMsec = 2000;
// Reading what another client holds delays the paste: a client that takes
// longer than this for all its targets keeps only what was read by then.
constexpr int kKeepFetchMsec = 400;
// The target may ask again right after its first fetch (targets first, then
// the text, or a second format); the old contents come back a little later.
constexpr int kRestoreDelayMsec = 250;
// A target that never fetches the text still gets the old contents back.
constexpr int kRestoreAnywayMsec = 5000;

// Invalid sequences and characters above U+00FF become one '?' each.
std::string ToLatin1(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    Utf8::Decode(s, [&out](uint32_t cp) { out += cp <= 0xFF ? static_cast<char>(cp) : '?'; });
    return out;
}

bool NotOlder(Time request, Time owned) {
    return static_cast<int32_t>(static_cast<uint32_t>(request) - static_cast<uint32_t>(owned)) >= 0;
}

struct TStampMatch {
    Window window;
    Atom atom;
};

Bool IsStamp(Display*, XEvent* e, XPointer arg) {
    const auto* m = reinterpret_cast<const TStampMatch*>(arg);
    return e->type == PropertyNotify && e->xproperty.window == m->window &&
           e->xproperty.atom == m->atom;
}

void SetProperty(Display* dpy, Window w, Atom property, Atom type, int format, const void* data,
                 size_t count) {
    static const unsigned char kEmpty = 0;
    XChangeProperty(dpy, w, property, type, format, PropModeReplace,
                    count ? static_cast<const unsigned char*>(data) : &kEmpty,
                    static_cast<int>(count));
}

} // namespace

TSelectionOwner::~TSelectionOwner() {
    Close();
}

bool TSelectionOwner::Open(std::string& error, const char* displayName) {
    std::lock_guard g(mutex_);
    if (dpy_) return true;
    Display* dpy = OpenTrappedDisplay(displayName);
    if (!dpy) {
        error = "selection: cannot open the X display";
        return false;
    }
    XSetWindowAttributes attrs{};
    attrs.event_mask = PropertyChangeMask;
    attrs.override_redirect = True;
    window_ = XCreateWindow(dpy, DefaultRootWindow(dpy), -10, -10, 1, 1, 0, 0, InputOnly,
                            CopyFromParent, CWEventMask | CWOverrideRedirect, &attrs);
    const char* names[] = {"CLIPBOARD",
                           "TARGETS",
                           "TIMESTAMP",
                           "MULTIPLE",
                           "UTF8_STRING",
                           "TEXT",
                           "text/plain;charset=utf-8",
                           "text/plain",
                           "INCR",
                           "ATOM_PAIR",
                           "BREVIX_SELECTION_TIME",
                           "BREVIX_SNAPSHOT",
                           "CLIPBOARD_MANAGER",
                           "SAVE_TARGETS",
                           "BREVIX_SAVE_TARGETS"};
    Atom atoms[std::size(names)] = {};
    XInternAtoms(dpy, const_cast<char**>(names), std::size(names), False, atoms);
    atom_ = {atoms[0], atoms[1], atoms[2],  atoms[3],  atoms[4],  atoms[5],  atoms[6], atoms[7],
             atoms[8], atoms[9], atoms[10], atoms[11], atoms[12], atoms[13], atoms[14]};
    long units = XExtendedMaxRequestSize(dpy);
    if (units <= 0) units = XMaxRequestSize(dpy);
    const size_t maxBytes = static_cast<size_t>(units) * 4;
    maxChunk_ = std::min(kChunkCap, maxBytes > 2 * kRequestHeader ? maxBytes - kRequestHeader
                                                                  : kRequestHeader);
    if (!window_ || TakeErrors(dpy) != 0) {
        CloseTrappedDisplay(dpy);
        window_ = 0;
        error = "selection: cannot create the selection window";
        return false;
    }
    dpy_ = dpy;
    fd_ = ConnectionNumber(dpy);
    return true;
}

void TSelectionOwner::Close() {
    std::lock_guard g(mutex_);
    if (!dpy_) return;
    // Two seconds at most: the program is on its way out.
    HandOverLocked(2000);
    // Closing destroys the window, which gives up both selections.
    CloseTrappedDisplay(dpy_);
    dpy_ = nullptr;
    fd_ = -1;
    window_ = 0;
    ownsClipboard_ = ownsPrimary_ = false;
    transfers_.clear();
    kept_[0] = kept_[1] = {};
    fetchedCv_.notify_all();
}

void TSelectionOwner::SetRestore(size_t limitBytes) {
    std::lock_guard g(mutex_);
    restoreLimit_ = limitBytes;
    if (limitBytes == 0) {
        // What is restored stays served; nothing further is taken.
        for (TKept& k : kept_)
            if (!k.restored) k = {};
        restoreAt_ = Clock::time_point::max();
    }
}

bool TSelectionOwner::Restored(Atom selection) const {
    std::lock_guard g(mutex_);
    const int i = Index(selection);
    return i >= 0 && kept_[i].restored;
}

int TSelectionOwner::Index(Atom selection) const {
    return selection == atom_.clipboard ? 0 : selection == XA_PRIMARY ? 1 : -1;
}

void TSelectionOwner::Keep() {
    const Atom selections[2] = {atom_.clipboard, XA_PRIMARY};
    const bool owns[2] = {ownsClipboard_, ownsPrimary_};
    for (int i = 0; i < 2; ++i) {
        // Owned: kept_ already holds what was there before our first text.
        if (owns[i]) continue;
        kept_[i].active = true;
        kept_[i].restored = false;
        kept_[i].saved = FetchSelection(dpy_, window_, atom_.snapshot, selections[i], restoreLimit_,
                                        kKeepFetchMsec / 2);
    }
}

void TSelectionOwner::RestoreNow() {
    restoreAt_ = Clock::time_point::max();
    const Atom selections[2] = {atom_.clipboard, XA_PRIMARY};
    bool* owns[2] = {&ownsClipboard_, &ownsPrimary_};
    for (int i = 0; i < 2; ++i) {
        TKept& k = kept_[i];
        if (!k.active || k.restored) continue;
        if (!*owns[i]) {
            k = {};
        } else if (!k.saved.items.empty()) {
            k.restored = true;
        } else {
            // Nobody held it (or nothing could be read): empty, as it was.
            XSetSelectionOwner(dpy_, selections[i], None, ownTime_);
            *owns[i] = false;
            k = {};
        }
    }
    TakeErrors(dpy_);
}

int TSelectionOwner::Fd() const {
    std::lock_guard g(mutex_);
    return fd_;
}

int TSelectionOwner::TimeoutMsec() const {
    std::lock_guard g(mutex_);
    if (!dpy_) return -1;
    // Events a round trip already read never make the fd readable again.
    if (XQLength(dpy_) > 0) return 0;
    if (transfers_.empty() && restoreAt_ == Clock::time_point::max()) return -1;
    auto first = restoreAt_;
    for (const TTransfer& t : transfers_)
        first = std::min(first, t.deadline);
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(first - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
}

void TSelectionOwner::Process() {
    std::lock_guard g(mutex_);
    if (dpy_) Drain();
}

bool TSelectionOwner::Offer(const std::string& utf8) {
    std::lock_guard g(mutex_);
    ++generation_;
    text_ = {generation_, std::make_shared<const std::string>(utf8),
             std::make_shared<const std::string>(ToLatin1(utf8))};
    if (!dpy_) return false;
    // Still the owner of both (a loss would be among the events read now):
    // the new text is served as it is, without the round trips of taking
    // them again, which a short pasted text would feel.
    Drain();
    restoreAt_ = Clock::time_point::max();
    if (restoreLimit_ > 0) {
        Keep();
        for (TKept& k : kept_)
            k.restored = false;
        if (kept_[0].active || kept_[1].active)
            restoreAt_ = Clock::now() + std::chrono::milliseconds(kRestoreAnywayMsec);
    }
    if (ownsClipboard_ && ownsPrimary_) return true;
    const Time now = ServerTime();
    if (now != CurrentTime) {
        XSetSelectionOwner(dpy_, atom_.clipboard, window_, now);
        XSetSelectionOwner(dpy_, XA_PRIMARY, window_, now);
        ownTime_ = now;
        ownsClipboard_ = XGetSelectionOwner(dpy_, atom_.clipboard) == window_;
        ownsPrimary_ = XGetSelectionOwner(dpy_, XA_PRIMARY) == window_;
    }
    TakeErrors(dpy_);
    const bool ok = now != CurrentTime && ownsClipboard_ && ownsPrimary_;
    Drain();
    return ok;
}

uint64_t TSelectionOwner::Generation() const {
    std::lock_guard g(mutex_);
    return generation_;
}

bool TSelectionOwner::WaitFetched(uint64_t generation, int timeoutMsec) {
    if (generation == 0) return false;
    std::unique_lock g(mutex_);
    fetchedCv_.wait_for(g, std::chrono::milliseconds(std::max(timeoutMsec, 0)),
                        [&] { return fetched_ >= generation || !dpy_; });
    return fetched_ >= generation;
}

bool TSelectionOwner::OwnsClipboard() const {
    std::lock_guard g(mutex_);
    return ownsClipboard_;
}

bool TSelectionOwner::OwnsPrimary() const {
    std::lock_guard g(mutex_);
    return ownsPrimary_;
}

Window TSelectionOwner::WindowId() const {
    std::lock_guard g(mutex_);
    return window_;
}

size_t TSelectionOwner::ActiveTransfers() const {
    std::lock_guard g(mutex_);
    return transfers_.size();
}

void TSelectionOwner::SetStallLimit(std::chrono::milliseconds limit) {
    std::lock_guard g(mutex_);
    stallLimit_ = limit;
}

// ICCCM: a zero-length append to our own property makes the server report
// its time in the PropertyNotify; ownership must carry a real timestamp.
Time TSelectionOwner::ServerTime() {
    static const unsigned char kNothing = 0;
    XChangeProperty(dpy_, window_, atom_.stamp, XA_INTEGER, 8, PropModeAppend, &kNothing, 0);
    XFlush(dpy_);
    TStampMatch match{window_, atom_.stamp};
    const auto until = Clock::now() + std::chrono::milliseconds(kServerTimeMsec);
    for (;;) {
        XEvent e;
        if (XCheckIfEvent(dpy_, &e, IsStamp, reinterpret_cast<XPointer>(&match)))
            return e.xproperty.time;
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0) return CurrentTime;
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) < 0 && errno != EINTR) return CurrentTime;
    }
}

void TSelectionOwner::Drain() {
    Expire();
    for (int budget = kEventBudget; budget > 0 && XPending(dpy_) > 0; --budget) {
        XEvent e;
        XNextEvent(dpy_, &e);
        Handle(e);
    }
    Expire();
}

void TSelectionOwner::Handle(XEvent& e) {
    switch (e.type) {
    case SelectionRequest:
        OnRequest(e.xselectionrequest);
        break;
    case SelectionClear:
        if (e.xselectionclear.window == window_) OnClear(e.xselectionclear.selection);
        break;
    case PropertyNotify:
        if (e.xproperty.state == PropertyDelete && e.xproperty.window != window_)
            OnPropertyDelete(e.xproperty.window, e.xproperty.atom);
        break;
    case DestroyNotify:
        DropRequestor(e.xdestroywindow.window);
        break;
    case SelectionNotify:
        if (e.xselection.selection == atom_.manager && e.xselection.requestor == window_)
            handedOver_ = e.xselection.property != None;
        break;
    default:
        break;
    }
}

void TSelectionOwner::OnRequest(const XSelectionRequestEvent& r) {
    const bool owned = r.owner == window_ && ((r.selection == atom_.clipboard && ownsClipboard_) ||
                                              (r.selection == XA_PRIMARY && ownsPrimary_));
    const bool fresh = r.time == CurrentTime || NotOlder(r.time, ownTime_);
    // Obsolete clients name no property: the target stands for it.
    const Atom property = r.property != None ? r.property : r.target;
    const int selection = Index(r.selection);
    TReply reply;
    if (owned && fresh && text_.utf8 && r.requestor != None && r.requestor != window_) {
        if (r.target == atom_.multiple)
            reply.served =
                r.property != None && ConvertMultiple(selection, r.requestor, property, reply.text);
        else
            reply = Convert(selection, r.requestor, r.target, property);
    }
    XSelectionEvent n{};
    n.type = SelectionNotify;
    n.display = dpy_;
    n.requestor = r.requestor;
    n.selection = r.selection;
    n.target = r.target;
    n.property = reply.served ? property : None;
    n.time = r.time;
    XSendEvent(dpy_, r.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&n));
    // The sync also puts the notification in the requestor's queue before
    // any key the caller sends once WaitFetched returns.
    if (TakeErrors(dpy_) != 0) {
        DropRequestor(r.requestor);
        return;
    }
    if (reply.text) MarkFetched(text_.generation);
}

TSelectionOwner::TReply TSelectionOwner::ConvertSaved(const TKept& kept, Window requestor,
                                                      Atom target, Atom property) {
    TReply out;
    if (target == atom_.targets) {
        std::vector<long> list = {static_cast<long>(atom_.targets),
                                  static_cast<long>(atom_.timestamp),
                                  static_cast<long>(atom_.multiple)};
        for (const TSelectionItem& item : kept.saved.items)
            list.push_back(static_cast<long>(item.target));
        SetProperty(dpy_, requestor, property, XA_ATOM, 32, list.data(), list.size());
        out.served = true;
        return out;
    }
    for (const TSelectionItem& item : kept.saved.items) {
        if (item.target != target) continue;
        if (item.format == 8 && item.data.size() > maxChunk_) {
            out.served = StartTransfer(requestor, property, item.type,
                                       std::make_shared<const std::string>(item.data));
        } else {
            SetProperty(dpy_, requestor, property, item.type, item.format, item.data.data(),
                        item.Count());
            out.served = true;
        }
        return out;
    }
    return out;
}

TSelectionOwner::TReply TSelectionOwner::Convert(int selection, Window requestor, Atom target,
                                                 Atom property) {
    if (selection >= 0 && kept_[selection].restored && target != atom_.timestamp)
        return ConvertSaved(kept_[selection], requestor, target, property);
    TReply out;
    if (target == atom_.targets) {
        const long list[] = {static_cast<long>(atom_.targets),   static_cast<long>(atom_.timestamp),
                             static_cast<long>(atom_.multiple),  static_cast<long>(atom_.utf8),
                             static_cast<long>(atom_.text),      static_cast<long>(atom_.mimeUtf8),
                             static_cast<long>(atom_.mimePlain), static_cast<long>(XA_STRING)};
        SetProperty(dpy_, requestor, property, XA_ATOM, 32, list, std::size(list));
        out.served = true;
        return out;
    }
    if (target == atom_.timestamp) {
        const long t = static_cast<long>(ownTime_);
        SetProperty(dpy_, requestor, property, XA_INTEGER, 32, &t, 1);
        out.served = true;
        return out;
    }
    std::shared_ptr<const std::string> data = text_.utf8;
    Atom type = target;
    // text/plain is served as UTF-8 as well: modern clients read it so, and
    // Latin-1 would lose most of what users type.
    if (target == atom_.utf8 || target == atom_.text) {
        type = atom_.utf8;
    } else if (target == XA_STRING) {
        data = text_.latin1;
    } else if (target != atom_.mimeUtf8 && target != atom_.mimePlain) {
        return out;
    }
    if (data->size() > maxChunk_) {
        out.served = StartTransfer(requestor, property, type, data);
        return out;
    }
    SetProperty(dpy_, requestor, property, type, 8, data->data(), data->size());
    out.served = out.text = true;
    return out;
}

bool TSelectionOwner::ConvertMultiple(int selection, Window requestor, Atom property, bool& text) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* raw = nullptr;
    const int status =
        XGetWindowProperty(dpy_, requestor, property, 0, kMaxMultiplePairs * 2, False,
                           AnyPropertyType, &type, &format, &count, &after, &raw);
    std::vector<long> pairs;
    if (status == Success && raw && format == 32 && after == 0 && count % 2 == 0 &&
        (type == atom_.atomPair || type == XA_ATOM)) {
        const long* p = reinterpret_cast<const long*>(raw);
        pairs.assign(p, p + count);
    }
    if (raw) XFree(raw);
    if (pairs.empty()) return false;
    for (size_t i = 0; i < pairs.size(); i += 2) {
        const auto target = static_cast<Atom>(pairs[i]);
        const auto prop = static_cast<Atom>(pairs[i + 1]);
        TReply r;
        if (prop != None && target != atom_.multiple)
            r = Convert(selection, requestor, target, prop);
        if (!r.served) pairs[i + 1] = None;
        text = text || r.text;
    }
    SetProperty(dpy_, requestor, property, atom_.atomPair, 32, pairs.data(), pairs.size());
    return true;
}

bool TSelectionOwner::StartTransfer(Window requestor, Atom property, Atom type,
                                    std::shared_ptr<const std::string> data) {
    if (transfers_.size() >= kMaxTransfers) return false;
    for (const TTransfer& t : transfers_)
        if (t.requestor == requestor && t.property == property) return false;
    XSelectInput(dpy_, requestor, PropertyChangeMask | StructureNotifyMask);
    const long size = static_cast<long>(std::min<size_t>(data->size(), LONG_MAX));
    SetProperty(dpy_, requestor, property, atom_.incr, 32, &size, 1);
    transfers_.push_back({requestor, property, type, std::move(data), 0, text_.generation,
                          Clock::now() + stallLimit_});
    return true;
}

// The requestor deleted what we wrote last: it wants the next chunk.
void TSelectionOwner::OnPropertyDelete(Window w, Atom property) {
    for (size_t i = 0; i < transfers_.size(); ++i) {
        TTransfer& t = transfers_[i];
        if (t.requestor != w || t.property != property) continue;
        const size_t n = std::min(maxChunk_, t.data->size() - t.offset);
        SetProperty(dpy_, w, property, t.type, 8, t.data->data() + t.offset, n);
        const bool clean = TakeErrors(dpy_) == 0;
        if (clean && n > 0) {
            t.offset += n;
            t.deadline = Clock::now() + stallLimit_;
            return;
        }
        const uint64_t generation = t.generation;
        EndTransfer(i);
        if (clean) MarkFetched(generation);
        return;
    }
}

void TSelectionOwner::OnClear(Atom selection) {
    // A clear queued before our last Offer took the selection back is stale.
    if (XGetSelectionOwner(dpy_, selection) == window_) return;
    if (selection == atom_.clipboard) ownsClipboard_ = false;
    if (selection == XA_PRIMARY) ownsPrimary_ = false;
    // Someone else's now: what we kept of it is out of date.
    if (const int i = Index(selection); i >= 0) kept_[i] = {};
}

void TSelectionOwner::EndTransfer(size_t index) {
    const Window w = transfers_[index].requestor;
    transfers_.erase(transfers_.begin() + static_cast<std::ptrdiff_t>(index));
    for (const TTransfer& t : transfers_)
        if (t.requestor == w) return;
    XSelectInput(dpy_, w, NoEventMask);
    TakeErrors(dpy_);
}

void TSelectionOwner::DropRequestor(Window w) {
    for (size_t i = transfers_.size(); i-- > 0;)
        if (transfers_[i].requestor == w) EndTransfer(i);
}

void TSelectionOwner::Expire() {
    const auto now = Clock::now();
    if (restoreAt_ <= now) RestoreNow();
    for (size_t i = transfers_.size(); i-- > 0;)
        if (transfers_[i].deadline <= now) EndTransfer(i);
}

void TSelectionOwner::MarkFetched(uint64_t generation) {
    if (generation <= fetched_) return;
    fetched_ = generation;
    if (generation == generation_ && (kept_[0].active || kept_[1].active))
        restoreAt_ =
            std::min(restoreAt_, Clock::now() + std::chrono::milliseconds(kRestoreDelayMsec));
    fetchedCv_.notify_all();
}

bool TSelectionOwner::HandOver(int timeoutMsec) {
    std::lock_guard g(mutex_);
    return dpy_ && HandOverLocked(timeoutMsec);
}

bool TSelectionOwner::HandOverLocked(int timeoutMsec) {
    Drain();
    if (!ownsClipboard_ || !text_.utf8 || XGetSelectionOwner(dpy_, atom_.manager) == None)
        return false;
    // The targets to save, as the protocol lets the owner name them.
    std::vector<long> targets;
    if (kept_[0].restored) {
        for (const TSelectionItem& item : kept_[0].saved.items)
            targets.push_back(static_cast<long>(item.target));
    } else {
        for (Atom a : {atom_.utf8, atom_.mimeUtf8, atom_.mimePlain, XA_STRING, atom_.text})
            targets.push_back(static_cast<long>(a));
    }
    SetProperty(dpy_, window_, atom_.saveList, XA_ATOM, 32, targets.data(), targets.size());
    handedOver_ = false;
    XConvertSelection(dpy_, atom_.manager, atom_.saveTargets, atom_.saveList, window_,
                      ServerTime());
    XFlush(dpy_);
    // The manager asks us for each target before it answers: serve meanwhile.
    const auto until = Clock::now() + std::chrono::milliseconds(std::max(timeoutMsec, 0));
    bool answered = false;
    while (!answered) {
        XEvent e;
        while (!answered && XPending(dpy_) > 0) {
            XNextEvent(dpy_, &e);
            if (e.type == SelectionNotify && e.xselection.selection == atom_.manager)
                answered = true;
            Handle(e);
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
        if (answered || left.count() <= 0) break;
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(std::min<long long>(left.count(), 50))) < 0 &&
            errno != EINTR)
            break;
    }
    TakeErrors(dpy_);
    return handedOver_;
}

} // namespace bxhook::x11
