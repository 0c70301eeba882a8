// Input tags as a text holds them: kinds, names, options, pick-list items and
// the value blocks kept for them; then the field process over the text with
// every field answered.
#include "tags/InputList.h"
#include "tests/tags/InputTestDoubles.h"

#include <cstddef>
#include <cstdint>

namespace {

// Answers every field with the bytes it was given, so answers may hold tags.
class TAnswerAll : public TInputFieldUi {
public:
    explicit TAnswerAll(QByteArray a) : answer(std::move(a)) {}
    int Answer(QByteArray& value) {
        value = answer;
        return nav::Next;
    }
    int AskText(const QString&, const TInputField&, QByteArray& v, int) override {
        return Answer(v);
    }
    int AskPickList(const QString&, const TInputField& f, int, QByteArray& v) override {
        const QList<TPickItem> items = PickItems(f);
        v = PickListValue(items, f, PickListIndexes(answer, static_cast<int>(items.size())));
        return nav::Next;
    }
    int AskDate(const QString&, const TInputField&, QByteArray& v, int) override {
        QDate d;
        bool isLong = false;
        ReadDateValue(answer, d, isLong);
        return Answer(v);
    }
    int ReadFile(const QString&, const TInputField&, QByteArray& v, int) override {
        return Answer(v);
    }
    int RunTcl(const QString&, const QString&, int, QByteArray& v) override { return Answer(v); }
    int ShowFieldMessage(const QString&, const QString&, int, const QString&) override {
        return nav::Next;
    }
    int SaveSession(TBXInputList&) override { return nav::SessionFailed; }
    int RestoreSession(TBXInputList&) override { return 0; }
    int ShowPreview(const QString&, qsizetype, int, TBXInputList&) override { return nav::Preview; }
    QByteArray answer;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray raw(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // The first line is the answer, the rest the text.
    const qsizetype nl = raw.indexOf('\n');
    const QByteArray answer = nl < 0 ? QByteArray() : raw.left(nl);
    const QString text = QString::fromLatin1(nl < 0 ? raw : raw.mid(nl + 1));
    for (TTagSpan s = FindInputTag(text); s.Start >= 0; s = FindInputTag(text, s.End + 1)) {
        const TInputField f = ParseInputTag(QStringView(text).mid(s.Start, s.End + 1 - s.Start));
        PickItems(f);
    }
    TFakeEdit edit;
    edit.SetText(text);
    TAnswerAll ui(answer);
    TBXInputList list;
    list.SetUi(&ui);
    const int code = list.Run(edit);
    if (code != nav::Done && code != nav::TooMany) __builtin_trap();
    return 0;
}
