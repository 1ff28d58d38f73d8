#include "support/tcp_client.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <chrono>
#include <thread>

namespace testing_support {

namespace {

#ifdef _WIN32
using Native = SOCKET;
constexpr Native kInvalid = INVALID_SOCKET;
void closeNative(Native s) { closesocket(s); }
bool wouldBlock() {
    const int e = WSAGetLastError();
    return e == WSAEWOULDBLOCK || e == WSAEINPROGRESS || e == WSAENOTCONN;
}
void startSockets() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    (void)started;
}
void makeNonBlocking(Native s) {
    u_long on = 1;
    ioctlsocket(s, FIONBIO, &on);
}
constexpr int kSendFlags = 0;
#else
using Native = int;
constexpr Native kInvalid = -1;
void closeNative(Native s) { ::close(s); }
bool wouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINPROGRESS || errno == ENOTCONN || errno == EINTR; }
void startSockets() {}
void makeNonBlocking(Native s) { fcntl(s, F_SETFL, fcntl(s, F_GETFL, 0) | O_NONBLOCK); }
constexpr int kSendFlags = MSG_NOSIGNAL;
#endif

sockaddr_in loopback(uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

}  // namespace

TcpClient::TcpClient() { startSockets(); }
TcpClient::~TcpClient() { close(); }

uint16_t TcpClient::freePort() {
    startSockets();
    const Native s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == kInvalid) return 0;
    sockaddr_in address = loopback(0);
    uint16_t port = 0;
    socklen_t length = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    closeNative(s);
    return port;
}

bool TcpClient::connect(uint16_t port) {
    close();
    closed_ = false;
    const Native s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == kInvalid) return false;
    makeNonBlocking(s);
    const sockaddr_in address = loopback(port);
    if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 && !wouldBlock()) {
        closeNative(s);
        return false;
    }
    socket_ = static_cast<uint64_t>(s);
    return true;
}

bool TcpClient::pump() {
    if (socket_ == kNone || closed_) return false;
    const Native s = static_cast<Native>(socket_);
    while (!pending_.empty()) {
        const int chunk = pending_.size() > 65536 ? 65536 : static_cast<int>(pending_.size());
        const auto n = ::send(s, pending_.data(), chunk, kSendFlags);
        if (n > 0) {
            pending_.erase(0, static_cast<size_t>(n));
            continue;
        }
        if (!wouldBlock()) {
            // The server dropped the connection while we were still sending.
            pending_.clear();
        }
        break;
    }
    char buffer[65536];
    for (;;) {
        const auto n = recv(s, buffer, sizeof buffer, 0);
        if (n > 0) {
            received_.append(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n == 0 || !wouldBlock()) closed_ = true;
        break;
    }
    return !closed_;
}

void TcpClient::close() {
    if (socket_ == kNone) return;
    closeNative(static_cast<Native>(socket_));
    socket_ = kNone;
}

PortBlocker::PortBlocker(uint16_t port) {
    startSockets();
    const Native s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == kInvalid) return;
    socket_ = static_cast<uint64_t>(s);
#ifdef _WIN32
    // Without this, Windows lets another socket with address reuse bind the same port.
    const BOOL on = TRUE;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
#endif
    sockaddr_in address = loopback(port);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    holding_ = bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 && listen(s, 4) == 0;
}

PortBlocker::~PortBlocker() {
    if (socket_ != ~uint64_t{0}) closeNative(static_cast<Native>(socket_));
}

bool pumpUntil(const std::function<bool()>& step, int limitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!step()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

std::string exchange(uint16_t port, const std::string& request, const std::function<void()>& poll, bool* closed,
                     int limitMs) {
    TcpClient client;
    if (!client.connect(port)) return "<no connection>";
    client.queue(request);
    const bool done = pumpUntil(
        [&] {
            poll();
            return !client.pump();
        },
        limitMs);
    if (closed) *closed = done && client.closedByServer();
    return client.received();
}

}  // namespace testing_support
