#pragma once
// The simulated desktop behind BREVIX_HOOK=virtual.
#include "hook/Backend.h"

#include <array>
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

private:
    struct TWindow {
        uint32_t pid = 0;
        std::string text;
        std::array<int32_t, 4> rect{}; // an empty rectangle: not known
    };
    void ApplyKey(uint8_t vkey, uint8_t mods); // under mutex_
    std::mutex mutex_;
    int inFlight_ = 0; // key reports in progress, under the backends' list lock
    std::map<BxHwnd, TWindow> windows_;
    BxHwnd focus_ = 0;
    BxHwnd next_ = 0x100;
    std::string clipboard_;
    bool watching_ = false;
    uint8_t held_ = 0; // modifiers the user holds down
};

} // namespace bxhook
