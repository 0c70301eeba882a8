#pragma once
// The typing of a text into the window the user came from: erasing the
// keyword, pasting or typing the text, the keys after it, and giving the
// focus back. One run at a time; the hook library types on a worker thread
// while a timer here follows its state machine. UI thread only.
#include "hook/HookApi.h"
#include "typing/AppContext.h"

#include <QByteArray>
#include <QObject>

class QTimer;
class TTypingHost;
struct TTypingOptions;
class TAutoReplaceEngine;
class TKeyStatistics;

class TTypingController : public QObject {
    Q_OBJECT
public:
    enum TTypeState : uint8_t {
        tsStart = 1,     // the text is prepared and handed over
        tsWaiting = 3,   // the hook library is typing
        tsFinishing = 4, // typed; the focus and the state machine go back
        tsIdle = 5,
        tsAborting = 6 // as tsFinishing, after the user stopped the run
    };

    explicit TTypingController(TTypingHost& host, QObject* parent = nullptr);

    // Neither is owned; either may be null.
    void SetEngine(TAutoReplaceEngine* engine) { engine_ = engine; }
    void SetStatistics(TKeyStatistics* statistics) { statistics_ = statistics; }

    // Types text (Windows-1252, lines ending in CR LF); literally: without
    // its tags, as a restricted dictionary wants.
    void Type(const QByteArray& text, bool literally);
    // Types the text of the last Type again, as it stands now.
    void StartTyping();
    // What the next StartTyping types: the text the input fields were filled into.
    void SetText(const QByteArray& text) {
        text_ = NormalizedLineEnds(text);
        literally_ = false;
    }
    void Timer1Timer();
    // The user stopped the run (the window opened from the tray).
    void AbortTyping();
    void ReturnFocus();
    void RestoreTarget();
    bool Idle() const;

    // Lone CR or LF become CR LF, as the text-to-type box would show them.
    static QByteArray NormalizedLineEnds(const QByteArray& text);

    // Where the text goes: the control and its top-level window.
    BxHwnd TargetWindow = 0;
    BxHwnd TargetForeground = 0;
    TTypeState TypeState = tsIdle;
    // The input forms insert the text themselves.
    bool InputFormMode = false;
    // Set by the engine for the next run: keys that erase the keyword, and
    // the delimiter typed after the text.
    QByteArray BackspacePrefix, KeySuffix;
    QByteArray LastTypedText;
    // The expansion's first character, kept from the keyword.
    unsigned char KeptChar = 0;
    int ClipboardTypedCount = 0;
    // Scripts run before a text is handed over and after it was typed.
    QByteArray OnTransferScript, OnTransferDoneScript;
    QTimer* Timer1 = nullptr;
    // What the application typed into wants: its rule, its password field.
    TAppContext Apps;

    // After a text is typed, or inserted into an input form instead: the type
    // button, the delimiter for our own control, the transfer-done script,
    // the hint.
    void AfterTyping();

private:
    void PrepareAndInject();
    void FinishTyping(int state);
    void EndEmpty();
    QByteArray PasteBody(const QByteArray& rest, const TTypingOptions& options);

    TTypingHost& host_;
    TAutoReplaceEngine* engine_ = nullptr;
    TKeyStatistics* statistics_ = nullptr;
    QByteArray text_;
    bool literally_ = false;
    qint64 startTick_ = 0;
};
