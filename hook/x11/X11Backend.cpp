#include "hook/x11/X11Backend.h"
#include "hook/HookCore.h"
#include "hook/LayoutSnapshot.h"
#include "hook/x11/KeyTable.h"
#include "hook/x11/X11Windows.h"
#include "hook/x11/XError.h"

#include <X11/XKBlib.h>
#include <X11/Xlib-xcb.h>
#include <X11/extensions/XI2proto.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace bxhook {

std::unique_ptr<TBackend> CreateX11Backend() {
    return std::make_unique<x11::TX11Backend>();
}

namespace x11 {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(3);
// A hold that outlives this with nothing being typed is let go: the program
// may be stuck, and the user's keyboard must never stay taken.
constexpr auto kHoldLimit = std::chrono::seconds(5);
// How long a replayed press may take to come back through the recording.
constexpr auto kEchoWait = std::chrono::milliseconds(100);
// How long the service thread leaves the recording unread while a text is typed.
constexpr long kTypingBatchNsec = 3'000'000;
// A grab the recording has not shown by then is taken as made: a text
// must not wait for a server that does not record it.
constexpr auto kGrabMarkWait = std::chrono::milliseconds(5);

std::string DisplayName() {
    const char* d = std::getenv("DISPLAY");
    return d ? d : "";
}

} // namespace

TX11Backend::TX11Backend()
    : typer_(
          injected_, [this](KeyCode k) { return UserHolds(k); }, [this] { return SettleLeaks(); },
          [this](char (&keys)[32]) { return UserKeymap(keys); }) {
    hold_.SetSent([this](KeyCode k, bool down) { ++replayed_[k][down]; });
}

TX11Backend::~TX11Backend() {
    if (thread_.joinable()) {
        quit_.store(true);
        Wake();
        // When the X server dies, Xlib ends the process from our own thread
        // and the exit runs this destructor there: it must not wait for itself.
        if (thread_.get_id() == std::this_thread::get_id()) {
            thread_.detach();
            return;
        }
        thread_.join();
    }
    typer_.Close();
    if (watch_) {
        std::lock_guard g(watchMutex_);
        Ungrab();
        CloseTrappedDisplay(watch_);
        watch_ = nullptr;
    }
    for (int fd : wake_)
        if (fd >= 0) close(fd);
}

bool TX11Backend::Ensure(std::string& error) {
    std::lock_guard g(ensureMutex_);
    if (ensured_) {
        error = ensureError_;
        return error.empty();
    }
    ensured_ = true;
    auto fail = [&](std::string why) {
        ensureError_ = std::move(why);
        error = ensureError_;
        if (watch_) CloseTrappedDisplay(watch_);
        watch_ = nullptr;
        return false;
    };
    watch_ = OpenTrappedDisplay(nullptr);
    if (!watch_) return fail("cannot open the X display \"" + DisplayName() + "\"");
    int opcode = 0, xkbError = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(watch_, &opcode, &xkbEventBase_, &xkbError, &major, &minor))
        return fail("the X server has no XKEYBOARD extension");
    layout_.Load(watch_);
    XkbSelectEvents(watch_, XkbUseCoreKbd, XkbMapNotifyMask | XkbNewKeyboardNotifyMask,
                    XkbMapNotifyMask | XkbNewKeyboardNotifyMask);
    XkbSelectEventDetails(watch_, XkbUseCoreKbd, XkbStateNotify,
                          XkbGroupStateMask | XkbModifierLockMask,
                          XkbGroupStateMask | XkbModifierLockMask);
    XSync(watch_, False);
    std::string why;
    if (!typer_.Open(nullptr, why)) return fail(why);
    // Without XInput 2 keys typed during a replacement are not held back.
    std::string noHold;
    hold_.Open(noHold);
    // Without it the program puts pasted text on the clipboard itself.
    std::string noSelection;
    selectionOpen_ = selection_.Open(noSelection);
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
        typer_.Close();
        return fail("cannot create the keyboard watcher's pipe");
    }
    thread_ = std::thread(&TX11Backend::Run, this);
    return true;
}

void TX11Backend::Wake() {
    if (wake_[1] >= 0) {
        const char c = 1;
        [[maybe_unused]] ssize_t n = write(wake_[1], &c, 1);
    }
}

bool TX11Backend::Start(std::string& error) {
    if (!Ensure(error)) return false;
    std::unique_lock g(stateMutex_);
    recordError_.clear();
    wantRecording_.store(true);
    Wake();
    const bool settled = stateChanged_.wait_for(
        g, kStartTimeout, [this] { return recordingActive_.load() || !recordError_.empty(); });
    if (!settled) recordError_ = "the X server did not start recording keys";
    if (!recordError_.empty()) {
        wantRecording_.store(false);
        error = recordError_;
        return false;
    }
    reporting_.store(true);
    return true;
}

void TX11Backend::Stop() {
    // Never waits: the service thread may be inside a key report that waits
    // for the caller.
    reporting_.store(false);
    wantRecording_.store(false);
    Wake();
}

void TX11Backend::Run() {
    while (!quit_.load()) {
        if (wantRecording_.load() && !recording_)
            EnableRecording();
        else if (!wantRecording_.load() && recording_)
            DisableRecording();

        pollfd fds[5];
        int n = 0;
        fds[n++] = {wake_[0], POLLIN, 0};
        fds[n++] = {ConnectionNumber(watch_), POLLIN, 0};
        if (recording_) fds[n++] = {ConnectionNumber(data_), POLLIN, 0};
        if (hold_.Available()) fds[n++] = {hold_.Fd(), POLLIN, 0};
        if (selectionOpen_) fds[n++] = {selection_.Fd(), POLLIN, 0};
        // Idle, everything that needs this thread makes a descriptor readable
        // (keys, X events, the wake pipe): no timed wake-up at all. Remapped
        // keys that are due back go at the next wake (a key, a click): giving
        // them back makes every client, this program's own windows too, read
        // its key map again, which an idle program must not cause.
        int timeout = typer_.Active() || hold_.Holding() ? 20 : -1;
        // A grab the recording does not show is given up on in time (kGrabMarkWait).
        if (!leaksSettled_.load()) timeout = 1;
        if (selectionOpen_) {
            const int t = selection_.TimeoutMsec();
            if (t >= 0 && (timeout < 0 || t < timeout)) timeout = t;
        }
        poll(fds, n, timeout);
        char buf[64];
        while (read(wake_[0], buf, sizeof buf) > 0) {
        }
        if (recording_) XRecordProcessReplies(data_);
        const bool marked = markGrabs_ && grabsSeen_ >= grabsAsked_;
        if (recording_ && !leaksSettled_.load() &&
            (marked || !markGrabs_ ||
             std::chrono::steady_clock::now() - hold_.Since() > kGrabMarkWait)) {
            // The grab was asked for on the key's path without waiting; its
            // answer is awaited here, while the replacement is prepared.
            // Without a keyboard held, the keys the user holds are known
            // from the recording again.
            if (!hold_.Confirm()) holding_.store(false);
            if (!marked) {
                // What the server recorded before the grab is sent no later
                // than the grab's reply; a moment's grace for it to arrive.
                pollfd p{ConnectionNumber(data_), POLLIN, 0};
                const timespec grace{0, 100'000};
                ppoll(&p, 1, &grace, nullptr);
                XRecordProcessReplies(data_);
            }
            std::lock_guard g(settleMutex_);
            leaksSettled_.store(true);
            settled_.notify_all();
        }
        DrainWatch();
        if (selectionOpen_) selection_.Process();
        hold_.Process([this](const TKeyHold::TKey& k) { return HoldTaken(k); });
        EndHoldIfDone();
        // Never between two keys of a text, however long the server kept
        // the typing thread waiting: the text's remapped keys would go.
        if (!THookCore::Instance().Typing()) {
            typer_.Tick();
        } else if (leaksSettled_.load()) {
            // While a text is typed the recording brings back mostly our own
            // keys, and the user's wait in the hold: reading them in batches
            // leaves the processors to the server and the target. Not before
            // the text starts: it waits for the leaks to be settled here.
            const timespec batch{0, kTypingBatchNsec};
            nanosleep(&batch, nullptr);
        }
    }
    EndHoldIfDone();
    if (recording_) DisableRecording();
}

void TX11Backend::EnableRecording() {
    auto fail = [this](const std::string& why) {
        if (control_) CloseTrappedDisplay(control_);
        if (data_) CloseTrappedDisplay(data_);
        control_ = data_ = nullptr;
        context_ = 0;
        wantRecording_.store(false);
        std::lock_guard g(stateMutex_);
        recordError_ = why;
        stateChanged_.notify_all();
    };
    control_ = OpenTrappedDisplay(nullptr);
    data_ = OpenTrappedDisplay(nullptr);
    if (!control_ || !data_) return fail("cannot open the X display \"" + DisplayName() + "\"");
    int major = 0, minor = 0;
    if (!XRecordQueryVersion(control_, &major, &minor))
        return fail("the X server has no RECORD extension (keys cannot be watched)");
    XRecordRange* ranges[2] = {XRecordAllocRange(), XRecordAllocRange()};
    if (!ranges[0] || !ranges[1]) {
        for (XRecordRange* r : ranges)
            if (r) XFree(r);
        return fail("out of memory");
    }
    ranges[0]->device_events.first = KeyPress;
    ranges[0]->device_events.last = ButtonPress;
    // The hold's grab requests too, in their place among the keys: those
    // before one reached the target, those after it the grab. Other
    // clients' grabs of a device come along; they are rare.
    markGrabs_ = hold_.Available() && hold_.Opcode() > 0 && hold_.Opcode() < 256;
    if (markGrabs_) {
        const auto op = static_cast<unsigned char>(hold_.Opcode());
        ranges[1]->ext_requests.ext_major = {op, op};
        ranges[1]->ext_requests.ext_minor = {X_XIGrabDevice, X_XIGrabDevice};
        holdBase_ = hold_.ClientBase();
    }
    XRecordClientSpec clients = XRecordAllClients;
    context_ = XRecordCreateContext(control_, 0, &clients, 1, ranges, markGrabs_ ? 2 : 1);
    for (XRecordRange* r : ranges)
        XFree(r);
    if (!context_ || TakeErrors(control_) > 0) return fail("the X server refused to record keys");
    startSeen_ = endSeen_ = false;
    if (!XRecordEnableContextAsync(data_, context_, &TX11Backend::OnRecordData,
                                   reinterpret_cast<XPointer>(this)))
        return fail("the X server refused to record keys");
    PumpRecording([this] { return startSeen_; }, kStartTimeout, 50);
    if (!startSeen_) return fail("the X server did not start recording keys");
    {
        // Keys already down when watching starts are the user's.
        char keys[32];
        std::lock_guard w(watchMutex_);
        XQueryKeymap(watch_, keys);
        std::lock_guard u(userMutex_);
        for (int k = 0; k < 256; ++k)
            userDown_[k] = KeymapHas(keys, k);
    }
    injected_.SetRecording(true);
    recording_ = true;
    std::lock_guard g(stateMutex_);
    recordingActive_.store(true);
    stateChanged_.notify_all();
}

void TX11Backend::PumpRecording(const std::function<bool()>& done, std::chrono::milliseconds limit,
                                int pollMsec) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < until) {
        pollfd p{ConnectionNumber(data_), POLLIN, 0};
        poll(&p, 1, pollMsec);
        XRecordProcessReplies(data_);
    }
}

void TX11Backend::DisableRecording() {
    XRecordDisableContext(control_, context_);
    XSync(control_, False);
    PumpRecording([this] { return endSeen_; }, std::chrono::seconds(1), 50);
    XRecordFreeContext(control_, context_);
    CloseTrappedDisplay(control_);
    CloseTrappedDisplay(data_);
    control_ = data_ = nullptr;
    context_ = 0;
    recording_ = false;
    injected_.SetRecording(false);
    std::lock_guard g(stateMutex_);
    recordingActive_.store(false);
    stateChanged_.notify_all();
}

void TX11Backend::OnRecordData(XPointer self, XRecordInterceptData* d) {
    auto* b = reinterpret_cast<TX11Backend*>(self);
    switch (d->category) {
    case XRecordStartOfData:
        b->startSeen_ = true;
        break;
    case XRecordEndOfData:
        b->endSeen_ = true;
        break;
    case XRecordFromServer:
        if (d->data && d->data_len * 4 >= 2) b->OnDeviceEvent(d->data[0] & 0x7F, d->data[1]);
        break;
    case XRecordFromClient:
        if (b->markGrabs_ && d->data && d->data_len * 4 >= 4 && d->id_base == b->holdBase_ &&
            d->data[0] == b->hold_.Opcode() && d->data[1] == X_XIGrabDevice)
            ++b->grabsSeen_;
        break;
    default:
        break;
    }
    XRecordFreeData(d);
}

void TX11Backend::OnDeviceEvent(int type, KeyCode code) {
    if (type == ButtonPress) {
        // Playback never clicks, so every click is the user's.
        if (reporting_.load()) THookCore::Instance().OnMouseButton();
        return;
    }
    if (type != KeyPress && type != KeyRelease) return;
    const bool down = type == KeyPress;
    if (injected_.Consume(code, down)) return;
    const bool replayed = replayed_[code][down] > 0;
    if (replayed) {
        --replayed_[code][down];
        if (down && code == echo_) echo_ = 0;
    }

    uint16_t mods = 0;
    bool ctrlOrAlt = false;
    uint8_t vk = 0;
    bool printable = false;
    Window focus = 0;
    {
        std::lock_guard w(watchMutex_);
        vk = layout_.VkForKeycode(code);
        printable = IsPrintableKeysym(layout_.Keysym(code, 0));
        {
            // The state before this key, as a key event's own state is.
            std::lock_guard u(userMutex_);
            unsigned held = 0;
            for (int k = 8; k < 256; ++k)
                if (userDown_[k]) held |= layout_.ModifierOf(static_cast<KeyCode>(k));
            userDown_[code] = down;
            if (held & ShiftMask) mods |= shortcut::Shift;
            if (held & ControlMask) mods |= shortcut::Ctrl;
            if (held & Mod1Mask) mods |= shortcut::Alt;
            ctrlOrAlt = held & (ControlMask | Mod1Mask);
            // AltGr is Ctrl+Alt, as keyboard layouts define it elsewhere.
            if (layout_.LevelThreeMask() && (held & layout_.LevelThreeMask()))
                mods |= shortcut::Ctrl | shortcut::Alt;
        }
        if (down) lastFocus_ = FocusedWindow(watch_);
        focus = lastFocus_;
    }
    if (!replayed && leakOpen_.load() && hold_.Holding()) {
        // It reached the target ahead of the replacement: erased before it,
        // typed again after it.
        hold_.QueueLeaked({code, down});
        if (down) {
            heldAtBegin_[code] = true;
            if (printable && !ctrlOrAlt) typer_.RequestErase();
        }
    }
    if (!vk || !reporting_.load()) return;
    const uint16_t sc = static_cast<uint16_t>(vk | mods);
    lastPrintable_ = printable && !ctrlOrAlt;
    reportFocus_.store(focus);
    THookCore::Instance().OnUserKey(sc, down, static_cast<BxHwnd>(focus));
    reportFocus_.store(0);
}

void TX11Backend::KeyConsumed(uint16_t code) {
    // Called on the service thread inside OnUserKey, before the replacement
    // is typed. Keys typed from here on wait until it is typed.
    if (reporting_.load() && !hold_.Holding() && hold_.Available()) {
        {
            std::lock_guard u(userMutex_);
            heldAtBegin_ = heldDown_ = userDown_;
        }
        grabsSeen_ = 0;
        holding_.store(hold_.Begin());
        grabsAsked_ = hold_.Asked();
        if (holding_.load()) {
            std::memset(replayed_, 0, sizeof replayed_);
            leaksSettled_.store(false);
            leakOpen_.store(true);
        }
    } else if (hold_.Holding()) {
        // A replayed key started another replacement: the keys replayed down
        // must not keep the replacement waiting for their releases.
        hold_.ReleaseAllReplayed();
    }
    // A printable key that was not grabbed already reached the target.
    if (!lastPrintable_) return;
    std::lock_guard w(watchMutex_);
    if (std::find(grabbed_.begin(), grabbed_.end(), code) == grabbed_.end()) typer_.RequestErase();
}

void TX11Backend::DrainWatch() {
    std::lock_guard g(watchMutex_);
    bool reload = false;
    while (XPending(watch_)) {
        XEvent ev;
        XNextEvent(watch_, &ev);
        if (ev.type == xkbEventBase_) {
            const auto* xe = reinterpret_cast<const XkbEvent*>(&ev);
            switch (xe->any.xkb_type) {
            case XkbMapNotify:
                // Our own remapping of spare keys changes no layout.
                if (!typer_.OwnsKeys(xe->map.first_key_sym, xe->map.num_key_syms)) reload = true;
                break;
            case XkbNewKeyboardNotify:
                reload = true;
                break;
            case XkbStateNotify:
                layout_.SetGroup(xe->state.group);
                layout_.SetLockedMods(xe->state.locked_mods);
                break;
            default:
                break;
            }
        } else if (ev.type == MappingNotify) {
            XRefreshKeyboardMapping(&ev.xmapping);
            if (ev.xmapping.request == MappingModifier ||
                (ev.xmapping.request == MappingKeyboard &&
                 !typer_.OwnsKeys(ev.xmapping.first_keycode, ev.xmapping.count)))
                reload = true;
        }
    }
    if (!reload) return;
    Ungrab();
    layout_.Load(watch_);
    Grab();
    typer_.LayoutChanged();
}

void TX11Backend::Grab() {
    const Window root = DefaultRootWindow(watch_);
    const unsigned num = layout_.NumLockMask();
    // A grab matches the exact modifier state: add every lock combination.
    const unsigned locks[4] = {0, LockMask, num, LockMask | num};
    for (uint16_t code : grabbed_) {
        const KeyCode kc = layout_.KeycodeForVk(static_cast<uint8_t>(code & 0xFF));
        if (!kc) continue;
        const unsigned mods = ((code & shortcut::Shift) ? ShiftMask : 0) |
                              ((code & shortcut::Ctrl) ? ControlMask : 0) |
                              ((code & shortcut::Alt) ? Mod1Mask : 0);
        for (int i = 0; i < (num ? 4 : 2); ++i) {
            XGrabKey(watch_, kc, mods | locks[i], root, True, GrabModeAsync, GrabModeAsync);
            grabs_.push_back({kc, mods | locks[i]});
        }
    }
    // A key another program holds cannot be withheld; the rest still are.
    TakeErrors(watch_);
}

void TX11Backend::Ungrab() {
    const Window root = DefaultRootWindow(watch_);
    for (const TGrab& g : grabs_)
        XUngrabKey(watch_, g.code, g.mods, root);
    grabs_.clear();
    TakeErrors(watch_);
}

void TX11Backend::SetGrabbedKeys(const std::vector<uint16_t>& codes) {
    std::string error;
    if (!Ensure(error)) return;
    std::lock_guard g(watchMutex_);
    Ungrab();
    grabbed_ = codes;
    Grab();
}

bool TX11Backend::UserHolds(KeyCode code) {
    if (!recordingActive_.load()) return false;
    std::lock_guard u(userMutex_);
    return holding_.load() ? heldDown_[code] : userDown_[code];
}

bool TX11Backend::OfferPaste(const std::string& utf8) {
    std::string error;
    if (!Ensure(error) || !selectionOpen_) return false;
    if (!selection_.Offer(utf8)) return false;
    pasteArmed_.store(selection_.Generation());
    return true;
}

bool TX11Backend::PauseAfterPaste(int msec) {
    const uint64_t generation = pasteArmed_.exchange(0);
    if (!generation) return false;
    // Keys typed before the target has the text could land inside it. Its
    // request is served from here too, not only by the service thread: the
    // keys after the paste then need no other thread to wake up first.
    // Woken by the request itself, so it is served the moment it comes in
    // (the service thread may be reading the recording in batches).
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(msec);
    const int fd = selection_.Fd();
    while (!selection_.WaitFetched(generation, 0) && std::chrono::steady_clock::now() < until) {
        pollfd p{fd, POLLIN, 0};
        if (fd < 0 || poll(&p, 1, 1) < 0) selection_.WaitFetched(generation, 1);
        selection_.Process();
    }
    return true;
}

bool TX11Backend::SettleLeaks() {
    // On the typing thread: the service thread looks at what the server
    // recorded before the grab; the text must not start before it has.
    std::unique_lock g(settleMutex_);
    const bool settled = settled_.wait_for(g, std::chrono::milliseconds(50),
                                           [this] { return leaksSettled_.load(); });
    leakOpen_.store(false);
    // Keys still down are then known from the recording: the grab keeps any
    // key after it away from the target.
    return settled && holding_.load();
}

bool TX11Backend::UserKeymap(char (&keys)[32]) {
    if (!recordingActive_.load()) return false;
    std::memset(keys, 0, sizeof keys);
    std::lock_guard u(userMutex_);
    for (int k = 8; k < 256; ++k)
        if (userDown_[k]) keys[k / 8] = static_cast<char>(keys[k / 8] | (1 << (k % 8)));
    return true;
}

bool TX11Backend::HoldTaken(const TKeyHold::TKey& key) {
    {
        std::lock_guard u(userMutex_);
        heldDown_[key.code] = key.down;
    }
    if (key.down) {
        // Pressed again: its release reached the target before the grab.
        heldAtBegin_[key.code] = false;
        return false;
    }
    if (heldAtBegin_[key.code]) {
        // Queued as well: it ends the press of a key that leaked, when that
        // press is replayed; otherwise its replay changes nothing.
        heldAtBegin_[key.code] = false;
        hold_.PassRelease(key.code);
        return false;
    }
    if (hold_.ReplayedDown(key.code) && THookCore::Instance().Typing()) {
        hold_.ReleaseReplayed(key.code);
        return true;
    }
    return false;
}

void TX11Backend::EndHoldIfDone() {
    if (!hold_.Holding()) return;
    const auto taken = [this](const TKeyHold::TKey& k) { return HoldTaken(k); };
    const bool live = reporting_.load() && !quit_.load();
    const bool stuck =
        std::chrono::steady_clock::now() - hold_.Since() > kHoldLimit && !typer_.Active();
    if (live && !stuck && THookCore::Instance().Typing()) return;
    // The grab stays while the queue is replayed, so keys typed meanwhile
    // queue behind it. The program decides on each press before the next is
    // sent: a delimiter among them starts another replacement, and the keys
    // after it wait for that one.
    while (hold_.HasQueued()) {
        const TKeyHold::TKey key = hold_.ReplayNext();
        if (key.down && recording_ && live) {
            echo_ = key.code;
            PumpRecording([this] { return echo_ == 0; }, kEchoWait, 5);
            echo_ = 0;
        }
        hold_.Process(taken);
        if (live && THookCore::Instance().Typing()) return;
    }
    hold_.End(taken);
    // Keys that came in just before the grab ended.
    while (hold_.HasQueued())
        hold_.ReplayNext();
    holding_.store(false);
}

BxHwnd TX11Backend::FocusWindow() {
    std::string error;
    if (!Ensure(error)) return 0;
    std::lock_guard g(watchMutex_);
    return static_cast<BxHwnd>(FocusedWindow(watch_));
}

std::unique_ptr<TFocusAnswer> TX11Backend::AskFocusWindow() {
    // Asked through XCB on the watch connection: Xlib has no way to collect
    // a reply later.
    class TAsked : public TFocusAnswer {
    public:
        TAsked(TX11Backend& b, xcb_connection_t* c)
            : backend_(b), xcb_(c), cookie_(xcb_get_input_focus(c)) {
            xcb_flush(c);
        }
        ~TAsked() override {
            if (!fetched_) {
                std::lock_guard g(backend_.watchMutex_);
                xcb_discard_reply(xcb_, cookie_.sequence);
            }
        }
        BxHwnd Get() override {
            if (fetched_) return window_;
            fetched_ = true;
            std::lock_guard g(backend_.watchMutex_);
            xcb_get_input_focus_reply_t* r = xcb_get_input_focus_reply(xcb_, cookie_, nullptr);
            if (r && r->focus != XCB_NONE && r->focus != XCB_INPUT_FOCUS_POINTER_ROOT)
                window_ = static_cast<BxHwnd>(r->focus);
            free(r);
            return window_;
        }

    private:
        TX11Backend& backend_;
        xcb_connection_t* xcb_;
        xcb_get_input_focus_cookie_t cookie_;
        bool fetched_ = false;
        BxHwnd window_ = 0;
    };
    std::string error;
    if (!Ensure(error)) return TBackend::AskFocusWindow();
    std::lock_guard g(watchMutex_);
    return std::make_unique<TAsked>(*this, XGetXCBConnection(watch_));
}

BxHwnd TX11Backend::KeyFocusWindow() {
    // Each read is a round trip to the server, and the key's handler asks
    // more than once while the typist waits for the replacement.
    if (const Window w = reportFocus_.load()) return static_cast<BxHwnd>(w);
    return FocusWindow();
}

uint32_t TX11Backend::WindowProcess(BxHwnd window) {
    std::string error;
    if (!window || !Ensure(error)) return 0;
    std::lock_guard g(watchMutex_);
    return WindowPid(watch_, window);
}

bool TX11Backend::AppClass(BxHwnd window, std::string& className, std::string& instance) {
    std::string error;
    if (!window || !Ensure(error)) return false;
    std::lock_guard g(watchMutex_);
    return WindowClassHint(watch_, window, className, instance);
}

uint32_t TX11Backend::CaretScreenPos() {
    std::string error;
    if (!Ensure(error)) return 0;
    std::lock_guard g(watchMutex_);
    return WindowScreenPos(watch_, FocusedWindow(watch_));
}

bool TX11Backend::WindowRect(BxHwnd window, int32_t out[4]) {
    std::string error;
    if (!Ensure(error)) return false;
    std::lock_guard g(watchMutex_);
    return WindowScreenRect(watch_, window, out);
}

void TX11Backend::FocusTarget(BxHwnd window) {
    std::string error;
    if (!window || !Ensure(error)) return;
    std::lock_guard g(watchMutex_);
    ActivateWindow(watch_, window);
}

void TX11Backend::PrepareChars(std::string_view chars) {
    std::string error;
    if (Ensure(error)) typer_.PrepareChars(chars);
}

void TX11Backend::TypeChar(unsigned char c) {
    std::string error;
    if (Ensure(error)) typer_.TypeChar(c);
}

void TX11Backend::SendKey(uint8_t vkey, uint8_t mods, KeyAction action) {
    std::string error;
    if (Ensure(error)) typer_.SendKey(vkey, mods, action);
}

void TX11Backend::Flush() {
    std::string error;
    if (Ensure(error)) typer_.Flush();
}

void TX11Backend::Push() {
    std::string error;
    if (Ensure(error)) typer_.Push();
}

void TX11Backend::ReleaseHeldKeys() {
    std::string error;
    if (Ensure(error)) typer_.ReleaseHeldKeys();
}

bool TX11Backend::LayoutSnapshot(TLayoutSnapshot& out) {
    return X11LayoutSnapshot(out);
}

bool TX11Backend::DisplayLost() {
    return x11::DisplayLost(nullptr);
}

} // namespace x11

} // namespace bxhook
