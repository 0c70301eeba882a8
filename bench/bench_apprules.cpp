// What the application rules and the password check add to every key: the
// answer for the window the user keeps typing in (kept), for a window seen
// for the first time (matched against the default rules), and the whole
// gate as the main window asks it, with the password state the hook library
// keeps. The desktop's answers are played by the benchmark.
#include "typing/AppContext.h"

#include <benchmark/benchmark.h>

namespace {

TAppContext Context() {
    TAppContext c;
    c.SetRules(TAppRules::Defaults());
    c.SetIdentify([](BxHwnd) {
        return TAppIdentity{QStringLiteral("Mousepad"),
                            QStringLiteral("mousepad"),
                            {QStringLiteral("mousepad")},
                            4242};
    });
    c.SetPasswordFocus([] { return uint32_t(0); });
    return c;
}

void BM_GateSameWindow(benchmark::State& state) {
    TAppContext c = Context();
    for (auto _ : state)
        benchmark::DoNotOptimize(c.FollowsKeys(0x1200007));
}
BENCHMARK(BM_GateSameWindow);

void BM_GateInAPasswordField(benchmark::State& state) {
    TAppContext c = Context();
    c.SetPasswordFocus([] { return uint32_t(4242); });
    for (auto _ : state)
        benchmark::DoNotOptimize(c.FollowsKeys(0x1200007));
}
BENCHMARK(BM_GateInAPasswordField);

// The password state as the hook library keeps it (no bus here: the
// watcher's thread ends at once, the state stays unknown).
void BM_GateWithTheLibrarysPasswordState(benchmark::State& state) {
    TAppContext c = Context();
    c.SetPasswordFocus(&BxPasswordFocusProcess);
    for (auto _ : state)
        benchmark::DoNotOptimize(c.FollowsKeys(0x1200007));
}
BENCHMARK(BM_GateWithTheLibrarysPasswordState);

// Every key in another window: the kept answers never serve.
void BM_GateNewWindowEveryKey(benchmark::State& state) {
    TAppContext c = Context();
    BxHwnd w = 0x1000000;
    for (auto _ : state)
        benchmark::DoNotOptimize(c.FollowsKeys(++w));
}
BENCHMARK(BM_GateNewWindowEveryKey);

} // namespace

BENCHMARK_MAIN();
