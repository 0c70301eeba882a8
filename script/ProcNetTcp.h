#pragma once
// Who owns a TCP socket: Linux lists every socket of the network namespace in
// /proc/net/tcp and /proc/net/tcp6 with its owner's uid. The script server
// uses it to serve only programs of its own user.
#include <QByteArray>
#include <QHostAddress>
#include <optional>

struct TTcpEndpoint {
    QHostAddress Address;
    quint16 Port = 0;
};

// Addresses compared as addresses: ::ffff:127.0.0.1 equals 127.0.0.1 (but
// ::1 is not 127.0.0.1).
bool SameAddress(const QHostAddress& a, const QHostAddress& b);

// The uid of the socket in `listing` (the text of /proc/net/tcp or tcp6)
// whose own end is `local` and whose peer is `remote`; none when absent or
// when the listing is malformed.
std::optional<uint> FindTcpSocketOwner(const QByteArray& listing, const TTcpEndpoint& local,
                                       const TTcpEndpoint& remote);

// Asks the kernel (sock_diag) and, where it cannot answer, searches both
// system listings.
std::optional<uint> TcpSocketOwner(const TTcpEndpoint& local, const TTcpEndpoint& remote);
