// BSD sockets. The wait uses poll() rather than select(): select cannot watch a descriptor
// numbered 1024 or above, which a busy host process easily reaches.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <vector>

#include "platform/sockets.h"

namespace platform {

namespace {

bool makeNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL, 0);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

bool wouldBlockError() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR; }

class BsdSockets final : public Sockets {
public:
    void startUp() override {}

    SocketHandle listenTcp(const char* port, int backlog) override {
        addrinfo hints{};
        hints.ai_flags = AI_PASSIVE;
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_protocol = IPPROTO_TCP;
        addrinfo* found = nullptr;
        if (getaddrinfo(nullptr, port, &hints, &found) != 0 || !found) return kInvalidSocket;
        const int fd = socket(found->ai_family, found->ai_socktype | SOCK_CLOEXEC, found->ai_protocol);
        bool ok = fd >= 0;
        if (ok) {
            const int on = 1;
            ok = makeNonBlocking(fd) && setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0 &&
                 bind(fd, found->ai_addr, found->ai_addrlen) == 0 && listen(fd, backlog) == 0;
            if (!ok) ::close(fd);
        }
        freeaddrinfo(found);
        if (!ok) return kInvalidSocket;
        ++open_;
        return static_cast<SocketHandle>(fd);
    }

    SocketHandle accept(SocketHandle listener, char (&peer)[kPeerAddressSize]) override {
        peer[0] = '\0';
        // One call gives the socket its flags and tells the peer: a connection per request
        // makes every saved system call count.
        sockaddr_in address{};
        socklen_t length = sizeof address;
        const int fd = ::accept4(static_cast<int>(listener), reinterpret_cast<sockaddr*>(&address), &length,
                                 SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return kInvalidSocket;
        ++open_;
        if (length <= sizeof address && address.sin_family == AF_INET &&
            !inet_ntop(AF_INET, &address.sin_addr, peer, sizeof peer))
            peer[0] = '\0';
        return static_cast<SocketHandle>(fd);
    }

    int64_t receive(SocketHandle socket, void* data, size_t size, bool& wouldBlock) override {
        const ssize_t n = recv(static_cast<int>(socket), data, size, 0);
        wouldBlock = n < 0 && wouldBlockError();
        return n;
    }

    int64_t send(SocketHandle socket, const void* data, size_t size, bool& wouldBlock) override {
        // No SIGPIPE into the host when the peer has gone.
        const ssize_t n = ::send(static_cast<int>(socket), data, size, MSG_NOSIGNAL);
        wouldBlock = n < 0 && wouldBlockError();
        return n;
    }

    void close(SocketHandle socket) override {
        if (socket == kInvalidSocket) return;
        ::close(static_cast<int>(socket));
        --open_;
    }

    int wait(SocketSet& read, SocketSet& write, uint32_t timeoutMs) override {
        fds_.clear();
        for (size_t i = 0; i < read.count; ++i) fds_.push_back({static_cast<int>(read.sockets[i]), POLLIN, 0});
        for (size_t i = 0; i < write.count; ++i) fds_.push_back({static_cast<int>(write.sockets[i]), POLLOUT, 0});
        const int timeout = timeoutMs > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(timeoutMs);
        const int n = poll(fds_.data(), fds_.size(), timeout);
        if (n < 0) return -1;
        // A closed or failed socket counts as ready, as select reports it, so that the
        // receive or send finds out.
        int ready = 0;
        for (size_t i = 0; i < read.count; ++i) {
            read.ready[i] = (fds_[i].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) != 0;
            ready += read.ready[i];
        }
        for (size_t i = 0; i < write.count; ++i) {
            write.ready[i] = (fds_[read.count + i].revents & (POLLOUT | POLLHUP | POLLERR | POLLNVAL)) != 0;
            ready += write.ready[i];
        }
        return ready;
    }

    size_t openCount() const override { return open_; }

private:
    std::atomic<size_t> open_{0};
    std::vector<pollfd> fds_;
};

}  // namespace

bool tcpPortAvailable(uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    const bool free = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(fd, 1) == 0;
    ::close(fd);
    return free;
}

std::string machineName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

Sockets& platformSockets() {
    static BsdSockets bsd;
    return bsd;
}

}  // namespace platform
