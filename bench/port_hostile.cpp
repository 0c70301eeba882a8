// A hostile run against a running Brevix's script port: many connections of
// each kind (idle, slow-loris, oversized, garbage, rapid connect/close, split
// scripts), then checks that replies are still correct. Prints figures; the
// exit code is 1 when a reply afterwards was wrong.
// Usage: port_hostile PORT [connections per kind, default 200]
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <random>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

int gPort = 0;
constexpr size_t kLeastSegment = 536;
std::mt19937 gRandom(15);

using Clock = std::chrono::steady_clock;

int Connect() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(uint16_t(gPort));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        ::close(fd);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

bool SendAll(int fd, const std::string& data) {
    size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += size_t(n);
    }
    return true;
}

// Reads until `want` bytes arrived, the peer closed, or `msec` of silence.
std::string Receive(int fd, size_t want, int msec = 5000) {
    std::string got;
    char buf[4096];
    while (got.size() < want) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, msec) <= 0) break;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) break;
        got.append(buf, size_t(n));
    }
    return got;
}

// Closes with a reset instead of a FIN, as a crashing client does.
void Reset(int fd) {
    linger l{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    ::close(fd);
}

struct TTally {
    const char* Kind;
    int Connections = 0;
    int Refused = 0;    // could not connect
    int Expected = 0;   // answered as the kind should be answered
    int Unexpected = 0; // anything else
    double Seconds = 0;
};

// A new connection counted in `t`; -1 when it could not be made.
int Open(TTally& t) {
    ++t.Connections;
    const int fd = Connect();
    if (fd < 0) ++t.Refused;
    return fd;
}

void Print(const TTally& t) {
    std::printf("%-14s %6d connections %6d answered as expected %5d otherwise %5d refused  "
                "%.1f s\n",
                t.Kind, t.Connections, t.Expected, t.Unexpected, t.Refused, t.Seconds);
}

std::string CountingScript(int lines) {
    std::string s = "set ::cnt 0\n";
    for (int i = 0; i < lines; ++i)
        s += "incr ::cnt\n";
    return s + "set ::end \"reached $::cnt\"";
}

// One whole script (always longer than the least segment), cut into 2 to 7
// pieces written with pauses of up to 2 ms.
bool SplitScript(int fd, int lines) {
    const std::string script = CountingScript(lines);
    std::vector<size_t> cuts;
    const int pieces = 2 + int(gRandom() % 6);
    // Cut as TCP may cut it: never a first segment shorter than its least MSS.
    for (int i = 1; i < pieces; ++i)
        cuts.push_back(kLeastSegment + gRandom() % (script.size() - kLeastSegment));
    std::sort(cuts.begin(), cuts.end());
    size_t from = 0;
    for (size_t cut : cuts) {
        if (!SendAll(fd, script.substr(from, cut - from))) return false;
        from = cut;
        std::this_thread::sleep_for(std::chrono::microseconds(gRandom() % 2000));
    }
    if (!SendAll(fd, script.substr(from))) return false;
    const std::string want = "reached " + std::to_string(lines);
    return Receive(fd, want.size()) == want;
}

// A fresh client: greeting, then `script` answered with `want`.
bool Check(const std::string& script, const std::string& want) {
    const int fd = Connect();
    if (fd < 0) return false;
    const bool ok =
        Receive(fd, 2) == "OK" && SendAll(fd, script) && Receive(fd, want.size()) == want;
    ::close(fd);
    return ok;
}

// Round trips of a small script sent in one segment, in milliseconds.
void PrintRoundTrips(const char* label, int count) {
    const int fd = Connect();
    if (fd < 0 || Receive(fd, 2) != "OK") return;
    std::vector<double> ms;
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        if (!SendAll(fd, "expr {6 * 7}") || Receive(fd, 2) != "42") break;
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    ::close(fd);
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    std::printf("%s: small script round trip, %zu runs: median %.2f ms, p95 %.2f ms\n", label,
                ms.size(), ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 95 / 100)]);
}

template <typename F> TTally Run(const char* kind, int count, F one) {
    TTally t{kind};
    const auto start = Clock::now();
    one(t, count);
    t.Seconds = std::chrono::duration<double>(Clock::now() - start).count();
    Print(t);
    return t;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: port_hostile PORT [connections per kind]\n");
        return 2;
    }
    gPort = std::atoi(argv[1]);
    const int n = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
    if (!Check("expr {6 * 7}", "42")) {
        std::fprintf(stderr, "port_hostile: the port does not answer before the run\n");
        return 1;
    }

    PrintRoundTrips("before", 200);

    // Held open all at once: the owner's places fill, the rest hear BUSY.
    Run("idle", n, [](TTally& t, int count) {
        std::vector<int> fds;
        for (int i = 0; i < count; ++i) {
            const int fd = Open(t);
            if (fd < 0) continue;
            const std::string greeting = Receive(fd, 4, 100);
            (greeting == "OK" || greeting.rfind("BUSY", 0) == 0 ? t.Expected : t.Unexpected)++;
            fds.push_back(fd);
        }
        for (int fd : fds)
            ::close(fd);
    });

    // An unfinished script, a byte at a time, from many clients at once.
    Run("slow-loris", n, [](TTally& t, int count) {
        std::vector<int> fds;
        for (int i = 0; i < count; ++i) {
            const int fd = Open(t);
            if (fd < 0) continue;
            fds.push_back(fd);
        }
        const std::string text = "set slow {";
        for (char c : text) {
            for (int fd : fds)
                ::send(fd, &c, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        for (int fd : fds) {
            // Never finished: nothing may run; the server refuses or stays silent.
            const std::string got = Receive(fd, 64, 50);
            (got.find("reached") == std::string::npos ? t.Expected : t.Unexpected)++;
            Reset(fd);
        }
    });

    Run("oversized", n / 10 + 1, [](TTally& t, int count) {
        const std::string big(2 * 1024 * 1024, 'x');
        for (int i = 0; i < count; ++i) {
            const int fd = Open(t);
            if (fd < 0) continue;
            Receive(fd, 2);
            std::thread writer([&] { SendAll(fd, big); });
            const std::string got = Receive(fd, 24);
            ::shutdown(fd, SHUT_RDWR);
            writer.join();
            (got.rfind("*** Request too large", 0) == 0 ? t.Expected : t.Unexpected)++;
            ::close(fd);
        }
    });

    Run("garbage", n, [](TTally& t, int count) {
        for (int i = 0; i < count; ++i) {
            const int fd = Open(t);
            if (fd < 0) continue;
            Receive(fd, 2);
            std::string junk(1 + gRandom() % 4096, '\0');
            for (char& c : junk)
                c = char(gRandom());
            SendAll(fd, junk);
            // Any reply will do, or none; what counts is what follows.
            Receive(fd, 1, 100);
            ++t.Expected;
            Reset(fd);
        }
    });

    Run("connect/close", n * 10, [](TTally& t, int count) {
        for (int i = 0; i < count; ++i) {
            const int fd = Open(t);
            if (fd < 0) continue;
            ++t.Expected;
            (i % 2 ? Reset(fd) : (void)::close(fd));
        }
    });

    Run("split scripts", n, [](TTally& t, int count) {
        const int fd = Connect();
        if (fd < 0 || Receive(fd, 2) != "OK") {
            t.Refused = count;
            return;
        }
        for (int i = 0; i < count; ++i) {
            ++t.Connections;
            (SplitScript(fd, 100 + int(gRandom() % 3000)) ? t.Expected : t.Unexpected)++;
        }
        ::close(fd);
    });

    const bool ok =
        Check("expr {6 * 7}", "42") && Check("string length [string repeat ab 50]", "100");
    const int fd = Connect();
    const bool whole = fd >= 0 && Receive(fd, 2) == "OK" && SplitScript(fd, 60000);
    if (fd >= 0) ::close(fd);
    PrintRoundTrips("after", 200);
    std::printf("afterwards: small scripts %s, a 660 KB script in pieces %s\n",
                ok ? "answered correctly" : "ANSWERED WRONGLY",
                whole ? "ran once, whole" : "DID NOT RUN WHOLE");
    return ok && whole ? 0 : 1;
}
