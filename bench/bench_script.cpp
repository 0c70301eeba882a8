// Round trips of the remote script server: a blocking client on its own
// thread, the server and the Tcl interpreter on the Qt event loop as in the
// program.
#include "script/ScriptEvaluator.h"
#include "script/ScriptServer.h"
#include "script/TclInterface.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

quint16 g_port = 0;

int Connect() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(g_port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return -1;
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

// Reads exactly `n` bytes (the replies here are known).
bool ReadExactly(int fd, char* buf, size_t n) {
    for (size_t got = 0; got < n;) {
        const ssize_t r = read(fd, buf + got, n - got);
        if (r <= 0) return false;
        got += size_t(r);
    }
    return true;
}

// One connection sending `script` again and again; its reply starts with one byte.
void RoundTrips(benchmark::State& state, const std::string& script) {
    const int fd = Connect();
    char buf[16];
    if (fd < 0 || !ReadExactly(fd, buf, 2)) {
        state.SkipWithError("cannot connect");
        return;
    }
    for (auto _ : state) {
        if (write(fd, script.data(), script.size()) != ssize_t(script.size()) ||
            !ReadExactly(fd, buf, 1)) {
            state.SkipWithError("connection lost");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
    close(fd);
}

void BM_RoundTripTrivialScript(benchmark::State& state) {
    RoundTrips(state, "set a 1");
}
BENCHMARK(BM_RoundTripTrivialScript)->UseRealTime();

// A script too long to be known whole from one read: answered once the
// connection has been quiet for the server's interval.
void BM_RoundTripLongScript(benchmark::State& state) {
    RoundTrips(state, QByteArray("set a 1\n").repeated(512).toStdString());
}
BENCHMARK(BM_RoundTripLongScript)->UseRealTime();

// A client that connects, runs one script and leaves (includes the owner check).
void BM_ConnectScriptClose(benchmark::State& state) {
    char buf[16];
    for (auto _ : state) {
        const int fd = Connect();
        if (fd < 0 || !ReadExactly(fd, buf, 2) || write(fd, "set a 1", 7) != 7 ||
            !ReadExactly(fd, buf, 1)) {
            state.SkipWithError("connection failed");
            break;
        }
        close(fd);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ConnectScriptClose)->UseRealTime();

// The owner check done once per accepted connection.
void BM_SocketOwnerLookup(benchmark::State& state) {
    const int fd = Connect();
    sockaddr_in mine{};
    socklen_t len = sizeof mine;
    getsockname(fd, reinterpret_cast<sockaddr*>(&mine), &len);
    const TTcpEndpoint client{QHostAddress(QHostAddress::LocalHost), ntohs(mine.sin_port)};
    const TTcpEndpoint server{QHostAddress(QHostAddress::LocalHost), g_port};
    for (auto _ : state)
        benchmark::DoNotOptimize(TcpSocketOwner(client, server));
    close(fd);
}
BENCHMARK(BM_SocketOwnerLookup);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir config;
    QFile startup(config.filePath(QStringLiteral("Brevixo.tcl")));
    if (startup.open(QIODevice::WriteOnly)) startup.close();
    TTclInterface tcl;
    tcl.Create(TTclConfig{QStringLiteral("libtcl8.6.so"), QString()}, config.path(), config.path());
    if (!tcl.IsLoaded()) return 1;
    TTclEvaluator evaluator(tcl);
    TScriptServer server(evaluator);
    if (!server.Listen(0)) return 1;
    server.MarkStarted();
    g_port = server.Port();

    benchmark::Initialize(&argc, argv);
    std::thread client([&] {
        benchmark::RunSpecifiedBenchmarks();
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    client.join();
    benchmark::Shutdown();
    return 0;
}
