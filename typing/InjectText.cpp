#include "typing/InjectText.h"

#include <QAtomicInt>
#include <QDeadlineTimer>
#include <QSemaphore>

namespace {
// "BRVXEVT": auto-reset, created signalled.
QSemaphore& Event() {
    static QSemaphore event(1);
    return event;
}
QAtomicInt gRunning;
} // namespace

TInjectText::TInjectText(const QByteArray& text, BxHwnd target, int delayMsec)
    : Text(text), Target(target), Delay(delayMsec) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TInjectText::Start(const QByteArray& text, BxHwnd target, int delayMsec) {
    gRunning.ref();
    BxTextPending();
    (new TInjectText(text, target, delayMsec))->start();
}

bool TInjectText::WaitAll(int timeoutMsec) {
    QDeadlineTimer deadline(timeoutMsec);
    while (gRunning.loadAcquire() > 0 && !deadline.hasExpired())
        QThread::msleep(5);
    return gRunning.loadAcquire() == 0;
}

void TInjectText::run() {
    if (Delay > 0) QThread::msleep(static_cast<unsigned long>(Delay));
    AbortDisplayText(0);
    // After a second's wait the run goes on anyway: a stuck run never blocks typing.
    const bool acquired = Event().tryAcquire(1, 1000);
    QByteArray text = Text;
    if (!text.endsWith('\0')) text.append('\0');
    DisplayText(text.constData(), Target, 1, 0);
    if (acquired) Event().release();
    gRunning.deref();
}
