// The API's server on real sockets at 127.0.0.1: the request-size bound, a port that cannot be
// bound, and hundreds of connections at once with some of them stalled. What the server answers
// is covered over in-memory sockets.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "http/http_api.h"
#include "http/http_server.h"
#include "platform/sockets.h"
#include "plugin/process_wide.h"
#include "support/fake_clock.h"
#include "support/fake_settings.h"
#include "support/plugin_fixture.h"
#include "support/tcp_client.h"

namespace {

using testing_support::exchange;
using testing_support::pumpUntil;
using testing_support::TcpClient;

constexpr const char* kKey = "Software\\KRYL\\KRYL Voxtrane";
const std::string kJsonHead = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n\r\n";

class LiveServerTest : public testing_support::PluginTest {
protected:
    void SetUp() override {
        baseline = platform::platformSockets().openCount();
        port = TcpClient::freePort();
        ASSERT_NE(port, 0);
        settings.setDword(kKey, "HTTP API", 1);
        settings.setString(kKey, "HTTP Port", std::to_string(port));
    }
    void TearDown() override {
        PluginTest::TearDown();
        EXPECT_EQ(platform::platformSockets().openCount(), baseline);
    }

    // The host's periodic calls, which poll the server.
    void poll() {
        for (TFruityPlug* plug : live) plug->Idle_Public();
    }
    std::string send(const std::string& raw, bool* closed = nullptr) {
        return exchange(port, raw, [this] { poll(); }, closed);
    }
    uint64_t connections() const {
        const http::HttpServer* server = http::HttpApi_Server();
        return server ? http::HttpServer_ConnectionCount(server) : 0;
    }

    testing_support::FakeSettings settings;
    testing_support::FakeClock clock;
    size_t baseline = 0;
    uint16_t port = 0;
};

TEST_F(LiveServerTest, AnOversizedRequestIsDroppedWithoutAnAnswer) {
    create();
    // Past the 1 MiB bound the connection is dropped, whatever Content-Length promised.
    bool closed = false;
    const std::string big(1536 * 1024, 'x');
    EXPECT_EQ(send("PUT /api/0/json HTTP/1.1\r\nContent-Length: 2097152\r\n\r\n" + big, &closed), "");
    EXPECT_TRUE(closed);
    EXPECT_EQ(connections(), 0u);
    // The server goes on answering.
    EXPECT_EQ(send("GET /api/0/json HTTP/1.1\r\n\r\n").substr(0, kJsonHead.size()), kJsonHead);
}

TEST_F(LiveServerTest, APortThatCannotBeBoundGivesNoServer) {
    testing_support::PortBlocker blocker(port);
    ASSERT_TRUE(blocker.holding());
    create();
    EXPECT_FALSE(http::HttpApi_Running());
    EXPECT_EQ(platform::platformSockets().openCount(), baseline);

    http::HttpServerOptions options{};
    options.handler = [](const http::HttpEvent*) { return 0; };
    options.port = "no-such-service";
    EXPECT_EQ(http::HttpServer_Create(&options), nullptr);
    EXPECT_EQ(platform::platformSockets().openCount(), baseline);
}

// Hundreds of connections at once, a third of them stalled halfway through their head: the
// well-formed ones keep being answered, and once every connection is gone no socket is left.
TEST_F(LiveServerTest, ManyConnectionsWithSomeStalled) {
    TFruityPlug* plug = create();
    const std::string request = "GET /api/" + std::to_string(impl(plug).instanceId()) + "/json HTTP/1.1\r\n\r\n";
    const std::string answer = kJsonHead + "[\n]\n";
    std::vector<std::unique_ptr<TcpClient>> stalled, wellFormed;
    auto connect = [&](const std::string& bytes, std::vector<std::unique_ptr<TcpClient>>& into) {
        into.push_back(std::make_unique<TcpClient>());
        ASSERT_TRUE(into.back()->connect(port));
        into.back()->queue(bytes);
    };
    for (int i = 0; i < 300; ++i) {
        if (i % 3 == 0) connect("GET /api HTTP/1.1\r\nHost: te", stalled);
        else connect(request, wellFormed);
    }
    auto pumpAll = [&] {
        poll();
        for (auto& c : stalled) c->pump();
        bool done = true;
        for (auto& c : wellFormed) done = !c->pump() && done;
        return done;
    };
    ASSERT_TRUE(pumpUntil(pumpAll, 30000));
    for (auto& c : wellFormed) EXPECT_EQ(c->received(), answer);
    EXPECT_EQ(connections(), stalled.size());

    // A second wave while the stalled ones still hold their connections.
    wellFormed.clear();
    for (int i = 0; i < 50; ++i) connect(request, wellFormed);
    ASSERT_TRUE(pumpUntil(pumpAll, 30000));
    for (auto& c : wellFormed) EXPECT_EQ(c->received(), answer);
    for (auto& c : stalled) EXPECT_FALSE(c->closedByServer());

    // Half of the stalled clients give up; the server times the others out.
    for (size_t i = 0; i < stalled.size(); i += 2) stalled[i]->close();
    clock.advance(31);
    ASSERT_TRUE(pumpUntil([&] {
        poll();
        for (auto& c : stalled) c->pump();
        return connections() == 0;
    }));
    for (size_t i = 1; i < stalled.size(); i += 2) {
        EXPECT_TRUE(stalled[i]->closedByServer());
        EXPECT_EQ(stalled[i]->received(), "");
    }
    EXPECT_EQ(platform::platformSockets().openCount(), baseline + 1);  // the listening socket
}

}  // namespace
