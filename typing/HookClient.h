#pragma once
// The program's side of the hook library: messages from the library's
// threads reach the receiving window's handler on the UI thread, and every
// FSM change goes through one guard that does nothing while the library is
// held by another instance.
#include "hook/HookApi.h"

#include <QHash>
#include <QObject>
#include <atomic>
#include <functional>

class THooks : public QObject {
    Q_OBJECT
public:
    using THandler = std::function<intptr_t(uint32_t msg, uintptr_t wParam, intptr_t lParam)>;

    static THooks& Instance();

    // Windows that answer the library's messages register under their id.
    void RegisterWindow(BxHwnd hwnd, THandler handler);
    void UnregisterWindow(BxHwnd hwnd);

    // InitHooksDll for the main window; false when another instance holds it.
    bool Init(BxHwnd mainWindow);
    void Shutdown(BxHwnd mainWindow);
    // No window of this process holds the library.
    bool HookUnavailable() const { return holder_ == 0; }
    // Keys are watched: a backend runs.
    bool Watching() const;

    void SetFSM(int state);
    int FSM() const;
    // Moves the FSM from one state to another only when it is in the first.
    void SetFSMIf(int from, int to);

    // Delivers a posted message on the UI thread (also used for our own posts).
    void Post(BxHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);
    intptr_t Send(BxHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);

private:
    THooks() = default;
    static intptr_t MessageProc(void* ctx, BxHwnd hwnd, uint32_t msg, uintptr_t wParam,
                                intptr_t lParam, int sent);
    intptr_t Deliver(BxHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);

    QHash<BxHwnd, THandler> handlers_;
    BxHwnd holder_ = 0;
    std::atomic<bool> closing_{false};
};
