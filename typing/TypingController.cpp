#include "typing/TypingController.h"
#include "platform/Ansi.h"
#include "tags/ParseTxt.h"
#include "tags/PlaybackCodes.h"
#include "tags/TrailingWord.h"
#include "typing/Autorepl.h"
#include "typing/HookClient.h"
#include "typing/InjectText.h"
#include "typing/Stats.h"
#include "typing/TypingHost.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>
#include <QTimer>
#include <algorithm>

namespace {
// The longest wait after the paste key; the hook library ends it early once
// the target has fetched the text.
constexpr int kPasteSettleMsec = 150;
// The hook library may hold a text back until the target is ready; after
// this long it is started anyway.
constexpr qint64 kInsertDoneWaitMsec = 1000;
// The delimiter after a replacement when it was a plain Space.
constexpr char kSpaceSuffix[] = "{@KEY Space}";

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

// A stream of tags parsed to playback text, up to its end.
QByteArray Parsed(const QByteArray& tags) {
    QByteArray stream = tags + '\0';
    ParseTextToType(stream, false);
    return UpToNul(stream);
}

bool Typing(int fsm) {
    return fsm == BX_FSM_TYPING || fsm == BX_FSM_TYPING2;
}
} // namespace

TTypingController::TTypingController(TTypingHost& host, QObject* parent)
    : QObject(parent), host_(host) {
    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TTypingController::Timer1Timer);
}

bool TTypingController::Idle() const {
    return TypeState == tsIdle && !Timer1->isActive();
}

QByteArray TTypingController::NormalizedLineEnds(const QByteArray& text) {
    if (!text.contains('\r') && !text.contains('\n')) return text;
    QByteArray out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

void TTypingController::Type(const QByteArray& text, bool literally) {
    if (InputFormMode) return;
    text_ = NormalizedLineEnds(text);
    literally_ = literally;
    StartTyping();
}

void TTypingController::StartTyping() {
    AbortJammedKeys();
    TypeState = tsStart;
    Timer1->start(1);
    Timer1Timer();
}

void TTypingController::Timer1Timer() {
    Timer1->stop();
    switch (TypeState) {
    case tsStart:
        PrepareAndInject();
        if (TypeState == tsIdle) return; // nothing to type
        TypeState = tsWaiting;
        THooks::Instance().SetFSMIf(BX_FSM_SUSPENDED, BX_FSM_WATCHING);
        startTick_ = Now();
        Timer1->start(1);
        return;
    case tsWaiting:
        if (WaitingForInsertDone()) {
            if (Now() - startTick_ > kInsertDoneWaitMsec) StartPlayback();
        } else if (!Typing(THooks::Instance().FSM())) {
            TypeState = tsFinishing;
        }
        Timer1->start(1);
        return;
    case tsFinishing:
    case tsAborting: {
        const int f = THooks::Instance().FSM();
        if ((TypeState == tsAborting || f == BX_FSM_HANDED_OVER) && f != BX_FSM_SUSPENDED)
            host_.SetFSM(BX_FSM_WATCHING);
        if (Typing(f)) {
            TypeState = tsWaiting;
            Timer1->start(1);
            return;
        }
        AfterTyping();
        host_.LowerWindow();
        if (host_.TypingOptions().BeepAfterInsert) host_.Beep();
        TypeState = tsIdle;
        return;
    }
    default:
        TypeState = tsIdle;
        return;
    }
}

void TTypingController::EndEmpty() {
    if (host_.TypingOptions().BeepOnEmptyText) host_.Beep();
    FinishTyping(BX_FSM_WATCHING);
    TypeState = tsIdle;
}

void TTypingController::PrepareAndInject() {
    if (!host_.Minimized()) ClearJammedKeys();
    TTypingOptions options = host_.TypingOptions();
    Apps.AdjustTyping(options, TargetWindow);
    // A failing transfer script types its report instead of the text.
    QByteArray failure;
    if (!OnTransferScript.isEmpty() && !host_.RunScript(OnTransferScript, failure)) {
        text_ = NormalizedLineEnds(failure);
        host_.ShowTextToType(text_);
    }
    const QByteArray& text = text_;
    if (text.isEmpty() && BackspacePrefix.isEmpty() && KeySuffix.isEmpty()) {
        EndEmpty();
        return;
    }
    if (!text.isEmpty())
        LastTypedText =
            (KeptChar ? QByteArray(1, static_cast<char>(KeptChar)) : QByteArray()) + text;
    QByteArray t = text + '\0';
    if (!literally_) ParseTextToType(t, false);
    const bool clipboardMode = options.UseClipboard && (literally_ || !HasPlaybackCodes(t));
    if (!literally_ && NoSpaceRequested()) KeySuffix.clear();

    const QByteArray body = UpToNul(t);
    const qsizetype lead = literally_ ? 0 : LeadingPauseLength(body);
    QByteArray out = body.left(lead);
    out += Parsed(BackspacePrefix);
    BackspacePrefix.clear();
    QByteArray rest = body.mid(lead);
    if (clipboardMode && !rest.isEmpty() && KeySuffix == kSpaceSuffix) {
        // A key typed after a paste waits until the target has fetched the
        // text; a space pasted with it costs nothing.
        rest += ' ';
        KeySuffix.clear();
    }
    out += clipboardMode && !rest.isEmpty() ? PasteBody(rest, options) : rest;
    out += Parsed(KeySuffix);
    KeySuffix.clear();
    StripTrailingNuls(out);
    if (out.isEmpty()) {
        EndEmpty();
        return;
    }
    if (options.RememberLastExpandedWord && engine_) FeedTrailingWord(out, *engine_, KeptChar);
    KeptChar = 0;
    const bool active = host_.ApplicationActive();
    const BxHwnd target = active ? TargetWindow : 0;
    FinishTyping(BX_FSM_HANDED_OVER);
    // Coming from our own window the target needs a moment to take the focus back.
    TInjectText::Start(out, target, active ? options.PauseMsec : 0);
}

QByteArray TTypingController::PasteBody(const QByteArray& rest, const TTypingOptions& options) {
    // X text ends lines with LF alone; a pasted CR shows up as a stray character.
    QString clip = Ansi::ToUnicode(rest).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QChar& c : clip)
        if (c.unicode() < 32 && c != QLatin1Char('\t') && c != QLatin1Char('\n') &&
            c != QLatin1Char('\r'))
            c = QLatin1Char(' ');
    // Both selections: some X programs paste CLIPBOARD on Shift+Ins, others
    // PRIMARY. Served by the hook library when it can: it knows when the
    // target has fetched the text.
    if (!BxOfferPaste(clip.toUtf8().constData())) host_.PutOnClipboard(clip);
    ClipboardTypedCount += static_cast<int>(rest.size());
    if (statistics_) statistics_->ClipboardTypedCount += rest.size();
    // X programs fetch the pasted text asynchronously from us; keys typed
    // before it arrives would land in the middle of it.
    return options.ClipboardCommandKeys +
           playback::Code(playback::KindMilliseconds, kPasteSettleMsec);
}

void TTypingController::FinishTyping(int state) {
    if (host_.Minimized()) return;
    host_.SetFSM(state);
    host_.SetTypeButtonEnabled(false);
    ReturnFocus();
}

void TTypingController::ReturnFocus() {
    if (!InputFormMode && TargetWindow) {
        const bool wasActive = host_.ApplicationActive();
        host_.MinimiseApplication();
        if (wasActive) {
            const int pause = std::clamp(host_.TypingOptions().PauseMsec / 20, 1, 50);
            QThread::msleep(static_cast<unsigned long>(pause));
            QCoreApplication::processEvents();
            if (BxFocusWindow() != TargetForeground) RestoreTarget();
        }
        TargetWindow = 0;
    } else if (!InputFormMode && host_.ApplicationActive()) {
        host_.MinimiseApplication();
    }
}

void TTypingController::RestoreTarget() {
    if (!TargetWindow) return;
    BxActivateWindow(TargetForeground ? TargetForeground : TargetWindow);
    const int delay = host_.TypingOptions().SwitchFocusDelay;
    if (delay > 0) QThread::msleep(static_cast<unsigned long>(delay));
    BxActivateWindow(TargetWindow);
}

void TTypingController::AfterTyping() {
    host_.SetTypeButtonEnabled(true);
    uint8_t key = 0;
    BxHwnd control = 0;
    if (engine_ && engine_->TakeControlKey(key, control)) host_.KeyForOwnControl(key, control);
    QByteArray failure;
    if (!OnTransferDoneScript.isEmpty()) host_.RunScript(OnTransferDoneScript, failure);
    if (engine_) engine_->RefreshHintAfterTyping();
}

void TTypingController::AbortTyping() {
    AbortDisplayText(1);
    if (TypeState != tsIdle) {
        TypeState = tsAborting;
        Timer1Timer();
    }
    host_.SetFSM(BX_FSM_SUSPENDED);
    AbortJammedKeys();
}
