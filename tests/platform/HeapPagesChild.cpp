// Run by HeapPagesTest: restarts as the program does, then prints what its
// children would inherit and what the process itself started with.
#include "platform/HeapPages.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <malloc.h>
#include <string>

int main(int, char** argv) {
    RestartWithHugeHeapPages(argv);
    const char* t = std::getenv("GLIBC_TUNABLES");
    std::ifstream in("/proc/self/environ", std::ios::binary);
    const std::string started((std::istreambuf_iterator<char>(in)), {});
    const size_t mapped = mallinfo2().hblks;
    // Volatile: a block nobody uses may be allocated away by the compiler.
    void* volatile block = std::malloc(8 << 20);
    const bool ownMapping = mallinfo2().hblks > mapped;
    std::free(block);
    // More small blocks than the per-thread cache keeps: the rest go to fast
    // bins unless those are off.
    void* volatile small[64];
    for (auto& p : small)
        p = std::malloc(32);
    for (void* p : small)
        std::free(p);
    const bool fastBins = mallinfo2().fsmblks > 0;
    std::printf(
        "inherited=%s\nstarted_with_huge_pages=%d\nmarker=%d\nblock_on_heap=%d\nfast_bins=%d\n",
        t ? t : "(none)", started.find("glibc.malloc.hugetlb=1") != std::string::npos ? 1 : 0,
        std::getenv("BREVIX_HEAP_RESTARTED") ? 1 : 0, ownMapping ? 0 : 1, fastBins ? 1 : 0);
    return 0;
}
