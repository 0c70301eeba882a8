#include "hook/VirtualBackend.h"
#include "hook/HookCore.h"
#include "platform/Cp1252.h"
#include "platform/UsLayout.h"
#include "platform/VirtualKeys.h"

#include <algorithm>
#include <condition_variable>

namespace bxhook {
namespace {
constexpr size_t kSimKeyLog = 1024;
TVirtualBackend* gCurrent = nullptr;
std::mutex gCurrentMutex;
std::condition_variable gIdle; // key reports in progress ended

// The playback modifier a Shift, Ctrl or Alt key (either side) stands for.
uint8_t ModifierBit(uint8_t vkey) {
    switch (vkey) {
    case vk::Shift:
    case 0xA0:
    case 0xA1:
        return playback::ModShift;
    case vk::Control:
    case 0xA2:
    case 0xA3:
        return playback::ModCtrl;
    case vk::Menu:
    case 0xA4:
    case 0xA5:
        return playback::ModAlt;
    default:
        return 0;
    }
}
} // namespace

std::unique_ptr<TBackend> CreateVirtualBackend() {
    return std::make_unique<TVirtualBackend>();
}

TVirtualBackend* TVirtualBackend::Current() {
    std::lock_guard g(gCurrentMutex);
    return gCurrent;
}

TVirtualBackend::TVirtualBackend() {
    std::lock_guard g(gCurrentMutex);
    gCurrent = this;
}

TVirtualBackend::~TVirtualBackend() {
    std::unique_lock g(gCurrentMutex);
    if (gCurrent == this) gCurrent = nullptr;
    // As a desktop's key watcher thread is joined, a key report in progress
    // ends before the backend goes.
    gIdle.wait(g, [this] { return inFlight_ == 0; });
}

void TVirtualBackend::Report(uint16_t code, bool down) {
    TVirtualBackend* v;
    {
        std::lock_guard g(gCurrentMutex);
        v = gCurrent;
        if (!v) return;
        ++v->inFlight_;
    }
    v->PhysicalKey(code, down);
    std::lock_guard g(gCurrentMutex);
    if (--v->inFlight_ == 0) gIdle.notify_all();
}

bool TVirtualBackend::Start(std::string&) {
    std::lock_guard g(mutex_);
    watching_ = true;
    return true;
}

void TVirtualBackend::Stop() {
    std::lock_guard g(mutex_);
    watching_ = false;
}

BxHwnd TVirtualBackend::FocusWindow() {
    std::lock_guard g(mutex_);
    return focus_;
}

uint32_t TVirtualBackend::WindowProcess(BxHwnd window) {
    std::lock_guard g(mutex_);
    auto it = windows_.find(window);
    return it == windows_.end() ? 0 : it->second.pid;
}

bool TVirtualBackend::WindowRect(BxHwnd window, int32_t out[4]) {
    std::lock_guard g(mutex_);
    auto it = windows_.find(window);
    if (it == windows_.end() || it->second.rect[2] <= 0 || it->second.rect[3] <= 0) return false;
    std::copy(it->second.rect.begin(), it->second.rect.end(), out);
    return true;
}

void TVirtualBackend::SetWindowRect(BxHwnd window, std::array<int32_t, 4> rect) {
    std::lock_guard g(mutex_);
    auto it = windows_.find(window);
    if (it != windows_.end()) it->second.rect = rect;
}

uint32_t TVirtualBackend::CaretScreenPos() {
    std::lock_guard g(mutex_);
    // A fixed spot per window keeps hint placement testable.
    return focus_ ? ((200u << 16) | 100u) : 0;
}

void TVirtualBackend::FocusTarget(BxHwnd window) {
    SetFocus(window);
}

BxHwnd TVirtualBackend::CreateWindow(uint32_t pid) {
    std::lock_guard g(mutex_);
    const BxHwnd h = next_++;
    windows_[h].pid = pid;
    if (!focus_) focus_ = h;
    return h;
}

void TVirtualBackend::SetFocus(BxHwnd window) {
    std::lock_guard g(mutex_);
    if (windows_.count(window)) focus_ = window;
}

std::string TVirtualBackend::Text(BxHwnd window) {
    std::lock_guard g(mutex_);
    auto it = windows_.find(window);
    return it == windows_.end() ? std::string() : it->second.text;
}

void TVirtualBackend::SetText(BxHwnd window, const std::string& text) {
    std::lock_guard g(mutex_);
    auto it = windows_.find(window);
    if (it != windows_.end()) it->second.text = text;
}

void TVirtualBackend::SetClipboard(const std::string& text) {
    std::lock_guard g(mutex_);
    clipboard_ = text;
}

bool TVirtualBackend::OfferPaste(const std::string& utf8) {
    SetClipboard(Cp1252::FromUtf8(utf8));
    return false;
}

void TVirtualBackend::TypeChar(unsigned char c) {
    std::lock_guard g(mutex_);
    auto it = windows_.find(focus_);
    if (it != windows_.end()) it->second.text.push_back(static_cast<char>(c));
}

void TVirtualBackend::ApplyKey(uint8_t vkey, uint8_t mods) {
    auto it = windows_.find(focus_);
    if (it == windows_.end()) return;
    std::string& t = it->second.text;
    const bool shift = mods & playback::ModShift, ctrl = mods & playback::ModCtrl,
               alt = mods & playback::ModAlt;
    if ((shift && vkey == vk::Insert) || (ctrl && vkey == 'V')) {
        t += clipboard_;
        return;
    }
    if (ctrl || alt) return;
    if (vkey == vk::Back) {
        if (!t.empty()) t.pop_back();
        return;
    }
    if (vkey == vk::Return) {
        t.push_back('\n');
        return;
    }
    if (const unsigned char c = UsLayout::CharForKey(vkey, shift))
        t.push_back(static_cast<char>(c));
}

void TVirtualBackend::SendKey(uint8_t vkey, uint8_t mods, KeyAction action) {
    std::lock_guard g(mutex_);
    if (action != KeyAction::Press) {
        // A key held down on its own (SimKey): a held modifier applies to
        // the keys that follow, as on a real keyboard.
        const bool down = action == KeyAction::Down;
        simKeys_.push_back(static_cast<uint16_t>(vkey | (down ? 0 : 0x100)));
        if (simKeys_.size() > kSimKeyLog) simKeys_.pop_front();
        KeyState(vkey, down);
        const uint8_t bit = ModifierBit(vkey);
        simMods_ = down ? (simMods_ | bit) : (simMods_ & ~bit);
        if (!down) return;
    }
    ApplyKey(vkey, mods | simMods_);
}

void TVirtualBackend::PhysicalKey(uint16_t code, bool down) {
    const uint8_t key = code & 0xFF;
    BxHwnd focus;
    bool watching;
    {
        std::lock_guard g(mutex_);
        focus = focus_;
        watching = watching_;
    }
    {
        std::lock_guard g(mutex_);
        KeyState(key, down);
    }
    const bool consumed = watching && THookCore::Instance().OnUserKey(code, down, focus);
    if (!down || consumed) return;
    std::lock_guard g(mutex_);
    ApplyKey(key, static_cast<uint8_t>(code >> 8));
}

} // namespace bxhook
