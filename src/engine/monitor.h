// The live monitor: every message an instance sends, with the note, the articulation and the
// switching rule that caused it, kept for the web page and the demo. The audio thread only
// copies an entry into a preallocated ring; the UI thread drains the ring into the history in
// its periodic call. Entries of the UI thread's own sends go straight into the history.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "engine/relaxed.h"
#include "platform/thread_id.h"

namespace engine {

// Why a message went out.
enum class Why : uint8_t {
    kOther,              // the editor or the API sent it
    kNoteOn,             // the note itself
    kNoteOff,
    kProgram,            // the articulation's program differs from the last one sent
    kKeyswitch,          // its keyswitch (or the keyswitch's velocity) differs
    kKeyswitchOff,       // the keyswitch let go at once
    kHeldKeyswitchOff,   // a held keyswitch let go after its time
    kController,         // its controller value differs
    kSecondKeyswitch,    // its second keyswitch differs
    kReleaseController,  // CC 17 with the release velocity before the note
    kChannelController,  // pan, volume, pitch or a controller of the channel
    kAutomation,         // a host parameter moved a controller
};
const char* whyText(Why why);

// What caused a message: filled in where the rule decides to send. One word built in registers:
// a structure of small fields built on the stack and read back whole would stall every send.
class Cause {
public:
    // `articulation`: the slot switched to; `key`: the note that started it; `from`: the value
    // last sent before, where a rule compares; -1 for none.
    constexpr Cause(Why why = Why::kOther, int articulation = -1, int key = -1, int32_t from = -1)
        : bits_(uint64_t{static_cast<uint8_t>(why)} | uint64_t{static_cast<uint8_t>(articulation)} << 8 |
                uint64_t{static_cast<uint8_t>(key)} << 16 | uint64_t{static_cast<uint32_t>(from)} << 32) {}
    Why why() const { return static_cast<Why>(bits_ & 0xFF); }
    int articulation() const { return static_cast<int8_t>(bits_ >> 8); }
    int key() const { return (bits_ >> 16 & 0xFF) == 0xFF ? -1 : static_cast<int>(bits_ >> 16 & 0xFF); }
    int32_t from() const { return static_cast<int32_t>(bits_ >> 32); }

private:
    uint64_t bits_;
};

struct MonitorEntry {
    uint32_t message = 0;
    uint32_t tick = 0;  // the instance's tick count when it went out
    Cause cause;
};

class Monitor {
public:
    static constexpr uint32_t kHistory = 512;  // kept per instance, oldest dropped
    static constexpr uint32_t kRing = 4096;    // waiting for the UI thread (20 ms of a busy song), a power of two

    // `numbering`: the process's count of kept entries, so that every instance's entries have
    // one order.
    explicit Monitor(uint64_t& numbering) : numbering_(numbering), owner_(platform::currentThreadId()) {}

    // [audio][ui]
    void record(const MonitorEntry& e) {
        if (platform::currentThreadId() == owner_) {
            keep(e);
            return;
        }
        const uint32_t head = head_.load(std::memory_order_relaxed);
        // The UI thread's index is read only when the ring looks full, not for every entry.
        if (head - tailSeen_ >= kRing) {
            tailSeen_ = tail_.load(std::memory_order_acquire);
            if (head - tailSeen_ >= kRing) return;  // the UI thread is behind: lost
        }
        ring_[head & (kRing - 1)] = e;
        head_.store(head + 1, std::memory_order_release);
    }
    // Moves what the audio thread left into the history. [ui]
    void drain() {
        uint32_t tail = tail_.load(std::memory_order_relaxed);
        for (const uint32_t head = head_.load(std::memory_order_acquire); tail != head; ++tail) {
            keep(ring_[tail & (kRing - 1)]);
            tail_.store(tail + 1, std::memory_order_release);
        }
    }
    // Every kept entry numbered above `after`, oldest first: visit(number, entry). [ui]
    template <typename Visit>
    void since(uint64_t after, Visit&& visit) const {
        const uint64_t first = count_ > kHistory ? count_ - kHistory : 0;
        for (uint64_t n = first; n < count_; ++n) {
            const Kept& k = history_[size_t(n % kHistory)];
            if (k.number > after) visit(k.number, k.entry);
        }
    }

private:
    struct Kept {
        uint64_t number;
        MonitorEntry entry;
    };
    void keep(const MonitorEntry& e) { history_[size_t(count_++ % kHistory)] = {++numbering_, e}; }

    std::array<MonitorEntry, kRing> ring_{};
    alignas(64) std::atomic<uint32_t> head_{0};
    uint32_t tailSeen_ = 0;  // the audio thread's last look at tail_
    alignas(64) std::atomic<uint32_t> tail_{0};
    std::array<Kept, kHistory> history_{};
    uint64_t count_ = 0;
    uint64_t& numbering_;
    const uint64_t owner_;
};

}  // namespace engine
