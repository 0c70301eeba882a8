// The main window's side of auto-replace: the hook library's key
// notifications, the auto-replace check box and the engine's dictionary.
#include "dictionary/Dict.h"
#include "platform/Ansi.h"
#include "platform/VirtualKeys.h"
#include "shell/Mainfrm.h"
#include "shell/OwnInputKeys.h"
#include "typing/Autorepl.h"
#include "typing/HookClient.h"
#include "typing/LookupServices.h"
#include "typing/TypingController.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>
#include <algorithm>

intptr_t TMainForm::HookKeyMessage(uint16_t sc, int flags) {
    // A key typed into an open input form's text control comes from Qt
    // (TOwnInputKeys); the hook's report of the same key would handle it
    // twice. Keys the hook grabs reach no window, so they count from here.
    const BxHwnd own = OwnKeys ? OwnKeys->Source() : 0;
    BxHwnd w = own ? own : GetCallingHwnd();
    if (!own && Typing->InputFormMode && OwnKeys && OwnKeys->Active() &&
        TOwnInputKeys::IsOwnWindow(w)) {
        const std::vector<uint16_t> grabbed = GrabbedKeys();
        if (std::find(grabbed.begin(), grabbed.end(), sc) == grabbed.end()) return 0;
    }
    if (w != handle_) {
        LastCallingWindow = w;
        LastCallingForeground = BxKeyFocusWindow();
    }
    if (!own && CommandLine.TargetProcessOnly &&
        (w == 0 || BxWindowProcess(w) != CommandLine.TargetProcessId))
        return 0;
    InKeyNotification = true;
    struct TGuard {
        bool& flag;
        ~TGuard() { flag = false; }
    } guard{InKeyNotification};
    const unsigned key = sc & 0xFF;
    const bool shift = sc & shortcut::Shift, ctrl = sc & shortcut::Ctrl, alt = sc & shortcut::Alt;
    // A modifier pressed alone belongs to the next key: it must not end the
    // word, or "myAddr" would expand as "Addr".
    const bool modifierOnly = vk::IsModifier(static_cast<uint8_t>(key));
    if (modifierOnly) return 0;
    int r = 0;
    QByteArray text;
    bool entered = false;
    const bool followed = own || Typing->Apps.FollowsKeys(w, &entered);
    // In a password field or an excluded program the word is forgotten, so
    // nothing typed there can expand or show up in the suggestions later.
    if (entered && Engine && Engine->Initialised()) {
        Engine->ResetWord(false);
        Engine->UpdateHint();
    }
    if (Engine && AutoReplaceChk->isChecked() && followed) {
        if (flags == BX_KEYFLAG_DOWN)
            r = Engine->AutoReplaceKey(key, shift, ctrl, alt);
        else if (flags == BX_KEYFLAG_PERFORM)
            r = Engine->PerformReplacement(text);
        else
            Engine->KeyReleased();
    }
    enum { kNone, kFile, kEntry, kHot } kind = kNone;
    int entryRow = -1;
    if (r == 0) {
        if (Settings.IsFileShortcut(sc))
            kind = kFile;
        else if (Session.IsHotKey(sc))
            kind = kHot;
        else if ((entryRow = Session.EntryForShortcut(sc)) >= 0)
            kind = kEntry;
        if (kind == kNone) {
            THooks::Instance().SetFSMIf(BX_FSM_HANDED_OVER, BX_FSM_WATCHING);
            return 0;
        }
    }
    if (flags != BX_KEYFLAG_PERFORM) return 1;
    // Once the replacement is on its way (or nothing came of the key).
    struct TFlushHint {
        TAutoReplaceEngine* engine;
        ~TFlushHint() {
            if (engine) engine->FlushHint();
        }
    } flushHint{Engine.get()};
    // The hot key is a command of the engine too; it still brings the window up.
    if (r == arresult::CommandDone && sc == Settings.ProgramHotKey)
        kind = kHot;
    else if (r == arresult::CommandDone) {
        THooks::Instance().SetFSMIf(BX_FSM_HANDED_OVER, BX_FSM_WATCHING);
        return 1;
    }
    w = own ? own : GetCallingHwnd();
    if (w == handle_) return 1;
    if (!Typing->InputFormMode) {
        Typing->TargetWindow = w;
        Typing->TargetForeground = BxKeyFocusWindow();
    }
    if (Settings.Has(goBeepOnHotKey)) Beep();
    TypeItBtn->setEnabled(true);
    if (!(r == arresult::Replaced || kind == kEntry)) {
        TrayOpenOptClick();
        KeywordEdit->setFocus();
        KeywordEdit->selectAll();
        SetFSM(BX_FSM_SUSPENDED);
    }
    if (r == arresult::Consumed) {
        KeywordEdit->paste();
    } else if (r == arresult::Replaced) {
        ShowTextToType(text);
        TypeText(text);
        // A run under way refreshes the hint when it ends; until then the
        // processors are left to the typist and the target.
        if (!Typing->Idle()) flushHint.engine = nullptr;
    } else if (kind == kFile) {
        PostMessage(wm::FileShortcut, sc);
    } else if (kind == kEntry && entryRow >= 0 && entryRow < Session.Dict().Count()) {
        ShowEntry(entryRow);
        TypeText(Session.Dict().GetItem(entryRow)->GetText());
    }
    return 1;
}

void TMainForm::AutoReplaceChkClick() {
    if (!StartupDone) return;
    if (!Engine) return;
    Settings.Set(aoAutoReplace, AutoReplaceChk->isChecked());
    if (AutoReplaceChk->isChecked() && !Engine->Initialised()) Engine->InitEngine();
    Engine->SetOptions(Settings.AutoReplaceOptions);
    if (AutoReplaceChk->isChecked()) UpdateEngineDictionary();
}

void TMainForm::UpdateEngineDictionary() {
    if (Engine && Engine->Initialised())
        Engine->SetMainWindow(QFileInfo(Session.FileName()).fileName(), *Services);
}
