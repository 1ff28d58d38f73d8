// The API's server on real sockets at 127.0.0.1, polled from a thread of its own while blocking
// clients connect: hundreds at once, some stalled in their head and one oversized. What the
// server answers is covered over in-memory sockets.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "http/http_api.h"
#include "http/http_server.h"
#include "support/fake_clock.h"
#include "support/plugin_fixture.h"

namespace {

#ifdef _WIN32
using Native = SOCKET;
constexpr int kSendFlags = 0;
const DWORD kReceiveLimit = 20000;
bool timedOut() { return WSAGetLastError() == WSAETIMEDOUT; }
#else
using Native = int;
constexpr int kSendFlags = MSG_NOSIGNAL;  // a reset must not kill the test with SIGPIPE
const timeval kReceiveLimit{20, 0};
bool timedOut() { return errno == EAGAIN || errno == EWOULDBLOCK; }
int closesocket(Native s) { return close(s); }
#endif

// Connects and sends at once; the bytes may be cut short by a server that resets.
class Client {
public:
    Client(uint16_t port, const std::string& bytes) : s_(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(connect(s_, reinterpret_cast<const sockaddr*>(&a), sizeof a), 0);
        send(s_, bytes.data(), static_cast<int>(bytes.size()), kSendFlags);  // blocking: all, or a reset
        setsockopt(s_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&kReceiveLimit), sizeof kReceiveLimit);
    }
    ~Client() { closesocket(s_); }
    // Everything until the server closed or reset the connection, "<time-out>" after 20 s of neither.
    std::string receiveAll() {
        std::string received;
        for (char buffer[65536];;) {
            const auto n = recv(s_, buffer, sizeof buffer, 0);
            if (n < 0 && timedOut()) return received + "<time-out>";
            if (n <= 0) return received;
            received.append(buffer, static_cast<size_t>(n));
        }
    }

private:
    Native s_;
};

class LiveServerTest : public testing_support::PluginTest {
protected:
    // The host's periodic calls go on while `clients` blocks.
    void polling(const std::function<void()>& clients) {
        std::atomic<bool> running{true};
        std::thread poller([&] {
            for (; running; std::this_thread::sleep_for(std::chrono::microseconds(100)))
                for (TFruityPlug* plug : live) plug->Idle_Public();
        });
        clients();
        running = false;
        poller.join();
    }
    uint64_t connections() const { return http::HttpServer_ConnectionCount(http::HttpApi_Server()); }

    testing_support::FakeClock clock;
};

TEST_F(LiveServerTest, ManyConnectionsWithSomeStalledAndOneOversized) {
    const size_t baseline = platform::platformSockets().openCount();
    uint16_t port = 28123;
    while (!platform::tcpPortAvailable(port)) ++port;
    settings.setDword("Software\\KRYL\\KRYL Voxtrane", "HTTP API", 1);
    settings.setString("Software\\KRYL\\KRYL Voxtrane", "HTTP Port", std::to_string(port));
    TFruityPlug* plug = create();
    const std::string request = "GET /api/" + std::to_string(impl(plug).instanceId()) + "/json HTTP/1.1\r\n\r\n";

    // Every third client stalls; the oversized one is dropped at the API's 1 MiB bound whatever
    // its Content-Length promised.
    std::vector<std::unique_ptr<Client>> stalled, wellFormed;
    polling([&] {
        for (int i = 0; i < 300; ++i)
            (i % 3 ? wellFormed : stalled)
                .push_back(std::make_unique<Client>(port, i % 3 ? request : "GET /api HTTP/1.1\r\nHost: te"));
        Client oversized(port, "PUT /api/0/json HTTP/1.1\r\nContent-Length: 2097152\r\n\r\n" +
                                   std::string(1536 * 1024, 'x'));
        EXPECT_EQ(oversized.receiveAll(), "");
        for (auto& c : wellFormed)
            EXPECT_EQ(c->receiveAll(), "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n\r\n[\n]\n");
    });
    EXPECT_EQ(connections(), stalled.size());

    // Half of the stalled clients give up; the server times the others out.
    for (size_t i = 0; i < stalled.size(); i += 2) stalled[i].reset();
    clock.advance(31);
    polling([&] {
        for (size_t i = 1; i < stalled.size(); i += 2) EXPECT_EQ(stalled[i]->receiveAll(), "");
    });
    for (int i = 0; i < 100 && connections() > 0; ++i) plug->Idle_Public();
    EXPECT_EQ(connections(), 0u);
    destroy(plug);
    EXPECT_EQ(platform::platformSockets().openCount(), baseline);
}

}  // namespace
