// Debug lines written on a thread other than the instance's own (FL Studio's audio thread): a
// debugger output call waits while a debugger or an output viewer listens, and a host request
// may take the host's locks, so such a line is copied into a preallocated ring here and written
// out by the UI thread's periodic call, in the same order. Lines written on the instance's own
// thread go out at once, as before.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>

#include "platform/thread_id.h"

namespace engine {

class TraceQueue {
public:
    enum class Sink : uint8_t { kHostLog, kDebugger };  // host request 45, or the debugger output
    static constexpr uint32_t kLines = 128;               // a power of two
    static constexpr size_t kLineSize = 256;

    // The constructing thread is the instance's own (the host creates instances on its UI thread).
    TraceQueue() : owner_(platform::currentThreadId()) {}

    bool onOwnerThread() const { return platform::currentThreadId() == owner_; }

    // Copies the line in, cut to kLineSize - 1 bytes; with the ring full the line is lost and
    // counted. One writer at a time: the host never calls one instance's voices from two
    // threads at once. [audio]
    void push(Sink sink, const char* text) {
        const uint32_t head = head_.load(std::memory_order_relaxed);
        if (head - tail_.load(std::memory_order_acquire) >= kLines) {
            dropped_.fetch_add(1, std::memory_order_relaxed);
            return;
        }
        Line& line = lines_[head & (kLines - 1)];
        line.sink = sink;
        const size_t n = std::min(std::strlen(text), kLineSize - 1);
        std::memcpy(line.text, text, n);
        line.text[n] = '\0';
        head_.store(head + 1, std::memory_order_release);
    }

    // Hands every waiting line to deliver(sink, text), oldest first. [ui]
    template <typename Deliver>
    void drain(Deliver&& deliver) {
        uint32_t tail = tail_.load(std::memory_order_relaxed);
        const uint32_t head = head_.load(std::memory_order_acquire);
        for (; tail != head; ++tail) {
            const Line& line = lines_[tail & (kLines - 1)];
            deliver(line.sink, static_cast<const char*>(line.text));
            tail_.store(tail + 1, std::memory_order_release);
        }
    }

    uint32_t dropped() const { return dropped_.load(std::memory_order_relaxed); }

private:
    struct Line {
        Sink sink;
        char text[kLineSize];
    };
    std::array<Line, kLines> lines_{};
    // Each index on a cache line of its own: only its side writes it.
    alignas(64) std::atomic<uint32_t> head_{0};
    alignas(64) std::atomic<uint32_t> tail_{0};
    std::atomic<uint32_t> dropped_{0};
    const uint64_t owner_;
};

}  // namespace engine
