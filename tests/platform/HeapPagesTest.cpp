// The restart that puts the heap on huge pages: it happens only where the
// system gives them on request, and children inherit the environment as
// the user set it.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string RunChild(const std::string& env) {
    const std::string cmd = "env -u GLIBC_TUNABLES " + env + " " HEAP_PAGES_CHILD;
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p))
            out += buf;
        pclose(p);
    }
    return out;
}

bool OnRequest() {
    std::ifstream in("/sys/kernel/mm/transparent_hugepage/enabled");
    const std::string s((std::istreambuf_iterator<char>(in)), {});
    return s.find("[madvise]") != std::string::npos;
}

TEST(HeapPages, RestartsOnlyWhereHugePagesComeOnRequestAndKeepsTheEnvironment) {
    const std::string expect = std::string("started_with_huge_pages=") + (OnRequest() ? "1" : "0");
    const std::string none = RunChild("");
    EXPECT_NE(none.find("inherited=(none)\n"), std::string::npos) << none;
    EXPECT_NE(none.find(expect), std::string::npos) << none;
    EXPECT_NE(none.find("marker=0"), std::string::npos) << none;
    // A block of 8 MiB shares the huge pages of the heap instead of a mapping.
    EXPECT_NE(none.find(std::string("block_on_heap=") + (OnRequest() ? "1" : "0")),
              std::string::npos)
        << none;
    EXPECT_NE(none.find(std::string("fast_bins=") + (OnRequest() ? "0" : "1")), std::string::npos)
        << none;

    const std::string own = RunChild("GLIBC_TUNABLES=glibc.malloc.perturb=0");
    EXPECT_NE(own.find("inherited=glibc.malloc.perturb=0\n"), std::string::npos) << own;
    EXPECT_NE(own.find(expect), std::string::npos) << own;

    // Set by the user already: left alone, no restart needed.
    const std::string set = RunChild("GLIBC_TUNABLES=glibc.malloc.hugetlb=1");
    EXPECT_NE(set.find("inherited=glibc.malloc.hugetlb=1\n"), std::string::npos) << set;
}

} // namespace
