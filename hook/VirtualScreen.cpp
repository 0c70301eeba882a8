// The virtual desktop's windows and keys as scripts see them.
#include "hook/VirtualBackend.h"
#include "platform/VirtualKeys.h"

#include <algorithm>

namespace bxhook {

void TVirtualBackend::SetClassNames(BxHwnd window, const std::string& className,
                                    const std::string& instance) {
    std::lock_guard g(mutex_);
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    it->second.className = className;
    it->second.instance = instance;
}

int TVirtualBackend::TakeSimKeys(uint16_t* out, int size) {
    std::lock_guard g(mutex_);
    const int n = static_cast<int>(std::min(simKeys_.size(), static_cast<size_t>(size)));
    std::copy_n(simKeys_.begin(), n, out);
    simKeys_.erase(simKeys_.begin(), simKeys_.begin() + n);
    return n;
}

void TVirtualBackend::KeyState(uint8_t vkey, bool down) {
    // A lock key toggles as it goes down; repeats of a held key do not.
    if (down && !down_[vkey]) {
        if (vkey == vk::Capital) capsOn_ = !capsOn_;
        if (vkey == vk::NumLock) numLockOn_ = !numLockOn_;
    }
    down_[vkey] = down;
}

bool TVirtualBackend::TDesktop::TopWindows(std::vector<BxHwnd>& out) {
    std::lock_guard g(owner_.mutex_);
    out.clear();
    for (const auto& w : owner_.windows_)
        out.push_back(w.first);
    return true;
}

bool TVirtualBackend::TDesktop::Exists(BxHwnd window) {
    std::lock_guard g(owner_.mutex_);
    return owner_.windows_.count(window) > 0;
}

bool TVirtualBackend::TDesktop::ClassNames(BxHwnd window, std::string& className,
                                           std::string& instance) {
    std::lock_guard g(owner_.mutex_);
    auto it = owner_.windows_.find(window);
    if (it == owner_.windows_.end()) return false;
    className = it->second.className;
    instance = it->second.instance;
    return true;
}

bool TVirtualBackend::TDesktop::Title(BxHwnd window, std::string& out) {
    std::lock_guard g(owner_.mutex_);
    auto it = owner_.windows_.find(window);
    if (it == owner_.windows_.end()) return false;
    out = it->second.title;
    return true;
}

bool TVirtualBackend::TDesktop::SetTitle(BxHwnd window, const std::string& title) {
    std::lock_guard g(owner_.mutex_);
    auto it = owner_.windows_.find(window);
    if (it == owner_.windows_.end()) return false;
    it->second.title = title;
    return true;
}

BxHwnd TVirtualBackend::TDesktop::Foreground() {
    return owner_.FocusWindow();
}

bool TVirtualBackend::TDesktop::SetForeground(BxHwnd window) {
    owner_.SetFocus(window);
    return owner_.FocusWindow() == window;
}

bool TVirtualBackend::TDesktop::SetFocus(BxHwnd window) {
    return SetForeground(window);
}

bool TVirtualBackend::TDesktop::Raise(BxHwnd window) {
    // The desktop has no stacking order: a window that exists is on top.
    return Exists(window);
}

bool TVirtualBackend::TDesktop::KeyDown(uint8_t vkey) {
    std::lock_guard g(owner_.mutex_);
    const auto& down = owner_.down_;
    switch (vkey) {
    case vk::Capital:
        return owner_.capsOn_;
    case vk::NumLock:
        return owner_.numLockOn_;
    case vk::Shift:
        return down[vk::Shift] || down[0xA0] || down[0xA1];
    case vk::Control:
        return down[vk::Control] || down[0xA2] || down[0xA3];
    case vk::Menu:
        return down[vk::Menu] || down[0xA4] || down[0xA5];
    default:
        return down[vkey];
    }
}

} // namespace bxhook
