// The API's server on real sockets at 127.0.0.1: a port that cannot be bound, and hundreds of
// connections at once, some stalled and one oversized. What the server answers is covered over
// in-memory sockets.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "http/http_api.h"
#include "http/http_server.h"
#include "platform/settings_store.h"
#include "platform/sockets.h"
#include "plugin/process_wide.h"
#include "support/fake_clock.h"
#include "support/plugin_fixture.h"
#include "support/tcp_client.h"

namespace {

using testing_support::TcpClient;

class LiveServerTest : public testing_support::PluginTest {
protected:
    void SetUp() override {
        ASSERT_NE(port, 0);
        settings.setDword(platform::kVoxtraneKey, "HTTP API", 1);
        settings.setString(platform::kVoxtraneKey, "HTTP Port", std::to_string(port));
    }
    void TearDown() override {
        polling(false);
        PluginTest::TearDown();
        EXPECT_EQ(platform::platformSockets().openCount(), baseline);
    }
    // The host's periodic calls, from a thread of their own so that the clients may block.
    void polling(bool on) {
        running = on;
        if (!on && poller.joinable()) poller.join();
        if (on)
            poller = std::thread([this] {
                while (running) {
                    for (TFruityPlug* plug : live) plug->Idle_Public();
                    std::this_thread::sleep_for(std::chrono::microseconds(100));
                }
            });
    }
    // Read only while nothing polls.
    uint64_t connections() const { return http::HttpServer_ConnectionCount(http::HttpApi_Server()); }

    testing_support::FakeClock clock;
    size_t baseline = platform::platformSockets().openCount();
    uint16_t port = TcpClient::freePort();
    std::atomic<bool> running{false};
    std::thread poller;
};

TEST_F(LiveServerTest, APortThatCannotBeBoundGivesNoServer) {
    TcpClient blocker;
    ASSERT_EQ(blocker.hold(port), port);
    create();
    EXPECT_FALSE(http::HttpApi_Running());
    EXPECT_EQ(platform::platformSockets().openCount(), baseline);

    http::HttpServerOptions options{};
    options.handler = [](const http::HttpEvent*) { return 0; };
    options.port = "no-such-service";
    EXPECT_EQ(http::HttpServer_Create(&options), nullptr);
}

// The well-formed requests keep being answered while a third of the clients stall halfway
// through their head; the oversized one is dropped at the API's 1 MiB bound whatever its
// Content-Length promised; once every connection is gone no socket is left.
TEST_F(LiveServerTest, ManyConnectionsWithSomeStalledAndOneOversized) {
    TFruityPlug* plug = create();
    const std::string request = "GET /api/" + std::to_string(impl(plug).instanceId()) + "/json HTTP/1.1\r\n\r\n";
    const std::string answer = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n\r\n[\n]\n";
    std::vector<std::unique_ptr<TcpClient>> stalled, wellFormed;
    polling(true);
    for (int i = 0; i < 350; ++i) {
        auto& into = i % 3 || i >= 300 ? wellFormed : stalled;
        into.push_back(std::make_unique<TcpClient>());
        ASSERT_TRUE(into.back()->send(port, i % 3 || i >= 300 ? request : "GET /api HTTP/1.1\r\nHost: te"));
        if (i == 150) {
            TcpClient oversized;
            oversized.send(port, "PUT /api/0/json HTTP/1.1\r\nContent-Length: 2097152\r\n\r\n" +
                                     std::string(1536 * 1024, 'x'));  // refused partway, or not
            EXPECT_EQ(oversized.receiveAll(), "");
        }
    }
    for (auto& c : wellFormed) EXPECT_EQ(c->receiveAll(), answer);
    polling(false);
    EXPECT_EQ(connections(), stalled.size());

    // Half of the stalled clients give up; the server times the others out.
    for (size_t i = 0; i < stalled.size(); i += 2) stalled[i]->close();
    clock.advance(31);
    polling(true);
    for (size_t i = 1; i < stalled.size(); i += 2) EXPECT_EQ(stalled[i]->receiveAll(), "");
    polling(false);
    for (int i = 0; i < 100 && connections() > 0; ++i) plug->Idle_Public();
    EXPECT_EQ(connections(), 0u);
    EXPECT_EQ(platform::platformSockets().openCount(), baseline + 1);  // the listening socket
}

}  // namespace
