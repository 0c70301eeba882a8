// What a spelling check costs: the first use (the dictionary loaded), one
// step of the dialog over a long text with tags, and the suggestions shown.
#include "tags/SpellSession.h"

#include <benchmark/benchmark.h>

namespace {
const QStringList kDirs = {QStringLiteral("/usr/share/hunspell")};

// About 100 KB: sentences with tags, one misspelt word in ten.
QString LongText() {
    QString text;
    for (int i = 0; text.size() < 100'000; ++i)
        text += QStringLiteral("Dear {@INPUT(name) Name}, the meeting is on {@LONGDATE} "
                               "in the %1 room.{@KEY ENTER}\r\n")
                    .arg(i % 10 == 0 ? QStringLiteral("confrence") : QStringLiteral("conference"));
    return text;
}

void BM_LoadDictionary(benchmark::State& state) {
    for (auto _ : state) {
        TSpellChecker checker(QStringLiteral("en_US"), kDirs);
        benchmark::DoNotOptimize(checker.Available());
    }
}
BENCHMARK(BM_LoadDictionary)->Unit(benchmark::kMillisecond);

// One Ignore in the dialog: from one misspelt word to the next.
void BM_NextMisspelt(benchmark::State& state) {
    TSpellChecker checker(QStringLiteral("en_US"), kDirs);
    const QString text = LongText();
    qsizetype from = 0;
    for (auto _ : state) {
        auto found = checker.NextMisspelt(text, from);
        from = found ? found->End() : 0;
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_NextMisspelt)->Unit(benchmark::kMicrosecond);

// The whole text walked with Ignore, every misspelt word visited.
void BM_WalkLongText(benchmark::State& state) {
    TSpellChecker checker(QStringLiteral("en_US"), kDirs);
    const QString text = LongText();
    for (auto _ : state) {
        TSpellSession session(checker, text);
        int words = 0;
        for (bool more = session.Next(); more; more = !session.Done()) {
            session.Ignore();
            ++words;
        }
        state.counters["misspelt"] = words;
    }
}
BENCHMARK(BM_WalkLongText)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Suggestions(benchmark::State& state) {
    TSpellChecker checker(QStringLiteral("en_US"), kDirs);
    for (auto _ : state)
        benchmark::DoNotOptimize(checker.Suggestions(QStringLiteral("confrence")));
}
BENCHMARK(BM_Suggestions)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
