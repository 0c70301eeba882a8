#include "tags/gui/InputFieldProcess.h"

#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "tags/gui/InputFieldForm.h"
#include "tags/gui/InputHost.h"
#include "tags/gui/PreviewDlg.h"

#include <QApplication>
#include <QFileDialog>

namespace {
const QString kFilter = QStringLiteral("Brevix Input Session (*.bxi)");
const QString kPreviewSection = QStringLiteral("PreviewDlg");
const QString kFolderKey = QStringLiteral("SessionFolder");
} // namespace

TInputFieldProcess::TInputFieldProcess(TInputHost& host) : host_(host) {}

TInputFieldProcess::~TInputFieldProcess() {
    Finished();
}

TInputFieldForm& TInputFieldProcess::EnsureForm() {
    if (!form_) {
        form_ = new TInputFieldForm(&host_);
        if (OnFormMade) OnFormMade(*form_);
    }
    return *form_;
}

int TInputFieldProcess::AskText(const QString& c, const TInputField& f, QByteArray& v, int n) {
    return EnsureForm().AskText(c, f, v, n);
}
int TInputFieldProcess::AskPickList(const QString& c, const TInputField& f, int n, QByteArray& v) {
    return EnsureForm().AskPickList(c, f, n, v);
}
int TInputFieldProcess::AskDate(const QString& c, const TInputField& f, QByteArray& v, int n) {
    return EnsureForm().AskDate(c, f, v, n);
}
int TInputFieldProcess::ReadFile(const QString& c, const TInputField& f, QByteArray& v, int n) {
    return EnsureForm().ReadFile(c, f, v, n);
}
int TInputFieldProcess::RunTcl(const QString& c, const QString& s, int n, QByteArray& v) {
    return EnsureForm().RunTcl(c, s, n, v);
}
int TInputFieldProcess::ShowFieldMessage(const QString& c, const QString& t, int n,
                                         const QString& m) {
    return EnsureForm().ShowFieldMessage(c, t, n, m);
}

int TInputFieldProcess::WithSessionState(const std::function<int()>& action) {
    const int fsm = host_.FSM();
    host_.SetFSM(3);
    host_.SetInputFormMode(true);
    const int code = action();
    host_.SetFSM(fsm);
    return code;
}

int TInputFieldProcess::SaveSession(TBXInputList& list) {
    return WithSessionState([&] {
        TSessionStore store(*this, host_.Scripts());
        return store.Save(list, ShownText ? ShownText() : std::nullopt);
    });
}

int TInputFieldProcess::RestoreSession(TBXInputList& list) {
    return WithSessionState([&] {
        TSessionStore store(*this, host_.Scripts());
        return store.Restore(list);
    });
}

int TInputFieldProcess::ShowPreview(const QString& text, qsizetype caret, int number,
                                    TBXInputList& list) {
    auto session = [this, &list](bool save) {
        const int code = save ? SaveSession(list) : RestoreSession(list);
        // A saved session goes on as the form's Save Session does.
        return save && code == nav::Next ? nav::SaveSession : code;
    };
    return ::ShowPreview(text, caret, number, host_.TextFont(), host_.IniPath(), session, form_);
}

void TInputFieldProcess::SessionRestored(const QString& firstSnapshot) {
    if (OnRestored) OnRestored(firstSnapshot);
}

void TInputFieldProcess::Finished() {
    if (form_) {
        form_->hide();
        delete form_.data();
    }
}

bool TInputFieldProcess::Closing() const {
    return host_.Closing();
}

QString TInputFieldProcess::AskSaveFile(const QString& folder) {
    return QFileDialog::getSaveFileName(form_, QObject::tr("Save Input Session"), folder, kFilter);
}

QString TInputFieldProcess::AskOpenFile(const QString& folder) {
    return QFileDialog::getOpenFileName(form_, QObject::tr("Restore Input Session"), folder,
                                        kFilter);
}

void TInputFieldProcess::ShowError(const QString& caption, const QString& text) {
    TMessageBox::Error(form_, caption, text);
}

QString TInputFieldProcess::SessionFolder() {
    if (host_.IniPath().isEmpty()) return {};
    return TIniFile(host_.IniPath()).ReadString(kPreviewSection, kFolderKey, QString());
}

void TInputFieldProcess::SetSessionFolder(const QString& folder) {
    if (host_.IniPath().isEmpty()) return;
    TIniFile ini(host_.IniPath());
    ini.WriteString(kPreviewSection, kFolderKey, folder);
    if (!ini.UpdateFile()) qWarning("Session folder not kept: %s", qPrintable(ini.ErrorString()));
}

QString TInputFieldProcess::DictionaryFolder() {
    return host_.DictionaryFolder();
}
