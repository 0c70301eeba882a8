#include "script/SockDiag.h"

#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

// The address as the kernel keeps it: network byte order, IPv4 in the first word.
bool Fill(const QHostAddress& address, __be32 out[4], int* family) {
    std::memset(out, 0, 4 * sizeof(__be32));
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    if (isV4) {
        *family = AF_INET;
        out[0] = qToBigEndian(v4);
        return true;
    }
    if (address.protocol() != QAbstractSocket::IPv6Protocol) return false;
    *family = AF_INET6;
    const Q_IPV6ADDR v6 = address.toIPv6Address();
    std::memcpy(out, v6.c, 16);
    return true;
}

struct TFd {
    int Fd;
    ~TFd() {
        if (Fd >= 0) ::close(Fd);
    }
};

} // namespace

TSockDiagAnswer SockDiagOwner(const TTcpEndpoint& local, const TTcpEndpoint& remote) {
    struct {
        nlmsghdr Header;
        inet_diag_req_v2 Request;
    } query{};
    int family = 0, remoteFamily = 0;
    if (!Fill(local.Address, query.Request.id.idiag_src, &family) ||
        !Fill(remote.Address, query.Request.id.idiag_dst, &remoteFamily) || family != remoteFamily)
        return {};
    query.Header.nlmsg_len = sizeof query;
    query.Header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    query.Header.nlmsg_flags = NLM_F_REQUEST;
    query.Request.sdiag_family = quint8(family);
    query.Request.sdiag_protocol = IPPROTO_TCP;
    query.Request.idiag_states = ~0u;
    query.Request.id.idiag_sport = qToBigEndian(local.Port);
    query.Request.id.idiag_dport = qToBigEndian(remote.Port);
    query.Request.id.idiag_cookie[0] = INET_DIAG_NOCOOKIE;
    query.Request.id.idiag_cookie[1] = INET_DIAG_NOCOOKIE;

    const TFd fd{::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG)};
    if (fd.Fd < 0) return {};
    // The kernel answers at once; the bound only guards against a broken one.
    const timeval wait{1, 0};
    ::setsockopt(fd.Fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (::sendto(fd.Fd, &query, sizeof query, 0, reinterpret_cast<sockaddr*>(&kernel),
                 sizeof kernel) != ssize_t(sizeof query))
        return {};
    alignas(nlmsghdr) char buffer[8192];
    const ssize_t got = ::recv(fd.Fd, buffer, sizeof buffer, 0);
    if (got < ssize_t(sizeof(nlmsghdr))) return {};
    const auto* reply = reinterpret_cast<const nlmsghdr*>(buffer);
    if (!NLMSG_OK(reply, size_t(got))) return {};
    if (reply->nlmsg_type == NLMSG_ERROR) {
        if (reply->nlmsg_len < NLMSG_LENGTH(sizeof(nlmsgerr))) return {};
        const auto* error = static_cast<const nlmsgerr*>(NLMSG_DATA(reply));
        // No such socket is an answer; anything else means: ask elsewhere.
        return error->error == -ENOENT ? TSockDiagAnswer{true, std::nullopt} : TSockDiagAnswer{};
    }
    if (reply->nlmsg_type != SOCK_DIAG_BY_FAMILY ||
        reply->nlmsg_len < NLMSG_LENGTH(sizeof(inet_diag_msg)))
        return {};
    const auto* message = static_cast<const inet_diag_msg*>(NLMSG_DATA(reply));
    return {true, message->idiag_uid};
}
