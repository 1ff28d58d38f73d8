// The server over in-memory sockets: when a request is complete, which request lines reach the
// handler, response writing in each state, and the limits.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "http/http_server.h"
#include "support/fake_clock.h"
#include "support/fake_sockets.h"

namespace http {
namespace {

// A handler that records each request and answers it with what `answer` writes.
class ServerTest : public ::testing::Test {
protected:
    void SetUp() override { start(nullptr); }
    void TearDown() override {
        HttpServer_Close(server);
        EXPECT_EQ(sockets.openCount(), 0u);
    }
    void start(const char* maxSize) {
        HttpServer_Close(server);
        const HttpServerOptions options{&ServerTest::onEvent, this, nullptr, "8000", nullptr, nullptr, maxSize};
        server = HttpServer_Create(&options);
        ASSERT_NE(server, nullptr);
    }
    static int onEvent(const HttpEvent* event) {
        auto* self = static_cast<ServerTest*>(event->userData);
        if (event->type != SB_EV_REQUEST) return SB_CONTINUE;
        self->requests[std::string(event->method) + " " + event->path] =
            reinterpret_cast<const char*>(event->connection->receive.data);
        if (self->answer) self->answer(event->connection);
        return SB_CONTINUE;
    }
    void run(int passes = 20) {
        for (int i = 0; i < passes; ++i) HttpServer_Poll(server, 0);
    }
    const testing_support::FakeSockets::Client& client(size_t index) const { return sockets.clients[index]; }

    testing_support::FakeClock clock;
    testing_support::FakeSockets sockets;
    HttpServer* server = nullptr;
    std::map<std::string, std::string> requests;  // the request text by method and decoded path
    void (*answer)(HttpConnection*) = [](HttpConnection* c) { Http_Write(c, "hi", 2); };
};

TEST_F(ServerTest, WhichRequestsReachTheHandlerAndWhen) {
    // Complete at the blank line, or after Content-Length bytes: a lower-case name with blanks
    // after the colon, and a body arriving a few bytes at a time.
    const std::vector<size_t> answered = {
        sockets.connect("GET /a HTTP/1.1\r\nHost: x\r\n\r\nextra bytes"),
        sockets.connect("PUT /b HTTP/1.1\r\nContent-Length: 0\r\n\r\n"),
        sockets.connect("PUT /c HTTP/1.1\r\ncontent-length:    5\r\n\r\nhello", false, 3),
        sockets.connect("DELETE /a%20b+c?q=1 HTTP/1.0\r\n\r\n"),
        sockets.connect("GET /" + std::string(700, 'p') + " HTTP/1.1\r\n\r\n")};
    const size_t partial = sockets.connect("PUT /d HTTP/1.1\r\nContent-Length: 9\r\n\r\nabc");
    // No version, not HTTP, a method longer than 15 characters (which shifts the path into the
    // version's place), a peer that hangs up early.
    const std::vector<size_t> dropped = {
        sockets.connect("GET /path\r\n\r\n"), sockets.connect("GET /p FTP/1.0\r\n\r\n"),
        sockets.connect("ABCDEFGHIJKLMNOPQRST /x HTTP/1.1\r\n\r\n"), sockets.connect("GET / HT", /*hangsUp=*/true)};
    run(40);

    EXPECT_EQ(requests, (std::map<std::string, std::string>{
                            {"GET /a", "GET /a HTTP/1.1\r\nHost: x\r\n\r\n"},  // the rest dropped
                            {"PUT /b", "PUT /b HTTP/1.1\r\nContent-Length: 0\r\n\r\n"},
                            {"PUT /c", "PUT /c HTTP/1.1\r\ncontent-length:    5\r\n\r\nhello"},
                            {"DELETE /a b c", "DELETE /a%20b+c?q=1 HTTP/1.0\r\n\r\n"},
                            {"GET /" + std::string(510, 'p'), "GET /" + std::string(700, 'p') + " HTTP/1.1\r\n\r\n"}}));
    for (size_t c : answered) EXPECT_EQ(client(c).output, "HTTP/1.1 200 OK\r\n\r\nhi");
    EXPECT_FALSE(client(partial).closedByServer);  // still waiting for six body bytes
    for (size_t c : dropped) EXPECT_TRUE(client(c).closedByServer && client(c).output.empty()) << c;
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
    sockets.connect("GET / HTTP/1.1\r\n\r\n");
    run();
    EXPECT_EQ(client(0).output, "HTTP/1.1 201 Created\r\nX-A: 1\r\n\r\nn=7;end");

    // A large answer goes out as the socket takes it.
    answer = [](HttpConnection* c) {
        for (int i = 0; i < 1000; ++i) Http_WriteFormat(c, "%04i\n", i);
    };
    sockets.sendLimit = 999;
    sockets.connect("GET / HTTP/1.1\r\n\r\n");
    run();
    ASSERT_EQ(client(1).output.size(), 19u + 5000u);
    EXPECT_EQ(client(1).output.substr(19 + 4995), "0999\n");
    EXPECT_TRUE(client(1).closedByServer);
}

// The API leaves the idle time-out at its default and bounds the request size.
TEST_F(ServerTest, IdleTimeOutAndRequestSizeLimit) {
    start("64");
    sockets.connect("GET / HTTP/1.1\r\n");  // never finishes its head
    sockets.connect("PUT / HTTP/1.1\r\nContent-Length: 100\r\n\r\n" + std::string(100, 'x'), false, 16);
    run(2);
    EXPECT_TRUE(client(1).closedByServer);
    EXPECT_EQ(client(1).delivered, 64u);  // reading stops at the bound
    clock.advance(30);
    run(1);
    EXPECT_FALSE(client(0).closedByServer);  // 30 s is not more than 30 s
    clock.advance(1);
    run(1);
    EXPECT_TRUE(client(0).closedByServer);
    for (const auto& c : sockets.clients) EXPECT_EQ(c.output, "");
}

}  // namespace
}  // namespace http
