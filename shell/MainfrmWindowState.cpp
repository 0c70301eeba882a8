// How the main window goes away and comes back: the Hide button, the
// minimise handling, the z-order, and the suggestion window that follows them.
#include "dictionary/Dict.h"
#include "hook/HookApi.h"
#include "shell/Autostart.h"
#include "shell/Mainfrm.h"
#include "typing/HookClient.h"
#include "typing/TypingController.h"
#include "typing/gui/HintWindows.h"
#include "typing/gui/SuggestionWindow.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QSystemTrayIcon>

void TMainForm::HideBtnClick() {
    // During a search pass the button reads "Stop" and only ends the search.
    if (Searching) {
        Searching = false;
        return;
    }
    if (Settings.Has(goAutoSave1) && Session.Modified()) Save1Click();
    if (SuggestionWanted && Hints && Hints->AssistantForm) Hints->AssistantForm->ShowIfEnabled();
    if (Typing->InputFormMode) {
        showMinimized();
        return;
    }
    if (isMinimized() || !isVisible()) {
        ApplicationMinimize();
        return;
    }
    Typing->ReturnFocus();
    // Without a window to give the focus to, the window still goes away.
    if (isVisible() && !isMinimized()) MinimiseApplication();
    SetFSM(BX_FSM_WATCHING);
}

void TMainForm::ApplicationMinimize() {
    if (closing_ || !(isMinimized() || !isVisible())) return;
    if (!Typing->InputFormMode) Typing->RestoreTarget();
    TypeItBtn->setEnabled(false);
    if (!HookUnavailable()) THooks::Instance().SetFSMIf(BX_FSM_SUSPENDED, BX_FSM_WATCHING);
    UpdateTitle();
    // The task bar button goes; the notification area keeps the way back.
    if (!Typing->InputFormMode && isMinimized() && Tray1 &&
        QSystemTrayIcon::isSystemTrayAvailable()) {
        Tray1->show();
        hide();
    }
    PostMessage(wm::AfterMinimise);
}

void TMainForm::PlaceWindow(QWidget* window, bool up) {
    if (!window) return;
    if (up)
        window->raise();
    else
        window->lower();
    if (window != this || !Hints || !Hints->AssistantForm) return;
    // While our own windows have the keys, an auto-hiding suggestion window stays away.
    const bool suspended = THooks::Instance().FSM() == BX_FSM_SUSPENDED;
    if (Settings.Has(aoAutoHideSuggestionWindow) && suspended) return;
    if (Settings.Has(aoAutoReplaceAlwaysShow) && SuggestionWanted &&
        !Hints->AssistantForm->Enabled())
        Hints->AssistantForm->SetShown(true);
}

void TMainForm::SetSuggestionWanted(bool on) {
    SuggestionWanted = on;
    TAssistantForm* form = Hints ? Hints->AssistantForm : nullptr;
    if (!form) return;
    if (!on) {
        suggestionsSuspended_ = form->Enabled();
        if (suggestionsSuspended_) form->SetShown(false);
    } else if (suggestionsSuspended_) {
        suggestionsSuspended_ = false;
        form->SetShown(true);
        if (isVisible() && !isMinimized() && Settings.Has(aoAutoHideSuggestionWindow)) form->hide();
    }
}

void TMainForm::StartWithSession1Click(bool on) {
    QString error;
    if (!Autostart::SetEnabled(on, QCoreApplication::applicationFilePath(), &error))
        ShowError(error);
    StartWithSession1->setChecked(Autostart::Enabled());
}
