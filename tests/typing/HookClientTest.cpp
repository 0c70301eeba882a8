// The bridge between the hook library's threads and the window.
#include "typing/HookClient.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

TEST(THooksTest, ClosingAnswersAKeyThatWaitsForTheWindow) {
    // The window closes while the library's key watcher waits for it to
    // answer a key; closing then waits for that watcher to end, so the
    // answer must come without the window.
    THooks& hooks = THooks::Instance();
    const BxHwnd main = 0x5151;
    ASSERT_TRUE(hooks.Init(main));
    InstallKeyboardFilter(1);
    hooks.SetFSM(BX_FSM_WATCHING);
    std::atomic<int> handled{0};
    hooks.RegisterWindow(main, [&](uint32_t, uintptr_t, intptr_t) -> intptr_t {
        ++handled;
        return 0;
    });
    std::atomic<bool> done{false};
    std::thread watcher([&] {
        BxVirtualKey('A', 1);
        done = true;
    });
    // This thread handles no events meanwhile: the key waits.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(done);
    hooks.Shutdown(main);
    watcher.join();
    EXPECT_TRUE(done);
    QCoreApplication::processEvents();
    EXPECT_EQ(handled, 0) << "a key answered after closing";
    hooks.UnregisterWindow(main);
}

} // namespace

int main(int argc, char** argv) {
    // A lock of our own: other tests hold the library in parallel.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    qputenv("BREVIX_HOOK", "virtual");
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
