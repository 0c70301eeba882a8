#include "ServerTestSupport.h"
#include "TclTestSupport.h"

#include "script/ScriptServer.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class ScriptServer : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Server.Listen(0));
        Server.MarkStarted();
    }
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
        // No body sent after the headers can run: the connection is gone.
        EXPECT_TRUE(c.ClosedByServer());
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

TEST_F(ScriptServer, ClosesOtherUsersUnknownOwnersAndOtherAddressesAtOnce) {
    const std::optional<uint> owners[] = {uint(getuid()) + 1, std::nullopt, uint(getuid())};
    for (const auto& owner : owners) {
        Server.SetOwnerLookup([owner](const TTcpEndpoint&, const TTcpEndpoint&) { return owner; });
        // The own user's client comes from an address other than the server's.
        TClient c(Server.Port(), QHostAddress(QHostAddress::LocalHost),
                  owner == uint(getuid()) ? QHostAddress("127.0.0.2") : QHostAddress());
        EXPECT_EQ(c.Reply(13), "ACCESS DENIED");
        EXPECT_TRUE(c.ClosedByServer());
    }
    EXPECT_EQ(Fake.Calls, 0);
    EXPECT_EQ(Server.ClientCount(), 0);
}

TEST_F(ScriptServer, OtherUsersCannotFillTheOwnersPlaces) {
    bool stranger = true;
    Server.SetOwnerLookup([&](const TTcpEndpoint&, const TTcpEndpoint&) {
        return std::optional<uint>(stranger ? uint(getuid()) + 1 : uint(getuid()));
    });
    // They stay connected as long as they like; the server has let them go.
    std::vector<std::unique_ptr<TClient>> strangers;
    for (int i = 0; i < TScriptServer::MaxClients + 10; ++i) {
        strangers.push_back(std::make_unique<TClient>(Server.Port()));
        EXPECT_EQ(strangers.back()->Reply(13), "ACCESS DENIED");
    }
    EXPECT_EQ(Server.ClientCount(), 0);
    stranger = false;
    TClient owner(Server.Port());
    EXPECT_EQ(owner.Reply(2), "OK");
    EXPECT_EQ(owner.Exchange("mine", "mine"), "mine");
}

TEST_F(ScriptServer, ClosesIdleConnectionsButNotBusyOnes) {
    Server.SetTimeouts(5, 2000, 1000);
    TClient idle(Server.Port()), talking(Server.Port());
    ASSERT_EQ(idle.Reply(2), "OK");
    ASSERT_EQ(talking.Reply(2), "OK");
    for (int i = 0; i < 40 && idle.Socket.state() == QAbstractSocket::ConnectedState; ++i) {
        EXPECT_EQ(talking.Exchange("ping", "ping"), "ping");
        SpinFor(100);
    }
    EXPECT_TRUE(idle.ClosedByServer());
    EXPECT_EQ(talking.Socket.state(), QAbstractSocket::ConnectedState);
    EXPECT_EQ(talking.Exchange("still", "still"), "still");
    // A script that runs longer than the idle limit keeps its connection.
    Fake.Body = [](const QByteArray& script) {
        SpinFor(1500);
        return script;
    };
    EXPECT_EQ(talking.Exchange("slow", "slow"), "slow");
    EXPECT_EQ(talking.Socket.state(), QAbstractSocket::ConnectedState);
}

TEST(ScriptServerStart, AnswersBusyUntilStartUpHasFinished) {
    TFakeEvaluator fake;
    TScriptServer server(fake);
    ASSERT_TRUE(server.Listen(0));
    TClient early(server.Port());
    EXPECT_EQ(early.Reply(4), "BUSY");
    EXPECT_EQ(early.Exchange("bx_list length", "BUSY"), "BUSY");
    EXPECT_EQ(fake.Calls, 0);
    server.MarkStarted();
    EXPECT_EQ(early.Exchange("bx_list length", "bx_list length"), "bx_list length");
    TClient later(server.Port());
    EXPECT_EQ(later.Reply(2), "OK");
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
        Server.MarkStarted();
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

TEST_F(ScriptServerWithTcl, CancelsAScriptThatStopsTheProgramAndAnswersAfterwards) {
    if (!Tcl.CanCancel()) GTEST_SKIP() << "this Tcl cannot cancel scripts";
    Tcl.SetTimeLimit(1);
    TClient c(Server.Port());
    ASSERT_EQ(c.Reply(2), "OK");
    const QByteArray cancelled = "*** Script cancelled: it kept Brevix from answering for more "
                                 "than 1 seconds";
    EXPECT_EQ(c.Exchange("while 1 {}", cancelled), cancelled);
    EXPECT_EQ(c.Exchange("greet back", "hello back"), "hello back");
    TClient other(Server.Port());
    EXPECT_EQ(other.Reply(2), "OK");
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
