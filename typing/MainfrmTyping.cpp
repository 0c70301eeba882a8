// The typing engine of the main window: the text of the text-to-type box
// becomes keystrokes in the window the user came from.
#include "dictionary/Dict.h"
#include "platform/Ansi.h"
#include "script/TclInterface.h"
#include "shell/Mainfrm.h"
#include "tags/ParseTxt.h"
#include "tags/TrailingWord.h"
#include "typing/Autorepl.h"
#include "typing/Hooksdll.h"
#include "typing/Stats.h"
#include "typing/inject_t.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>

namespace {
constexpr int kPasteSettleMsec = 150;

qint64 Now() {
    return QDateTime::currentMSecsSinceEpoch();
}

// Text that is typed: what a stream holds up to its first NUL.
QByteArray UpToNul(const QByteArray& s) {
    const qsizetype nul = s.indexOf('\0');
    return nul < 0 ? s : s.left(nul);
}

void StripTrailingNuls(QByteArray& s) {
    while (s.endsWith('\0'))
        s.chop(1);
}
} // namespace

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
    const QByteArray text =
        Ansi::FromUnicode(Memo1->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
    const bool asksInput = text.size() >= 7 && FindFirstInputTag(text) >= 0;
    if (InputFormMode) return; // the input forms insert the text themselves
    // A restricted dictionary types only its read-only entries with their tags.
    const int row = CurrentRow();
    typeLiterally_ = Dict->GetRestricted() && !(row >= 0 && Dict->GetItem(row)->GetReadOnly());
    if (asksInput && !typeLiterally_) {
        StatusLbl->setText(
            tr("This text asks for input fields, which this version cannot fill in yet; "
               "it is typed as it stands."));
    }
    StartTyping();
}

void TMainForm::StartTyping() {
    AbortJammedKeys();
    TypeState = 1;
    Timer1->start(1);
    Timer1Timer();
}

void TMainForm::Timer1Timer() {
    Timer1->stop();
    switch (TypeState) {
    case 1:
        PrepareAndInject();
        if (TypeState == 5) return; // nothing to type
        TypeState = 3;
        THooks::Instance().SetFSMIf(BX_FSM_SUSPENDED, BX_FSM_WATCHING);
        StartTick = Now();
        Timer1->start(1);
        return;
    case 3:
        if (WaitingForInsertDone()) {
            if (Now() - StartTick > 1000) StartPlayback();
        } else {
            const int f = THooks::Instance().FSM();
            if (f != BX_FSM_TYPING && f != BX_FSM_TYPING2) TypeState = 4;
        }
        Timer1->start(1);
        return;
    case 4:
    case 6: {
        const int f = THooks::Instance().FSM();
        if ((TypeState == 6 || f == BX_FSM_HANDED_OVER) && f != BX_FSM_SUSPENDED)
            SetFSM(BX_FSM_WATCHING);
        if (f == BX_FSM_TYPING || f == BX_FSM_TYPING2) {
            TypeState = 3;
            Timer1->start(1);
            return;
        }
        AfterTyping();
        lower();
        if (Settings.Has(goBeepAfterInsert)) Beep();
        TypeState = 5;
        return;
    }
    default:
        TypeState = 5;
        return;
    }
}

void TMainForm::PrepareAndInject() {
    if (!isMinimized()) ClearJammedKeys();
    // A failing transfer script types its report instead of the text.
    if (!OnTransferScript.isEmpty() && Tcl && !Tcl->Eval(OnTransferScript))
        Memo1->setPlainText(Ansi::ToUnicode(Tcl->GetFailureText()));
    QByteArray text =
        Ansi::FromUnicode(Memo1->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
    if (text.isEmpty() && BackspacePrefix.size() < 1 && KeySuffix.size() < 1) {
        if (Settings.Has(goBeepOnEmptyText)) Beep();
        FinishTyping(BX_FSM_WATCHING);
        TypeState = 5;
        return;
    }
    if (!text.isEmpty())
        LastTypedText =
            (KeptChar ? QByteArray(1, static_cast<char>(KeptChar)) : QByteArray()) + text;
    QByteArray t = text + '\0';
    if (!typeLiterally_) ParseTextToType(t, false);
    const bool clipboardMode =
        Settings.Has(goUseClipboard) && !(typeLiterally_ ? false : HasPlaybackCodes(t));
    if (!typeLiterally_ && NoSpaceRequested()) KeySuffix.clear();

    const QByteArray body = UpToNul(t);
    QByteArray out;
    const qsizetype lead = typeLiterally_ ? 0 : LeadingPauseLength(body);
    out += body.left(lead);
    QByteArray prefix = BackspacePrefix + '\0';
    ParseTextToType(prefix, false);
    out += UpToNul(prefix);
    BackspacePrefix.clear();
    const QByteArray rest = body.mid(lead);
    if (clipboardMode && !rest.isEmpty()) {
        // X text ends lines with LF alone; a pasted CR shows up as a stray character.
        QString clip = Ansi::ToUnicode(rest).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        for (QChar& c : clip)
            if (c.unicode() < 32 && c != QLatin1Char('\t') && c != QLatin1Char('\n') &&
                c != QLatin1Char('\r'))
                c = QLatin1Char(' ');
        // Both selections: some X programs paste CLIPBOARD on Shift+Ins, others
        // PRIMARY. Served by the hook library when it can: it knows when the
        // target has fetched the text.
        if (!BxOfferPaste(clip.toUtf8().constData())) {
            QApplication::clipboard()->setText(clip, QClipboard::Clipboard);
            if (QApplication::clipboard()->supportsSelection())
                QApplication::clipboard()->setText(clip, QClipboard::Selection);
        }
        if (qstrcmp(BxBackendName(), "virtual") == 0)
            BxVirtualSetClipboard(Ansi::FromUnicode(clip).constData());
        out += Settings.ClipboardCommandKeys;
        // X programs fetch the pasted text asynchronously from us; keys typed
        // before it arrives would land in the middle of it. The pause ends
        // early once the hook library has seen the text fetched.
        out += QByteArray("\x01\x08") + static_cast<char>(kPasteSettleMsec + 1);
        ClipboardTypedCount += static_cast<int>(rest.size());
        if (Statistics) Statistics->ClipboardTypedCount += rest.size();
    } else {
        out += rest;
    }
    QByteArray suffix = KeySuffix + '\0';
    ParseTextToType(suffix, false);
    out += UpToNul(suffix);
    KeySuffix.clear();
    StripTrailingNuls(out);
    if (out.isEmpty()) {
        if (Settings.Has(goBeepOnEmptyText)) Beep();
        FinishTyping(BX_FSM_WATCHING);
        TypeState = 5;
        return;
    }
    if (Settings.Has(aoRememberLastExpandedWord) && Engine)
        FeedTrailingWord(out, *Engine, KeptChar);
    KeptChar = 0;
    const bool active = ApplicationActive();
    const BxHwnd target = active ? TargetWindow : 0;
    FinishTyping(BX_FSM_HANDED_OVER);
    // Coming from our own window the target needs a moment to take the focus back.
    TInjectText::Start(out, target, active ? Settings.PauseMsec : 0);
}

void TMainForm::FinishTyping(int state) {
    if (isMinimized()) return;
    SetFSM(state);
    TypeItBtn->setEnabled(false);
    ReturnFocus();
}

void TMainForm::ReturnFocus() {
    if (!InputFormMode && TargetWindow) {
        const bool wasActive = ApplicationActive();
        MinimiseApplication();
        if (wasActive) {
            QThread::msleep(static_cast<unsigned long>(std::clamp(Settings.PauseMsec / 20, 1, 50)));
            QCoreApplication::processEvents();
            if (BxFocusWindow() != TargetForeground) RestoreTarget();
        }
        TargetWindow = 0;
    } else if (!InputFormMode && ApplicationActive()) {
        MinimiseApplication();
    }
}

void TMainForm::RestoreTarget() {
    if (!TargetWindow) return;
    BxActivateWindow(TargetForeground ? TargetForeground : TargetWindow);
    if (Settings.SwitchFocusDelay > 0)
        QThread::msleep(static_cast<unsigned long>(Settings.SwitchFocusDelay));
    BxActivateWindow(TargetWindow);
}

void TMainForm::AfterTyping() {
    TypeItBtn->setEnabled(true);
    uint8_t key = 0;
    BxHwnd control = 0;
    if (Engine && Engine->TakeControlKey(key, control))
        WndProc(0x400, key, static_cast<intptr_t>(control));
    if (!OnTransferDoneScript.isEmpty() && Tcl) Tcl->Eval(OnTransferDoneScript);
    if (Engine) Engine->RefreshHintAfterTyping();
}

void TMainForm::AbortTyping() {
    AbortDisplayText(1);
    if (TypeState != 5) {
        TypeState = 6;
        Timer1Timer();
    }
    SetFSM(BX_FSM_SUSPENDED);
    AbortJammedKeys();
}
