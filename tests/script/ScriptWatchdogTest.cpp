// Scripts that keep the program from answering are cancelled; the interpreter
// stays usable afterwards.
#include "TclTestSupport.h"

#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

const QByteArray kTooLong = "*** Script cancelled: it kept Brevix from answering for more than "
                            "1 seconds";

class ScriptWatchdog : public testing::Test, public TTclHostFixture {
protected:
    void StartWatched(const QByteArray& startup = "") {
        Tcl.SetTimeLimit(1);
        Start(startup);
        ASSERT_TRUE(Tcl.IsLoaded());
        if (!Tcl.CanCancel()) GTEST_SKIP() << "this Tcl cannot cancel scripts";
    }
    void ExpectUsable() {
        EXPECT_TRUE(Tcl.Eval("expr {6 * 7}"));
        EXPECT_EQ(Tcl.GetResult(), "42");
        EXPECT_FALSE(Tcl.IsBusy());
    }
};

TEST_F(ScriptWatchdog, CancelsEndlessLoopsEvenInsideCatch) {
    StartWatched();
    for (const char* script : {"while 1 {}", "while 1 {catch {while 1 {}}}",
                               "proc spin {} {while 1 {incr ::n}}; spin", "vwait ::never"}) {
        EXPECT_FALSE(Tcl.Eval(script)) << script;
        EXPECT_EQ(Tcl.GetResult(), kTooLong) << script;
        ExpectUsable();
    }
}

TEST_F(ScriptWatchdog, DoesNotCountTimeInAModalWindow) {
    StartWatched();
    // A modal window runs the event loop for as long as the user takes.
    Tcl.CreateCommand("modal", [](TTclInterface&, const QList<QByteArray>&, QByteArray&) {
        QEventLoop loop;
        QTimer::singleShot(2500, &loop, &QEventLoop::quit);
        loop.exec();
        return TTclInterface::TclOk;
    });
    EXPECT_TRUE(Tcl.Eval("modal; set r done"));
    EXPECT_EQ(Tcl.GetResult(), "done");
    // Scripts that run one after the other without the event loop add up.
    Tcl.CreateCommand("inner", [](TTclInterface& tcl, const QList<QByteArray>&, QByteArray& r) {
        const bool ok = tcl.Eval("after 300");
        r = tcl.GetResult();
        return ok ? TTclInterface::TclOk : TTclInterface::TclError;
    });
    EXPECT_FALSE(Tcl.Eval("while 1 {inner}"));
    EXPECT_EQ(Tcl.GetResult(), kTooLong);
    ExpectUsable();
}

TEST_F(ScriptWatchdog, CancelsAnEndlessStartUpScript) {
    StartWatched("set ::before 1\nwhile 1 {}");
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_TRUE(Messages[0].Text.contains(QString::fromLatin1(kTooLong)))
        << Messages[0].Text.toStdString();
    EXPECT_EQ(Tcl.GetVar("::before"), "1");
    ExpectUsable();
}

TEST_F(ScriptWatchdog, ARequestToEndCancelsTheRunningScript) {
    StartWatched();
    Tcl.SetTimeLimit(0); // no time limit: only the request ends it
    std::thread session([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        TScriptWatchdog::RequestTermination();
    });
    EXPECT_FALSE(Tcl.Eval("while 1 {}"));
    session.join();
    EXPECT_EQ(Tcl.GetResult(), "*** Script cancelled: Brevix is closing");
    TScriptWatchdog::TerminationHandled();
    ExpectUsable();
}

} // namespace
