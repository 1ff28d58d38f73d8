// The server over in-memory sockets: when a request is complete, which request lines reach the
// handler, response writing in each state, handler results, the limits and the set capacity.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "http/http_server.h"
#include "support/fake_clock.h"
#include "support/fake_sockets.h"

namespace http {
namespace {

using testing_support::FakeClock;
using testing_support::FakeSockets;

struct Seen {
    int type;
    std::string method;
    std::string path;
    std::string request;
};

// A handler that records every event and answers each request with what `answer` writes.
class ServerTest : public ::testing::Test {
protected:
    void SetUp() override { server = start(); }
    void TearDown() override {
        HttpServer_Close(server);
        EXPECT_EQ(sockets.openCount(), 0u);
    }

    HttpServer* start(const char* timeout = nullptr, const char* lifetime = nullptr, const char* maxSize = nullptr) {
        HttpServerOptions options{};
        options.handler = &ServerTest::onEvent;
        options.userData = this;
        options.port = "8000";
        options.timeout = timeout;
        options.maximumLifetime = lifetime;
        options.maximumRequestSize = maxSize;
        return HttpServer_Create(&options);
    }
    void restart(const char* timeout, const char* lifetime, const char* maxSize) {
        HttpServer_Close(server);
        server = start(timeout, lifetime, maxSize);
        ASSERT_NE(server, nullptr);
    }

    static int onEvent(const HttpEvent* event) {
        auto* self = static_cast<ServerTest*>(event->userData);
        Seen seen{event->type, event->method ? event->method : "", event->path ? event->path : "", ""};
        if (event->type == SB_EV_REQUEST)
            seen.request = reinterpret_cast<const char*>(event->connection->receive.data);
        self->events.push_back(seen);
        if (event->type == SB_EV_ACCEPT) return self->acceptResult;
        if (event->type == SB_EV_REQUEST) {
            if (self->answer) self->answer(event->connection);
            return self->requestResult;
        }
        return SB_CONTINUE;
    }

    std::vector<Seen> requests() const {
        std::vector<Seen> out;
        for (const Seen& s : events)
            if (s.type == SB_EV_REQUEST) out.push_back(s);
        return out;
    }
    // What the handler got, by method and path, whatever order the requests completed in.
    std::map<std::string, std::string> requestTexts() const {
        std::map<std::string, std::string> out;
        for (const Seen& s : requests()) out[s.method + " " + s.path] = s.request;
        return out;
    }
    const FakeSockets::Client& client(size_t index) const { return sockets.clients[index]; }

    // Polls until every client's connection is gone, or `passes` polls.
    void run(int passes = 20) {
        for (int i = 0; i < passes && (sockets.waits == 0 || HttpServer_ConnectionCount(server) > 0 ||
                                       std::any_of(sockets.clients.begin(), sockets.clients.end(),
                                                   [](const FakeSockets::Client& c) { return !c.accepted; }));
             ++i)
            HttpServer_Poll(server, 0);
    }

    FakeClock clock;
    FakeSockets sockets;
    HttpServer* server = nullptr;
    std::vector<Seen> events;
    void (*answer)(HttpConnection*) = [](HttpConnection* c) { Http_Write(c, "hi", 2); };
    int acceptResult = SB_CONTINUE;
    int requestResult = SB_CONTINUE;
};

TEST_F(ServerTest, RequestsEndAtTheBlankLineOrAfterContentLengthBytes) {
    const size_t plain = sockets.connect("GET /a HTTP/1.1\r\nHost: x\r\n\r\nextra bytes");
    const size_t empty = sockets.connect("PUT /b HTTP/1.1\r\nContent-Length: 0\r\n\r\n");
    // Lower-case name, blanks after the colon, and the body arriving a few bytes at a time.
    const size_t body = sockets.connect("PUT /c HTTP/1.1\r\ncontent-length:    5\r\n\r\nhello", false, 3);
    const size_t partial = sockets.connect("PUT /d HTTP/1.1\r\nContent-Length: 9\r\n\r\nabc");
    run(40);

    EXPECT_EQ(requestTexts(), (std::map<std::string, std::string>{
                                  {"GET /a", "GET /a HTTP/1.1\r\nHost: x\r\n\r\n"},  // the rest dropped
                                  {"PUT /b", "PUT /b HTTP/1.1\r\nContent-Length: 0\r\n\r\n"},
                                  {"PUT /c", "PUT /c HTTP/1.1\r\ncontent-length:    5\r\n\r\nhello"}}));
    for (size_t answered : {plain, empty, body}) EXPECT_EQ(client(answered).output, "HTTP/1.1 200 OK\r\n\r\nhi");
    // Still waiting for six body bytes.
    EXPECT_TRUE(client(partial).open);
    EXPECT_EQ(client(partial).output, "");
}

TEST_F(ServerTest, OnlyWellFormedRequestLinesReachTheHandler) {
    const size_t noVersion = sockets.connect("GET /path\r\n\r\n");
    const size_t notHttp = sockets.connect("GET /path FTP/1.0\r\n\r\n");
    const size_t good = sockets.connect("DELETE /a%20b+c?q=1 HTTP/1.0\r\n\r\n");
    // The method is read as 15 characters at most; the rest of it then shifts the path into
    // the version's place, and the line is refused.
    const size_t longMethod = sockets.connect("ABCDEFGHIJKLMNOPQRST /x HTTP/1.1\r\n\r\n");
    const std::string longPath(700, 'p');
    const size_t cut = sockets.connect("GET /" + longPath + " HTTP/1.1\r\n\r\n");
    run();

    for (size_t dropped : {noVersion, notHttp, longMethod}) {
        EXPECT_TRUE(client(dropped).closedByServer);
        EXPECT_EQ(client(dropped).output, "");
    }
    for (size_t answered : {good, cut}) EXPECT_EQ(client(answered).output, "HTTP/1.1 200 OK\r\n\r\nhi");
    const auto seen = requestTexts();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen.count("DELETE /a b c"), 1u);
    EXPECT_EQ(seen.count("GET /" + longPath.substr(0, 510)), 1u);  // cut to 511 bytes
}

TEST_F(ServerTest, ResponseWritingChecksTheState) {
    answer = [](HttpConnection* c) {
        EXPECT_EQ(Http_SendStatus(c, 201, "Created"), SB_OK);
        EXPECT_EQ(Http_SendStatus(c, 200, "OK"), SB_ERR_STATE);
        EXPECT_EQ(Http_SendHeader(c, "X-A", "1"), SB_OK);
        EXPECT_EQ(Http_WriteFormat(c, "n=%i;", 7), SB_OK);
        EXPECT_EQ(Http_SendHeader(c, "X-B", "2"), SB_ERR_STATE);
        EXPECT_EQ(Http_Write(c, "end", 3), SB_OK);
    };
    const size_t a = sockets.connect("GET / HTTP/1.1\r\n\r\n");
    run();
    EXPECT_EQ(client(a).output, "HTTP/1.1 201 Created\r\nX-A: 1\r\n\r\nn=7;end");

    // A header alone brings the 200 status line with it.
    answer = [](HttpConnection* c) { Http_SendHeader(c, "Content-Type", "text/plain"); };
    const size_t b = sockets.connect("GET / HTTP/1.1\r\n\r\n");
    run();
    EXPECT_EQ(client(b).output, "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n");

    // Nothing written: closed without bytes.
    answer = nullptr;
    const size_t c = sockets.connect("GET / HTTP/1.1\r\n\r\n");
    run();
    EXPECT_TRUE(client(c).closedByServer);
    EXPECT_EQ(client(c).output, "");
}

TEST_F(ServerTest, ALargeAnswerGoesOutAsTheSocketTakesIt) {
    answer = [](HttpConnection* c) {
        for (int i = 0; i < 1000; ++i) Http_WriteFormat(c, "%04i\n", i);
    };
    sockets.sendLimit = 999;
    const size_t a = sockets.connect("GET / HTTP/1.1\r\n\r\n");
    run(40);
    ASSERT_EQ(client(a).output.size(), 19u + 5000u);
    EXPECT_EQ(client(a).output.substr(19 + 4995), "0999\n");
    EXPECT_TRUE(client(a).closedByServer);
}

TEST_F(ServerTest, EventsAndHandlerResults) {
    const size_t a = sockets.connect("GET / HTTP/1.1\r\n\r\n");
    run();
    std::vector<int> types;
    for (const Seen& s : events) types.push_back(s.type);
    EXPECT_EQ(types, (std::vector<int>{SB_EV_ACCEPT, SB_EV_REQUEST, SB_EV_DISCONNECT}));
    EXPECT_TRUE(client(a).closedByServer);

    // A hang-up at accept closes the connection at the next poll, before any request.
    events.clear();
    acceptResult = SB_HANGUP;
    const size_t b = sockets.connect("GET / HTTP/1.1\r\n\r\n");
    run();
    EXPECT_TRUE(requests().empty());
    EXPECT_TRUE(client(b).closedByServer);

    // So is a peer that closes before its head is complete.
    const size_t early = sockets.connect("GET / HT", /*hangsUp=*/true);
    acceptResult = SB_CONTINUE;
    run();
    EXPECT_TRUE(client(early).closedByServer);
    EXPECT_TRUE(requests().empty());

    // Errors are passed up unchanged; other results become SB_ERR_RESULT. The server goes on.
    requestResult = -42;
    sockets.connect("GET / HTTP/1.1\r\n\r\n");
    EXPECT_EQ(HttpServer_Poll(server, 0), SB_OK);  // accepts
    EXPECT_EQ(HttpServer_Poll(server, 0), -42);
    requestResult = 7;
    sockets.connect("GET / HTTP/1.1\r\n\r\n");
    HttpServer_Poll(server, 0);
    EXPECT_EQ(HttpServer_Poll(server, 0), SB_ERR_RESULT);
    requestResult = SB_CONTINUE;
    run();
    EXPECT_EQ(HttpServer_ConnectionCount(server), 0u);
}

TEST_F(ServerTest, IdleConnectionsCloseAfterTheTimeOut) {
    const size_t quiet = sockets.connect("GET / HTTP/1.1\r\n");  // never finishes its head
    HttpServer_Poll(server, 0);
    HttpServer_Poll(server, 0);
    clock.advance(30);
    HttpServer_Poll(server, 0);
    EXPECT_TRUE(client(quiet).open);  // 30 s is not more than 30 s
    clock.advance(1);
    HttpServer_Poll(server, 0);
    EXPECT_TRUE(client(quiet).closedByServer);
    EXPECT_EQ(client(quiet).output, "");
}

TEST_F(ServerTest, LifetimeAndRequestSizeLimits) {
    restart("0", "5000", "64");
    const size_t slow = sockets.connect("GET / HTTP/1.1\r\n");
    const size_t big =
        sockets.connect("PUT / HTTP/1.1\r\nContent-Length: 100\r\n\r\n" + std::string(100, 'x'), false, 16);
    HttpServer_Poll(server, 0);
    HttpServer_Poll(server, 0);
    EXPECT_TRUE(client(big).closedByServer);
    EXPECT_EQ(client(big).output, "");
    EXPECT_EQ(client(big).delivered, 64u);  // reading stops at the bound
    // No idle time-out ("0"), but a life of five seconds.
    clock.advance(5);
    HttpServer_Poll(server, 0);
    EXPECT_TRUE(client(slow).open);
    clock.advance(1);
    HttpServer_Poll(server, 0);
    EXPECT_TRUE(client(slow).closedByServer);
    EXPECT_TRUE(requests().empty());
}

TEST_F(ServerTest, SocketsBeyondASetsCapacityWaitForALaterPass) {
    answer = nullptr;
    const size_t total = platform::kSocketSetCapacity + 5;
    for (size_t i = 0; i < total; ++i) sockets.connect("GET / HTTP/1.1\r\n\r\n");
    HttpServer_Poll(server, 0);  // accepts them all
    EXPECT_EQ(HttpServer_ConnectionCount(server), total);
    HttpServer_Poll(server, 0);
    // The listening socket takes one place in the read set.
    EXPECT_EQ(requests().size(), platform::kSocketSetCapacity - 1);
    run(10);
    EXPECT_EQ(requests().size(), total);
}

}  // namespace
}  // namespace http
