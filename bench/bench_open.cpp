// From OpenDictionary of a 100,000-entry file to the grid painted.
#include "dictionary/Dict.h"
#include "shell/Mainfrm.h"
#include "tests/shell/OffscreenDesktop.h"

#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
QTemporaryDir* gDir;
TMainForm* gForm;
QString gBig, gSmall;

void MakeFile(const QString& path, int count) {
    TDictionaryList list;
    for (int i = 0; i < count; ++i) {
        auto* item = new TDictionaryItem;
        item->SetKeyword("kw" + QByteArray::number(i * 7919 % 1000003));
        item->SetDescription("Entry number " + QByteArray::number(i));
        item->SetText("The text of entry " + QByteArray::number(i) +
                      ", long enough to look like one.");
        if (list.Add(item) < 0) delete item;
    }
    DictFile::Save(path, list);
}

void BM_OpenToGridPainted(benchmark::State& state) {
    for (auto _ : state) {
        gForm->OpenDictionary(gBig);
        gForm->Grid->viewport()->repaint();
        state.PauseTiming();
        gForm->OpenDictionary(gSmall); // the next open reads the big file again
        state.ResumeTiming();
    }
    state.counters["entries"] = 100000; // the big file's
}
BENCHMARK(BM_OpenToGridPainted)->Unit(benchmark::kMillisecond)->Iterations(5);
} // namespace

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    QApplication app(argc, argv);
    QTemporaryDir dir;
    gDir = &dir;
    gBig = dir.filePath("big.bxd");
    gSmall = dir.filePath("small.bxd");
    MakeFile(gBig, 100000);
    MakeFile(gSmall, 10);
    TMainForm form(QStringList{QStringLiteral("/CFG=") + dir.path()}, nullptr, [](TMainForm* m) {
        m->AskFileName = [](TMainForm::TFileDialogKind, const QString&, const QString&) {
            return QString();
        };
    });
    form.Settings.Set(goNoConfirmExit, true);
    form.show();
    gForm = &form;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    form.close();
    return 0;
}
