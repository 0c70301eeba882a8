#pragma once
// TInjectText: one typing run on a worker thread, which only calls the hook
// library. The event lets one text at a time be handed to the library.
#include "hook/HookApi.h"

#include <QByteArray>
#include <QRunnable>

class TInjectText : public QRunnable {
public:
    // Queued at once; frees itself when done. delayMsec: a pause before
    // typing, for the target to take the focus back.
    static void Start(const QByteArray& text, BxHwnd target, int delayMsec = 0);
    // Waits until no run is left (shutdown, tests).
    static bool WaitAll(int timeoutMsec);

    void run() override;

private:
    TInjectText(const QByteArray& text, BxHwnd target, int delayMsec);
    QByteArray Text;
    BxHwnd Target;
    int Delay;
};
