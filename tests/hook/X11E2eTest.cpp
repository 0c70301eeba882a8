// The X11 backend against a real X server: run inside tests/e2e/run_with_display.sh,
// which provides Xvfb, openbox and the Tk target (E2E_TARGET_OUT).
#include "hook/HookApi.h"
#include "hook/LayoutSnapshot.h"
#include "tests/hook/WaitUntil.h"

#include <gtest/gtest.h>

// After gtest: Xlib's macros (None, Bool) clash with its names.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
constexpr BxHwnd kMainWindow = 0x7777;

struct TMessage {
    uint32_t msg;
    uintptr_t w;
    int flags;
};

struct TMessages {
    std::mutex mutex;
    std::condition_variable cv;
    std::vector<TMessage> list;
    int consume = -1; // shortcut code the "main window" claims

    void Clear() {
        std::lock_guard g(mutex);
        list.clear();
    }
    std::vector<TMessage> Snapshot() {
        std::lock_guard g(mutex);
        return list;
    }
    bool WaitFor(uint32_t msg, uintptr_t w, int flags, std::chrono::milliseconds limit = 3s) {
        std::unique_lock g(mutex);
        return cv.wait_for(g, limit, [&] {
            for (const TMessage& m : list)
                if (m.msg == msg && m.w == w && m.flags == flags) return true;
            return false;
        });
    }
} gMessages;

intptr_t Proc(void*, BxHwnd, uint32_t msg, uintptr_t w, intptr_t l, int) {
    std::lock_guard g(gMessages.mutex);
    const int flags = static_cast<int>(l >> 16);
    gMessages.list.push_back({msg, w, flags});
    gMessages.cv.notify_all();
    return msg == BX_MSG_KEY && flags == BX_KEYFLAG_DOWN &&
           static_cast<int>(w) == gMessages.consume;
}

std::string TargetFile() {
    const char* f = std::getenv("E2E_TARGET_OUT");
    return f ? f : "";
}

std::string TargetText() {
    std::ifstream in(TargetFile(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool WaitText(const std::string& expected) {
    return WaitUntil([&] { return TargetText() == expected; });
}

void ClearTarget() {
    const std::string cmd = TargetFile() + ".cmd";
    { std::ofstream(cmd) << "clear\n"; }
    // The target deletes the command file once it has cleared itself.
    // Generous: a target still taking a flood of keys polls late.
    WaitUntil([&] { return !std::ifstream(cmd).good(); }, 20s);
    ASSERT_TRUE(WaitUntil([] { return TargetText().empty(); }, 20s))
        << "the target was not cleared";
}

void Shell(const std::string& cmd) {
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
}

// Playback control codes: 0x01, kind (with modifier bits), argument + 1.
std::string Key(uint8_t vk, uint8_t mods = 0) {
    return {'\x01', char(1 | mods), char(vk + 1)};
}
std::string KeyDown(uint8_t vk) {
    return {'\x01', '\x04', char(vk + 1)};
}
std::string PauseMs(uint8_t ms) {
    return {'\x01', '\x08', char(ms + 1)};
}

class X11Hook : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        BxSetMessageProc(Proc, nullptr);
        ASSERT_EQ(InitHooksDll(kMainWindow), 0);
        InstallKeyboardFilter(1);
        ASSERT_STREQ(BxBackendName(), "x11") << BxLastError();
        SetFSMState(BX_FSM_WATCHING);
    }
    static void TearDownTestSuite() {
        InstallKeyboardFilter(0);
        UninstallHooksDll(kMainWindow);
    }
    void SetUp() override {
        ASSERT_FALSE(TargetFile().empty()) << "run under tests/e2e/run_with_display.sh";
        gMessages.consume = -1;
        SetFSMState(BX_FSM_WATCHING);
        ClearTarget();
        gMessages.Clear();
    }
    static void Type(const std::string& playback) {
        AbortDisplayText(0);
        DisplayText(playback.c_str(), 0, 1, 0);
    }
};

TEST_F(X11Hook, ReportsTypedKeysWithTheirModifiers) {
    Shell("xdotool key a shift+b ctrl+alt+k F5 Return");
    ASSERT_TRUE(gMessages.WaitFor(BX_MSG_KEY, 0x0D, BX_KEYFLAG_UP));
    std::vector<uintptr_t> downs, ups;
    for (const TMessage& m : gMessages.Snapshot()) {
        const uint8_t key = m.w & 0xFF;
        if (m.msg != BX_MSG_KEY || key == 0x10 || key == 0x11 || key == 0x12) continue;
        (m.flags == BX_KEYFLAG_DOWN ? downs : ups).push_back(m.w);
    }
    const std::vector<uintptr_t> expected = {'A', 0x2000 | 'B', 0xC000 | 'K', 0x74, 0x0D};
    EXPECT_EQ(downs, expected);
    // xdotool lets go of the modifiers first, so only the keys are compared.
    ASSERT_EQ(ups.size(), expected.size());
    for (size_t i = 0; i < ups.size(); ++i)
        EXPECT_EQ(ups[i] & 0xFF, expected[i] & 0xFF);
    EXPECT_TRUE(WaitText("aB\n"));
    // The calling window is the target's, not ours.
    EXPECT_NE(GetCallingHwnd(), 0u);
    EXPECT_EQ(GetCallingHwnd(), BxFocusWindow());
}

TEST_F(X11Hook, TypesPlaybackTextExactlyAndNeverReportsIt) {
    const struct {
        std::string playback;
        std::string expected; // UTF-8
    } cases[] = {
        {"Hello, World!\r\n", "Hello, World!\n"},
        {"tab\there\r\nnext line", "tab\there\nnext line"},
        // Characters a US layout lacks go through a remapped spare key.
        {"\xE9\x80 \xC9\xFC \x80\xE9",
         "\xC3\xA9\xE2\x82\xAC \xC3\x89\xC3\xBC \xE2\x82\xAC\xC3\xA9"},
        {"ax" + Key(0x25, 0x20) + "y", "ay"}, // Shift+Left selects the x
        // A modifier named alone is held from its key-down to its key-up.
        {"a" + std::string{'\x01', '\x24', '\x01'} + "bc" + std::string{'\x01', '\x26', '\x01'} +
             "d",
         "aBCd"},
        {"ab" + PauseMs(30) + "cd" + Key(0x08), "abc"},
        {"MiXeD CaSe ~!@#$%^&*()_+{}|:\"<>?", "MiXeD CaSe ~!@#$%^&*()_+{}|:\"<>?"},
    };
    for (const auto& c : cases) {
        ClearTarget();
        Type(c.playback);
        EXPECT_TRUE(WaitText(c.expected)) << "got \"" << TargetText() << "\"";
    }
    EXPECT_GT(GetAutoKeyCount(), 0u);
    // Reports come in order: one for a key typed afterwards ends any for the playback.
    Shell("xdotool key F12");
    ASSERT_TRUE(gMessages.WaitFor(BX_MSG_KEY, 0x7B, BX_KEYFLAG_UP));
    for (const TMessage& m : gMessages.Snapshot())
        if (m.msg == BX_MSG_KEY) {
            EXPECT_EQ(m.w & 0xFF, 0x7Bu) << "own key reported: " << m.w;
        }
}

// Windows-1252 text of the characters 0xC0.. (all off a US layout) and
// the UTF-8 the target shows for it.
void OffLayout(int count, std::string& ansi, std::string& utf8) {
    for (int i = 0; i < count; ++i) {
        const auto c = static_cast<unsigned char>(0xC0 + i);
        ansi += static_cast<char>(c);
        utf8 += static_cast<char>(0xC0 | (c >> 6));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
}

TEST_F(X11Hook, TypesMoreDifferentCharactersThanThereAreSpareKeys) {
    // The server has some 20 keys without symbols: the first characters are
    // mapped before the text starts, the rest take keys over as they come.
    std::string ansi, utf8;
    OffLayout(32, ansi, utf8);
    Type(ansi + ansi.substr(0, 4) + "ok");
    EXPECT_TRUE(WaitText(utf8 + utf8.substr(0, 8) + "ok")) << "got \"" << TargetText() << "\"";
}

// The record a typing session keeps on the root window: id and remapped keys.
std::vector<long> TypingRecord(Display* dpy) {
    const Atom atom =
        XInternAtom(dpy, ("_BREVIX_TYPING_" + std::to_string(getuid())).c_str(), False);
    Atom type = 0;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* raw = nullptr;
    std::vector<long> out;
    if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), atom, 0, 300, False, AnyPropertyType, &type,
                           &format, &n, &after, &raw) == Success &&
        raw && format == 32)
        out.assign(reinterpret_cast<long*>(raw), reinterpret_cast<long*>(raw) + n);
    if (raw) XFree(raw);
    return out;
}

// Every key's symbols and key type as XKB has them.
std::vector<std::vector<unsigned long>> Keymap(Display* dpy) {
    std::vector<std::vector<unsigned long>> out;
    XkbDescPtr xkb = XkbGetMap(dpy, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (!xkb) return out;
    for (int k = xkb->min_key_code; k <= xkb->max_key_code; ++k) {
        std::vector<unsigned long> key{XkbKeyGroupInfo(xkb, k)};
        if (XkbKeyNumGroups(xkb, k) > 0) key.push_back(XkbKeyGroupsWidth(xkb, k));
        for (int g = 0; g < XkbKeyNumGroups(xkb, k); ++g)
            key.push_back(XkbKeyKeyTypeIndex(xkb, k, g));
        for (int i = 0; i < XkbKeyNumSyms(xkb, k); ++i)
            key.push_back(XkbKeySymsPtr(xkb, k)[i]);
        out.push_back(std::move(key));
    }
    XkbFreeKeyboard(xkb, 0, True);
    return out;
}

// Remapped keys go back at the first key or click after they are due.
bool WaitRestored(Display* dpy) {
    for (int i = 0; i < 40; ++i) {
        if (TypingRecord(dpy).empty()) return true;
        if (std::system("xdotool key shift") != 0) return false;
        std::this_thread::sleep_for(500ms);
    }
    return false;
}

TEST_F(X11Hook, RemappedKeysAreRecordedKeptForTheNextTextAndRestoredAfter) {
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    std::string ansi, utf8;
    OffLayout(3, ansi, utf8);
    std::string text, expected;
    for (int i = 0; i < 50; ++i) {
        text += ansi + "x";
        expected += utf8 + "x";
    }
    // Keys an earlier test remapped go back first: they would serve this text.
    ASSERT_TRUE(WaitRestored(dpy));
    const auto before = Keymap(dpy);
    std::thread typing([&] { Type(text); });
    std::vector<long> record;
    EXPECT_TRUE(WaitUntil([&] {
        record = TypingRecord(dpy);
        return record.size() == 4;
    })) << "no record of the three remapped keys";
    typing.join();
    ASSERT_EQ(record.size(), 4u);
    EXPECT_EQ(record[0], static_cast<long>(getpid()));
    EXPECT_TRUE(WaitText(expected)) << [&] {
        const std::string got = TargetText();
        size_t i = 0;
        while (i < got.size() && i < expected.size() && got[i] == expected[i])
            ++i;
        return "got " + std::to_string(got.size()) + " bytes of " +
               std::to_string(expected.size()) + ", first difference at " + std::to_string(i) +
               ": \"" + got.substr(i > 8 ? i - 8 : 0, 40) + "\"";
    }();
    // The next text, once the session has ended, wants the same characters:
    // the keys still carry them, and no client is told of a new key map.
    int xkbOpcode = 0, xkbEvent = 0, xkbError = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    ASSERT_TRUE(XkbQueryExtension(dpy, &xkbOpcode, &xkbEvent, &xkbError, &major, &minor));
    XkbSelectEvents(dpy, XkbUseCoreKbd, XkbMapNotifyMask, XkbMapNotifyMask);
    std::this_thread::sleep_for(400ms);
    ClearTarget();
    XSync(dpy, True);
    Type(ansi + "y");
    EXPECT_TRUE(WaitText(utf8 + "y")) << "got \"" << TargetText() << "\"";
    XSync(dpy, False);
    int mapChanges = 0;
    while (XPending(dpy)) {
        XEvent ev;
        XNextEvent(dpy, &ev);
        if (ev.type == xkbEvent && reinterpret_cast<XkbEvent*>(&ev)->any.xkb_type == XkbMapNotify)
            ++mapChanges;
    }
    EXPECT_EQ(mapChanges, 0) << "the keys were mapped again";
    EXPECT_EQ(TypingRecord(dpy), record);
    // Unused for a few seconds, the keys go back, but only once something
    // happens: an idle program causes no key map change.
    std::this_thread::sleep_for(6s);
    EXPECT_EQ(TypingRecord(dpy), record) << "the keys went back with nothing happening";
    EXPECT_TRUE(WaitRestored(dpy));
    for (size_t i = 1; i < record.size(); ++i) {
        int per = 0;
        KeySym* syms = XGetKeyboardMapping(dpy, static_cast<KeyCode>(record[i]), 1, &per);
        EXPECT_TRUE(syms && syms[0] == NoSymbol) << "key " << record[i] << " still mapped";
        if (syms) XFree(syms);
    }
    // The keys between the remapped ones were sent back as they were.
    const auto after = Keymap(dpy);
    ASSERT_EQ(after.size(), before.size());
    for (size_t k = 0; k < after.size(); ++k)
        EXPECT_EQ(after[k], before[k]) << "key " << k << " from the first changed";
    XCloseDisplay(dpy);
}

TEST_F(X11Hook, GrabbedKeysAreReportedButDoNotReachTheTarget) {
    const uint16_t grabbed[] = {0x2000 | 'Z'};
    BxSetGrabbedKeys(grabbed, 1);
    Shell("xdotool key shift+z");
    EXPECT_TRUE(gMessages.WaitFor(BX_MSG_KEY, 0x2000 | 'Z', BX_KEYFLAG_DOWN));
    Shell("xdotool key q");
    EXPECT_TRUE(WaitText("q"));
    BxSetGrabbedKeys(nullptr, 0);
    Shell("xdotool key shift+z");
    EXPECT_TRUE(WaitText("qZ"));
}

TEST_F(X11Hook, ConsumedDelimiterThatReachedTheTargetIsErasedFirst) {
    gMessages.consume = ' ';
    // The second text follows the first closely: inside its typing session.
    for (const std::string word : {"ab", "cd"}) {
        const std::string before = TargetText();
        gMessages.Clear();
        Shell("xdotool type '" + word + " '");
        ASSERT_TRUE(gMessages.WaitFor(BX_MSG_KEY, ' ', BX_KEYFLAG_PERFORM));
        Type("!");
        EXPECT_TRUE(WaitText(before + word + "!")) << "got \"" << TargetText() << "\"";
    }
}

bool CapsLocked(Display* dpy) {
    XkbStateRec st;
    return XkbGetState(dpy, XkbUseCoreKbd, &st) == Success && (st.locked_mods & LockMask);
}

// The typist learns of locks from the server's notices, not by asking before
// each text: a lock set or cleared between two texts must be seen by the next.
TEST_F(X11Hook, CapsLockChangedBetweenTextsIsFollowed) {
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    ASSERT_FALSE(CapsLocked(dpy));
    // Texts typed close together share a session, which reads no locks.
    const auto sessionEnds = [] { std::this_thread::sleep_for(300ms); };
    Type("Ab");
    ASSERT_TRUE(WaitText("Ab"));
    sessionEnds();
    Shell("xdotool key Caps_Lock");
    ASSERT_TRUE(WaitUntil([&] { return CapsLocked(dpy); }));
    Type("Cd");
    EXPECT_TRUE(WaitText("AbCd")) << "got \"" << TargetText() << "\"";
    EXPECT_TRUE(WaitUntil([&] { return CapsLocked(dpy); })) << "the lock was not set back";
    sessionEnds();
    Shell("xdotool key Caps_Lock");
    ASSERT_TRUE(WaitUntil([&] { return !CapsLocked(dpy); }));
    Type("Ef");
    EXPECT_TRUE(WaitText("AbCdEf")) << "got \"" << TargetText() << "\"";
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(CapsLocked(dpy)) << "a lock the user cleared came back after a text";
    XCloseDisplay(dpy);
}

// The focus the later looks compare with is asked for at the start and
// fetched only when the first look is due.
TEST_F(X11Hook, SafeModeStopsATextWhenTheFocusMovesAway) {
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    Window before = 0;
    int revert = 0;
    XGetInputFocus(dpy, &before, &revert);
    const Window other = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 700, 40, 80, 80, 0, 0, 0);
    XMapRaised(dpy, other);
    XSync(dpy, False);
    std::this_thread::sleep_for(200ms);
    XSetInputFocus(dpy, before, RevertToParent, CurrentTime);
    XSync(dpy, False);
    EnableSafeMode(1);
    ResetKeyCount();
    std::thread typing([&] { Type("abc" + PauseMs(250) + "def"); });
    EXPECT_TRUE(WaitText("abc"));
    XSetInputFocus(dpy, other, RevertToParent, CurrentTime);
    XSync(dpy, False);
    typing.join();
    EXPECT_EQ(GetAutoKeyCount(), 3u) << "typing went on in the window that took the focus";
    XSetInputFocus(dpy, before, RevertToParent, CurrentTime);
    XDestroyWindow(dpy, other);
    XSync(dpy, False);
    XCloseDisplay(dpy);
    std::this_thread::sleep_for(100ms);
    Type("g");
    EXPECT_TRUE(WaitText("abcg")) << "the target did not get the focus back";
}

TEST_F(X11Hook, AbortLeavesNoKeyDown) {
    std::string text = KeyDown(0x10) + KeyDown('Q');
    for (int i = 0; i < 3000; ++i)
        text += "Ab\xE9";
    ResetKeyCount();
    std::thread typing([&] { Type(text); });
    // The server queues keys for the target far faster than it takes them:
    // the abort comes as soon as typing has started, and what the typist
    // sent is what it is judged by.
    EXPECT_TRUE(WaitUntil([] { return GetAutoKeyCount() > 0; }));
    AbortDisplayText(1);
    typing.join();
    AbortDisplayText(0);
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    EXPECT_TRUE(WaitUntil([&] {
        char keys[32];
        XQueryKeymap(dpy, keys);
        return std::all_of(std::begin(keys), std::end(keys), [](char k) { return k == 0; });
    })) << "a key is still down";
    XCloseDisplay(dpy);
    // Keys the server queued for the target before the abort still arrive,
    // each remapped key making the target read its key map again, and while
    // they flood in the target's own timers (its file writes, its command
    // polls) wait. A marker typed now arrives after all of them: the next
    // test starts once the target shows it.
    Shell("xdotool key numbersign");
    EXPECT_TRUE(WaitUntil(
        [] {
            const std::string now = TargetText();
            return !now.empty() && now.back() == '#';
        },
        60s))
        << "the marker typed after the abort never reached the target";
    EXPECT_LT(GetAutoKeyCount(), 2u + 3000u * 3u);
}

TEST_F(X11Hook, MouseClicksResetOnlyWhenEnabled) {
    // Clicked inside the target: a click on the desktop would take its focus.
    const std::string click = "xdotool search --pid \"$E2E_TARGET_PID\" --name 'Brevix e2e "
                              "target' mousemove --window %1 60 60 click 1";
    EnableMouseResets(1);
    Shell(click);
    EXPECT_TRUE(gMessages.WaitFor(BX_MSG_MOUSE_RESET, 0, 0));
    EnableMouseResets(0);
    gMessages.Clear();
    Shell(click);
    Shell("xdotool key F12"); // reported after any reset of the click
    ASSERT_TRUE(gMessages.WaitFor(BX_MSG_KEY, 0x7B, BX_KEYFLAG_UP));
    for (const TMessage& m : gMessages.Snapshot())
        EXPECT_NE(m.msg, static_cast<uint32_t>(BX_MSG_MOUSE_RESET));
}

TEST_F(X11Hook, LayoutSnapshotAnswersKeyQuestions) {
    bxhook::TLayoutSnapshot us;
    ASSERT_TRUE(bxhook::X11LayoutSnapshot(us));
    const struct {
        unsigned char c;
        uint8_t vk, shift;
    } cases[] = {{'a', 'A', 0},  {'A', 'A', 1},  {'1', '1', 0},  {'!', '1', 1}, {';', 0xBA, 0},
                 {':', 0xBA, 1}, {' ', 0x20, 0}, {'~', 0xC0, 1}, {0xE9, 0, 0},  {0x80, 0, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(us.vkey[c.c], c.vk) << c.c;
        EXPECT_EQ(us.shift[c.c], c.shift) << c.c;
    }
    EXPECT_EQ(us.name[0xBA], ";");
    EXPECT_EQ(us.name[0xDE], "'");
    EXPECT_EQ(us.name[0xBB], "=");
}

TEST_F(X11Hook, TypesAndReportsThroughAnotherLayout) {
    Shell("setxkbmap de");
    std::this_thread::sleep_for(300ms);
    // German: z and y swapped, @ and the euro on AltGr, sharp s on its own key.
    Type("zy@\x80\xDF");
    EXPECT_TRUE(WaitText("zy@\xE2\x82\xAC\xC3\x9F")) << "got \"" << TargetText() << "\"";
    bxhook::TLayoutSnapshot de;
    ASSERT_TRUE(bxhook::X11LayoutSnapshot(de));
    EXPECT_EQ(de.vkey['@'], 'Q');
    EXPECT_EQ(de.shift['@'], 6); // AltGr is Ctrl+Alt
    EXPECT_EQ(de.vkey['z'], 'Z');
    // Keys the US layout has for punctuation go by position: u-umlaut sits
    // on the US "[" key, o-umlaut on the US ";" key.
    EXPECT_EQ(de.vkey[0xFC], 0xDB);
    EXPECT_EQ(de.name[0xBA], "\xC3\xB6");
    gMessages.Clear();
    Shell("xdotool key y");
    EXPECT_TRUE(gMessages.WaitFor(BX_MSG_KEY, 'Y', BX_KEYFLAG_DOWN));
    Shell("setxkbmap us");
    std::this_thread::sleep_for(300ms);
}

} // namespace
