// Typing throughput into the Tk target of the end-to-end desktop, against
// `xdotool type --delay 0` on the same text. Run it inside the desktop:
//   tests/e2e/run_with_display.sh build/bin/bench_typing
#include "hook/HookApi.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

std::string Target() {
    const char* f = std::getenv("E2E_TARGET_OUT");
    return f ? f : "";
}

std::string TargetText() {
    std::ifstream in(Target(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void ClearTarget() {
    const std::string cmd = Target() + ".cmd";
    { std::ofstream(cmd) << "clear\n"; }
    while (std::ifstream(cmd).good())
        std::this_thread::sleep_for(5ms);
    while (!TargetText().empty())
        std::this_thread::sleep_for(5ms);
}

// Letters of both cases, digits, punctuation and spaces: one line.
std::string Sample(size_t n) {
    static const std::string words[] = {"The",    "quick",  "brown", "fox",        "jumps",  "over",
                                        "the",    "LAZY",   "dog;",  "0123456789", "[x]=y,", "z.",
                                        "Hello,", "World!", "a-b_c", "(q)?"};
    std::string s;
    for (size_t i = 0; s.size() < n; ++i)
        s += words[i % 16] + ' ';
    s.resize(n);
    if (s.back() == ' ') s.back() = '.';
    return s;
}

// Waits until the target holds the text or has not changed for a long while
// (a flooded Tk widget writes its file rarely); returns the
// number of characters lost or wrong.
size_t WaitAndCount(const std::string& expected, Clock::time_point& end) {
    std::string last;
    auto changed = Clock::now();
    for (;;) {
        const std::string now = TargetText();
        if (now == expected) {
            end = Clock::now();
            return 0;
        }
        if (now != last) {
            last = now;
            changed = Clock::now();
        } else if (Clock::now() - changed > 10s) {
            end = changed;
            size_t bad = expected.size() > now.size() ? expected.size() - now.size() : 0;
            for (size_t i = 0; i < std::min(now.size(), expected.size()); ++i)
                bad += now[i] != expected[i];
            return bad;
        }
        std::this_thread::sleep_for(1ms);
    }
}

double gBrevixRate = 0, gXdotoolRate = 0;

bool InitHook() {
    static const bool ok = [] {
        if (Target().empty() || InitHooksDll(0x7777) != 0) return false;
        InstallKeyboardFilter(1);
        SetFSMState(BX_FSM_SUSPENDED);
        SetPause(0, 1000000);
        return std::string(BxBackendName()) == "x11";
    }();
    return ok;
}

template <class TypeFn> void Measure(benchmark::State& state, TypeFn type, double& rate) {
    const std::string text = Sample(static_cast<size_t>(state.range(0)));
    size_t lost = 0;
    double seconds = 0, sending = 0;
    for (auto _ : state) {
        ClearTarget();
        const auto start = Clock::now();
        type(text);
        sending += std::chrono::duration<double>(Clock::now() - start).count();
        Clock::time_point end;
        lost += WaitAndCount(text, end);
        const double s = std::chrono::duration<double>(end - start).count();
        seconds += s;
        state.SetIterationTime(s);
    }
    rate = text.size() * state.iterations() / seconds;
    state.counters["chars_per_s"] = rate;
    state.counters["lost"] = static_cast<double>(lost);
    // How fast the keys left the typist, whatever the target makes of them.
    state.counters["sent_per_s"] = text.size() * state.iterations() / sending;
}

void BM_BrevixTyping(benchmark::State& state) {
    if (!InitHook()) {
        state.SkipWithError("run inside tests/e2e/run_with_display.sh (no x11 hook)");
        return;
    }
    Measure(
        state,
        [](const std::string& t) {
            AbortDisplayText(0);
            DisplayText(t.c_str(), 0, 1, 0);
        },
        gBrevixRate);
}

void BM_XdotoolTyping(benchmark::State& state) {
    if (Target().empty()) {
        state.SkipWithError("run inside tests/e2e/run_with_display.sh");
        return;
    }
    const std::string file = Target() + ".bench";
    Measure(
        state,
        [&](const std::string& t) {
            { std::ofstream(file) << t; }
            if (std::system(("xdotool type --delay 0 --file '" + file + "'").c_str()) != 0)
                std::fprintf(stderr, "xdotool failed\n");
        },
        gXdotoolRate);
}

BENCHMARK(BM_BrevixTyping)
    ->Arg(400)
    ->Arg(4000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XdotoolTyping)
    ->Arg(4000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    if (gBrevixRate > 0 && gXdotoolRate > 0)
        std::printf("Brevix / xdotool typing speed: %.2f\n", gBrevixRate / gXdotoolRate);
    benchmark::Shutdown();
    UninstallHooksDll(0x7777);
    return 0;
}
