#include "support/tcp_client.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#endif

namespace testing_support {

namespace {

#ifdef _WIN32
using Native = SOCKET;
constexpr Native kInvalid = INVALID_SOCKET;
constexpr int kSendFlags = 0;
void closeNative(Native s) { closesocket(s); }
bool timedOut() { return WSAGetLastError() == WSAETIMEDOUT; }
#else
using Native = int;
constexpr Native kInvalid = -1;
constexpr int kSendFlags = MSG_NOSIGNAL;
void closeNative(Native s) { ::close(s); }
bool timedOut() { return errno == EAGAIN || errno == EWOULDBLOCK; }
#endif

sockaddr_in address(uint32_t host, uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(host);
    return a;
}

}  // namespace

TcpClient::TcpClient() {
#ifdef _WIN32
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
#endif
}

bool TcpClient::open() {
    close();
    const Native s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    socket_ = static_cast<uint64_t>(s);
    return s != kInvalid;
}

void TcpClient::close() {
    if (socket_ != static_cast<uint64_t>(kInvalid)) closeNative(static_cast<Native>(socket_));
    socket_ = static_cast<uint64_t>(kInvalid);
}

bool TcpClient::send(uint16_t port, const std::string& bytes) {
    const sockaddr_in a = address(INADDR_LOOPBACK, port);
    if (!open() || ::connect(static_cast<Native>(socket_), reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0)
        return false;
    for (size_t sent = 0; sent < bytes.size();) {
        const auto n = ::send(static_cast<Native>(socket_), bytes.data() + sent, static_cast<int>(bytes.size() - sent),
                              kSendFlags);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::string TcpClient::receiveAll() {
#ifdef _WIN32
    const DWORD limit = 20000;
#else
    const timeval limit{20, 0};
#endif
    setsockopt(static_cast<Native>(socket_), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit),
               sizeof limit);
    std::string received;
    char buffer[65536];
    for (;;) {
        const auto n = recv(static_cast<Native>(socket_), buffer, sizeof buffer, 0);
        if (n == 0 || (n < 0 && !timedOut())) return received;  // closed, or reset
        if (n < 0) return received + "<time-out>";
        received.append(buffer, static_cast<size_t>(n));
    }
}

uint16_t TcpClient::hold(uint16_t port) {
    if (!open()) return 0;
    const Native s = static_cast<Native>(socket_);
#ifdef _WIN32
    // Without this, Windows lets another socket with address reuse bind the same port.
    const BOOL on = TRUE;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
#endif
    sockaddr_in a = address(INADDR_ANY, port);
    socklen_t length = sizeof a;
    if (bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 || listen(s, 4) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &length) != 0)
        return 0;
    return ntohs(a.sin_port);
}

}  // namespace testing_support
