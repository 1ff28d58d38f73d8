// TCP sockets for the embedded HTTP server: the few calls it makes, each non-blocking, behind an
// interface so that tests and fuzzers can run the server without a network. Winsock on Windows,
// BSD sockets elsewhere; nothing outside the platform layer includes a socket header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

using SocketHandle = uint64_t;
inline constexpr SocketHandle kInvalidSocket = ~SocketHandle{0};

// Winsock's select takes at most this many sockets per set once FD_SETSIZE is raised to it.
inline constexpr size_t kSocketSetCapacity = 2048;
// Dotted IPv4 text and its terminator.
inline constexpr size_t kPeerAddressSize = 16;

// The sockets one wait watches, and after it which of them are ready. The owner empties a set
// by setting `count` to 0.
struct SocketSet {
    size_t count = 0;
    SocketHandle sockets[kSocketSetCapacity];
    bool ready[kSocketSetCapacity];

    // Position of `socket` in the set, added if new; -1 when the set is full. Constant time, so
    // a wait on thousands of connections costs no more per socket than one on a few.
    int add(SocketHandle socket);
    // Position of `socket` in the set, or -1.
    int find(SocketHandle socket);

private:
    // Positions by handle, open-addressed at twice the capacity so that probes stay short. An
    // entry counts only when stamped with the current generation: a new generation empties the
    // index without touching it.
    static constexpr size_t kIndexBits = 12;
    static constexpr size_t kIndexSize = size_t{1} << kIndexBits;
    static_assert(kIndexSize >= 2 * kSocketSetCapacity, "the index must stay half empty");
    struct Entry {
        uint16_t generation;
        uint16_t position;
    };
    void syncIndex();
    // The slot that holds `socket`, or the free slot where it would go.
    size_t probe(SocketHandle socket) const;

    Entry index_[kIndexSize] = {};
    uint16_t generation_ = 1;  // never 0, the stamp of an entry never written
    size_t indexed_ = 0;  // `count` as the index knows it
};

class Sockets {
public:
    virtual ~Sockets() = default;

    // Windows Sockets 2.2 start-up; a no-op elsewhere. Never undone.
    virtual void startUp() = 0;
    // A non-blocking TCP socket listening on every IPv4 interface at `port` (decimal text or a
    // service name), with address reuse on. kInvalidSocket on any failure, with nothing left open.
    virtual SocketHandle listenTcp(const char* port, int backlog) = 0;
    // One waiting connection, made non-blocking, and its peer's dotted address (empty when it
    // cannot be asked); kInvalidSocket when none is waiting or accepting fails.
    virtual SocketHandle accept(SocketHandle listener, char (&peer)[kPeerAddressSize]) = 0;
    // Bytes moved (> 0); 0 when the peer closed (receive only); -1 on failure, with
    // `wouldBlock` telling a full or empty socket apart from an error.
    virtual int64_t receive(SocketHandle socket, void* data, size_t size, bool& wouldBlock) = 0;
    virtual int64_t send(SocketHandle socket, const void* data, size_t size, bool& wouldBlock) = 0;
    virtual void close(SocketHandle socket) = 0;
    // Waits at most `timeoutMs` for any socket of the sets to become readable or writable and
    // marks which are. Returns how many are ready, or -1.
    virtual int wait(SocketSet& read, SocketSet& write, uint32_t timeoutMs) = 0;
    // Sockets opened through this object and not yet closed: the leak check of the tests.
    virtual size_t openCount() const = 0;
};

// [ui] Whether a TCP socket could listen on `port` on every IPv4 interface now, without address
// reuse (which on Windows would let it share a port another program listens on).
bool tcpPortAvailable(uint16_t port);

// [ui] This machine's own name as the system knows it (gethostname), or "" when it cannot tell.
std::string machineName();

// The process's sockets. Tests may install their own; nullptr restores the platform's.
Sockets& sockets();
void setSockets(Sockets* replacement);
Sockets& platformSockets();

}  // namespace platform
