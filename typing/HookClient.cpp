#include "typing/HookClient.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QThread>

#include <memory>

THooks& THooks::Instance() {
    static THooks* hooks = [] {
        auto* h = new THooks;
        if (QCoreApplication::instance()) h->moveToThread(QCoreApplication::instance()->thread());
        BxSetMessageProc(&THooks::MessageProc, h);
        return h;
    }();
    return *hooks;
}

void THooks::RegisterWindow(BxHwnd hwnd, THandler handler) {
    handlers_.insert(hwnd, std::move(handler));
}

void THooks::UnregisterWindow(BxHwnd hwnd) {
    handlers_.remove(hwnd);
}

bool THooks::Init(BxHwnd mainWindow) {
    if (InitHooksDll(mainWindow) != 0) return false;
    closing_ = false;
    holder_ = mainWindow;
    return true;
}

void THooks::Shutdown(BxHwnd mainWindow) {
    // From here on the library's threads get no answers that could wait on us.
    if (mainWindow == 0 || mainWindow != holder_) return;
    closing_ = true;
    InstallKeyboardFilter(0);
    UninstallHooksDll(mainWindow);
    holder_ = 0;
}

bool THooks::Watching() const {
    return holder_ != 0 && *BxBackendName() != 0;
}

void THooks::SetFSM(int state) {
    if (holder_) SetFSMState(state);
}

int THooks::FSM() const {
    return holder_ ? GetFSMState() : 0;
}

void THooks::SetFSMIf(int from, int to) {
    if (FSM() == from) SetFSM(to);
}

intptr_t THooks::Deliver(BxHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    auto it = handlers_.constFind(hwnd);
    if (it == handlers_.constEnd()) return 0;
    const THandler handler = *it; // the handler may unregister windows
    return handler(msg, wParam, lParam);
}

void THooks::Post(BxHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    QMetaObject::invokeMethod(
        this, [this, hwnd, msg, wParam, lParam] { Deliver(hwnd, msg, wParam, lParam); },
        Qt::QueuedConnection);
}

intptr_t THooks::Send(BxHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    if (QThread::currentThread() == thread()) return Deliver(hwnd, msg, wParam, lParam);
    if (closing_) return 0;
    // Not a blocking queued call: while closing, our thread waits for the
    // library's threads to end, and one of them may be waiting here.
    struct TCall {
        QSemaphore done;
        intptr_t result = 0;
    };
    auto call = std::make_shared<TCall>();
    QMetaObject::invokeMethod(
        this,
        [this, call, hwnd, msg, wParam, lParam] {
            if (!closing_) call->result = Deliver(hwnd, msg, wParam, lParam);
            call->done.release();
        },
        Qt::QueuedConnection);
    while (!call->done.tryAcquire(1, 20))
        if (closing_) return 0;
    return call->result;
}

intptr_t THooks::MessageProc(void* ctx, BxHwnd hwnd, uint32_t msg, uintptr_t wParam,
                             intptr_t lParam, int sent) {
    auto* self = static_cast<THooks*>(ctx);
    if (sent) return self->Send(hwnd, msg, wParam, lParam);
    self->Post(hwnd, msg, wParam, lParam);
    return 0;
}
