#pragma once
// The X11 desktop: XRecord watches the keys of every client, XTest types,
// XGrabKey withholds the keys that must never reach the target window.
//
// XRecord only observes: a key the hook core consumes has already reached
// the target. Keys that must never arrive (hot key, shortcuts, suggestion
// keys) are therefore grabbed in advance through SetGrabbedKeys. A consumed
// key that was not grabbed (a keyword's delimiter: space, punctuation,
// Enter) did arrive, so the text typed in reply starts by erasing it; the
// replacement then types the delimiter again, and the target ends up with
// exactly the expansion followed by the delimiter.
#include "hook/Backend.h"
#include "hook/x11/Injected.h"
#include "hook/x11/KeyHold.h"
#include "hook/x11/Selection.h"
#include "hook/x11/X11Screen.h"
#include "hook/x11/X11Typer.h"
#include "hook/x11/XkbLayout.h"

#include <X11/Xlib.h>
#include <X11/extensions/record.h>

#include <atomic>
#include <bitset>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace bxhook::x11 {

class TX11Backend : public TBackend {
public:
    TX11Backend();
    ~TX11Backend() override;

    const char* Name() const override { return "x11"; }
    bool DisplayLost() override;
    bool LayoutSnapshot(TLayoutSnapshot& out) override;
    bool Start(std::string& error) override;
    void Stop() override;
    BxHwnd FocusWindow() override;
    BxHwnd KeyFocusWindow() override;
    std::unique_ptr<TFocusAnswer> AskFocusWindow() override;
    uint32_t WindowProcess(BxHwnd window) override;
    bool AppClass(BxHwnd window, std::string& className, std::string& instance) override;
    uint32_t CaretScreenPos() override;
    bool WindowRect(BxHwnd window, int32_t out[4]) override;
    void FocusTarget(BxHwnd window) override;
    void PrepareChars(std::string_view chars) override;
    void TypeChar(unsigned char c) override;
    void SendKey(uint8_t vkey, uint8_t mods, KeyAction action) override;
    void Flush() override;
    void Push() override;
    void SetGrabbedKeys(const std::vector<uint16_t>& codes) override;
    void ReleaseHeldKeys() override;
    void KeyConsumed(uint16_t code) override;
    void StateChanged() override { Wake(); }
    void SetClipboardRestore(size_t limitBytes) override { selection_.SetRestore(limitBytes); }
    bool OfferPaste(const std::string& utf8) override;
    bool PauseAfterPaste(int msec) override;
    TScreen* Screen() override { return &screen_; }

private:
    // Opens the watch and typing connections and the service thread once.
    bool Ensure(std::string& error);
    void Run();
    void Wake();
    void EnableRecording();
    void DisableRecording();
    // Handles what the recording sends until done() or the limit.
    void PumpRecording(const std::function<bool()>& done, std::chrono::milliseconds limit,
                       int pollMsec);
    static void OnRecordData(XPointer self, XRecordInterceptData* data);
    void OnDeviceEvent(int type, KeyCode code);
    void DrainWatch();
    void Grab(); // under watchMutex_
    void Ungrab();
    bool UserHolds(KeyCode code);
    // The hold of the user's keys while a replacement is typed.
    bool HoldTaken(const TKeyHold::TKey& key);
    void EndHoldIfDone();

    std::mutex ensureMutex_;
    bool ensured_ = false;
    std::string ensureError_;

    // The watch connection: window questions, grabs, mapping changes.
    std::mutex watchMutex_;
    Display* watch_ = nullptr;
    TXkbLayout layout_;
    int xkbEventBase_ = 0;
    std::vector<uint16_t> grabbed_;
    struct TGrab {
        KeyCode code;
        unsigned mods;
    };
    std::vector<TGrab> grabs_;
    Window lastFocus_ = 0;
    // The focus read for the key being reported; 0 between reports.
    std::atomic<Window> reportFocus_{0};

    // The recording, driven by the service thread.
    Display* control_ = nullptr;
    Display* data_ = nullptr;
    XRecordContext context_ = 0;
    bool recording_ = false;
    bool lastPrintable_ = false; // of the key being reported (service thread)
    std::atomic<bool> wantRecording_{false};
    std::mutex stateMutex_;
    std::condition_variable stateChanged_;
    std::atomic<bool> recordingActive_{false};
    std::atomic<bool> reporting_{false};
    std::string recordError_;
    bool startSeen_ = false;
    bool endSeen_ = false;

    std::thread thread_;
    std::atomic<bool> quit_{false};
    int wake_[2] = {-1, -1};

    std::mutex userMutex_;
    std::bitset<256> userDown_; // keys the user holds, as the recording saw them
    std::bitset<256> heldDown_; // the same while held: as the grab saw them
    std::atomic<bool> holding_{false};

    TKeyHold hold_;
    TSelectionOwner selection_;
    bool selectionOpen_ = false;
    std::atomic<uint64_t> pasteArmed_{0}; // generation the next paste pause waits for
    std::bitset<256> heldAtBegin_;        // down before the hold began: the target has them down
    KeyCode echo_ = 0;                    // a replayed press the recording has yet to report
    unsigned replayed_[256][2] = {};      // replayed events the recording has yet to report
    // From a delimiter until its replacement starts, keys the recording
    // reports that the grab did not take reached the target before the grab.
    std::atomic<bool> leakOpen_{false};
    std::atomic<bool> leaksSettled_{true};
    std::mutex settleMutex_;
    std::condition_variable settled_;
    // The recording shows where the hold's grabs came among the keys (the
    // service thread's counts); without it, a grace after their answers.
    bool markGrabs_ = false;
    uint32_t holdBase_ = 0;
    int grabsAsked_ = 0;
    int grabsSeen_ = 0;
    bool SettleLeaks();
    // The keys others hold down, as recorded.
    bool UserKeymap(char (&keys)[32]);

    TInjectedKeys injected_;
    TX11Typer typer_;
    TX11Screen screen_;
};

} // namespace bxhook::x11
