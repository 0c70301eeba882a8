// The main window's side of auto-replace: the hook's key notifications
// (0x464 and its neighbours) and the lookup services of the engine.
#include "shell/MainfrmServices.h"
#include "dictionary/Dict.h"
#include "platform/Ansi.h"
#include "platform/VirtualKeys.h"
#include "shell/Mainfrm.h"
#include "shell/MainfrmHints.h"
#include "typing/Autorepl.h"
#include "typing/HookClient.h"
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

const TLookupAnswer* TMainServices::Lookup(const QByteArray& keyword) {
    return Dictionary.Lookup(keyword);
}

bool TMainServices::KeywordBegins(const QByteArray& text) {
    return Dictionary.KeywordBegins(text);
}

BxHwnd TMainServices::CallingWindow() {
    return GetCallingHwnd();
}

std::optional<QByteArray> TMainServices::LookupDescription(const QByteArray& keyword) {
    return Dictionary.LookupDescription(keyword);
}

BxHwnd TMainServices::OwnInputControl() {
    return 0;
}

void TMainServices::SetPrefixOrSuffix(int which, const QByteArray& text) {
    (which == 0 ? form_.Typing->BackspacePrefix : form_.Typing->KeySuffix) = text;
}

int TMainServices::ShortcutKind(uint16_t code) {
    if (code == 0) return shortcutkind::None;
    // A key the suggestion window lists now selects that suggestion, even
    // when it is also some shortcut: the engine must see it.
    if (form_.Hints && form_.Hints->SuggestionIndexForShortcut(code) >= 0)
        return shortcutkind::None;
    if (code == form_.Settings.ProgramHotKey) return shortcutkind::HotKey;
    for (uint16_t c : form_.Settings.FileShortcutCodes)
        if (c == code) return shortcutkind::File;
    for (size_t i = 1; i < form_.ShortcutIndex.size(); ++i)
        if (form_.ShortcutIndex[i].first == code) return shortcutkind::Entry;
    return shortcutkind::None;
}

uint32_t TMainServices::CaretPos() {
    return GetCaretScreenPos();
}

const TLookupAnswer* TMainServices::CompletionLookup(const QByteArray& text) {
    return Dictionary.CompletionLookup(text);
}

void TMainServices::PostAddEntry(const std::optional<QByteArray>& word) {
    const std::optional<QByteArray> w = word;
    QMetaObject::invokeMethod(
        &form_,
        [this, w] {
            const TAddEntryProposal p =
                MakeAddEntryProposal(w, Ansi::FromUnicode(QApplication::clipboard()->text()),
                                     Ansi::FromUnicode(form_.Settings.AltInsKeywordPrefix),
                                     Ansi::FromUnicode(form_.Settings.AltInsKeywordSuffix));
            const QByteArray& keyword = p.Keyword;
            const QByteArray& text = p.Text;
            form_.TrayOpenOptClick();
            form_.SetFSM(BX_FSM_SUSPENDED);
            if (form_.Dict->GetReadOnly()) {
                QMessageBox::information(
                    &form_, QStringLiteral("Brevix"),
                    QObject::tr("This dictionary is marked READONLY and cannot be modified."));
                return;
            }
            // Until the entry editor exists the proposal waits in the main window.
            form_.ProgrammaticKeyword = true;
            form_.KeywordEdit->setText(Ansi::ToUnicode(keyword));
            form_.SetTextToType(Ansi::ToUnicode(text));
            form_.StatusLbl->setText(
                QObject::tr("New entry proposed: \"%1\".").arg(Ansi::ToUnicode(keyword)));
        },
        Qt::QueuedConnection);
}

void TMainServices::PostKeywordBox(int wParam, const QByteArray& word) {
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

uint16_t TMainServices::HotKey() {
    return form_.Settings.ProgramHotKey;
}

void TMainServices::SetKeptChar(unsigned char c) {
    form_.Typing->KeptChar = c;
}

void TMainServices::SendBackspaces(BxHwnd, int count) {
    // Our own controls: the focused one gets the backspaces.
    if (QWidget* w = QApplication::focusWidget())
        for (int i = 0; i < count; ++i) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
            QApplication::sendEvent(w, &press);
        }
}

// ---- the main window's part ---------------------------------------------------

intptr_t TMainForm::HookKeyMessage(uint16_t sc, int flags) {
    BxHwnd w = GetCallingHwnd();
    if (w != handle_) {
        LastCallingWindow = w;
        LastCallingForeground = BxFocusWindow();
    }
    if (CommandLine.TargetProcessOnly &&
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
    if (Engine && AutoReplaceChk->isChecked()) {
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
        for (uint16_t c : Settings.FileShortcutCodes)
            if (c && c == sc) kind = kFile;
        if (kind == kNone) {
            for (size_t i = 0; i < ShortcutIndex.size() && kind == kNone; ++i)
                if (ShortcutIndex[i].first == sc && sc != 0) {
                    kind = i == 0 ? kHot : kEntry;
                    entryRow = ShortcutIndex[i].second;
                }
            if (kind == kNone) {
                THooks::Instance().SetFSMIf(BX_FSM_HANDED_OVER, BX_FSM_WATCHING);
                return 0;
            }
        }
    }
    if (flags != BX_KEYFLAG_PERFORM) return 1;
    // The hot key is a command of the engine too; it still brings the window up.
    if (r == arresult::CommandDone && sc == Settings.ProgramHotKey)
        kind = kHot;
    else if (r == arresult::CommandDone) {
        THooks::Instance().SetFSMIf(BX_FSM_HANDED_OVER, BX_FSM_WATCHING);
        return 1;
    }
    w = GetCallingHwnd();
    if (w == handle_) return 1;
    if (!Typing->InputFormMode) {
        Typing->TargetWindow = w;
        Typing->TargetForeground = BxFocusWindow();
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
    } else if (kind == kFile) {
        PostMessage(wm::FileShortcut, sc);
    } else if (kind == kEntry && entryRow >= 0 && entryRow < Dict->Count()) {
        ShowEntry(entryRow);
        TypeText(Dict->GetItem(entryRow)->GetText());
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
        Engine->SetMainWindow(QFileInfo(OpenFileName).fileName(), *Services);
}
