// What the clipboard held before a paste comes back after it, and what was
// pasted last goes to the clipboard manager at exit: the selection owner
// against other X clients playing the previous owner and the manager. Run
// inside tests/e2e/run_with_display.sh.
#include <gtest/gtest.h>

// After gtest: Xlib's macros (None, Bool) clash with its names.
#include "hook/x11/Selection.h"
#include "tests/hook/SelectionRequestor.h"
#include "tests/hook/WaitUntil.h"

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;
using bxhook::x11::TSelectionOwner;
using selectiontest::TProperty;
using selectiontest::TRequestor;

// Bytes no text codec would keep: every value, many times over.
std::string Image(size_t size) {
    std::string png = "\x89PNG\r\n\x1a\n";
    for (size_t i = 0; png.size() < size; ++i)
        png += static_cast<char>((i * 7 + i / 251) & 0xFF);
    return png;
}

// Another program's window holding selections and serving them from a
// thread, as a toolkit would; it forgets them when it loses them.
class TOtherOwner {
public:
    TRequestor x; // its own connection and window
    std::atomic<bool> stop{false};
    std::thread serve;
    std::mutex mutex;
    std::map<Atom, std::map<Atom, std::string>> held; // selection -> target -> bytes
    std::atomic<int> requests{0};

    ~TOtherOwner() { Stop(); }
    void Hold(Atom selection, std::map<Atom, std::string> targets) {
        {
            // One thread at a time on the connection.
            std::lock_guard g(mutex);
            held[selection] = std::move(targets);
            XSetSelectionOwner(x.dpy, selection, x.win, CurrentTime);
            XSync(x.dpy, False);
        }
        if (!serve.joinable()) serve = std::thread([this] { Run(); });
    }
    void Stop() {
        stop = true;
        if (serve.joinable()) serve.join();
    }

private:
    void Run() {
        const Atom targetsAtom = x.A("TARGETS");
        while (!stop) {
            pollfd p{ConnectionNumber(x.dpy), POLLIN, 0};
            poll(&p, 1, 10);
            std::lock_guard g(mutex);
            while (XPending(x.dpy) > 0) {
                XEvent e;
                XNextEvent(x.dpy, &e);
                if (e.type == SelectionClear) held.erase(e.xselectionclear.selection);
                if (e.type != SelectionRequest) continue;
                ++requests;
                const XSelectionRequestEvent& r = e.xselectionrequest;
                XSelectionEvent n{};
                n.type = SelectionNotify;
                n.requestor = r.requestor;
                n.selection = r.selection;
                n.target = r.target;
                n.time = r.time;
                auto sel = held.find(r.selection);
                if (sel != held.end() && r.target == targetsAtom) {
                    std::vector<long> list{long(targetsAtom)};
                    for (const auto& [t, bytes] : sel->second)
                        list.push_back(long(t));
                    XChangeProperty(x.dpy, r.requestor, r.property, XA_ATOM, 32, PropModeReplace,
                                    (const unsigned char*)list.data(), int(list.size()));
                    n.property = r.property;
                } else if (sel != held.end() && sel->second.count(r.target)) {
                    const std::string& b = sel->second[r.target];
                    XChangeProperty(x.dpy, r.requestor, r.property, r.target, 8, PropModeReplace,
                                    (const unsigned char*)b.data(), int(b.size()));
                    n.property = r.property;
                }
                XSendEvent(x.dpy, r.requestor, False, NoEventMask, (XEvent*)&n);
                XFlush(x.dpy);
            }
        }
    }
};

// A clipboard manager: on SAVE_TARGETS it reads the listed targets of the
// clipboard, then says it has them.
class TManager {
public:
    TRequestor x;
    std::atomic<bool> stop{false};
    std::thread serve;
    std::mutex mutex;
    std::map<Atom, std::string> saved;

    void Start() {
        XSetSelectionOwner(x.dpy, x.A("CLIPBOARD_MANAGER"), x.win, CurrentTime);
        XSync(x.dpy, False);
        serve = std::thread([this] { Run(); });
    }
    ~TManager() {
        stop = true;
        if (serve.joinable()) serve.join();
    }

private:
    void Run() {
        while (!stop) {
            XEvent e;
            if (!x.WaitEvent(e, [](const XEvent& ev) { return ev.type == SelectionRequest; }))
                continue;
            const XSelectionRequestEvent r = e.xselectionrequest;
            XSelectionEvent n{};
            n.type = SelectionNotify;
            n.requestor = r.requestor;
            n.selection = r.selection;
            n.target = r.target;
            n.time = r.time;
            if (r.target == x.A("SAVE_TARGETS") && r.property != None) {
                Atom type;
                int format;
                unsigned long count, after;
                unsigned char* raw = nullptr;
                XGetWindowProperty(x.dpy, r.requestor, r.property, 0, 1024, False, XA_ATOM, &type,
                                   &format, &count, &after, &raw);
                std::vector<Atom> targets;
                for (unsigned long i = 0; raw && i < count; ++i)
                    targets.push_back(Atom(((long*)raw)[i]));
                if (raw) XFree(raw);
                for (Atom t : targets) {
                    const TProperty p = x.Convert(x.A("CLIPBOARD"), t);
                    std::lock_guard g(mutex);
                    if (p.exists) saved[t] = p.bytes;
                }
                n.property = r.property;
            }
            XSendEvent(x.dpy, r.requestor, False, NoEventMask, (XEvent*)&n);
            XFlush(x.dpy);
        }
    }
};

class SelectionKeepTest : public ::testing::Test {
protected:
    TRequestor req;
    TSelectionOwner owner;
    std::atomic<bool> stop{false};
    std::thread pump;

    void SetUp() override {
        if (!req.dpy) GTEST_SKIP() << "no X display";
        std::string error;
        ASSERT_TRUE(owner.Open(error)) << error;
    }
    void TearDown() override { StopPump(); }
    void StartPump() {
        pump = std::thread([this] {
            while (!stop) {
                pollfd p{owner.Fd(), POLLIN, 0};
                const int t = owner.TimeoutMsec();
                poll(&p, 1, t < 0 || t > 20 ? 20 : t);
                owner.Process();
            }
        });
    }
    void StopPump() {
        stop = true;
        if (pump.joinable()) pump.join();
    }
    Atom Clipboard() { return req.A("CLIPBOARD"); }
    std::string Text(Atom selection) { return req.Convert(selection, req.A("UTF8_STRING")).bytes; }
};

TEST_F(SelectionKeepTest, AnImageAndTextsComeBackOnceTheTargetHasTheExpansion) {
    const std::string image = Image(600 * 1024); // past one property: served in chunks
    TOtherOwner other;
    other.Hold(Clipboard(), {{req.A("image/png"), image}, {req.A("UTF8_STRING"), "before"}});
    other.Hold(XA_PRIMARY, {{req.A("UTF8_STRING"), "selected"}});
    owner.SetRestore(16 << 20);
    StartPump();

    ASSERT_TRUE(owner.Offer("expansion"));
    other.Stop(); // gone: what comes back must have been kept
    EXPECT_EQ(Text(Clipboard()), "expansion");
    ASSERT_TRUE(WaitUntil([&] { return owner.Restored(Clipboard()); }));
    ASSERT_TRUE(owner.Restored(XA_PRIMARY));
    bool incr = false;
    EXPECT_EQ(req.Convert(Clipboard(), req.A("image/png"), &incr).bytes, image);
    EXPECT_TRUE(incr);
    EXPECT_EQ(Text(Clipboard()), "before");
    EXPECT_EQ(Text(XA_PRIMARY), "selected");
    const TProperty targets = req.Convert(Clipboard(), req.A("TARGETS"));
    EXPECT_NE(std::find(targets.list.begin(), targets.list.end(), long(req.A("image/png"))),
              targets.list.end());

    // The next expansion is served, then the same old contents come back.
    ASSERT_TRUE(owner.Offer("second"));
    EXPECT_FALSE(owner.Restored(Clipboard()));
    EXPECT_EQ(Text(Clipboard()), "second");
    ASSERT_TRUE(WaitUntil([&] { return owner.Restored(Clipboard()); }));
    EXPECT_EQ(req.Convert(Clipboard(), req.A("image/png")).bytes, image);
}

TEST_F(SelectionKeepTest, AnEmptyClipboardIsEmptyAgainAndOffKeepsTheText) {
    XSetSelectionOwner(req.dpy, Clipboard(), None, CurrentTime);
    XSetSelectionOwner(req.dpy, XA_PRIMARY, None, CurrentTime);
    XSync(req.dpy, False);
    owner.SetRestore(1 << 20);
    StartPump();
    ASSERT_TRUE(owner.Offer("expansion"));
    EXPECT_EQ(Text(Clipboard()), "expansion");
    ASSERT_TRUE(WaitUntil([&] { return XGetSelectionOwner(req.dpy, Clipboard()) == None; }));
    EXPECT_EQ(XGetSelectionOwner(req.dpy, XA_PRIMARY), Window(None));

    // Off (the default): the pasted text stays.
    owner.SetRestore(0);
    ASSERT_TRUE(owner.Offer("stays"));
    EXPECT_EQ(Text(Clipboard()), "stays");
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(Text(Clipboard()), "stays");
}

TEST_F(SelectionKeepTest, TheLimitLeavesOutWhatIsTooBigAndACopyCancelsTheRestore) {
    TOtherOwner other;
    other.Hold(Clipboard(), {{req.A("image/png"), Image(300 * 1024)}, {req.A("UTF8_STRING"), "b"}});
    owner.SetRestore(64 * 1024);
    StartPump();
    ASSERT_TRUE(owner.Offer("expansion"));
    EXPECT_EQ(Text(Clipboard()), "expansion");
    ASSERT_TRUE(WaitUntil([&] { return owner.Restored(Clipboard()); }));
    EXPECT_EQ(Text(Clipboard()), "b");
    EXPECT_EQ(req.Request(Clipboard(), req.A("image/png"), req.prop), Atom(None));

    // The user copies something before the target fetched: theirs stays.
    ASSERT_TRUE(owner.Offer("expansion 2"));
    other.Hold(Clipboard(), {{req.A("UTF8_STRING"), "copied"}});
    std::this_thread::sleep_for(600ms); // past the restore that a fetch would start
    EXPECT_FALSE(owner.Restored(Clipboard()));
    EXPECT_EQ(Text(Clipboard()), "copied");
}

TEST_F(SelectionKeepTest, TheLastPasteGoesToTheClipboardManager) {
    StartPump();
    ASSERT_TRUE(owner.Offer("pasted last"));
    StopPump();
    // No manager: nothing to wait for.
    const auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(owner.HandOver(2000));
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);

    TManager manager;
    manager.Start();
    EXPECT_TRUE(owner.HandOver(3000));
    std::lock_guard g(manager.mutex);
    EXPECT_EQ(manager.saved[req.A("UTF8_STRING")], "pasted last");
    EXPECT_EQ(manager.saved[XA_STRING], "pasted last");
}

} // namespace
