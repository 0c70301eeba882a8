#include "script/ScriptWatchdog.h"

#include <chrono>

namespace {

std::atomic<bool> gTerminating{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

// The event loop beats this often while a script runs; far below any limit.
constexpr int kBeatMsec = 200;
// How soon a request to end is noticed while a script runs.
constexpr auto kTerminationPoll = std::chrono::milliseconds(100);

} // namespace

TScriptWatchdog::TScriptWatchdog(TCancel cancel, QObject* parent)
    : QObject(parent), cancel_(std::move(cancel)) {
    heartbeat_.setInterval(kBeatMsec);
    connect(&heartbeat_, &QTimer::timeout, this, &TScriptWatchdog::Beat);
    thread_ = std::thread([this] { Run(); });
}

TScriptWatchdog::~TScriptWatchdog() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

int64_t TScriptWatchdog::Now() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void TScriptWatchdog::SetLimit(int seconds) {
    limitSeconds_ = seconds < 0 ? 0 : seconds;
    wake_.notify_one();
}

void TScriptWatchdog::Beat() {
    lastBeat_ = Now();
}

void TScriptWatchdog::Enter() {
    if (depth_++ > 0) return;
    // Only the outermost script starts the clock: scripts run one after the
    // other by a command, without the event loop in between, add up.
    Beat();
    heartbeat_.start();
    {
        std::lock_guard lock(mutex_);
        armed_ = true;
        fired_ = TReason::None;
    }
    wake_.notify_one();
}

TScriptWatchdog::TOutcome TScriptWatchdog::Leave() {
    TOutcome outcome;
    if (depth_ <= 0) return outcome;
    outcome.Outermost = --depth_ == 0;
    std::lock_guard lock(mutex_);
    outcome.Reason = fired_;
    if (outcome.Outermost) {
        armed_ = false;
        fired_ = TReason::None;
        heartbeat_.stop();
    }
    return outcome;
}

void TScriptWatchdog::RequestTermination() {
    gTerminating = true;
}

void TScriptWatchdog::TerminationHandled() {
    gTerminating = false;
}

void TScriptWatchdog::Run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        if (!armed_ || fired_ != TReason::None) {
            // Nothing to watch, or cancelled already: Tcl unwinds on its own.
            wake_.wait(lock);
            continue;
        }
        TReason reason = TReason::None;
        auto wait = std::chrono::milliseconds(kTerminationPoll);
        const int limit = limitSeconds_;
        if (gTerminating) {
            reason = TReason::Terminating;
        } else if (limit > 0) {
            const int64_t left = lastBeat_ + int64_t(limit) * 1000 - Now();
            if (left <= 0)
                reason = TReason::TooLong;
            else
                wait = std::min(wait, std::chrono::milliseconds(left));
        }
        if (reason == TReason::None) {
            wake_.wait_for(lock, wait);
            continue;
        }
        fired_ = reason;
        // Under the lock: Leave cannot disarm in between, so only a script
        // that still runs is cancelled.
        if (cancel_) cancel_();
    }
}
