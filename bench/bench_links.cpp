// Opening a 100,000-entry dictionary with three linked dictionaries of
// 100,000 entries each, to the grid painted, with the resident memory it
// takes; and Search Again through 100,000 entries that do not match.
#include "dictionary/Dict.h"
#include "dictionary/gui/FindDialog.h"
#include "shell/Mainfrm.h"
#include "tests/shell/OffscreenDesktop.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
TMainForm* gForm;
QString gOwn, gSmall, gPlain;
QStringList gLinks;

void MakeFile(const QString& path, const QByteArray& prefix, int count) {
    TDictionaryList list;
    for (int i = 0; i < count; ++i) {
        auto* item = new TDictionaryItem;
        item->SetKeyword(prefix + QByteArray::number(i * 7919 % 1000003));
        item->SetDescription("Entry number " + QByteArray::number(i));
        item->SetText("The text of entry " + QByteArray::number(i) +
                      ", long enough to look like one.");
        item->SetShortcut(i % 1000 == 0 ? static_cast<uint16_t>(0x2000 + i / 1000) : 0);
        if (list.Add(item) < 0) delete item;
    }
    DictFile::Save(path, list);
}

double ResidentMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

void BM_OpenWithThreeLinksToGridPainted(benchmark::State& state) {
    gForm->Settings.LinkedDictionaries = gLinks;
    gForm->Settings.Set(goEnableDictionaryLinks, true);
    double rss = 0;
    for (auto _ : state) {
        gForm->OpenDictionary(gOwn);
        gForm->Grid->viewport()->repaint();
        state.PauseTiming();
        rss = ResidentMiB();
        gForm->OpenDictionary(gSmall); // the next open reads all four files again
        state.ResumeTiming();
    }
    state.counters["entries"] = 400000;
    state.counters["rss_MiB"] = rss;
}
BENCHMARK(BM_OpenWithThreeLinksToGridPainted)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SearchAgainWithoutMatch(benchmark::State& state) {
    gForm->Settings.Set(goEnableDictionaryLinks, false);
    gForm->OpenDictionary(gPlain);
    gForm->AskBox = [](int, const QString&, const QString&, const QString&, int, int) {
        return int(QMessageBox::Cancel);
    };
    gForm->XFindDialog1->SetFindText(QStringLiteral("no such words"));
    for (auto _ : state) {
        gForm->ShowEntry(0);
        gForm->FindNext1Click();
    }
    state.counters["entries"] = gForm->Session.Dict().Count();
}
BENCHMARK(BM_SearchAgainWithoutMatch)->Unit(benchmark::kMillisecond)->Iterations(10);
} // namespace

int main(int argc, char** argv) {
    TOffscreenDesktop desktop;
    QApplication app(argc, argv);
    QTemporaryDir dir;
    gOwn = dir.filePath("own.bxd");
    gSmall = dir.filePath("small.bxd");
    gPlain = dir.filePath("plain.bxd");
    MakeFile(gOwn, "kw", 100000);
    MakeFile(gSmall, "s", 10);
    MakeFile(gPlain, "kw", 100000);
    for (const char* prefix : {"ta", "tb", "tc"}) {
        gLinks << dir.filePath(QStringLiteral("%1.bxd").arg(prefix));
        MakeFile(gLinks.last(), prefix, 100000);
    }
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
