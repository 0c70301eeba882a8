#pragma once
// The simulated desktop behind BREVIX_HOOK=virtual.
#include "hook/Backend.h"
#include "hook/Screen.h"

#include <array>
#include <atomic>
#include <bitset>
#include <deque>
#include <map>
#include <mutex>
#include <string>

namespace bxhook {

class TVirtualBackend : public TBackend {
public:
    static TVirtualBackend* Current();
    TVirtualBackend();
    ~TVirtualBackend() override;

    const char* Name() const override { return "virtual"; }
    bool Start(std::string& error) override;
    void Stop() override;
    BxHwnd FocusWindow() override;
    uint32_t WindowProcess(BxHwnd window) override;
    bool AppClass(BxHwnd window, std::string& className, std::string& instance) override {
        return screen_.ClassNames(window, className, instance);
    }
    uint32_t CaretScreenPos() override;
    void FocusTarget(BxHwnd window) override;
    void TypeChar(unsigned char c) override;
    // The desktop's own paste key pastes the text; the program still puts
    // it on the real clipboard, as nothing here serves that.
    bool OfferPaste(const std::string& utf8) override;
    void SendKey(uint8_t vkey, uint8_t mods, KeyAction action) override;

    BxHwnd CreateWindow(uint32_t pid);
    void SetFocus(BxHwnd window);
    void PhysicalKey(uint16_t code, bool down);
    // A key of the current backend's keyboard, reported as its watcher would.
    static void Report(uint16_t code, bool down);
    std::string Text(BxHwnd window);
    void SetText(BxHwnd window, const std::string& text);
    void SetClipboard(const std::string& text);
    bool WindowRect(BxHwnd window, int32_t out[4]) override;
    void SetWindowRect(BxHwnd window, std::array<int32_t, 4> rect);
    TScreen* Screen() override { return &screen_; }
    void SetClassNames(BxHwnd window, const std::string& className, const std::string& instance);
    uint32_t PasswordFocus() const { return passwordPid_.load(); }
    void SetPasswordFocus(uint32_t pid) { passwordPid_.store(pid); }
    // The SimKey events since the last call: virtual key, 0x100 for a release.
    int TakeSimKeys(uint16_t* out, int size);

private:
    // The windows as scripts see them; the focused window is the foreground.
    class TDesktop final : public TScreen {
    public:
        explicit TDesktop(TVirtualBackend& owner) : owner_(owner) {}
        bool TopWindows(std::vector<BxHwnd>& out) override;
        bool Exists(BxHwnd window) override;
        bool ClassNames(BxHwnd window, std::string& className, std::string& instance) override;
        bool Title(BxHwnd window, std::string& out) override;
        bool SetTitle(BxHwnd window, const std::string& title) override;
        BxHwnd Foreground() override;
        bool SetForeground(BxHwnd window) override;
        bool SetFocus(BxHwnd window) override;
        bool Raise(BxHwnd window) override;
        bool KeyDown(uint8_t vkey) override;

    private:
        TVirtualBackend& owner_;
    };
    struct TWindow {
        uint32_t pid = 0;
        std::string text;
        std::array<int32_t, 4> rect{}; // an empty rectangle: not known
        std::string className, instance, title;
    };
    // A key went down or up, from the user or from SimKey (under mutex_).
    void KeyState(uint8_t vkey, bool down);
    void ApplyKey(uint8_t vkey, uint8_t mods); // under mutex_
    std::mutex mutex_;
    int inFlight_ = 0; // key reports in progress, under the backends' list lock
    std::map<BxHwnd, TWindow> windows_;
    BxHwnd focus_ = 0;
    BxHwnd next_ = 0x100;
    std::string clipboard_;
    bool watching_ = false;
    uint8_t held_ = 0;      // modifiers the user holds down
    std::bitset<256> down_; // keys down now, the user's and SimKey's
    bool capsOn_ = false, numLockOn_ = false;
    uint8_t simMods_ = 0;          // modifiers SimKey holds down
    std::deque<uint16_t> simKeys_; // SimKey's events, the latest 1024
    TDesktop screen_{*this};
    std::atomic<uint32_t> passwordPid_{0};
};

} // namespace bxhook
