// A small TCP client for tests of the real HTTP server on 127.0.0.1. The server has no thread,
// so the client never blocks: every step lets the test poll the server in between.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace testing_support {

class TcpClient {
public:
    TcpClient();
    ~TcpClient();
    TcpClient(const TcpClient&) = delete;
    TcpClient& operator=(const TcpClient&) = delete;

    // A port that nothing listens on right now.
    static uint16_t freePort();

    // Starts connecting to 127.0.0.1:`port`; false when the socket cannot be made.
    bool connect(uint16_t port);
    // Queues `bytes` to be sent by pump().
    void queue(const std::string& bytes) { pending_ += bytes; }
    // Sends what the socket takes and reads what has arrived. False once the server has
    // closed the connection (or reset it).
    bool pump();
    void close();

    bool connected() const { return socket_ != kNone; }
    bool closedByServer() const { return closed_; }
    size_t unsent() const { return pending_.size(); }
    const std::string& received() const { return received_; }

private:
    static constexpr uint64_t kNone = ~uint64_t{0};
    uint64_t socket_ = kNone;
    std::string pending_;
    std::string received_;
    bool closed_ = false;
};

// A socket that holds a port on 127.0.0.1 for its life, so that nothing else can bind it.
class PortBlocker {
public:
    explicit PortBlocker(uint16_t port);
    ~PortBlocker();
    PortBlocker(const PortBlocker&) = delete;
    PortBlocker& operator=(const PortBlocker&) = delete;
    bool holding() const { return holding_; }

private:
    uint64_t socket_ = ~uint64_t{0};
    bool holding_ = false;
};

// Sends `request` on a new connection and returns everything the server answered before it
// closed, calling `poll` between steps; gives up after `limitMs` of wall time. `closed` tells
// whether the server closed the connection.
std::string exchange(uint16_t port, const std::string& request, const std::function<void()>& poll,
                     bool* closed = nullptr, int limitMs = 10000);

// Calls `step` until it returns true or `limitMs` of wall time has passed; false on time-out.
bool pumpUntil(const std::function<bool()>& step, int limitMs = 10000);

}  // namespace testing_support
