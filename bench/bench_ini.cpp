// Settings file reading and writing at 1k, 10k and 100k keys: one section
// holding them all, and one key in each of as many sections.
#include "platform/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QTemporaryDir& Dir() {
    static QTemporaryDir dir;
    return dir;
}

// "[S]" then "KeyN=value N" lines, or "[SN]" sections of one key each.
QByteArray IniText(int keys, bool sectionPerKey) {
    QByteArray out;
    if (!sectionPerKey) out += "[Preferences]\r\n";
    for (int i = 0; i < keys; ++i) {
        if (sectionPerKey) out += "[Section" + QByteArray::number(i) + "]\r\n";
        out += "Key" + QByteArray::number(i) + "=value " + QByteArray::number(i) + "\r\n";
    }
    return out;
}

QString WriteSample(int keys, bool sectionPerKey) {
    const QString path = Dir().filePath(QStringLiteral("read%1%2.ini")
                                            .arg(keys)
                                            .arg(sectionPerKey ? QStringLiteral("s") : QString()));
    QFile f(path);
    if (!f.exists() && f.open(QIODevice::WriteOnly)) f.write(IniText(keys, sectionPerKey));
    return path;
}

void Read(benchmark::State& state, bool sectionPerKey) {
    const int keys = static_cast<int>(state.range(0));
    const QString path = WriteSample(keys, sectionPerKey);
    for (auto _ : state) {
        const TIniFile ini(path);
        benchmark::DoNotOptimize(ini.SectionExists(QStringLiteral("preferences")));
    }
    state.counters["keys"] = keys;
}

void BM_IniReadOneSection(benchmark::State& state) {
    Read(state, false);
}
void BM_IniReadSectionPerKey(benchmark::State& state) {
    Read(state, true);
}

// Every key written through the API, then the file saved.
void BM_IniWrite(benchmark::State& state) {
    const int keys = static_cast<int>(state.range(0));
    const QString path = Dir().filePath(QStringLiteral("write.ini"));
    std::vector<QString> names;
    for (int i = 0; i < keys; ++i)
        names.push_back(QStringLiteral("Key%1").arg(i));
    for (auto _ : state) {
        QFile::remove(path);
        TIniFile ini(path);
        for (const QString& k : names)
            ini.WriteString(QStringLiteral("Preferences"), k, k);
        if (!ini.UpdateFile()) state.SkipWithError("the file could not be written");
    }
    state.counters["keys"] = keys;
}

} // namespace

BENCHMARK(BM_IniReadOneSection)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IniReadSectionPerKey)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IniWrite)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
