#include "shell/MainfrmHosts.h"
#include "dictionary/Dict.h"
#include "platform/Ansi.h"
#include "platform/MessageBox.h"
#include "platform/VirtualKeys.h"
#include "script/TclInterface.h"
#include "shell/Mainfrm.h"
#include "shell/OwnInputKeys.h"
#include "typing/Autorepl.h"
#include "typing/LookupServices.h"
#include "typing/TypingHost.h"
#include "typing/gui/HintWindows.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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
    void LowerWindow() override { form_.PlaceWindow(&form_, false); }
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

class TMainServicesHost final : public TServicesHost {
public:
    explicit TMainServicesHost(TMainForm& form) : form_(form) {}

    uint16_t HotKey() const override { return form_.Settings.ProgramHotKey; }
    bool SuggestionWantsKey(uint16_t code) const override {
        return form_.Hints && form_.Hints->SuggestionIndexForShortcut(code) >= 0;
    }
    bool IsFileShortcut(uint16_t code) const override {
        return form_.Settings.IsFileShortcut(code);
    }
    bool IsEntryShortcut(uint16_t code) const override {
        return form_.Session.EntryForShortcut(code) >= 0;
    }
    void ProposeEntry(const std::optional<QByteArray>& word) override {
        QMetaObject::invokeMethod(
            &form_, [this, word] { ShowProposal(word); }, Qt::QueuedConnection);
    }
    void KeywordBoxRequest(int wParam, const QByteArray& word) override {
        QMetaObject::invokeMethod(
            &form_,
            [this, wParam, word] {
                if (word.isEmpty()) return;
                form_.KeywordEdit->setText(Ansi::ToUnicode(Ansi::Trim(word)));
                if (wParam != 1) return;
                form_.KeywordEditChange(true);
                form_.ProgrammaticKeyword = true;
                form_.KeywordEdit->clear();
                form_.SetTextToType(QString());
            },
            Qt::QueuedConnection);
    }
    BxHwnd OwnInputControl() const override { return form_.OwnKeys ? form_.OwnKeys->Source() : 0; }
    void SendBackspaces(BxHwnd control, int count) override {
        if (!form_.OwnKeys) return;
        QWidget* w = form_.OwnKeys->ControlFor(control);
        for (int i = 0; i < count; ++i)
            form_.OwnKeys->SendKey(w, vk::Back);
    }

private:
    void ShowProposal(const std::optional<QByteArray>& word) {
        const TAddEntryProposal p =
            MakeAddEntryProposal(word, Ansi::FromUnicode(QApplication::clipboard()->text()),
                                 Ansi::FromUnicode(form_.Settings.AltInsKeywordPrefix),
                                 Ansi::FromUnicode(form_.Settings.AltInsKeywordSuffix));
        form_.TrayOpenOptClick();
        form_.SetFSM(BX_FSM_SUSPENDED);
        if (form_.Session.Dict().GetReadOnly()) {
            TMessageBox::Inform(
                &form_, QStringLiteral("Brevix"),
                QObject::tr("This dictionary is marked READONLY and cannot be modified."));
            return;
        }
        form_.QuickAdd(p.Keyword, p.Text);
    }

    TMainForm& form_;
};

class TMainHintHost final : public THintHost {
public:
    explicit TMainHintHost(TMainForm& form) : form_(form) {}

    QString IniPath() const override { return form_.IniPath(); }
    const TDictionaryList* Dictionary() const override { return &form_.Session.Dict(); }
    QString DictionaryFileName() const override { return form_.Session.FileName(); }
    TSuggestionStyle SuggestionStyle() const override {
        const TSettings& s = form_.Settings;
        TSuggestionStyle style;
        style.Font = s.SuggestionFont;
        style.Color = s.SuggestionWindowColor;
        style.AlphaChars = s.AlphaChars;
        style.Options = s.AutoReplaceOptions;
        style.ShiftState = s.SuggestionShiftState;
        return style;
    }
    QWidget* MainWindow() const override { return &form_; }
    bool StartupDone() const override { return form_.StartupDone; }
    void RestoreMainWindow() override { form_.TrayOpenOptClick(); }
    void SuggestionKeysChanged() override { form_.UpdateGrabbedKeys(); }
    void ShowAbout() override { form_.AboutFromSuggestionWindow(); }
    void ShowPreferences() override { form_.PreferencesFromSuggestionWindow(); }

private:
    TMainForm& form_;
};
} // namespace

std::unique_ptr<TTypingHost> MakeTypingHost(TMainForm& form) {
    return std::make_unique<TMainTypingHost>(form);
}

std::unique_ptr<TServicesHost> MakeServicesHost(TMainForm& form) {
    return std::make_unique<TMainServicesHost>(form);
}

std::unique_ptr<THintHost> MakeHintHost(TMainForm& form) {
    return std::make_unique<TMainHintHost>(form);
}
