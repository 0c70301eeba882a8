// Dictionary figures for 100,000 entries (keywords 3-12 characters, texts
// 20-400 bytes): loading sorted and shuffled files, saving, lookups, and the
// resident memory of a loaded dictionary against the file size.
#include "dictionary/Dict.h"
#include "platform/HeapPages.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <numeric>
#include <random>
#include <string>

namespace {

constexpr int kEntries = 100000;

struct Fixture {
    QTemporaryDir dir;
    QString sortedPath, shuffledPath;
    QByteArrayList keywords;
    QByteArrayList prefixes;

    Fixture() {
        std::mt19937 rng(42);
        auto letters = [&](int n) {
            QByteArray s(n, 'a');
            for (char& c : s)
                c = static_cast<char>('a' + rng() % 26);
            return s;
        };
        // Records in random order first; loading sorts them.
        QSet<QByteArray> seen;
        QByteArray shuffled = TDictionaryHeader().Scrambled();
        QBuffer out(&shuffled);
        out.open(QIODevice::Append);
        while (seen.size() < kEntries) {
            TDictionaryItem e;
            e.SetKeyword(letters(3 + rng() % 10));
            if (seen.contains(e.GetKeyword())) continue;
            seen.insert(e.GetKeyword());
            e.SetText(letters(20 + rng() % 381));
            if (rng() % 2) e.SetDescription(letters(10 + rng() % 30));
            e.WriteToStream(out);
        }
        out.close();
        shuffledPath = dir.filePath("shuffled.bxd");
        QFile f(shuffledPath);
        f.open(QIODevice::WriteOnly);
        f.write(shuffled);
        f.close();

        TDictionaryList list;
        DictFile::Load(shuffledPath, list);
        sortedPath = dir.filePath("sorted.bxd");
        DictFile::Save(sortedPath, list);
        for (int i = 0; i < list.Count(); ++i)
            keywords << list.GetKeywordAt(i);
        for (int i = 0; i < 1000; ++i) {
            const QByteArray& k = keywords[rng() % keywords.size()];
            prefixes << k.left(1 + rng() % k.size());
        }
    }
};

Fixture& Data() {
    static Fixture f;
    return f;
}

// Heap in use: resident pages alone would hide memory freed earlier and reused.
double HeapKb() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd) / 1024.0;
}

void BM_LoadSortedFile(benchmark::State& state) {
    Data();
    for (auto _ : state) {
        auto* list = new TDictionaryList;
        DictFile::Load(Data().sortedPath, *list);
        benchmark::DoNotOptimize(list->Count());
        state.PauseTiming(); // freeing is not loading
        delete list;
        state.ResumeTiming();
    }
}

// Opening the dictionary again (Refresh, another file): the entries in memory
// are let go of as part of it, as the program does.
void BM_ReloadInPlace(benchmark::State& state) {
    TDictionaryList list;
    DictFile::Load(Data().sortedPath, list);
    for (auto _ : state) {
        DictFile::Load(Data().sortedPath, list);
        benchmark::DoNotOptimize(list.Count());
    }
}

// The first load of a process, as at start-up, on a heap that has not yet
// freed a dictionary: this program run again with --load-once, which prints
// the seconds its one load took.
constexpr char kLoadOnce[] = "--load-once=";
std::string gSelf;

int LoadOnce(const char* path) {
    const auto start = std::chrono::steady_clock::now();
    TDictionaryList list;
    DictFile::Load(QString::fromLocal8Bit(path), list);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.9f %d\n", seconds, list.Count());
    return 0;
}

void BM_LoadSortedFileFirstInProcess(benchmark::State& state) {
    const std::string command =
        gSelf + " " + kLoadOnce + Data().sortedPath.toLocal8Bit().toStdString();
    for (auto _ : state) {
        FILE* child = popen(command.c_str(), "r");
        double seconds = 0;
        int count = 0;
        const bool ok = child && std::fscanf(child, "%lf %d", &seconds, &count) == 2;
        if (child) pclose(child);
        if (!ok || count != kEntries) {
            state.SkipWithError("the loading process failed");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

void BM_LoadShuffledFile(benchmark::State& state) {
    Data();
    for (auto _ : state) {
        auto* list = new TDictionaryList;
        DictFile::Load(Data().shuffledPath, *list);
        benchmark::DoNotOptimize(list->Count());
        state.PauseTiming(); // freeing is not loading
        delete list;
        state.ResumeTiming();
    }
}

void BM_SaveFile(benchmark::State& state) {
    TDictionaryList list;
    DictFile::Load(Data().sortedPath, list);
    const QString path = Data().dir.filePath("saved.bxd");
    for (auto _ : state)
        DictFile::Save(path, list);
}

void BM_SaveToMemory(benchmark::State& state) {
    TDictionaryList list;
    DictFile::Load(Data().sortedPath, list);
    for (auto _ : state) {
        QByteArray data;
        data.reserve(list.TotalChars() + 16 * qint64(list.Count()) + 4096); // as DictFile::Save
        QBuffer b(&data);
        b.open(QIODevice::WriteOnly);
        list.SaveToStream(b);
        benchmark::DoNotOptimize(data.size());
    }
}

void BM_IndexOfKeyword(benchmark::State& state) {
    TDictionaryList list;
    DictFile::Load(Data().sortedPath, list);
    const QByteArrayList& keys = Data().keywords;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(list.IndexOfKeyword(keys[i]));
        i = (i + 7919) % keys.size();
    }
}

void BM_FindNearest(benchmark::State& state) {
    TDictionaryList list;
    DictFile::Load(Data().sortedPath, list);
    const QByteArrayList& prefixes = Data().prefixes;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(list.FindNearest(prefixes[i]));
        i = (i + 1) % prefixes.size();
    }
}

void BM_AddInOrder(benchmark::State& state) {
    const QByteArrayList& keys = Data().keywords;
    for (auto _ : state) {
        TDictionaryList list;
        for (const QByteArray& k : keys) {
            auto* e = new TDictionaryItem;
            e->SetKeyword(k);
            list.Add(e);
        }
        benchmark::DoNotOptimize(list.Count());
    }
}

// Memory taken by one loaded dictionary, against its file size.
void BM_Memory(benchmark::State& state) {
    const double fileKb = QFileInfo(Data().sortedPath).size() / 1024.0;
    double usedKb = 0;
    for (auto _ : state) {
        const double before = HeapKb();
        auto* list = new TDictionaryList;
        DictFile::Load(Data().sortedPath, *list);
        usedKb = HeapKb() - before;
        state.PauseTiming();
        delete list;
        state.ResumeTiming();
    }
    state.counters["file_MB"] = fileKb / 1024.0;
    state.counters["heap_MB"] = usedKb / 1024.0;
    state.counters["ratio"] = usedKb / fileKb;
}

} // namespace

BENCHMARK(BM_LoadSortedFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReloadInPlace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadSortedFileFirstInProcess)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadShuffledFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveToMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddInOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexOfKeyword)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindNearest)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Memory)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    RestartWithHugeHeapPages(argv); // the heap as the program has it
    if (argc == 2 && std::strncmp(argv[1], kLoadOnce, sizeof kLoadOnce - 1) == 0)
        return LoadOnce(argv[1] + sizeof kLoadOnce - 1);
    gSelf = argv[0];
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
