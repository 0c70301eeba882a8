#include "platform/HeapPages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <string>
#include <unistd.h>

namespace {
constexpr char kTunables[] = "GLIBC_TUNABLES";
constexpr char kHugePages[] = "glibc.malloc.hugetlb=1";
// Set across the restart: "-" when there were no tunables, else "=" + them.
constexpr char kRestarted[] = "BREVIX_HEAP_RESTARTED";

bool HugePagesOnRequest() {
    std::FILE* f = std::fopen("/sys/kernel/mm/transparent_hugepage/enabled", "re");
    if (!f) return false;
    char buf[128] = {};
    const size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    buf[n] = '\0';
    return std::strstr(buf, "[madvise]") != nullptr;
}

// Blocks of a few MiB (a dictionary's index, the file read ahead) would each
// get a mapping of their own, paged in 4 KiB at a time. From the heap, grown
// by more than a huge page at a time, they land on huge pages. 32 MiB is
// where glibc's own threshold ends up once such blocks have been freed.
// Small blocks freed beyond the per-thread cache are merged with their
// neighbours at once: a dictionary reloaded into the free blocks of the one
// before then takes them whole instead of sorting a hundred thousand pieces.
void TuneHeap() {
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TOP_PAD, 4 << 20);
    mallopt(M_MXFAST, 0);
}

void RestoreTunables(const char* saved) {
    if (saved[0] == '=')
        setenv(kTunables, saved + 1, 1);
    else
        unsetenv(kTunables);
}
} // namespace

void RestartWithHugeHeapPages(char** argv) {
    if (const char* saved = std::getenv(kRestarted)) {
        const std::string copy = saved;
        RestoreTunables(copy.c_str());
        unsetenv(kRestarted);
        TuneHeap();
        return;
    }
    if (!argv || !argv[0] || !HugePagesOnRequest()) return;
    const char* old = std::getenv(kTunables);
    if (old && std::strstr(old, "glibc.malloc.hugetlb")) return;
    const std::string saved = old ? std::string("=") + old : std::string("-");
    const std::string tunables = old && *old ? std::string(old) + ":" + kHugePages : kHugePages;
    setenv(kRestarted, saved.c_str(), 1);
    setenv(kTunables, tunables.c_str(), 1);
    execv("/proc/self/exe", argv);
    RestoreTunables(saved.c_str());
    unsetenv(kRestarted);
}
