#include "hook/InstanceLock.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace bxhook {
namespace {
struct TWireMessage {
    uint32_t hwnd;
    uint32_t msg;
    uint64_t wParam;
    int64_t lParam;
};

bool FillAddress(const std::string& path, sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size());
    return true;
}
} // namespace

std::string TInstanceLock::BasePath() {
    std::string dir;
    if (const char* d = std::getenv("BREVIX_RUNTIME_DIR"); d && *d)
        dir = d;
    else if (const char* x = std::getenv("XDG_RUNTIME_DIR"); x && *x)
        dir = x;
    else
        dir = "/tmp";
    std::string display = "none";
    if (const char* d = std::getenv("DISPLAY"); d && *d) display = d;
    for (char& c : display)
        if (c == '/' || c == ':' || c == '.') c = '_';
    return dir + "/brevix-" + std::to_string(getuid()) + "-" + display;
}

TInstanceLock::~TInstanceLock() {
    Release();
}

bool TInstanceLock::Acquire(BxHwnd mainWindow, PostFn post) {
    if (fd_ >= 0) return window_ == mainWindow;
    const std::string base = BasePath();
    int fd = ::open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    char buf[32];
    const int len = std::snprintf(buf, sizeof buf, "%u\n", mainWindow);
    if (::ftruncate(fd, 0) != 0 || ::write(fd, buf, len) != len) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    window_ = mainWindow;
    post_ = std::move(post);

    const std::string sockPath = base + ".sock";
    ::unlink(sockPath.c_str()); // a stale socket of a holder that died; we hold the lock now
    sockaddr_un addr;
    int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s >= 0 && FillAddress(sockPath, addr) &&
        ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 && ::listen(s, 4) == 0) {
        ::chmod(sockPath.c_str(), 0600);
        listenFd_ = s;
        listener_ = std::thread([this] { Listen(); });
    } else if (s >= 0) {
        ::close(s);
    }
    return true;
}

void TInstanceLock::Listen() {
    for (;;) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, -1) < 0 && errno != EINTR) return;
        if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) return;
        int c = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0) {
            if (errno == EINVAL || errno == EBADF) return; // shut down
            continue;
        }
        // A peer that sends nothing must not stall the holder.
        pollfd cp{c, POLLIN, 0};
        TWireMessage m{};
        if (::poll(&cp, 1, 1000) == 1 && ::recv(c, &m, sizeof m, MSG_WAITALL) == sizeof m &&
            m.hwnd == window_ && post_)
            post_(m.hwnd, m.msg, static_cast<uintptr_t>(m.wParam), static_cast<intptr_t>(m.lParam));
        ::close(c);
    }
}

void TInstanceLock::Release() {
    if (listenFd_ >= 0) {
        ::shutdown(listenFd_, SHUT_RDWR);
        if (listener_.joinable()) listener_.join();
        ::close(listenFd_);
        ::unlink((BasePath() + ".sock").c_str());
        listenFd_ = -1;
    }
    if (fd_ >= 0) {
        if (::ftruncate(fd_, 0) != 0) { /* the lock itself is what counts */
        }
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
        fd_ = -1;
    }
    window_ = 0;
}

BxHwnd TInstanceLock::HolderWindow() const {
    if (fd_ >= 0) return window_;
    int fd = ::open((BasePath() + ".lock").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    BxHwnd hwnd = 0;
    // Only a file still locked names a live holder.
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        char buf[32] = {};
        if (::read(fd, buf, sizeof buf - 1) > 0)
            hwnd = static_cast<BxHwnd>(std::strtoul(buf, nullptr, 10));
    } else {
        ::flock(fd, LOCK_UN);
    }
    ::close(fd);
    return hwnd;
}

bool TInstanceLock::PostToHolder(BxHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    sockaddr_un addr;
    if (!FillAddress(BasePath() + ".sock", addr)) return false;
    int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return false;
    bool ok = false;
    if (::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        TWireMessage m{hwnd, msg, wParam, static_cast<int64_t>(lParam)};
        ok = ::send(s, &m, sizeof m, MSG_NOSIGNAL) == sizeof m;
    }
    ::close(s);
    return ok;
}

} // namespace bxhook
