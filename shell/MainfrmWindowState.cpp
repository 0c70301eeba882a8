// How the main window goes away and comes back: the Hide button, the
// minimise handling, the z-order, and the suggestion window that follows them.
#include "dictionary/Dict.h"
#include "hook/HookApi.h"
#include "shell/Autostart.h"
#include "shell/Mainfrm.h"
#include "tags/gui/InputFieldForm.h"
#include "tags/gui/InputMemoDlg.h"
#include "typing/HookClient.h"
#include "typing/TypingController.h"
#include "typing/gui/HintWindows.h"
#include "typing/gui/SuggestionWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTableView>
#include <utility>

namespace {

// The input form the user works in: the field form when one shows, else the
// input text window when it shows.
QWidget* ShowingInputForm() {
    if (TInputFieldForm* form = TInputFieldForm::Showing()) return form;
    TInputMemoDlg* dlg = TInputMemoDlg::Instance();
    return dlg && dlg->isVisible() ? dlg : nullptr;
}

} // namespace

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
        FocusInputForm();
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
    // An input form on show keeps the hook's state it asked for.
    const bool formShowing = Typing->InputFormMode && ShowingInputForm();
    if (!HookUnavailable() && !formShowing)
        THooks::Instance().SetFSMIf(BX_FSM_SUSPENDED, BX_FSM_WATCHING);
    UpdateTitle();
    // The task bar button goes; the notification area keeps the way back.
    if (!Typing->InputFormMode && isMinimized() && Tray1 &&
        QSystemTrayIcon::isSystemTrayAvailable()) {
        Tray1->show();
        hide();
    }
    PostMessage(wm::AfterMinimise);
}

void TMainForm::FocusInputForm() {
    QWidget* form = ShowingInputForm();
    if (!form) return;
    form->raise();
    form->activateWindow();
}

void TMainForm::ApplicationActivated() {
    // Whatever left them disabled (a script, a modal form that went away
    // with the program in the background), the window works again.
    menuBar()->setEnabled(true);
    Grid->setEnabled(true);
    Memo1->setEnabled(true);
    // Restacked, not activated: on X11 raise() only asks the window manager
    // to put the window on top, the focus stays where the activation put it.
    if (QApplication::activeWindow() == this) raise();
}

bool TMainForm::InputFormActivationChanged() {
    QWidget* active = QApplication::activeWindow();
    // A window that closed while active leaves no trace: its successor is
    // handled as the program coming back, which ends the same way.
    QWidget* previous = std::exchange(activeWindow_, active);
    if (!Typing->InputFormMode) {
        inputFSMAtDeactivation_ = -1;
        return false;
    }
    const int fsm = THooks::Instance().FSM();
    // Next-key capture and recording keep their state; a typing run owns it.
    if (Typing->TypeState != TTypingController::tsIdle ||
        (fsm != BX_FSM_WATCHING && fsm != BX_FSM_SUSPENDED))
        return true;
    if (!active) {
        // Keys typed in other programs are not expanded into the open form.
        // Only a form's own state is kept: between the main window going down
        // and the form coming up the program has no active window either.
        if (previous)
            inputFSMAtDeactivation_ =
                qobject_cast<TInputFieldForm*>(previous) || previous == TInputMemoDlg::Instance()
                    ? fsm
                    : -1;
        SetFSM(BX_FSM_SUSPENDED);
        return true;
    }
    if (!previous) {
        // Coming back: to the form the user was answering, in the state it had.
        const int kept = std::exchange(inputFSMAtDeactivation_, -1);
        QWidget* form = ShowingInputForm();
        if (form && form != active) FocusInputForm();
        if (kept >= 0) {
            SetFSM(kept == BX_FSM_SUSPENDED ? BX_FSM_SUSPENDED : BX_FSM_WATCHING);
            return true;
        }
        if (form) active = form;
    }
    // Between windows of ours: the input text window watches keys whenever
    // it is active, a field form on its free-text page; any other window
    // (the main window, a question, a dialog opened from a field) does not.
    if (auto* fieldForm = qobject_cast<TInputFieldForm*>(active))
        SetFSM(fieldForm->WantedFSM());
    else
        SetFSM(active == TInputMemoDlg::Instance() ? BX_FSM_WATCHING : BX_FSM_SUSPENDED);
    return true;
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
