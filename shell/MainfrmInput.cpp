// The main window's side of input fields: a text with input tags goes to the
// input text window, which hands the filled-in text back to be typed; while
// it is open, further entries are inserted into it; scripts' input boxes.
#include "platform/Ansi.h"
#include "script/InputBoxHost.h"
#include "script/TclInterface.h"
#include "shell/HelpWindow.h"
#include "shell/Mainfrm.h"
#include "tags/InputScripts.h"
#include "tags/gui/InputBoxes.h"
#include "tags/gui/InputFieldForm.h"
#include "tags/gui/InputFieldProcess.h"
#include "tags/gui/InputHost.h"
#include "tags/gui/InputMemoDlg.h"
#include "typing/HookClient.h"
#include "typing/TypingController.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <utility>

namespace {

// The interpreter as the input fields use it.
class TMainInputScripts final : public TInputScripts {
public:
    explicit TMainInputScripts(TMainForm& form) : form_(form) {}
    bool Eval(const QByteArray& script) override { return form_.Tcl && form_.Tcl->Eval(script); }
    QByteArray GetResult() override { return form_.Tcl ? form_.Tcl->GetResult() : QByteArray(); }
    QByteArray GetErrorInfo() override {
        return form_.Tcl ? form_.Tcl->GetErrorInfo() : QByteArray();
    }

private:
    TMainForm& form_;
};

class TMainInputHost final : public TInputHost {
public:
    TMainInputHost(TMainForm& form, std::function<bool()> closing)
        : form_(form), scripts_(form), closing_(std::move(closing)) {}

    void SetInputFormMode(bool on) override { form_.SetInputFormMode(on); }
    void SetFSM(int state) override { form_.SetFSM(state); }
    int FSM() const override { return THooks::Instance().FSM(); }
    void BringToFront() override {
        if (QWidget* w = QApplication::activeWindow()) w->raise();
    }
    QString IniPath() const override { return form_.IniPath(); }
    QFont TextFont() const override { return form_.Memo1->font(); }
    QString DictionaryFolder() const override {
        const QString file = form_.Session.FileName();
        return file.isEmpty() ? QString() : QFileInfo(file).absolutePath();
    }
    TInputScripts* Scripts() override {
        return form_.Tcl && form_.Tcl->IsLoaded() ? &scripts_ : nullptr;
    }
    bool Closing() const override { return closing_(); }
    void TypeFinishedText(const QByteArray& text) override {
        form_.KeywordEdit->clear();
        form_.SetTextToType(Ansi::ToUnicode(text));
        form_.SetInputFormMode(false);
        form_.Typing->SetText(text);
        form_.Typing->KeySuffix = form_.TakeSuffixAfterInput();
        form_.PostMessage(wm::TypeAfterInput);
    }
    bool ShowHelp(const QString& page) override {
        THelpWindow::ShowPage(page);
        return true;
    }
    void CancelInput() override {
        form_.KeywordEdit->clear();
        form_.SetTextToType(QString());
        form_.SetInputFormMode(false);
        form_.TakeSuffixAfterInput();
        // The empty run forgets the erasing keys and gives the focus back.
        form_.Typing->Type(QByteArray(), false);
    }

private:
    TMainForm& form_;
    TMainInputScripts scripts_;
    std::function<bool()> closing_;
};

class TMainInputBoxes final : public TInputBoxHost {
public:
    TMainInputBoxes(TMainForm& form, TInputHost& host) : form_(form), host_(host) {}
    bool Line(QString& text, const QString& prompt) override {
        return InputBoxes::Line(&host_, text, prompt);
    }
    bool Memo(QString& text, const QString& prompt, bool spell) override {
        return InputBoxes::Memo(&host_, text, prompt, spell);
    }
    bool Message(const QString& text, const QString& prompt) override {
        const bool wasMinimised = form_.isMinimized();
        if (!wasMinimised && form_.isVisible()) form_.showMinimized();
        const bool ok = InputBoxes::Message(&host_, text, prompt);
        if (!wasMinimised && form_.isMinimized()) form_.showNormal();
        return ok;
    }
    bool Date(QString& text, const QString& prompt) override {
        return InputBoxes::Date(&host_, text, prompt);
    }
    bool PickList(QList<int>& chosen, const QStringList& items, const QString& prompt,
                  bool multiple) override {
        return InputBoxes::PickList(&host_, chosen, items, prompt, multiple);
    }
    bool FileDialogOpen() const override { return fileDialogOpen_; }
    QString AskFile(bool save, const QString& title, const QString& filter,
                    const QString& initial) override {
        fileDialogOpen_ = true;
        form_.SetFSM(BX_FSM_SUSPENDED);
        const QString file = save ? QFileDialog::getSaveFileName(nullptr, title, initial, filter)
                                  : QFileDialog::getOpenFileName(nullptr, title, initial, filter,
                                                                 nullptr, QFileDialog::ReadOnly);
        fileDialogOpen_ = false;
        return file;
    }
    bool ShowFieldForm(int show) override {
        // Wherever it was opened: the input text window's fields, a script's
        // input box, a session operation.
        TInputFieldForm* f = TInputFieldForm::Existing();
        if (f && show >= 0) {
            f->setVisible(show == 1);
            QCoreApplication::processEvents();
        }
        return f && f->isVisible();
    }

private:
    TMainForm& form_;
    TInputHost& host_;
    bool fileDialogOpen_ = false;
};

} // namespace

TInputBoxHost& TMainForm::InputBoxes() {
    if (!inputHost_)
        inputHost_ = std::make_shared<TMainInputHost>(*this, [this] { return closing_; });
    if (!inputBoxes_) inputBoxes_ = std::make_shared<TMainInputBoxes>(*this, *inputHost_);
    return *inputBoxes_;
}

void TMainForm::StartInputText(const QByteArray& text) {
    InputBoxes(); // makes the host
    if (Typing->BackspacePrefix.isEmpty()) {
        TInputMemoDlg::StartInputText(*inputHost_, text);
        return;
    }
    // An expansion in another program: its keyword is erased now, while the
    // hook library still expects it, and the delimiter follows the finished text.
    suffixAfterInput_ = Typing->KeySuffix;
    Typing->KeySuffix.clear();
    Typing->Type(QByteArray(), false);
    auto* wait = new QTimer(this);
    wait->setInterval(10);
    connect(wait, &QTimer::timeout, this, [this, wait, text] {
        if (!Typing->Idle() && !closing_) return;
        wait->deleteLater();
        if (!closing_) TInputMemoDlg::StartInputText(*inputHost_, text);
    });
    wait->start();
}

QByteArray TMainForm::TakeSuffixAfterInput() {
    return std::exchange(suffixAfterInput_, QByteArray());
}

void TMainForm::InsertIntoInputForm(const QByteArray& text) {
    // The keys that would erase a keyword in another program are not for the form.
    Typing->BackspacePrefix.clear();
    Typing->KeySuffix.clear();
    if (TInputMemoDlg* dlg = TInputMemoDlg::Instance();
        dlg && !dlg->InsertEntryText(Ansi::ToUnicode(Typing->NormalizedLineEnds(text))))
        Beep();
    SetInputFormMode(true);
}

void TMainForm::SetInputFormMode(bool on) {
    Typing->InputFormMode = on;
    if (on) {
        if (!isMinimized() && isVisible()) {
            minimisedForInput_ = true;
            showMinimized();
        }
        SetFSM(BX_FSM_WATCHING);
    } else {
        inputFSMAtDeactivation_ = -1;
        if (minimisedForInput_) {
            minimisedForInput_ = false;
            if (isMinimized()) showNormal();
        }
    }
}
