#pragma once
// Keeps one script from stopping the program. A script may run as long as the
// program still answers: a modal window it opens runs the event loop, and
// that time does not count. When the event loop has not run for longer than
// the limit while a script runs, or the session asks the program to end, a
// thread of its own cancels the script.
#include <QObject>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class TScriptWatchdog : public QObject {
    Q_OBJECT
public:
    enum class TReason { None, TooLong, Terminating };
    struct TOutcome {
        TReason Reason = TReason::None;
        bool Outermost = true; // the last script running has ended
    };
    // Called on the watchdog's thread while a script runs; must be thread-safe.
    using TCancel = std::function<void()>;

    explicit TScriptWatchdog(TCancel cancel, QObject* parent = nullptr);
    ~TScriptWatchdog() override;

    // Seconds the program may be kept from answering; 0 for no limit.
    void SetLimit(int seconds);
    int Limit() const { return limitSeconds_.load(); }

    // Around every evaluation, on the UI thread; evaluations may nest.
    void Enter();
    TOutcome Leave();

    // Async-signal-safe: cancels any script that runs until the program has
    // taken up the request to end (TerminationHandled).
    static void RequestTermination();
    static void TerminationHandled();

private:
    void Run();
    void Beat();
    static int64_t Now();

    TCancel cancel_;
    QTimer heartbeat_;
    std::atomic<int> limitSeconds_{0};
    std::atomic<int64_t> lastBeat_{0};
    int depth_ = 0; // UI thread only

    std::mutex mutex_;
    std::condition_variable wake_;
    bool armed_ = false;
    bool stop_ = false;
    TReason fired_ = TReason::None;
    std::thread thread_;
};
