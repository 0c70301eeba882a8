// A form letter of 500 fields, each with a named reference further on: the
// cost of one step of the field process (the answer put in place of its tag
// and references), and of saving and restoring the whole session.
#include "tags/InputList.h"
#include "tags/InputSession.h"
#include "tests/tags/InputTestDoubles.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kFields = 500;

QString Letter() {
    QString text;
    for (int i = 0; i < kFields; ++i)
        text += QStringLiteral("Line %1: {@INPUT(f%1) Value %1?} and again {f%1}.\r\n").arg(i);
    return text;
}

class TAnswer : public TInputFieldUi {
public:
    int Next(QByteArray& v) {
        v = TextValue(QStringLiteral("an answer of some length"));
        return nav::Next;
    }
    int AskText(const QString&, const TInputField&, QByteArray& v, int) override { return Next(v); }
    int AskPickList(const QString&, const TInputField&, int, QByteArray& v) override {
        return Next(v);
    }
    int AskDate(const QString&, const TInputField&, QByteArray& v, int) override { return Next(v); }
    int ReadFile(const QString&, const TInputField&, QByteArray& v, int) override {
        return Next(v);
    }
    int RunTcl(const QString&, const QString&, int, QByteArray& v) override { return Next(v); }
    int ShowFieldMessage(const QString&, const QString&, int, const QString&) override {
        return nav::Next;
    }
    int SaveSession(TBXInputList&) override { return nav::SessionFailed; }
    int RestoreSession(TBXInputList&) override { return 0; }
    int ShowPreview(const QString&, qsizetype, int, TBXInputList&) override { return nav::Preview; }
};

// One step at the first, middle and last field of the letter.
void BM_FieldStep(benchmark::State& state) {
    TFakeEdit edit;
    TAnswer ui;
    TBXInputList list;
    list.SetUi(&ui);
    QString text = Letter();
    // Fill the fields before the one measured, so its tag is found late.
    for (int i = 0; i < state.range(0); ++i) {
        edit.SetText(text);
        list.ProcessField(*list.Items[0], 0, edit);
        text = edit.Text();
    }
    for (auto _ : state) {
        edit.SetText(text);
        benchmark::DoNotOptimize(list.ProcessField(*list.Items[0], 0, edit));
    }
}
BENCHMARK(BM_FieldStep)->Arg(0)->Arg(kFields / 2)->Arg(kFields - 1)->Unit(benchmark::kMicrosecond);

TBXInputList& FilledList() {
    static TBXInputList list;
    static bool filled = false;
    if (!filled) {
        TFakeEdit edit;
        edit.SetText(Letter());
        TAnswer ui;
        list.SetUi(&ui);
        for (int i = 0; i < kFields; ++i) {
            list.Items.push_back(std::make_unique<TBXInputListItem>(&list));
            list.ProcessField(*list.Items[i], i, edit);
        }
        filled = true;
    }
    return list;
}

// What saving hands to the file or to bx_OnSaveSession.
void BM_SessionSave(benchmark::State& state) {
    TBXInputList& list = FilledList();
    for (auto _ : state)
        benchmark::DoNotOptimize(SessionHex(list, QStringLiteral("text")));
}
BENCHMARK(BM_SessionSave)->Unit(benchmark::kMillisecond);

// From the file's (or bx_OnRestoreSession's) digits to the field list.
void BM_SessionRestore(benchmark::State& state) {
    const QByteArray hex = SessionHex(FilledList(), QStringLiteral("text"));
    state.counters["bytes"] = double(hex.size());
    for (auto _ : state) {
        TBXInputList list;
        if (!RestoreSessionHex(hex, list, nullptr))
            state.SkipWithError("the session did not restore");
    }
}
BENCHMARK(BM_SessionRestore)->Unit(benchmark::kMillisecond);

// The same through the binary stream in between, as tools and tests use it.
void BM_SessionSaveTwoStep(benchmark::State& state) {
    TBXInputList& list = FilledList();
    for (auto _ : state)
        benchmark::DoNotOptimize(SessionToHex(SessionData(list, QStringLiteral("text"))));
}
BENCHMARK(BM_SessionSaveTwoStep)->Unit(benchmark::kMillisecond);

void BM_SessionRestoreTwoStep(benchmark::State& state) {
    const QByteArray hex = SessionHex(FilledList(), QStringLiteral("text"));
    for (auto _ : state) {
        QByteArray data;
        TBXInputList list;
        if (!SessionFromHex(hex, data, nullptr) || !RestoreSessionData(data, list, nullptr))
            state.SkipWithError("the session did not restore");
    }
}
BENCHMARK(BM_SessionRestoreTwoStep)->Unit(benchmark::kMillisecond);

} // namespace

// Answers that hold references to their own field's name: the text grows at
// every step until the field limit ends the process. 0: the answer is the
// text "{@INPUT(A) a}{A}{A}" itself; 1: a named tag and a reference to it,
// which doubles the references at each step (what the field fuzzer found).
class TSelfReferringAnswer : public TAnswer {
public:
    explicit TSelfReferringAnswer(QString answer) : answer_(std::move(answer)) {}
    int AskText(const QString&, const TInputField&, QByteArray& v, int) override {
        v = TextValue(answer_);
        return nav::Next;
    }

private:
    QString answer_;
};

void BM_SelfReferringAnswers(benchmark::State& state) {
    const QString answer = state.range(0) == 0
                               ? QStringLiteral("{@INPUT(A) a}{A}{A}")
                               : QStringLiteral("Dear {@INPUT(Name) Name?}, {Name}");
    qsizetype size = 0;
    for (auto _ : state) {
        TFakeEdit edit(answer);
        TSelfReferringAnswer ui(answer);
        TBXInputList list;
        list.SetUi(&ui);
        benchmark::DoNotOptimize(list.Run(edit));
        size = edit.Text().size();
    }
    state.counters["final_chars"] = static_cast<double>(size);
}
BENCHMARK(BM_SelfReferringAnswers)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
