#include "shell/MainfrmScriptHost.h"

#include "platform/Ansi.h"
#include "script/ScriptHost.h"
#include "script/ScriptServer.h"
#include "shell/Mainfrm.h"
#include "typing/Autorepl.h"
#include "typing/TypingController.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>

namespace {

class TMainScriptHost final : public TScriptHost {
public:
    explicit TMainScriptHost(TMainForm& form) : form_(form) {}

    TDictionarySession& Session() override { return form_.Session; }
    uint16_t ProgramHotKey() const override { return form_.Settings.ProgramHotKey; }
    bool HasDictionaryTab() const override { return form_.TabSet1->count() > 0; }
    int CurrentRow() const override { return form_.CurrentRow(); }
    void RefreshGrid(int row) override { form_.RefreshGrid(row); }

    bool SaveIfModified() override { return form_.SaveIfModified(); }
    bool OpenDictionary(const QString& path) override { return form_.OpenDictionary(path); }
    void CreateDictionary(const QString& path) override { form_.CreateDictionary(path); }
    void Save() override { form_.Save1Click(); }
    void SaveAs(const QString& path) override { form_.SaveAsTo(path); }
    void CloseDictionary() override { form_.CloseFile1Click(); }

    TInputBoxHost* InputBoxes() override { return &form_.InputBoxes(); }

    BxHwnd Handle() const override { return form_.Handle(); }
    bool IsVisible() const override { return form_.isVisible(); }
    bool IsMinimized() const override { return form_.isMinimized(); }
    void ShowNormal() override { form_.showNormal(); }
    void Hide() override { form_.hide(); }
    void Activate() override {
        form_.raise();
        form_.activateWindow();
    }
    void FocusKeywordBox() override { form_.KeywordEdit->setFocus(); }
    void PressHideLater() override {
        QMetaObject::invokeMethod(form_.HideBtn, &QPushButton::click, Qt::QueuedConnection);
    }
    void CloseLater() override {
        QPointer<TMainForm> form(&form_);
        QMetaObject::invokeMethod(
            &form_,
            [form] {
                if (form) form->close();
            },
            Qt::QueuedConnection);
    }
    void PostMessage(uint32_t msg) override { form_.PostMessage(msg); }
    void SetFSM(int state) override { form_.SetFSM(state); }
    void SetSuggestionWanted(bool on) override { form_.SetSuggestionWanted(on); }

    bool AutoReplaceOn() const override { return form_.AutoReplaceChk->isChecked(); }
    void SetAutoReplace(bool on) override { form_.AutoReplaceChk->setChecked(on); }
    bool LinksOn() const override { return form_.LinksInEffect(); }
    // As a click on the links button; links are switched on only when one exists.
    void SetLinks(bool on) override {
        if (on == form_.LinksInEffect() || (on && form_.Settings.LinkedDictionaries.isEmpty()))
            return;
        form_.EnableDictLinks1Click();
    }
    bool SuggestionWindowOn() const override { return form_.Settings.Has(aoAutoReplaceAlwaysShow); }
    void SetSuggestionWindow(bool on) override {
        form_.Settings.Set(aoAutoReplaceAlwaysShow, on);
        if (form_.Engine) form_.Engine->SetOptions(form_.Settings.AutoReplaceOptions);
    }
    std::optional<uint32_t> TargetProcess() const override {
        if (!form_.CommandLine.TargetProcessOnly) return std::nullopt;
        return form_.CommandLine.TargetProcessId;
    }
    void SetTargetProcess(uint32_t id) override { form_.CommandLine.TargetProcessId = id; }
    BxHwnd TargetForeground() const override { return form_.Typing->TargetForeground; }
    QByteArray KeywordTyped() const override {
        return form_.Engine ? form_.Engine->MatchedKeyword() : QByteArray();
    }
    QByteArray TransferScript(bool done) const override {
        return done ? form_.Typing->OnTransferDoneScript : form_.Typing->OnTransferScript;
    }
    void SetTransferScript(bool done, const QByteArray& script) override {
        (done ? form_.Typing->OnTransferDoneScript : form_.Typing->OnTransferScript) = script;
    }
    QByteArray TextToType() const override { return form_.TextToTypeShown(); }
    void SetTextToType(const QByteArray& text) override {
        form_.SetTextToType(Ansi::ToUnicode(text));
    }
    QByteArray LastTypedText() const override { return form_.Typing->LastTypedText; }

    const TScriptServer* ScriptServer() const override { return form_.ScriptServer.get(); }

    QString ConfigDir() const override { return form_.ConfigDir; }
    QString IniPath() const override { return form_.IniPath(); }
    void DiagnosticMessage(const std::optional<QString>& text) override {
        form_.DiagLog.Message(text);
    }

private:
    TMainForm& form_;
};

} // namespace

std::unique_ptr<TScriptHost> MakeScriptHost(TMainForm& form) {
    return std::make_unique<TMainScriptHost>(form);
}
