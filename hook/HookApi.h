#pragma once
/* Brevix hook library: the system-wide key watcher, its state machine, text
 * playback and keystroke counters. Plain C entry points so the program (and
 * scripts through it) can bind them by name. */
#include "hook/HookProtocol.h"

#include <stdint.h>

#if defined(__GNUC__)
#define BX_API __attribute__((visibility("default")))
#else
#define BX_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The program registers how messages reach its windows. The library calls it
 * from its own threads; sent = 1 when a result is expected (the call must not
 * return before the window has answered), 0 for a posted message. */
typedef intptr_t (*BxMessageProc)(void* ctx, BxHwnd hwnd, uint32_t msg, uintptr_t wParam,
                                  intptr_t lParam, int sent);
BX_API void BxSetMessageProc(BxMessageProc proc, void* ctx);

BX_API int InitHooksDll(BxHwnd mainWindow);
BX_API void InstallKeyboardFilter(int on);
BX_API void UninstallHooksDll(BxHwnd mainWindow);
BX_API BxHwnd GetMainWindow(void);
BX_API void SetFSMState(int state);
BX_API int GetFSMState(void);
BX_API BxHwnd GetCallingHwnd(void);
BX_API uint32_t GetCaretScreenPos(void);
BX_API int DisplayText(const char* playbackText, BxHwnd target, int a, int b);
BX_API void AbortDisplayText(int abort);
BX_API void InstallPlayBackFunc(int on);
BX_API int WaitingForInsertDone(void);
BX_API void StartPlayback(void);
BX_API void SetPause(int msec, int keyCount);
BX_API void SetWSOmsec(int longMsec, int shortMsec);
BX_API void EnableSafeMode(int on);
BX_API void EnableMouseResets(int on);
BX_API void SetGetNextKeyHwnd(BxHwnd window);
BX_API void SimKey(int vk, int scanCode, int flags, int extra);
BX_API void AbortJammedKeys(void);
BX_API void ClearJammedKeys(void);
BX_API void ResetKeyCount(void);
BX_API uint32_t GetAutoKeyCount(void);
BX_API uint32_t GetTotalKeyCount(void);
BX_API int GetBxDllVersion(void);
BX_API int dllVersion(void);

/* Additions of this platform. */
/* Posts a message to a window of the instance that holds the library, even
 * from another process (the hand-over of a second instance). 0 on failure. */
BX_API int BxPostMessage(BxHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);
/* Name of the active backend ("x11", "virtual"), or "" when keys cannot be watched. */
BX_API const char* BxBackendName(void);
/* 1 when the desktop the library works on is gone (the X server ended). */
BX_API int BxDisplayLost(void);
/* Why the backend could not start; "" when it runs. */
BX_API const char* BxLastError(void);
/* Keys that must never reach the target window (shortcut codes); the backend
 * withholds exactly these until the next call. */
BX_API void BxSetGrabbedKeys(const uint16_t* codes, int count);
/* A text will be handed to DisplayText shortly (its thread is starting):
 * keys the user types meanwhile wait until it is typed. */
BX_API void BxTextPending(void);
/* Puts UTF-8 text on the clipboard and the primary selection, served by the
 * library, which then knows when the target has fetched it: the pause that
 * follows the paste key in the next text ends at that moment. 0 when the
 * caller must put the text on the clipboard itself. */
BX_API int BxOfferPaste(const char* utf8);
/* After a pasted text has been fetched, the clipboard and the primary
 * selection get back what they held before (every target, at most limitKB
 * KiB in all); off by default. */
BX_API void BxSetClipboardRestore(int on, int limitKB);
/* Process that owns a window; 0 when unknown. */
BX_API uint32_t BxWindowProcess(BxHwnd window);
/* Class and instance names (WM_CLASS) of the application holding a window,
 * also when the window itself is a child naming none; each NUL-terminated
 * and cut to size. 1 when known, else 0 with both empty. */
BX_API int BxWindowAppClass(BxHwnd window, char* className, int classSize, char* instance,
                            int instanceSize);
/* The process whose password field has the keyboard focus, as the desktop's
 * accessibility bus reports it (followed from the first call on); 0 when
 * none or unknown, 0xFFFFFFFF when the process could not be named. */
BX_API uint32_t BxPasswordFocusProcess(void);
/* Whether the focus can be followed: "running", or why not (UTF-8). */
BX_API int BxAccessibilityState(char* buffer, int size);
/* The virtual desktop's password focus (a process id, 0 none); the
 * accessibility bus is not asked while the virtual backend runs. */
BX_API void BxVirtualSetPasswordFocus(uint32_t processId);
/* The window that has the keyboard focus now. */
BX_API BxHwnd BxFocusWindow(void);
/* While a key is being reported: the focus read for that key, without asking
 * the server again. Otherwise the same as BxFocusWindow. */
BX_API BxHwnd BxKeyFocusWindow(void);
/* A window's rectangle in screen pixels, out[0..3] left, top, width, height;
 * 0 when it is not known. */
BX_API int BxWindowRect(BxHwnd window, int32_t out[4]);
/* A report on the X display for support requests, "name: value" lines in
 * UTF-8, cut to size; returns the full length. It opens its own connection. */
BX_API int BxDescribeDisplay(char* out, int size);
/* Brings a window to the front and gives it the keyboard focus. */
BX_API void BxActivateWindow(BxHwnd window);

/* The virtual desktop (BREVIX_HOOK=virtual): windows with text buffers, a
 * focus and a US keyboard layout, for deterministic tests. */
BX_API BxHwnd BxVirtualCreateWindow(uint32_t processId);
BX_API void BxVirtualSetFocus(BxHwnd window);
/* One physical key (shortcut code with modifier bits), down (1) or up (0). */
BX_API void BxVirtualKey(uint16_t code, int down);
/* Types text on the US layout, key down and up for each character. */
BX_API void BxVirtualType(const char* text);
/* Copies a window's text (NUL-terminated, cut to size); returns its full length. */
BX_API int BxVirtualGetText(BxHwnd window, char* buffer, int size);
BX_API void BxVirtualSetText(BxHwnd window, const char* text);
/* Text that a paste key inserts into the focused window. */
BX_API void BxVirtualSetClipboard(const char* text);
/* Where a window of the virtual desktop lies on its screen. */
BX_API void BxVirtualSetWindowRect(BxHwnd window, int32_t left, int32_t top, int32_t width,
                                   int32_t height);
/* Waits until no playback runs; 1 when idle, 0 after the time-out. */
BX_API int BxWaitIdle(int timeoutMsec);

/* Other windows and the keyboard, for scripts. Windows are the desktop's
 * top-level windows; texts are UTF-8; a window that vanished answers as
 * an unknown one. */
/* Copies at most size handles; the number of windows, -1 when they cannot be listed. */
BX_API int BxTopWindows(BxHwnd* out, int size);
/* By class or instance name (case ignored, any when empty) and, unless title
 * is null, exact title; 0 when none. */
BX_API BxHwnd BxFindWindow(const char* className, const char* title);
/* Copy the class name or title (NUL-terminated, cut to size); the full
 * length, -1 for an unknown window. */
BX_API int BxWindowClass(BxHwnd window, char* buffer, int size);
BX_API int BxWindowTitle(BxHwnd window, char* buffer, int size);
/* 1 on success, 0 for an unknown window or a refusal. */
BX_API int BxSetWindowTitle(BxHwnd window, const char* title);
BX_API int BxWindowExists(BxHwnd window);
BX_API BxHwnd BxForegroundWindow(void);
/* 1 once the window is the foreground window. */
BX_API int BxSetForegroundWindow(BxHwnd window);
BX_API int BxSetFocusWindow(BxHwnd window);
BX_API int BxRaiseWindow(BxHwnd window);
/* 1 while the virtual key is down; CapsLock and NumLock: while the lock is on. */
BX_API int BxKeyIsDown(int vk);
/* The virtual desktop's window class and instance names. */
BX_API void BxVirtualSetWindowClass(BxHwnd window, const char* className, const char* instance);
/* The key events SimKey sent since the last call, oldest first: the virtual
 * key, plus 0x100 for a release. Copies at most size; returns the number taken. */
BX_API int BxVirtualTakeSimKeys(uint16_t* out, int size);

#ifdef __cplusplus
}
#endif
