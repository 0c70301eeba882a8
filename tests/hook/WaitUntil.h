#pragma once
// Polls a condition up to a generous limit: a guard against hangs, never a
// timing check.
#include <chrono>
#include <thread>

template <class F>
bool WaitUntil(F done, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
