#pragma once
#include <cstdio>
#include <cstdlib>
#include <ctime>
inline void BxT(const char* tag) {
    static const bool on = std::getenv("BX_TRACE") != nullptr;
    if (!on) return;
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    std::fprintf(stderr, "T %ld.%06ld %s\n", (long)ts.tv_sec, ts.tv_nsec / 1000, tag);
}
