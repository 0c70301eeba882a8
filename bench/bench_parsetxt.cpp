// Parse throughput: plain text, and tag-dense text with one tag every 10 bytes.
#include "tags/ParseTxt.h"

#include <benchmark/benchmark.h>

namespace {

void Run(benchmark::State& state, const QByteArray& text) {
    for (auto _ : state) {
        QByteArray stream = text;
        ParseTextToType(stream, false);
        benchmark::DoNotOptimize(stream.constData());
    }
    state.SetBytesProcessed(state.iterations() * (text.size() - 1));
}

void BM_ParsePlain(benchmark::State& state) {
    const QByteArray line = "The quick brown fox jumps over the lazy dog.\r\n";
    Run(state, line.repeated((1 << 20) / line.size()) + '\0');
}
BENCHMARK(BM_ParsePlain);

void BM_ParseTagDense(benchmark::State& state) {
    // Each piece is ten bytes, a tag included.
    const QByteArray pieces[] = {"{@KEY Tab}", "ab{@CR}cde", "x{@REM y}z", "{@KEY a 2}",
                                 "{@PAUSE}xy", "{@PAUSE 1}", "{@SHORTDATE}"};
    QByteArray text;
    while (text.size() < (1 << 20))
        for (const QByteArray& p : pieces) text += p;
    Run(state, text + '\0');
}
BENCHMARK(BM_ParseTagDense);

} // namespace

BENCHMARK_MAIN();
