// In-memory sockets, installed for the life of the object: clients are scripted byte streams,
// so the HTTP server runs without a network, deterministically, in tests and fuzzers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sockets.h"

namespace testing_support {

class FakeSockets final : public platform::Sockets {
public:
    struct Client {
        Client(std::string in, bool hangs, size_t most) : input(std::move(in)), chunk(most), hangsUp(hangs) {}
        std::string input;  // what the client sends
        size_t delivered = 0;
        size_t chunk;  // most bytes one receive hands over
        bool hangsUp;  // closes its side once `input` is delivered
        bool accepted = false;
        bool closedByServer = false;
        std::string output;  // what the server sent
    };

    static constexpr platform::SocketHandle kListener = 7;
    static constexpr platform::SocketHandle kFirstClient = 100;

    FakeSockets() { platform::setSockets(this); }
    ~FakeSockets() override { platform::setSockets(nullptr); }

    // A client that connects and sends `input`; its index.
    size_t connect(std::string input, bool hangsUp = false, size_t chunk = SIZE_MAX) {
        clients.emplace_back(std::move(input), hangsUp, chunk);
        return clients.size() - 1;
    }

    void startUp() override {}
    platform::SocketHandle listenTcp(const char* port, int) override {
        lastPort = port ? port : "";
        if (failListen || listening) return platform::kInvalidSocket;
        listening = true;
        ++open;
        return kListener;
    }
    platform::SocketHandle accept(platform::SocketHandle, char (&peer)[platform::kPeerAddressSize]) override {
        const auto waiting = std::find_if(clients.begin(), clients.end(), [](const Client& c) { return !c.accepted; });
        if (waiting == clients.end()) return platform::kInvalidSocket;
        waiting->accepted = true;
        ++open;
        std::strcpy(peer, "127.0.0.1");
        return kFirstClient + static_cast<platform::SocketHandle>(waiting - clients.begin());
    }
    int64_t receive(platform::SocketHandle socket, void* data, size_t size, bool& wouldBlock) override {
        Client& c = clients.at(socket - kFirstClient);
        const size_t n = std::min({size, c.chunk, c.input.size() - c.delivered});
        wouldBlock = n == 0 && !c.hangsUp;
        if (n == 0) return c.hangsUp ? 0 : -1;
        std::memcpy(data, c.input.data() + c.delivered, n);
        c.delivered += n;
        return static_cast<int64_t>(n);
    }
    int64_t send(platform::SocketHandle socket, const void* data, size_t size, bool& wouldBlock) override {
        const size_t n = std::min(size, sendLimit);
        wouldBlock = n == 0;
        if (n > 0) clients.at(socket - kFirstClient).output.append(static_cast<const char*>(data), n);
        return n > 0 ? static_cast<int64_t>(n) : -1;
    }
    void close(platform::SocketHandle socket) override {
        --open;
        if (socket == kListener) listening = false;
        else clients.at(socket - kFirstClient).closedByServer = true;
    }
    int wait(platform::SocketSet& read, platform::SocketSet& write, uint32_t) override {
        int ready = 0;
        for (size_t i = 0; i < read.count; ++i) {
            const platform::SocketHandle s = read.sockets[i];
            if (s == kListener) {
                read.ready[i] = std::any_of(clients.begin(), clients.end(), [](const Client& c) { return !c.accepted; });
            } else {
                const Client& c = clients.at(s - kFirstClient);
                read.ready[i] = c.delivered < c.input.size() || c.hangsUp;
            }
            ready += read.ready[i];
        }
        std::fill_n(write.ready, write.count, true);
        return ready + static_cast<int>(write.count);
    }
    size_t openCount() const override { return open; }

    std::vector<Client> clients;
    bool failListen = false;
    bool listening = false;
    size_t sendLimit = SIZE_MAX;  // most bytes one send takes
    size_t open = 0;
    std::string lastPort;
};

}  // namespace testing_support
