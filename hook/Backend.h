#pragma once
// What the hook core needs from a desktop: watching keys (reported back
// through THookCore::OnUserKey) and typing into the focused window.
#include "hook/HookApi.h"
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace bxhook {

struct TLayoutSnapshot;
class TScreen;

enum class KeyAction { Press, Down, Up };

// The focus window asked for without waiting; the answer is fetched when
// first wanted, and dropped unread if it never is.
class TFocusAnswer {
public:
    virtual ~TFocusAnswer() = default;
    virtual BxHwnd Get() = 0;
};

class TBackend {
public:
    virtual ~TBackend() = default;
    virtual const char* Name() const = 0;
    // Starts watching keys; false with a reason when the desktop cannot be reached.
    virtual bool Start(std::string& error) = 0;
    virtual void Stop() = 0;
    virtual BxHwnd FocusWindow() = 0;
    // The focus as read for the key being reported, while one is; else FocusWindow().
    virtual BxHwnd KeyFocusWindow() { return FocusWindow(); }
    // FocusWindow for a caller that has other work meanwhile; this one answers at once.
    virtual std::unique_ptr<TFocusAnswer> AskFocusWindow() {
        struct TAnswered : TFocusAnswer {
            BxHwnd window;
            explicit TAnswered(BxHwnd w) : window(w) {}
            BxHwnd Get() override { return window; }
        };
        return std::make_unique<TAnswered>(FocusWindow());
    }
    virtual uint32_t WindowProcess(BxHwnd window) = 0;
    // WM_CLASS of the application that holds the window (the nearest
    // ancestor naming one); false when unknown.
    virtual bool AppClass(BxHwnd window, std::string& className, std::string& instance) {
        (void)window;
        (void)className;
        (void)instance;
        return false;
    }
    // Caret in screen pixels, x low 16 bits, y high 16 bits.
    virtual uint32_t CaretScreenPos() = 0;
    // Left, top, width, height in screen pixels; false when unknown.
    virtual bool WindowRect(BxHwnd window, int32_t out[4]) {
        (void)window;
        (void)out;
        return false;
    }
    virtual void FocusTarget(BxHwnd window) { (void)window; }
    // The characters of a text about to be typed (ANSI), told once before
    // its first key: a backend that has to set keys up for characters can
    // do it for all of them at once.
    virtual void PrepareChars(std::string_view chars) { (void)chars; }
    // One ANSI character into the focused window.
    virtual void TypeChar(unsigned char c) = 0;
    // A virtual key with modifiers (playback::ModShift, ModCtrl, ModAlt).
    virtual void SendKey(uint8_t vkey, uint8_t mods, KeyAction action) = 0;
    // Ends the typing of one text: pending events are flushed.
    virtual void Flush() {}
    // Sends the keys typed so far on their way, without waiting (as Flush does).
    virtual void Push() {}
    virtual void SetGrabbedKeys(const std::vector<uint16_t>& codes) { (void)codes; }
    // The key just reported was consumed; told before the program performs
    // the replacement, so a backend that could not withhold the key can
    // undo it ahead of the replacement's own keys.
    virtual void KeyConsumed(uint16_t code) { (void)code; }
    // Releases every key that playback left down.
    virtual void ReleaseHeldKeys() {}
    // The hook's state changed (typing began or ended).
    virtual void StateChanged() {}
    // Serves the text the paste key of the next text pastes; false when the
    // program must put it on the clipboard itself.
    virtual bool OfferPaste(const std::string& utf8) {
        (void)utf8;
        return false;
    }
    // After a paste, what the selections held before comes back once the
    // target has fetched the text; limitBytes 0: off.
    virtual void SetClipboardRestore(size_t limitBytes) { (void)limitBytes; }
    // A pause that follows the paste key: true when it was spent waiting
    // for the target to fetch the offered text (at most msec).
    virtual bool PauseAfterPaste(int msec) {
        (void)msec;
        return false;
    }
    // The desktop's keyboard layout; false when the backend has none of its own.
    virtual bool LayoutSnapshot(TLayoutSnapshot& out) {
        (void)out;
        return false;
    }
    // Other windows and the key state, for scripts; null when the desktop
    // cannot be asked.
    virtual TScreen* Screen() { return nullptr; }
    // The desktop the backend works on is gone (the X server ended).
    virtual bool DisplayLost() { return false; }
};

std::unique_ptr<TBackend> CreateVirtualBackend();
// Null when the build has no X11 backend.
std::unique_ptr<TBackend> CreateX11Backend();

} // namespace bxhook
