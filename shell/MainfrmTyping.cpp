// The main window's side of typing: the Type It button, the text-to-type
// box, and the window services the typing controller asks for.
#include "dictionary/Dict.h"
#include "platform/Ansi.h"
#include "script/TclInterface.h"
#include "shell/Mainfrm.h"
#include "tags/ParseTxt.h"
#include "typing/TypingController.h"
#include "typing/TypingHost.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSystemTrayIcon>

namespace {
class TMainTypingHost final : public TTypingHost {
public:
    explicit TMainTypingHost(TMainForm& form) : form_(form) {}

    TTypingOptions TypingOptions() const override {
        const TSettings& s = form_.Settings;
        TTypingOptions o;
        o.BeepAfterInsert = s.Has(goBeepAfterInsert);
        o.BeepOnEmptyText = s.Has(goBeepOnEmptyText);
        o.UseClipboard = s.Has(goUseClipboard);
        o.RememberLastExpandedWord = s.Has(aoRememberLastExpandedWord);
        o.ClipboardCommandKeys = s.ClipboardCommandKeys;
        o.PauseMsec = s.PauseMsec;
        o.SwitchFocusDelay = s.SwitchFocusDelay;
        return o;
    }
    bool ApplicationActive() const override { return form_.ApplicationActive(); }
    bool Minimized() const override { return form_.isMinimized(); }
    void MinimiseApplication() override { form_.MinimiseApplication(); }
    void LowerWindow() override { form_.lower(); }
    void Beep() override { form_.Beep(); }
    void SetFSM(int state) override { form_.SetFSM(state); }
    void SetTypeButtonEnabled(bool on) override { form_.TypeItBtn->setEnabled(on); }
    void ShowTextToType(const QByteArray& text) override { form_.ShowTextToType(text); }
    bool RunScript(const QByteArray& script, QByteArray& failure) override {
        if (!form_.Tcl) return true;
        if (form_.Tcl->Eval(script)) return true;
        failure = form_.Tcl->GetFailureText();
        return false;
    }
    void PutOnClipboard(const QString& text) override {
        QApplication::clipboard()->setText(text, QClipboard::Clipboard);
        if (QApplication::clipboard()->supportsSelection())
            QApplication::clipboard()->setText(text, QClipboard::Selection);
    }
    void KeyForOwnControl(uint8_t key, BxHwnd control) override {
        form_.WndProc(svc::PostKey, key, static_cast<intptr_t>(control));
    }

private:
    TMainForm& form_;
};
} // namespace

std::unique_ptr<TTypingHost> TMainForm::MakeTypingHost() {
    return std::make_unique<TMainTypingHost>(*this);
}

bool TMainForm::ApplicationActive() const {
    return QApplication::activeWindow() != nullptr;
}

void TMainForm::Beep() {
    QApplication::beep();
}

void TMainForm::MinimiseApplication() {
    if (QSystemTrayIcon::isSystemTrayAvailable() && Tray1) {
        Tray1->show();
        hide();
    } else if (isVisible()) {
        showMinimized();
    }
}

void TMainForm::TypeItBtnClick() {
    if (!TypeItBtn->isEnabled()) return;
    TypeText(TextToTypeShown());
}

void TMainForm::TypeText(const QByteArray& text) {
    if (Typing->InputFormMode) return; // the input forms insert the text themselves
    // A restricted dictionary types only its read-only entries with their tags.
    const int row = CurrentRow();
    const bool literally =
        Dict->GetRestricted() && !(row >= 0 && Dict->GetItem(row)->GetReadOnly());
    if (!literally && text.size() >= 7 && FindFirstInputTag(text) >= 0) {
        StatusLbl->setText(
            tr("This text asks for input fields, which this version cannot fill in yet; "
               "it is typed as it stands."));
    }
    Typing->Type(text, literally);
}

void TMainForm::ShowTextToType(const QByteArray& text) {
    // Laying the box out costs more than typing a short text: it is filled
    // once the run is under way.
    pendingTextToType_ = text;
    if (textToTypePending_) return;
    textToTypePending_ = true;
    QMetaObject::invokeMethod(
        this, [this] { FlushTextToType(); }, Qt::QueuedConnection);
}

void TMainForm::SetTextToType(const QString& text) {
    textToTypePending_ = false;
    pendingTextToType_.clear();
    Memo1->setPlainText(text);
}

void TMainForm::FlushTextToType() {
    if (!textToTypePending_) return;
    SetTextToType(Ansi::ToUnicode(pendingTextToType_));
}

QByteArray TMainForm::TextToTypeShown() const {
    if (textToTypePending_) return pendingTextToType_;
    return Ansi::FromUnicode(
        Memo1->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}
