// The exported entry points of the hook library.
#include "hook/HookApi.h"
#include "hook/Accessibility.h"
#include "hook/HookCore.h"
#include "hook/LayoutSnapshot.h"
#include "hook/Screen.h"
#include "hook/VirtualBackend.h"
#include "platform/UsLayout.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

using bxhook::THookCore;
using bxhook::TVirtualBackend;

namespace {
THookCore& Core() {
    return THookCore::Instance();
}
constexpr int kVersion = 1000; // shown as 10.0 with dllVersion

bxhook::TScreen* Screen() {
    auto* b = Core().Backend();
    return b ? b->Screen() : nullptr;
}

// A text into a caller's buffer, NUL-terminated and cut to size; its full length.
int CopyOut(const std::string& t, char* buffer, int size) {
    if (buffer && size > 0) {
        const size_t n = std::min(t.size(), static_cast<size_t>(size - 1));
        std::memcpy(buffer, t.data(), n);
        buffer[n] = 0;
    }
    return static_cast<int>(std::min<size_t>(t.size(), INT32_MAX));
}
} // namespace

extern "C" {

void BxSetMessageProc(BxMessageProc proc, void* ctx) {
    Core().SetMessageProc(proc, ctx);
}
int InitHooksDll(BxHwnd mainWindow) {
    return Core().Init(mainWindow);
}
void InstallKeyboardFilter(int on) {
    Core().InstallFilter(on != 0);
}
void UninstallHooksDll(BxHwnd mainWindow) {
    Core().Uninstall(mainWindow);
    bxhook::TAccessibility::Instance().Stop();
}
BxHwnd GetMainWindow(void) {
    return Core().MainWindow();
}
void SetFSMState(int state) {
    Core().SetState(state);
}
int GetFSMState(void) {
    return Core().State();
}
BxHwnd GetCallingHwnd(void) {
    return Core().CallingHwnd();
}

uint32_t GetCaretScreenPos(void) {
    auto* b = Core().Backend();
    return b ? b->CaretScreenPos() : 0;
}

int DisplayText(const char* playbackText, BxHwnd target, int, int) {
    return Core().Display(playbackText, target);
}

int BxOfferPaste(const char* utf8) {
    bxhook::TBackend* b = Core().Backend();
    return utf8 && b && b->OfferPaste(utf8) ? 1 : 0;
}

void BxTextPending(void) {
    Core().TextPending();
}

void AbortDisplayText(int abort) {
    Core().Abort(abort != 0);
}
void InstallPlayBackFunc(int) {}
int WaitingForInsertDone(void) {
    return Core().WaitingForInsert() ? 1 : 0;
}
void StartPlayback(void) {}
void SetPause(int msec, int keyCount) {
    Core().SetPause(msec, keyCount);
}
void SetWSOmsec(int, int) {}
void EnableSafeMode(int on) {
    Core().SetSafeMode(on != 0);
}
void EnableMouseResets(int on) {
    Core().SetMouseResets(on != 0);
}
void SetGetNextKeyHwnd(BxHwnd window) {
    Core().SetNextKeyWindow(window);
}

void SimKey(int vk, int, int flags, int) {
    if (auto* b = Core().Backend()) {
        b->SendKey(static_cast<uint8_t>(vk), 0,
                   (flags & 2) ? bxhook::KeyAction::Up : bxhook::KeyAction::Down);
        // One event at a time: it must have reached the desktop on return.
        b->Flush();
    }
}

void AbortJammedKeys(void) {
    if (auto* b = Core().Backend()) b->ReleaseHeldKeys();
}
void ClearJammedKeys(void) {
    AbortJammedKeys();
}
void ResetKeyCount(void) {
    Core().ResetCounts();
}
uint32_t GetAutoKeyCount(void) {
    return Core().AutoCount();
}
uint32_t GetTotalKeyCount(void) {
    return Core().TotalCount();
}
int GetBxDllVersion(void) {
    return kVersion / 100;
}
int dllVersion(void) {
    return kVersion % 100;
}

int BxPostMessage(BxHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    return bxhook::TInstanceLock::PostToHolder(hwnd, msg, wParam, lParam) ? 1 : 0;
}

const char* BxBackendName(void) {
    auto* b = Core().Backend();
    return b ? b->Name() : "";
}

int BxDisplayLost(void) {
    auto* b = Core().Backend();
    return b && b->DisplayLost() ? 1 : 0;
}

const char* BxLastError(void) {
    return Core().LastError().c_str();
}

void BxSetGrabbedKeys(const uint16_t* codes, int count) {
    if (auto* b = Core().Backend())
        b->SetGrabbedKeys(codes && count > 0 ? std::vector<uint16_t>(codes, codes + count)
                                             : std::vector<uint16_t>());
}

uint32_t BxWindowProcess(BxHwnd window) {
    auto* b = Core().Backend();
    return b ? b->WindowProcess(window) : 0;
}

int BxWindowAppClass(BxHwnd window, char* className, int classSize, char* instance,
                     int instanceSize) {
    std::string cls, inst;
    auto* b = Core().Backend();
    const bool known = window && b && b->AppClass(window, cls, inst);
    CopyOut(known ? cls : std::string(), className, classSize);
    CopyOut(known ? inst : std::string(), instance, instanceSize);
    return known ? 1 : 0;
}

void BxSetClipboardRestore(int on, int limitKB) {
    if (auto* b = Core().Backend())
        b->SetClipboardRestore(on ? static_cast<size_t>(std::clamp(limitKB, 1, 1 << 20)) * 1024
                                  : 0);
}

uint32_t BxPasswordFocusProcess(void) {
    if (auto* v = TVirtualBackend::Current()) return v->PasswordFocus();
    auto& a = bxhook::TAccessibility::Instance();
    a.Start();
    return a.PasswordFocusProcess();
}

int BxAccessibilityState(char* buffer, int size) {
    if (TVirtualBackend::Current()) return CopyOut("virtual desktop", buffer, size);
    return CopyOut(bxhook::TAccessibility::Instance().State(), buffer, size);
}

void BxVirtualSetPasswordFocus(uint32_t processId) {
    if (auto* v = TVirtualBackend::Current()) v->SetPasswordFocus(processId);
}

int BxWindowRect(BxHwnd window, int32_t out[4]) {
    auto* b = Core().Backend();
    return window && out && b && b->WindowRect(window, out) ? 1 : 0;
}

void BxVirtualSetWindowRect(BxHwnd window, int32_t left, int32_t top, int32_t width,
                            int32_t height) {
    if (auto* v = TVirtualBackend::Current()) v->SetWindowRect(window, {left, top, width, height});
}

BxHwnd BxFocusWindow(void) {
    auto* b = Core().Backend();
    return b ? b->FocusWindow() : 0;
}

BxHwnd BxKeyFocusWindow(void) {
    auto* b = Core().Backend();
    return b ? b->KeyFocusWindow() : 0;
}

void BxActivateWindow(BxHwnd window) {
    if (auto* b = Core().Backend(); b && window) b->FocusTarget(window);
}

BxHwnd BxVirtualCreateWindow(uint32_t processId) {
    auto* v = TVirtualBackend::Current();
    return v ? v->CreateWindow(processId) : 0;
}

void BxVirtualSetFocus(BxHwnd window) {
    if (auto* v = TVirtualBackend::Current()) v->SetFocus(window);
}

void BxVirtualKey(uint16_t code, int down) {
    TVirtualBackend::Report(code, down != 0);
}

void BxVirtualType(const char* text) {
    auto* v = TVirtualBackend::Current();
    if (!v || !text) return;
    for (const char* p = text; *p; ++p) {
        uint8_t key;
        bool shift;
        if (!UsLayout::KeyForChar(static_cast<unsigned char>(*p), key, shift)) continue;
        const uint16_t code = static_cast<uint16_t>(key | (shift ? shortcut::Shift : 0));
        TVirtualBackend::Report(code, true);
        TVirtualBackend::Report(code, false);
    }
}

int BxVirtualGetText(BxHwnd window, char* buffer, int size) {
    auto* v = TVirtualBackend::Current();
    return CopyOut(v ? v->Text(window) : std::string(), buffer, size);
}

void BxVirtualSetText(BxHwnd window, const char* text) {
    if (auto* v = TVirtualBackend::Current()) v->SetText(window, text ? text : "");
}

void BxVirtualSetClipboard(const char* text) {
    if (auto* v = TVirtualBackend::Current()) v->SetClipboard(text ? text : "");
}

int BxWaitIdle(int timeoutMsec) {
    return Core().WaitIdle(timeoutMsec) ? 1 : 0;
}

int BxTopWindows(BxHwnd* out, int size) {
    std::vector<BxHwnd> windows;
    auto* s = Screen();
    if (!s || !s->TopWindows(windows)) return -1;
    if (out && size > 0)
        std::copy_n(windows.begin(), std::min(windows.size(), static_cast<size_t>(size)), out);
    return static_cast<int>(std::min<size_t>(windows.size(), INT32_MAX));
}

BxHwnd BxFindWindow(const char* className, const char* title) {
    auto* s = Screen();
    if (!s) return 0;
    const std::string t = title ? title : "";
    return bxhook::FindTopWindow(*s, className ? className : "", title ? &t : nullptr);
}

int BxWindowClass(BxHwnd window, char* buffer, int size) {
    std::string cls, instance;
    auto* s = Screen();
    if (!s || !window || !s->ClassNames(window, cls, instance)) return -1;
    return CopyOut(cls, buffer, size);
}

int BxWindowTitle(BxHwnd window, char* buffer, int size) {
    std::string title;
    auto* s = Screen();
    if (!s || !window || !s->Title(window, title)) return -1;
    return CopyOut(title, buffer, size);
}

int BxSetWindowTitle(BxHwnd window, const char* title) {
    auto* s = Screen();
    return s && window && s->SetTitle(window, title ? title : "") ? 1 : 0;
}

int BxWindowExists(BxHwnd window) {
    auto* s = Screen();
    return s && window && s->Exists(window) ? 1 : 0;
}

BxHwnd BxForegroundWindow(void) {
    auto* s = Screen();
    return s ? s->Foreground() : 0;
}

int BxSetForegroundWindow(BxHwnd window) {
    auto* s = Screen();
    return s && window && s->SetForeground(window) ? 1 : 0;
}

int BxSetFocusWindow(BxHwnd window) {
    auto* s = Screen();
    return s && window && s->SetFocus(window) ? 1 : 0;
}

int BxRaiseWindow(BxHwnd window) {
    auto* s = Screen();
    return s && window && s->Raise(window) ? 1 : 0;
}

int BxKeyIsDown(int vk) {
    auto* s = Screen();
    return s && vk > 0 && vk < 256 && s->KeyDown(static_cast<uint8_t>(vk)) ? 1 : 0;
}

void BxVirtualSetWindowClass(BxHwnd window, const char* className, const char* instance) {
    if (auto* v = TVirtualBackend::Current())
        v->SetClassNames(window, className ? className : "", instance ? instance : "");
}

int BxVirtualTakeSimKeys(uint16_t* out, int size) {
    auto* v = TVirtualBackend::Current();
    return v && out && size > 0 ? v->TakeSimKeys(out, size) : 0;
}

} // extern "C"

bool bxhook::DesktopLayoutSnapshot(TLayoutSnapshot& out) {
    auto* b = Core().Backend();
    return b && b->LayoutSnapshot(out);
}
