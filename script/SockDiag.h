#pragma once
// Who owns a TCP socket, asked of the kernel by its two ends (netlink
// sock_diag): one exact lookup, however many sockets the system has, where
// reading /proc/net/tcp costs a line per socket.
#include "script/ProcNetTcp.h"

#include <optional>

struct TSockDiagAnswer {
    bool Answered = false;   // false: no sock_diag here; ask /proc instead
    std::optional<uint> Uid; // none: no such socket
};

TSockDiagAnswer SockDiagOwner(const TTcpEndpoint& local, const TTcpEndpoint& remote);
