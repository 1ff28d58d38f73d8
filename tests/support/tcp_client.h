// A blocking TCP client for tests of the real HTTP server on 127.0.0.1, which the test polls
// from a thread of its own meanwhile.
#pragma once

#include <cstdint>
#include <string>

namespace testing_support {

class TcpClient {
public:
    TcpClient();
    ~TcpClient() { close(); }
    TcpClient(const TcpClient&) = delete;
    TcpClient& operator=(const TcpClient&) = delete;

    // A port that nothing listens on right now.
    static uint16_t freePort() { return TcpClient().hold(0); }

    // Connects to 127.0.0.1:`port` and sends `bytes`; false when either fails.
    bool send(uint16_t port, const std::string& bytes);
    // Everything the server sent until it closed or reset the connection; "<time-out>" is added
    // when it did neither within 20 s.
    std::string receiveAll();
    // Listens on `port` (0: any free one) of every interface, exclusively, so that nothing else
    // can bind it. The port, or 0 on failure.
    uint16_t hold(uint16_t port);
    void close();

private:
    bool open();
    uint64_t socket_ = ~uint64_t{0};
};

}  // namespace testing_support
