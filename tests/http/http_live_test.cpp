// The API's server on real sockets at 127.0.0.1: documents, commands, the articulation PUT,
// static files, refused requests, the idle time-out, a port that cannot be bound, and hundreds
// of connections at once with some of them stalled.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "http/expected_document.h"
#include "http/http_api.h"
#include "http/http_server.h"
#include "platform/sockets.h"
#include "plugin/process_wide.h"
#include "support/fake_clock.h"
#include "support/fake_settings.h"
#include "support/plugin_fixture.h"
#include "support/tcp_client.h"
#include "support/temp_folder.h"

namespace {

using testing_support::exchange;
using testing_support::ExpectedInstance;
using testing_support::expectedDocument;
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
    std::string get(const std::string& path) { return send("GET " + path + " HTTP/1.1\r\nHost: test\r\n\r\n"); }
    static uint32_t idOf(TFruityPlug* plug) { return impl(plug).instanceId(); }
    static std::string path(TFruityPlug* plug, const std::string& rest) {
        return "/api/" + std::to_string(idOf(plug)) + rest;
    }
    static ExpectedInstance expected(TFruityPlug* plug, int channel) {
        ExpectedInstance e;
        e.id = idOf(plug);
        e.channel = channel;
        return e;
    }
    uint64_t connections() const {
        const http::HttpServer* server = processWide().httpServer;
        return server ? http::HttpServer_ConnectionCount(server) : 0;
    }

    testing_support::FakeSettings settings;
    testing_support::FakeClock clock;
    size_t baseline = 0;
    uint16_t port = 0;
};

TEST_F(LiveServerTest, DocumentsForOneAndThreeInstances) {
    TFruityPlug* a = create();
    ASSERT_TRUE(http::HttpApi_Running());
    EXPECT_EQ(get("/api"), kJsonHead + expectedDocument({expected(a, 0)}));
    TFruityPlug* b = create();
    TFruityPlug* c = create();
    EXPECT_EQ(get("/api/"), kJsonHead + expectedDocument({expected(a, 0), expected(b, 1), expected(c, 2)}));
}

TEST_F(LiveServerTest, ACommandAndTheArticulationPut) {
    TFruityPlug* a = create();
    TFruityPlug* b = create();
    ExpectedInstance eb = expected(b, 1);
    eb.port = 255;
    EXPECT_EQ(get(path(b, "/port=300")), kJsonHead + expectedDocument({eb}));

    const std::string body = "[{\"name\": \"Legato\", \"note\": 24}]";
    send("PUT " + path(a, "/json") + " HTTP/1.1\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
    EXPECT_EQ(get(path(a, "/json")),
              kJsonHead +
                  "[\n\t{\n\t\t\"name\": \"Legato\",\n\t\t\"icon\": 55,\n\t\t\"note\": 24,\n\t\t\"notevel\": 127,\n"
                  "\t\t\"prog\": -1,\n\t\t\"modw\": -1,\n\t\t\"modc\": -1\n\t}\n]\n");
    EXPECT_EQ(get(path(b, "/json")), kJsonHead + "[\n]\n");
}

TEST_F(LiveServerTest, StaticFilesAndRefusedPaths) {
    create();
    testing_support::TempFolder folder;
    const auto html = folder.path() / "Plugins" / "Fruity" / "Generators" / "KRYL Voxtrane" / "html";
    std::filesystem::create_directories(html);
    std::ofstream(html / "index.html", std::ios::binary) << "<h1>instances</h1>";
    std::ofstream(html.parent_path() / "secret.txt", std::ios::binary) << "secret";
    processWide().programFolder = folder.path().string();

    EXPECT_EQ(get("/"), "HTTP/1.1 200 OK\r\n\r\n<h1>instances</h1>");
    EXPECT_EQ(get("/nothing.css"), "HTTP/1.1 404 OK\r\n\r\n");
    EXPECT_EQ(get("/../secret.txt"), "HTTP/1.1 404 OK\r\n\r\n");
    EXPECT_EQ(get("/..%5csecret.txt"), "HTTP/1.1 404 OK\r\n\r\n");
}

TEST_F(LiveServerTest, MalformedAndOversizedRequestsAreDroppedWithoutAnAnswer) {
    create();
    bool closed = false;
    EXPECT_EQ(send("GET /api\r\n\r\n", &closed), "");
    EXPECT_TRUE(closed);

    // Past the 1 MiB bound the connection is dropped, whatever Content-Length promised.
    closed = false;
    const std::string big(1536 * 1024, 'x');
    EXPECT_EQ(send("PUT /api/0/json HTTP/1.1\r\nContent-Length: 2097152\r\n\r\n" + big, &closed), "");
    EXPECT_TRUE(closed);
    EXPECT_EQ(connections(), 0u);
    // The server goes on answering.
    EXPECT_EQ(get("/api/0/json").substr(0, kJsonHead.size()), kJsonHead);
}

TEST_F(LiveServerTest, AnIdleConnectionIsClosedAfterThirtySeconds) {
    create();
    TcpClient idle;
    ASSERT_TRUE(idle.connect(port));
    idle.queue("GET /api HTTP/1.1\r\n");
    ASSERT_TRUE(pumpUntil([&] {
        poll();
        idle.pump();
        return connections() == 1 && idle.unsent() == 0;
    }));
    for (int i = 0; i < 20; ++i) poll();
    clock.advance(30);
    for (int i = 0; i < 20; ++i) poll();
    EXPECT_TRUE(idle.pump());
    EXPECT_EQ(connections(), 1u);
    clock.advance(1);
    EXPECT_TRUE(pumpUntil([&] {
        poll();
        return !idle.pump();
    }));
    EXPECT_TRUE(idle.closedByServer());
    EXPECT_EQ(idle.received(), "");
    EXPECT_EQ(connections(), 0u);
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
    const std::string request = "GET " + path(plug, "/json") + " HTTP/1.1\r\n\r\n";
    const std::string answer = kJsonHead + "[\n]\n";
    constexpr int kClients = 300;

    std::vector<std::unique_ptr<TcpClient>> stalled, wellFormed;
    for (int i = 0; i < kClients; ++i) {
        auto client = std::make_unique<TcpClient>();
        ASSERT_TRUE(client->connect(port)) << i;
        if (i % 3 == 0) {
            client->queue("GET /api HTTP/1.1\r\nHost: te");
            stalled.push_back(std::move(client));
        } else {
            client->queue(request);
            wellFormed.push_back(std::move(client));
        }
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
    for (int i = 0; i < 50; ++i) {
        wellFormed.push_back(std::make_unique<TcpClient>());
        ASSERT_TRUE(wellFormed.back()->connect(port));
        wellFormed.back()->queue(request);
    }
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
