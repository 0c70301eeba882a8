#include "shell/MainfrmScriptHost.h"

#include "script/ScriptHost.h"
#include "shell/Mainfrm.h"

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

    QString ConfigDir() const override { return form_.ConfigDir; }
    QString IniPath() const override { return form_.IniPath(); }

private:
    TMainForm& form_;
};

} // namespace

std::unique_ptr<TScriptHost> MakeScriptHost(TMainForm& form) {
    return std::make_unique<TMainScriptHost>(form);
}
