#include "tags/gui/InputBoxes.h"

#include "tags/gui/InputFieldForm.h"
#include "tags/gui/InputHost.h"

#include <functional>

namespace InputBoxes {
namespace {

bool gOpen = false;

bool WithBox(TInputHost* host, const std::function<bool(TInputFieldForm&)>& ask) {
    if (gOpen) return false;
    gOpen = true;
    const int fsm = host ? host->FSM() : 0;
    bool ok = false;
    {
        TInputFieldForm form(host, true);
        ok = ask(form);
    }
    if (host) host->SetFSM(fsm);
    gOpen = false;
    return ok;
}

} // namespace

bool IsOpen() {
    return gOpen;
}

bool Line(TInputHost* host, QString& text, const QString& prompt) {
    return WithBox(host, [&](TInputFieldForm& f) { return f.BoxLine(text, prompt); });
}

bool Memo(TInputHost* host, QString& text, const QString& prompt, bool spell) {
    return WithBox(host, [&](TInputFieldForm& f) { return f.BoxMemo(text, prompt, spell); });
}

bool Message(TInputHost* host, const QString& text, const QString& prompt) {
    return WithBox(host, [&](TInputFieldForm& f) { return f.BoxMessage(text, prompt); });
}

bool Date(TInputHost* host, QString& text, const QString& prompt) {
    QDate d = ParseScriptDate(text);
    if (!WithBox(host, [&](TInputFieldForm& f) { return f.BoxDate(d, prompt); })) return false;
    text = ScriptDate(d);
    return true;
}

bool PickList(TInputHost* host, QList<int>& chosen, const QStringList& items, const QString& prompt,
              bool multiple) {
    return WithBox(
        host, [&](TInputFieldForm& f) { return f.BoxPickList(chosen, items, prompt, multiple); });
}

QDate ParseScriptDate(const QString& text) {
    const QStringList parts = text.trimmed().split(QLatin1Char('/'));
    if (parts.size() != 3) return {};
    bool m = false, d = false, y = false;
    const QDate date(parts[2].toInt(&y), parts[0].toInt(&m), parts[1].toInt(&d));
    return m && d && y ? date : QDate();
}

QString ScriptDate(const QDate& date) {
    return date.toString(QStringLiteral("MM/dd/yyyy"));
}

} // namespace InputBoxes
