#pragma once
// What the typing controller needs from the program's windows and settings.
// The main window answers; a test double can stand in for it.
#include "hook/HookApi.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

// The settings a typing run reads, taken afresh for every run.
struct TTypingOptions {
    bool BeepAfterInsert = false;
    bool BeepOnEmptyText = false;
    // Texts without key or pause codes are pasted rather than typed.
    bool UseClipboard = false;
    bool RememberLastExpandedWord = false;
    // The playback keys that paste (already parsed).
    QByteArray ClipboardCommandKeys;
    // Before typing from our own window, for the target to take the focus back.
    int PauseMsec = 0;
    int SwitchFocusDelay = 0;
};

class TTypingHost {
public:
    virtual ~TTypingHost() = default;
    virtual TTypingOptions TypingOptions() const = 0;
    // One of the program's own windows is active.
    virtual bool ApplicationActive() const = 0;
    virtual bool Minimized() const = 0;
    // Out of the way: to the notification area, else minimised.
    virtual void MinimiseApplication() = 0;
    virtual void LowerWindow() = 0;
    virtual void Beep() = 0;
    virtual void SetFSM(int state) = 0;
    virtual void SetTypeButtonEnabled(bool on) = 0;
    // The text to type as the user sees it.
    virtual void ShowTextToType(const QByteArray& text) = 0;
    // Runs a script of the user's; false with its failure report.
    virtual bool RunScript(const QByteArray& script, QByteArray& failure) = 0;
    // Both selections, when the hook library cannot serve the text itself.
    virtual void PutOnClipboard(const QString& text) = 0;
    // A key the engine held for one of the program's own controls.
    virtual void KeyForOwnControl(uint8_t key, BxHwnd control) = 0;
};
