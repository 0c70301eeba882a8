// The hook library on the virtual desktop: key reports, consumed keys and
// playback, without any X server.
#include "hook/HookApi.h"
#include "tests/hook/WaitUntil.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {
constexpr BxHwnd kMain = 0x7001;

// A main window that consumes the space after "hi" and types a greeting.
struct TMainWindow {
    std::string typed;
    int performs = 0;
    static intptr_t Proc(void* ctx, BxHwnd, uint32_t msg, uintptr_t w, intptr_t l, int) {
        auto* self = static_cast<TMainWindow*>(ctx);
        if (msg != BX_MSG_KEY) return 0;
        const int flags = static_cast<int>(l >> 16);
        const uint8_t key = w & 0xFF;
        if (flags == BX_KEYFLAG_DOWN) {
            if (key == 0x20 && self->typed == "HI") return 1;
            self->typed += static_cast<char>(key);
        } else if (flags == BX_KEYFLAG_PERFORM) {
            ++self->performs;
            DisplayText("\x01\x01\x09\x01\x01\x09hello ", 0, 1, 0); // two backspaces, then text
        }
        return 0;
    }
};

std::string Text(BxHwnd w) {
    char buf[256];
    BxVirtualGetText(w, buf, sizeof buf);
    return buf;
}

class VirtualHook : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("BREVIX_HOOK", "virtual", 1);
        // A folder of this process's own: ctest runs each case as a process,
        // side by side, and the library is held once per folder.
        static std::string dir = ::testing::TempDir() + "bxhook-" + std::to_string(getpid());
        mkdir(dir.c_str(), 0700);
        setenv("BREVIX_RUNTIME_DIR", dir.c_str(), 1);
        ASSERT_EQ(InitHooksDll(kMain), 0);
        InstallKeyboardFilter(1);
        ASSERT_STREQ(BxBackendName(), "virtual");
    }
    static void TearDownTestSuite() {
        InstallKeyboardFilter(0);
        UninstallHooksDll(kMain);
    }
};
} // namespace

TEST_F(VirtualHook, ConsumedDelimiterIsWithheldAndReplacementTyped) {
    TMainWindow main;
    BxSetMessageProc(&TMainWindow::Proc, &main);
    const BxHwnd target = BxVirtualCreateWindow(42);
    BxVirtualSetFocus(target);
    SetFSMState(BX_FSM_WATCHING);
    BxVirtualType("hi ");
    ASSERT_TRUE(BxWaitIdle(2000));
    EXPECT_EQ(main.performs, 1);
    EXPECT_EQ(Text(target), "hello ") << "the space never reached the window";
    EXPECT_EQ(GetCallingHwnd(), target);
    EXPECT_EQ(BxWindowProcess(target), 42u);
    EXPECT_GE(GetTotalKeyCount(), 3u);

    // Suspended: keys go to the window and are not reported.
    SetFSMState(BX_FSM_SUSPENDED);
    main.typed.clear();
    BxVirtualType("hi ");
    EXPECT_EQ(main.typed, "");
    EXPECT_EQ(Text(target), "hello hi ");
    BxSetMessageProc(nullptr, nullptr);
}

TEST_F(VirtualHook, SafeModeStopsWhenTheFocusMoves) {
    const BxHwnd a = BxVirtualCreateWindow(1), b = BxVirtualCreateWindow(2);
    BxVirtualSetFocus(a);
    // Eight characters, two pauses of 200 ms, eight more.
    const std::string text = std::string("abcdefgh") + "\x01\x08\xC9\x01\x08\xC9" + "ijklmnop";
    for (int safe = 1; safe >= 0; --safe) {
        BxVirtualSetText(a, "");
        BxVirtualSetText(b, "");
        BxVirtualSetFocus(a);
        EnableSafeMode(safe);
        AbortDisplayText(0);
        std::thread typing([&] { DisplayText(text.c_str(), 0, 1, 0); });
        EXPECT_TRUE(WaitUntil([&] { return Text(a) == "abcdefgh"; })); // then the pauses
        BxVirtualSetFocus(b);
        typing.join();
        EXPECT_EQ(Text(a), "abcdefgh");
        EXPECT_EQ(Text(b), safe ? "" : "ijklmnop") << "safe mode " << safe;
    }
    EnableSafeMode(1);
}

// While recording, every key goes to the recorder window as its own message,
// and nothing to the main window.
TEST_F(VirtualHook, RecordingPostsRecordKeysToTheRecorder) {
    struct TSeen {
        std::vector<std::pair<BxHwnd, uint32_t>> messages;
        static intptr_t Proc(void* ctx, BxHwnd hwnd, uint32_t msg, uintptr_t, intptr_t, int) {
            static_cast<TSeen*>(ctx)->messages.emplace_back(hwnd, msg);
            return 0;
        }
    } seen;
    constexpr BxHwnd kRecorder = 0x7002;
    BxSetMessageProc(&TSeen::Proc, &seen);
    BxVirtualSetFocus(BxVirtualCreateWindow(43));
    SetGetNextKeyHwnd(kRecorder);
    SetFSMState(BX_FSM_RECORDING);
    BxVirtualType("a");
    SetFSMState(BX_FSM_SUSPENDED);
    SetGetNextKeyHwnd(0);
    BxSetMessageProc(nullptr, nullptr);
    ASSERT_EQ(seen.messages.size(), 2u); // down and up
    for (const auto& [hwnd, msg] : seen.messages) {
        EXPECT_EQ(hwnd, kRecorder);
        EXPECT_EQ(msg, uint32_t(BX_MSG_RECORD_KEY));
    }
}
