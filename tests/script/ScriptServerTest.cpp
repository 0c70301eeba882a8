#include "TclTestSupport.h"

#include "script/ScriptEvaluator.h"
#include "script/ScriptServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Runs the event loop until `done` or a generous deadline (a hang guard, not
// a timing check).
template <typename F> bool SpinUntil(F done) {
    QDeadlineTimer deadline(10000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class TFakeEvaluator : public TScriptEvaluator {
public:
    std::function<QByteArray(const QByteArray&)> Body = [](const QByteArray& s) { return s; };
    int Calls = 0;
    QByteArray Evaluate(const QByteArray& script) override {
        ++Calls;
        return Body(script);
    }
};

class TClient {
public:
    explicit TClient(quint16 port, const QHostAddress& to = QHostAddress(QHostAddress::LocalHost),
                     const QHostAddress& from = QHostAddress()) {
        if (!from.isNull()) Socket.bind(from);
        Socket.connectToHost(to, port);
    }
    // The next `expected.size()` bytes.
    QByteArray Reply(qsizetype size) {
        SpinUntil([&] { return Socket.bytesAvailable() >= size; });
        return Socket.read(size);
    }
    QByteArray Exchange(const QByteArray& script, const QByteArray& expected) {
        Socket.write(script);
        Socket.flush();
        return Reply(expected.size());
    }
    QTcpSocket Socket;
};

class ScriptServer : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Server.Listen(0)); }
    TFakeEvaluator Fake;
    TScriptServer Server{Fake};
};

TEST_F(ScriptServer, ListensOnLoopbackOnlyAndAnswersEachRequest) {
    EXPECT_TRUE(Server.ServerAddress().isLoopback());
    TScriptServer second(Fake);
    QString error;
    EXPECT_FALSE(second.Listen(Server.Port(), &error));
    EXPECT_FALSE(error.isEmpty());
    TClient c(Server.Port());
    EXPECT_EQ(c.Reply(2), "OK");
    EXPECT_EQ(c.Exchange("hello", "hello"), "hello");
    EXPECT_EQ(c.Exchange("again", "again"), "again");
    EXPECT_EQ(Fake.Calls, 2);
}

TEST_F(ScriptServer, ServesIpv6LoopbackToo) {
    TClient c(Server.Port(), QHostAddress(QHostAddress::LocalHostIPv6));
    if (!SpinUntil([&] { return c.Socket.state() != QAbstractSocket::ConnectingState; }) ||
        c.Socket.state() != QAbstractSocket::ConnectedState)
        GTEST_SKIP() << "no IPv6 loopback here";
    EXPECT_EQ(c.Reply(2), "OK");
    EXPECT_EQ(c.Exchange("v6", "v6"), "v6");
}

TEST_F(ScriptServer, RefusesRequestsThatLookLikeHttp) {
    // LooksLikeHttp below has the methods; these are whole requests a browser page may send.
    const QByteArray requests[] = {"GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n",
                                   "POST /x HTTP/1.1\r\nContent-Length: 7\r\n\r\nexit 0\n",
                                   "PROPFIND /dav HTTP/1.1\r\n\r\n"};
    for (const QByteArray& request : requests) {
        TClient c(Server.Port());
        EXPECT_EQ(c.Reply(2), "OK");
        EXPECT_EQ(c.Exchange(request, "ACCESS DENIED"), "ACCESS DENIED") << request.constData();
        // A body sent after the headers must not run either.
        EXPECT_EQ(c.Exchange("set a 1", "ACCESS DENIED"), "ACCESS DENIED");
    }
    EXPECT_EQ(Fake.Calls, 0);
}

TEST(ScriptServerHttp, RecognisesRequestLinesOnly) {
    const struct {
        const char* Text;
        bool Http;
    } cases[] = {{"GET /", true},
                 {"CONNECT host:443 HTTP/1.1", true},
                 {"MKCOL /x HTTP/1.1\r\n", true},
                 {"HEAD / HTTP/1.0", true},
                 {"PUT /a HTTP/1.1", true},
                 {"OPTIONS * HTTP/1.1", true},
                 {"DELETE /a HTTP/1.1", true},
                 {"puts GET", false},
                 {"GETx /", false},
                 {"get / HTTP/1.1", false},
                 {"set a {GET / HTTP/1.1}", false},
                 {"", false}};
    for (const auto& c : cases)
        EXPECT_EQ(TScriptServer::LooksLikeHttp(c.Text), c.Http) << c.Text;
}

TEST_F(ScriptServer, RefusesOtherUsersUnknownOwnersAndOtherAddresses) {
    const std::optional<uint> owners[] = {uint(getuid()) + 1, std::nullopt, uint(getuid())};
    for (const auto& owner : owners) {
        Server.SetOwnerLookup([owner](const TTcpEndpoint&, const TTcpEndpoint&) { return owner; });
        // The own user's client comes from an address other than the server's.
        TClient c(Server.Port(), QHostAddress(QHostAddress::LocalHost),
                  owner == uint(getuid()) ? QHostAddress("127.0.0.2") : QHostAddress());
        EXPECT_EQ(c.Reply(2), "OK");
        EXPECT_EQ(c.Exchange("set a 1", "ACCESS DENIED"), "ACCESS DENIED");
    }
    EXPECT_EQ(Fake.Calls, 0);
}

TEST_F(ScriptServer, AnswersBusyWhileAScriptRunsOrTheProgramIsNotReady) {
    TClient a(Server.Port());
    ASSERT_EQ(a.Reply(2), "OK");
    QByteArray greetingOfB, replyOfB;
    Fake.Body = [&](const QByteArray& script) {
        if (script != "block") return script;
        // A modal window would run the event loop like this.
        EXPECT_TRUE(Server.RequestRunning());
        EXPECT_NE(Server.CurrentClient(), nullptr);
        TClient b(Server.Port());
        greetingOfB = b.Reply(4);
        replyOfB = b.Exchange("quick", "BUSY");
        return QByteArray("released");
    };
    EXPECT_EQ(a.Exchange("block", "released"), "released");
    EXPECT_EQ(greetingOfB, "BUSY");
    EXPECT_EQ(replyOfB, "BUSY");
    EXPECT_FALSE(Server.RequestRunning());
    EXPECT_EQ(Server.CurrentClient(), nullptr);
    EXPECT_EQ(Fake.Calls, 1);

    bool ready = false;
    Server.SetReadiness([&] { return ready; });
    EXPECT_EQ(a.Exchange("x", "BUSY"), "BUSY");
    ready = true;
    EXPECT_EQ(a.Exchange("x", "x"), "x");
}

TEST_F(ScriptServer, SurvivesAClientClosingDuringItsScript) {
    auto* a = new TClient(Server.Port());
    ASSERT_EQ(a->Reply(2), "OK");
    Fake.Body = [&](const QByteArray& script) {
        if (script == "vanish") {
            delete a;
            a = nullptr;
            // Deferred deletions run inside nested loops, as under a modal window.
            SpinUntil([&] {
                FlushDeletes();
                return Server.CurrentClient()->state() != QAbstractSocket::ConnectedState;
            });
            FlushDeletes();
            return QByteArray("late reply");
        }
        return script;
    };
    a->Socket.write("vanish");
    a->Socket.flush();
    EXPECT_TRUE(SpinUntil([&] { return a == nullptr && !Server.RequestRunning(); }));
    EXPECT_TRUE(SpinUntil([&] {
        FlushDeletes();
        return Server.ClientCount() == 0;
    }));
    TClient b(Server.Port());
    EXPECT_EQ(b.Reply(2), "OK");
    EXPECT_EQ(b.Exchange("still here", "still here"), "still here");
}

TEST_F(ScriptServer, SurvivesClientsThatVanishOrStaySilent) {
    for (int i = 0; i < 20; ++i) {
        TClient gone(Server.Port());
        SpinUntil([&] { return gone.Socket.state() == QAbstractSocket::ConnectedState; });
        gone.Socket.abort();
    }
    TClient silent(Server.Port());
    ASSERT_EQ(silent.Reply(2), "OK");
    EXPECT_TRUE(SpinUntil([&] {
        FlushDeletes();
        return Server.ClientCount() == 1;
    }));
    TClient c(Server.Port());
    EXPECT_EQ(c.Reply(2), "OK");
    EXPECT_EQ(c.Exchange("ping", "ping"), "ping");
}

TEST_F(ScriptServer, RefusesARequestOverTheLimitAndIgnoresTheRest) {
    Server.SetRequestLimit(1000);
    TClient big(Server.Port());
    ASSERT_EQ(big.Reply(2), "OK");
    big.Socket.write(QByteArray(5000, 'x'));
    big.Socket.flush();
    const QByteArray refusal = "*** Request too large (limit 999 bytes); further data on this "
                               "connection is ignored";
    EXPECT_EQ(big.Reply(refusal.size()), refusal);
    big.Socket.write("small");
    TClient c(Server.Port());
    EXPECT_EQ(c.Reply(2), "OK");
    EXPECT_EQ(c.Exchange("fine", "fine"), "fine");
    EXPECT_EQ(Fake.Calls, 1);
}

TEST_F(ScriptServer, ReportsAnExceptionFromTheEvaluator) {
    Fake.Body = [](const QByteArray&) -> QByteArray { throw std::runtime_error("x"); };
    TClient c(Server.Port());
    ASSERT_EQ(c.Reply(2), "OK");
    EXPECT_EQ(c.Exchange("boom", "*** Uncaught exception occurred"),
              "*** Uncaught exception occurred");
    EXPECT_FALSE(Server.RequestRunning());
}

class ScriptServerWithTcl : public testing::Test, public TTclHostFixture {
protected:
    void SetUp() override {
        Start("proc greet {who} {return \"hello $who\"}");
        ASSERT_TRUE(Tcl.IsLoaded());
        ASSERT_TRUE(Server.Listen(0));
    }
    TTclEvaluator Evaluator{Tcl};
    TScriptServer Server{Evaluator};
};

TEST_F(ScriptServerWithTcl, EvaluatesScriptsOfAClient) {
    Tcl.CreateCommand("bx_peer", [this](TTclInterface&, const QList<QByteArray>&, QByteArray& r) {
        r = Server.CurrentClient() ? Server.CurrentClient()->peerAddress().toString().toLatin1()
                                   : "none";
        return TTclInterface::TclOk;
    });
    TClient c(Server.Port());
    EXPECT_EQ(c.Reply(2), "OK");
    EXPECT_EQ(c.Exchange("expr {1 + 2}", "3"), "3");
    EXPECT_EQ(c.Exchange("greet you", "hello you"), "hello you");
    EXPECT_EQ(c.Exchange("error boom", "boom"), "boom");
    EXPECT_EQ(c.Exchange("join {a b} \\n", "a\r\nb"), "a\r\nb");
    EXPECT_EQ(c.Exchange("bx_peer", "127.0.0.1"), "127.0.0.1");
    EXPECT_EQ(Server.CurrentClient(), nullptr);
}

TEST_F(ScriptServerWithTcl, SurvivesAFiveMegabyteScript) {
    TClient big(Server.Port());
    ASSERT_EQ(big.Reply(2), "OK");
    QByteArray script;
    while (script.size() < 5 * 1024 * 1024)
        script += "set filler 0123456789\n";
    big.Socket.write(script);
    SpinUntil([&] { return big.Socket.bytesToWrite() == 0; });
    big.Socket.abort();
    TClient c(Server.Port());
    EXPECT_EQ(c.Reply(2), "OK");
    EXPECT_EQ(c.Exchange("greet again", "hello again"), "hello again");
    EXPECT_TRUE(SpinUntil([&] {
        FlushDeletes();
        return Server.ClientCount() == 1;
    }));
}

TEST_F(ScriptServerWithTcl, TalksToATclshClient) {
    const QString tclsh = QStringLiteral("/usr/bin/tclsh");
    if (!QFile::exists(tclsh)) GTEST_SKIP() << "tclsh not installed";
    const QByteArray client = R"(
        set s [socket 127.0.0.1 [lindex $argv 0]]
        fconfigure $s -translation binary -blocking 0 -buffering none
        proc reply {s} {
            set d ""
            while {$d eq ""} { after 5; append d [read $s] }
            return $d
        }
        puts [reply $s]
        foreach script {{greet tclsh} {llength {a b c}} {error boom}} {
            puts -nonewline $s $script
            puts [reply $s]
        }
        close $s
    )";
    WriteFile(ConfigFile("client.tcl"), client);
    QProcess process;
    process.start(tclsh, {ConfigFile("client.tcl"), QString::number(Server.Port())});
    ASSERT_TRUE(SpinUntil([&] { return process.state() == QProcess::NotRunning; }));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    EXPECT_EQ(process.readAllStandardOutput(), "OK\nhello tclsh\n3\nboom\n");
}

} // namespace
