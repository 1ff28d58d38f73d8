// Winsock. Each set is filled directly into an fd_set sized for the server's 2048 sockets.
#define FD_SETSIZE 2048
#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <cstring>

#include "platform/sockets.h"

static_assert(FD_SETSIZE == platform::kSocketSetCapacity, "fd_set must hold a whole socket set");

namespace platform {

namespace {

bool makeNonBlocking(SOCKET s) {
    u_long on = 1;
    return ioctlsocket(s, FIONBIO, &on) == 0;
}

void fill(fd_set& set, const SocketSet& sockets) {
    set.fd_count = static_cast<u_int>(sockets.count);
    for (size_t i = 0; i < sockets.count; ++i) set.fd_array[i] = static_cast<SOCKET>(sockets.sockets[i]);
}

// select leaves only the ready sockets in a set; each is found again by its handle.
void markReady(const fd_set& set, SocketSet& sockets) {
    for (size_t i = 0; i < sockets.count; ++i) sockets.ready[i] = false;
    for (u_int i = 0; i < set.fd_count; ++i) {
        const int at = sockets.find(static_cast<SocketHandle>(set.fd_array[i]));
        if (at >= 0) sockets.ready[at] = true;
    }
}

class Winsock final : public Sockets {
public:
    void startUp() override {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }

    SocketHandle listenTcp(const char* port, int backlog) override {
        addrinfo hints{};
        hints.ai_flags = AI_PASSIVE;
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_protocol = IPPROTO_TCP;
        addrinfo* found = nullptr;
        if (getaddrinfo(nullptr, port, &hints, &found) != 0 || !found) return kInvalidSocket;
        const SOCKET s = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
        bool ok = s != INVALID_SOCKET;
        if (ok) {
            const BOOL on = TRUE;
            ok = makeNonBlocking(s) &&
                 setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof on) == 0 &&
                 bind(s, found->ai_addr, static_cast<int>(found->ai_addrlen)) == 0 && listen(s, backlog) == 0;
            if (!ok) closesocket(s);
        }
        freeaddrinfo(found);
        if (!ok) return kInvalidSocket;
        ++open_;
        return static_cast<SocketHandle>(s);
    }

    SocketHandle accept(SocketHandle listener, char (&peer)[kPeerAddressSize]) override {
        peer[0] = '\0';
        const SOCKET s = ::accept(static_cast<SOCKET>(listener), nullptr, nullptr);
        if (s == INVALID_SOCKET) return kInvalidSocket;
        makeNonBlocking(s);
        ++open_;
        sockaddr_in address{};
        int length = sizeof address;
        if (getpeername(s, reinterpret_cast<sockaddr*>(&address), &length) == 0 && address.sin_family == AF_INET) {
            if (const char* text = inet_ntoa(address.sin_addr)) {
                std::strncpy(peer, text, sizeof peer - 1);
                peer[sizeof peer - 1] = '\0';
            }
        }
        return static_cast<SocketHandle>(s);
    }

    int64_t receive(SocketHandle socket, void* data, size_t size, bool& wouldBlock) override {
        const int n = recv(static_cast<SOCKET>(socket), static_cast<char*>(data), clampSize(size), 0);
        wouldBlock = n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK;
        return n == SOCKET_ERROR ? -1 : n;
    }

    int64_t send(SocketHandle socket, const void* data, size_t size, bool& wouldBlock) override {
        const int n = ::send(static_cast<SOCKET>(socket), static_cast<const char*>(data), clampSize(size), 0);
        wouldBlock = n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK;
        return n == SOCKET_ERROR ? -1 : n;
    }

    void close(SocketHandle socket) override {
        if (socket == kInvalidSocket) return;
        closesocket(static_cast<SOCKET>(socket));
        --open_;
    }

    int wait(SocketSet& read, SocketSet& write, uint32_t timeoutMs) override {
        // Two sets of 2048 sockets are 32 KiB; kept off the host's stack.
        fill(readSet_, read);
        fill(writeSet_, write);
        timeval limit;
        limit.tv_sec = static_cast<long>(timeoutMs / 1000);
        limit.tv_usec = static_cast<long>((timeoutMs % 1000) * 1000);
        const int n = select(0, &readSet_, &writeSet_, nullptr, &limit);
        if (n == SOCKET_ERROR) return -1;
        markReady(readSet_, read);
        markReady(writeSet_, write);
        return n;
    }

    size_t openCount() const override { return open_; }

private:
    static int clampSize(size_t size) { return size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size); }

    std::atomic<size_t> open_{0};
    fd_set readSet_;
    fd_set writeSet_;
};

}  // namespace

std::string machineName() {
    platformSockets().startUp();
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

bool tcpPortAvailable(uint16_t port) {
    platformSockets().startUp();
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return false;
    // Nobody else may take the port while we hold it, and we take nobody's.
    const BOOL on = TRUE;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    const bool free = bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(s, 1) == 0;
    closesocket(s);
    return free;
}

Sockets& platformSockets() {
    static Winsock winsock;
    return winsock;
}

}  // namespace platform
