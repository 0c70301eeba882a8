#include "typing/InjectText.h"

#include <QAtomicInt>
#include <QDeadlineTimer>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

namespace {
// "BRVXEVT": auto-reset, created signalled.
QSemaphore& Event() {
    static QSemaphore event(1);
    return event;
}
QAtomicInt gRunning;

// Workers are kept between texts: starting a thread for each one cost a
// noticeable part of a short expansion. Several may run, since a stuck run
// must not hold back the next one for more than the event's second.
constexpr int kMaxWorkers = 8;
// An idle worker sleeps without waking until it ends after this long.
constexpr int kWorkerExpiryMsec = 120'000;

QThreadPool* Pool() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(kMaxWorkers);
        p->setExpiryTimeout(kWorkerExpiryMsec);
        p->setObjectName(QStringLiteral("TInjectText"));
        return p;
    }();
    return pool;
}
} // namespace

TInjectText::TInjectText(const QByteArray& text, BxHwnd target, int delayMsec)
    : Text(text), Target(target), Delay(delayMsec) {
    setAutoDelete(true);
}

void TInjectText::Start(const QByteArray& text, BxHwnd target, int delayMsec) {
    gRunning.ref();
    BxTextPending();
    Pool()->start(new TInjectText(text, target, delayMsec));
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
