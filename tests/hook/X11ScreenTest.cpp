// Other windows and the keyboard through the hook library on a real X
// server: run inside tests/e2e/run_with_display.sh (Xvfb, openbox, the Tk target).
#include "hook/HookApi.h"
#include "tests/hook/WaitUntil.h"

#include <gtest/gtest.h>

// After gtest: Xlib's macros (None, Bool) clash with its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <string>
#include <vector>

namespace {

constexpr BxHwnd kMainWindow = 0x7778;

intptr_t Proc(void*, BxHwnd, uint32_t, uintptr_t, intptr_t, int) {
    return 0;
}

std::string Fetch(int (*get)(BxHwnd, char*, int), BxHwnd w) {
    char buffer[256];
    return get(w, buffer, sizeof buffer) < 0 ? std::string("<unknown>") : std::string(buffer);
}

bool Listed(BxHwnd w) {
    BxHwnd windows[512];
    const int n = BxTopWindows(windows, 512);
    for (int i = 0; i < n && i < 512; ++i)
        if (windows[i] == w) return true;
    return false;
}

class X11Screen : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        BxSetMessageProc(Proc, nullptr);
        ASSERT_EQ(InitHooksDll(kMainWindow), 0);
        InstallKeyboardFilter(1);
        ASSERT_STREQ(BxBackendName(), "x11") << BxLastError();
    }
    static void TearDownTestSuite() {
        InstallKeyboardFilter(0);
        UninstallHooksDll(kMainWindow);
    }
    void SetUp() override {
        dpy_ = XOpenDisplay(nullptr);
        ASSERT_TRUE(dpy_) << "run under tests/e2e/run_with_display.sh";
        win_ = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 100, 100, 300, 200, 0, 0, 0);
        XClassHint hint{const_cast<char*>("brevixprobe"), const_cast<char*>("BrevixProbe")};
        XSetClassHint(dpy_, win_, &hint);
        XStoreName(dpy_, win_, "Probe window");
        XSelectInput(dpy_, win_, KeyPressMask | KeyReleaseMask);
        XMapWindow(dpy_, win_);
        XSync(dpy_, False);
        // Managed once the window manager lists it.
        ASSERT_TRUE(WaitUntil([&] { return Listed(static_cast<BxHwnd>(win_)); }));
    }
    void TearDown() override {
        if (dpy_) XCloseDisplay(dpy_);
    }
    BxHwnd Win() const { return static_cast<BxHwnd>(win_); }

    Display* dpy_ = nullptr;
    Window win_ = 0;
};

} // namespace

TEST_F(X11Screen, FindsAndNamesAWindow) {
    EXPECT_EQ(BxFindWindow("BrevixProbe", nullptr), Win());
    EXPECT_EQ(BxFindWindow("brevixprobe", "Probe window"), Win()); // instance and title
    EXPECT_EQ(BxFindWindow("BrevixProbe", "Other title"), 0u);
    EXPECT_EQ(Fetch(BxWindowClass, Win()), "BrevixProbe");
    EXPECT_EQ(Fetch(BxWindowTitle, Win()), "Probe window"); // WM_NAME only

    ASSERT_EQ(BxSetWindowTitle(Win(), "Caf\xc3\xa9 \xe2\x82\xac"), 1);
    EXPECT_EQ(Fetch(BxWindowTitle, Win()), "Caf\xc3\xa9 \xe2\x82\xac");
    // On the server for every client to read.
    Atom type = 0;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    ASSERT_EQ(XGetWindowProperty(dpy_, win_, XInternAtom(dpy_, "_NET_WM_NAME", False), 0, 64, False,
                                 AnyPropertyType, &type, &format, &n, &after, &data),
              Success);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), n), "Caf\xc3\xa9 \xe2\x82\xac");
    XFree(data);
    EXPECT_EQ(BxFindWindow("", "Caf\xc3\xa9 \xe2\x82\xac"), Win());
}

TEST_F(X11Screen, ForegroundWindowIsSetAndRead) {
    const BxHwnd target = BxFindWindow("", "Brevix e2e target");
    ASSERT_NE(target, 0u) << "the Tk target is listed by its title";
    ASSERT_EQ(BxSetForegroundWindow(Win()), 1);
    EXPECT_EQ(BxForegroundWindow(), Win());
    ASSERT_EQ(BxSetForegroundWindow(target), 1);
    EXPECT_EQ(BxForegroundWindow(), target);
    EXPECT_EQ(BxRaiseWindow(Win()), 1);
    EXPECT_EQ(BxSetFocusWindow(Win()), 1);
    EXPECT_EQ(BxFocusWindow(), Win());
}

TEST_F(X11Screen, KeysReachTheFocusedWindowInOrder) {
    ASSERT_EQ(BxSetForegroundWindow(Win()), 1);
    ASSERT_EQ(BxSetFocusWindow(Win()), 1);
    SimKey(0x11, 0, 0, 0);
    EXPECT_EQ(BxKeyIsDown(0x11), 1);
    SimKey('C', 0, 0, 0);
    SimKey('C', 0, 2, 0);
    SimKey(0x11, 0, 2, 0);
    EXPECT_EQ(BxKeyIsDown(0x11), 0);

    std::vector<std::pair<int, KeySym>> seen;
    WaitUntil([&] {
        while (XPending(dpy_)) {
            XEvent e;
            XNextEvent(dpy_, &e);
            if (e.type == KeyPress || e.type == KeyRelease)
                seen.emplace_back(e.type, XLookupKeysym(&e.xkey, 0));
        }
        return seen.size() >= 4;
    });
    const std::vector<std::pair<int, KeySym>> expected = {
        {KeyPress, XK_Control_L}, {KeyPress, XK_c}, {KeyRelease, XK_c}, {KeyRelease, XK_Control_L}};
    EXPECT_EQ(seen, expected);
}

TEST_F(X11Screen, AVanishedWindowIsUnknown) {
    const Window gone = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 0, 0, 10, 10, 0, 0, 0);
    XDestroyWindow(dpy_, gone);
    XSync(dpy_, False);
    const auto h = static_cast<BxHwnd>(gone);
    EXPECT_EQ(BxWindowExists(h), 0);
    EXPECT_EQ(BxWindowClass(h, nullptr, 0), -1);
    EXPECT_EQ(BxWindowTitle(h, nullptr, 0), -1);
    EXPECT_EQ(BxSetWindowTitle(h, "x"), 0);
    EXPECT_EQ(BxSetForegroundWindow(h), 0);
    EXPECT_EQ(BxSetFocusWindow(h), 0);
    EXPECT_EQ(BxRaiseWindow(h), 0);
    // The library's connection still answers.
    EXPECT_EQ(BxWindowExists(Win()), 1);
}
