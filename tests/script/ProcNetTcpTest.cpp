#include "script/ProcNetTcp.h"
#include "script/SockDiag.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const QByteArray Header =
    "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  "
    "timeout inode\n";

TTcpEndpoint Ep(const char* address, quint16 port) {
    return {QHostAddress(QString::fromLatin1(address)), port};
}

TEST(ProcNetTcp, FindsTheOwnerOfTheSocketWithBothEnds) {
    // A client 127.0.0.1:40000 (uid 1000) talks to a server on 127.0.0.1:1024
    // (uid 1001); the listener (uid 1001) and an unrelated socket share a port.
    const QByteArray listing =
        Header +
        "   0: 0100007F:0400 00000000:0000 0A 00000000:00000000 00:00000000 00000000  1001        "
        "0 1 1 0000000000000000 100 0 0 10 0\n"
        "   1: 0100007F:0400 0100007F:9C40 01 00000000:00000000 00:00000000 00000000  1001        "
        "0 2 1 0000000000000000 20 4 30 10 -1\n"
        "   2: 0100007F:9C40 0100007F:0400 01 00000000:00000000 00:00000000 00000000  1000        "
        "0 3 1 0000000000000000 20 4 30 10 -1\n"
        "   3: 0100007F:9C40 0200007F:0400 01 00000000:00000000 00:00000000 00000000  1002        "
        "0 4 1 0000000000000000 20 4 30 10 -1\n";
    EXPECT_EQ(FindTcpSocketOwner(listing, Ep("127.0.0.1", 40000), Ep("127.0.0.1", 1024)), 1000u);
    EXPECT_EQ(FindTcpSocketOwner(listing, Ep("127.0.0.1", 1024), Ep("127.0.0.1", 40000)), 1001u);
    EXPECT_EQ(FindTcpSocketOwner(listing, Ep("127.0.0.1", 40000), Ep("127.0.0.2", 1024)), 1002u);
    EXPECT_EQ(FindTcpSocketOwner(listing, Ep("127.0.0.1", 40001), Ep("127.0.0.1", 1024)),
              std::nullopt);
}

TEST(ProcNetTcp, ReadsIpv6AndMappedIpv4Addresses) {
    // ::1 port 50000 -> ::1 port 1024, and ::ffff:127.0.0.1 port 50001 -> same.
    const QByteArray listing =
        Header +
        "   0: 00000000000000000000000001000000:C350 00000000000000000000000001000000:0400 01 "
        "00000000:00000000 00:00000000 00000000  1000        0 5 1\n"
        "   1: 0000000000000000FFFF00000100007F:C351 0000000000000000FFFF00000100007F:0400 01 "
        "00000000:00000000 00:00000000 00000000  1003        0 6 1\n";
    EXPECT_EQ(FindTcpSocketOwner(listing, Ep("::1", 50000), Ep("::1", 1024)), 1000u);
    EXPECT_EQ(FindTcpSocketOwner(listing, Ep("127.0.0.1", 50001), Ep("127.0.0.1", 1024)), 1003u);
    EXPECT_EQ(FindTcpSocketOwner(listing, Ep("::ffff:127.0.0.1", 50001), Ep("127.0.0.1", 1024)),
              1003u);
    EXPECT_EQ(FindTcpSocketOwner(listing, Ep("127.0.0.1", 50000), Ep("::1", 1024)), std::nullopt);
}

TEST(ProcNetTcp, MalformedLinesAreSkipped) {
    const TTcpEndpoint client = Ep("127.0.0.1", 40000), server = Ep("127.0.0.1", 1024);
    const char* bad[] = {
        "   0: 0100007F:9C40 0100007F:0400 01 00000000:00000000 00:00000000 00000000\n", // no uid
        "   0: 0100007G:9C40 0100007F:0400 01 0:0 0:0 0 1000\n",        // bad hex digit
        "   0: 0100007F:9C4 0100007F:0400 01 0:0 0:0 0 1000\n",         // short port
        "   0: 0100007F9C40 0100007F:0400 01 0:0 0:0 0 1000\n",         // no colon
        "   0: 100007F:9C40 0100007F:0400 01 0:0 0:0 0 1000\n",         // short address
        "   0: 0100007F:9C40 0100007F:0400 01 0:0 0:0 0 -5\n",          // bad uid
        "   0: 0100007F:9C40 0100007F:0400 01 0:0 0:0 0 99999999999\n", // uid overflow
        "   0: 0100007F:+C40 0100007F:0400 01 0:0 0:0 0 1000\n",        // sign in hex
        "",
        "\n\n\n",
    };
    for (const char* line : bad)
        EXPECT_EQ(FindTcpSocketOwner(Header + line, client, server), std::nullopt) << line;
    // The header line is never data, even if it looked like it.
    EXPECT_EQ(
        FindTcpSocketOwner("   0: 0100007F:9C40 0100007F:0400 01 0:0 0:0 0 1000\n", client, server),
        std::nullopt);
    // Truncated in the middle of the good line, then the good line whole.
    const QByteArray good = "   0: 0100007F:9C40 0100007F:0400 01 0:0 0:0 0 1000 0 7\n";
    for (qsizetype cut = 0; cut < good.size(); ++cut)
        (void)FindTcpSocketOwner(Header + good.left(cut), client, server);
    EXPECT_EQ(FindTcpSocketOwner(Header + good, client, server), 1000u);
}

TEST(ProcNetTcp, SameAddressComparesAddressesNotTexts) {
    struct {
        const char* A;
        const char* B;
        bool Same;
    } cases[] = {{"127.0.0.1", "127.0.0.1", true},        {"::ffff:127.0.0.1", "127.0.0.1", true},
                 {"127.0.0.1", "::ffff:7f00:1", true},    {"::1", "::1", true},
                 {"127.0.0.1", "127.0.0.2", false},       {"::1", "127.0.0.1", false},
                 {"::ffff:127.0.0.2", "127.0.0.1", false}};
    for (const auto& c : cases)
        EXPECT_EQ(SameAddress(QHostAddress(QString::fromLatin1(c.A)),
                              QHostAddress(QString::fromLatin1(c.B))),
                  c.Same)
            << c.A << " " << c.B;
    EXPECT_FALSE(SameAddress(QHostAddress(), QHostAddress()));
}

TEST(ProcNetTcp, OwnSocketsOnThisSystemBelongToThisUser) {
    for (const QHostAddress& loopback :
         {QHostAddress(QHostAddress::LocalHost), QHostAddress(QHostAddress::LocalHostIPv6)}) {
        QTcpServer server;
        if (!server.listen(loopback)) continue; // no IPv6 here
        QTcpSocket client;
        client.connectToHost(loopback, server.serverPort());
        ASSERT_TRUE(client.waitForConnected(5000));
        const TTcpEndpoint clientEnd{client.localAddress(), client.localPort()};
        const TTcpEndpoint serverEnd{loopback, server.serverPort()};
        const TTcpEndpoint stranger{clientEnd.Address, quint16(clientEnd.Port + 1)};
        EXPECT_EQ(TcpSocketOwner(clientEnd, serverEnd), uint(getuid()));
        EXPECT_EQ(TcpSocketOwner(stranger, serverEnd), std::nullopt);
        // The kernel's own answer, where it gives one, agrees.
        const TSockDiagAnswer asked = SockDiagOwner(clientEnd, serverEnd);
        if (!asked.Answered) continue;
        EXPECT_EQ(asked.Uid, uint(getuid())) << loopback.toString().toStdString();
        const TSockDiagAnswer none = SockDiagOwner(stranger, serverEnd);
        EXPECT_TRUE(none.Answered);
        EXPECT_EQ(none.Uid, std::nullopt);
    }
}

} // namespace
