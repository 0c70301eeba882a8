// The record a typing session keeps on the root window, and the repair of
// what a killed instance left, on a real X server (run inside
// tests/e2e/run_with_display.sh).
#include <gtest/gtest.h>

// After gtest: Xlib's macros (None, Bool) clash with its names.
#include "hook/x11/TypingRecord.h"
#include "hook/x11/XTestDevice.h"

#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>

#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using bxhook::x11::TTypingRecord;

class TypingRecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        dpy_ = XOpenDisplay(nullptr);
        ASSERT_NE(dpy_, nullptr) << "run under tests/e2e/run_with_display.sh";
        record_.Open(dpy_);
        atom_ = XInternAtom(dpy_, ("_BREVIX_TYPING_" + std::to_string(getuid())).c_str(), False);
        XDisplayKeycodes(dpy_, &minKey_, &maxKey_);
        spare_ = FindSpare();
        ASSERT_NE(spare_, 0) << "the server has no key without symbols";
    }
    void TearDown() override {
        if (!dpy_) return;
        XDeleteProperty(dpy_, DefaultRootWindow(dpy_), atom_);
        KeySym none = NoSymbol;
        XChangeKeyboardMapping(dpy_, spare_, 1, &none, 1);
        XCloseDisplay(dpy_);
    }
    KeyCode FindSpare() {
        int per = 0;
        KeySym* syms =
            XGetKeyboardMapping(dpy_, static_cast<KeyCode>(minKey_), maxKey_ - minKey_ + 1, &per);
        KeyCode found = 0;
        for (int k = maxKey_; syms && k >= minKey_ && !found; --k) {
            bool empty = true;
            for (int i = 0; i < per; ++i)
                empty = empty && syms[(k - minKey_) * per + i] == NoSymbol;
            if (empty) found = static_cast<KeyCode>(k);
        }
        if (syms) XFree(syms);
        return found;
    }
    KeySym SymOf(KeyCode k) {
        int per = 0;
        KeySym* syms = XGetKeyboardMapping(dpy_, k, 1, &per);
        const KeySym s = syms && per > 0 ? syms[0] : NoSymbol;
        if (syms) XFree(syms);
        return s;
    }
    void SetRaw(Atom type, int format, const std::vector<long>& data) {
        XChangeProperty(dpy_, DefaultRootWindow(dpy_), atom_, type, format, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(data.data()),
                        static_cast<int>(data.size()));
        XSync(dpy_, False);
    }
    // The id of a process that has ended.
    static pid_t DeadPid() {
        const pid_t pid = fork();
        if (pid == 0) _exit(0);
        waitpid(pid, nullptr, 0);
        return pid;
    }
    bool Recorded() {
        Atom type = None;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* raw = nullptr;
        XGetWindowProperty(dpy_, DefaultRootWindow(dpy_), atom_, 0, 4, False, AnyPropertyType,
                           &type, &format, &n, &after, &raw);
        if (raw) XFree(raw);
        return type != None;
    }

    Display* dpy_ = nullptr;
    TTypingRecord record_;
    Atom atom_ = None;
    int minKey_ = 0, maxKey_ = 0;
    KeyCode spare_ = 0;
};

TEST_F(TypingRecordTest, ReadsBackWhatWasWrittenAndNothingAfterClear) {
    record_.Write({spare_});
    XSync(dpy_, False);
    const auto left = record_.Read();
    ASSERT_TRUE(left.has_value());
    EXPECT_EQ(left->pid, getpid());
    EXPECT_EQ(left->remapped, std::vector<KeyCode>{spare_});
    record_.Clear();
    XSync(dpy_, False);
    EXPECT_FALSE(record_.Read().has_value());
}

TEST_F(TypingRecordTest, MalformedRecordsGiveNothingAndAreDroppedOnRepair) {
    const std::vector<std::pair<std::string, std::vector<long>>> bad = {
        {"no pid", {0, spare_}},
        {"negative pid", {-5, spare_}},
        {"key code below the range", {DeadPid(), minKey_ - 1}},
        {"key code above the range", {DeadPid(), maxKey_ + 1}},
        {"key code far out", {DeadPid(), 1L << 40}},
        {"too long", std::vector<long>(600, DeadPid())},
    };
    for (const auto& [why, data] : bad) {
        SetRaw(XA_CARDINAL, 32, data);
        EXPECT_FALSE(record_.Read().has_value()) << why;
        const auto done = record_.Repair();
        EXPECT_EQ(done.keysRestored, 0) << why;
        EXPECT_FALSE(Recorded()) << why << ": not dropped";
    }
    // Wrong type and wrong format.
    SetRaw(XA_INTEGER, 32, {DeadPid(), spare_});
    EXPECT_FALSE(record_.Read().has_value());
    const char bytes[] = "\x10\x20\x30\x40";
    XChangeProperty(dpy_, DefaultRootWindow(dpy_), atom_, XA_CARDINAL, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(bytes), 4);
    XSync(dpy_, False);
    EXPECT_FALSE(record_.Read().has_value());
}

TEST_F(TypingRecordTest, RepairsWhatADeadProcessLeftAndNothingOfALiveOne) {
    const KeyCode a = XKeysymToKeycode(dpy_, 'a');
    ASSERT_NE(a, 0);
    KeySym euro[2] = {0x20AC, 0x20AC};
    XChangeKeyboardMapping(dpy_, spare_, 2, euro, 1);
    // A live process (this one, as another instance would be) keeps its keys.
    record_.Write({spare_});
    XSync(dpy_, False);
    EXPECT_EQ(record_.Repair().keysRestored, 0);
    EXPECT_EQ(SymOf(spare_), 0x20ACu);

    // A dead one left a spare key remapped and a key down on the XTEST keyboard.
    SetRaw(XA_CARDINAL, 32, {DeadPid(), spare_});
    XTestFakeKeyEvent(dpy_, a, True, CurrentTime);
    XSync(dpy_, False);
    ASSERT_TRUE(bxhook::x11::XTestKeysDown(dpy_)[a]);
    const auto done = record_.Repair();
    EXPECT_EQ(done.keysRestored, 1);
    EXPECT_EQ(done.keysReleased, 1);
    EXPECT_EQ(SymOf(spare_), static_cast<KeySym>(NoSymbol));
    EXPECT_TRUE(bxhook::x11::XTestKeysDown(dpy_).none());
    char keys[32];
    XQueryKeymap(dpy_, keys);
    EXPECT_FALSE(keys[a / 8] & (1 << (a % 8)));
    EXPECT_FALSE(Recorded());
}

} // namespace
