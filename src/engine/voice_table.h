// The voice table: 20480 slots, each empty or holding one VoiceRecord. Records live in a pool
// inside the table (slot i's record is pool entry i), so the note path never allocates, and
// two levels of occupancy bits find the lowest empty slot, walk the used slots in order and
// walk the waiting ones without touching the empty ones.
#pragma once

#include <array>
#include <cstdint>

#include "engine/shared_tables.h"

namespace engine {

inline constexpr int kVoiceSlots = 20480;

// States of a record.
inline constexpr int32_t kVoiceSounding = -1;      // note-on sent
inline constexpr int32_t kVoiceStopAtNextTick = -2;  // a delayed note played after its release
inline constexpr int32_t kVoiceDelayTicks = 5;     // a delayed note goes out at this count

struct VoiceRecord {
    // These four bytes are the MIDI message of the note, status in the lowest byte: the record
    // is sent as it stands.
    uint8_t status;
    uint8_t key;
    uint8_t velocity;
    uint8_t port;
    intptr_t hostVoice;
    int32_t state;  // 0..4 ticks waited, kVoiceSounding or kVoiceStopAtNextTick
    uint8_t released;
    // Ours: a note-on went out and no note-off yet (lets a kill stop a delayed note cleanly).
    uint8_t noteOn;
    // Ours: the rest of the route the note was triggered with (with `port`), kept so that its
    // note-on and note-off reach the same receiver channel whatever changes meanwhile.
    uint8_t slot;
    uint8_t midixtend;

    uint32_t message() const {
        return uint32_t(status) | uint32_t(key) << 8 | uint32_t(velocity) << 16 | uint32_t(port) << 24;
    }
    Route route() const { return Route{port, slot, midixtend}; }
};

// A set of slot numbers with ordered iteration and lowest-member and lowest-non-member search
// in a few word steps, whatever the number of members.
class SlotSet {
public:
    static constexpr int kWords = kVoiceSlots / 64;           // 320
    static constexpr int kSummaryWords = (kWords + 63) / 64;  // 5

    void clear() {
        words_.fill(0);
        nonEmpty_.fill(0);
        full_.fill(0);
        count_ = 0;
    }
    bool contains(int slot) const { return (words_[slot >> 6] >> (slot & 63)) & 1; }
    int size() const { return count_; }
    void insert(int slot) {
        const int w = slot >> 6;
        const uint64_t bit = uint64_t{1} << (slot & 63);
        if (words_[w] & bit) return;
        words_[w] |= bit;
        nonEmpty_[w >> 6] |= uint64_t{1} << (w & 63);
        if (words_[w] == ~uint64_t{0}) full_[w >> 6] |= uint64_t{1} << (w & 63);
        ++count_;
    }
    void erase(int slot) {
        const int w = slot >> 6;
        const uint64_t bit = uint64_t{1} << (slot & 63);
        if (!(words_[w] & bit)) return;
        words_[w] &= ~bit;
        full_[w >> 6] &= ~(uint64_t{1} << (w & 63));
        if (!words_[w]) nonEmpty_[w >> 6] &= ~(uint64_t{1} << (w & 63));
        --count_;
    }
    // The first member at or after `slot`, or -1.
    int next(int slot) const {
        if (slot < 0) slot = 0;
        if (slot >= kVoiceSlots) return -1;
        const int word = slot >> 6;
        const uint64_t bits = words_[word] & (~uint64_t{0} << (slot & 63));
        if (bits) return (word << 6) | __builtin_ctzll(bits);
        const int w = nextWord(nonEmpty_, word + 1, false);
        return w < 0 ? -1 : (w << 6) | __builtin_ctzll(words_[w]);
    }
    // The lowest slot that is not a member, or -1 when every slot is.
    int lowestMissing() const {
        const int w = nextWord(full_, 0, true);
        return w < 0 ? -1 : (w << 6) | __builtin_ctzll(~words_[w]);
    }

private:
    // First word index >= from whose summary bit is set (or clear, with `inverted`).
    static int nextWord(const std::array<uint64_t, kSummaryWords>& summary, int from, bool inverted) {
        for (int s = from >> 6; s < kSummaryWords; ++s) {
            uint64_t bits = inverted ? ~summary[s] : summary[s];
            if (s == from >> 6) bits &= ~uint64_t{0} << (from & 63);
            if (s == kSummaryWords - 1 && kWords % 64) bits &= (uint64_t{1} << (kWords % 64)) - 1;
            if (bits) return (s << 6) | __builtin_ctzll(bits);
        }
        return -1;
    }

    std::array<uint64_t, kWords> words_{};
    std::array<uint64_t, kSummaryWords> nonEmpty_{};  // words with a member
    std::array<uint64_t, kSummaryWords> full_{};      // words with every slot a member
    int count_ = 0;
};

class VoiceTable {
public:
    VoiceTable() { clear(); }

    void clear() {
        used_.clear();
        waiting_.clear();
        keyCount_.fill(0);
    }

    // A new record (state 0, not released) in the lowest empty slot; null when all are taken.
    // [audio]
    VoiceRecord* add(intptr_t hostVoice, uint8_t key) {
        const int slot = used_.lowestMissing();
        if (slot < 0) return nullptr;
        used_.insert(slot);
        waiting_.insert(slot);
        ++keyCount_[key];
        VoiceRecord& r = pool_[slot];
        r = VoiceRecord{};
        r.key = key;
        r.hostVoice = hostVoice;
        r.state = 0;
        return &r;
    }

    // The record behind a voice handle the host gave back, or null when it is not in the table.
    VoiceRecord* find(intptr_t voice) {
        const auto address = static_cast<uintptr_t>(voice);
        const auto base = reinterpret_cast<uintptr_t>(pool_.data());
        if (address < base || address >= base + sizeof pool_) return nullptr;
        if ((address - base) % sizeof(VoiceRecord) != 0) return nullptr;
        const int slot = static_cast<int>((address - base) / sizeof(VoiceRecord));
        return used_.contains(slot) ? &pool_[slot] : nullptr;
    }

    // Empties the record's slot. [audio]
    void remove(VoiceRecord* r) {
        const int slot = slotOf(r);
        waiting_.erase(slot);
        --keyCount_[r->key];
        used_.erase(slot);
    }

    // How many records hold `key`: the overlap search, answered at once.
    int recordsWithKey(uint8_t key) const { return keyCount_[key]; }

    // Keeps the set of records whose state is not kVoiceSounding, which NewTick walks.
    void setState(VoiceRecord* r, int32_t state) {
        r->state = state;
        if (state == kVoiceSounding) waiting_.erase(slotOf(r));
        else waiting_.insert(slotOf(r));
    }

    int slotOf(const VoiceRecord* r) const { return static_cast<int>(r - pool_.data()); }
    VoiceRecord& at(int slot) { return pool_[slot]; }
    int size() const { return used_.size(); }
    const SlotSet& used() const { return used_; }
    const SlotSet& waiting() const { return waiting_; }

private:
    std::array<VoiceRecord, kVoiceSlots> pool_;
    SlotSet used_;
    SlotSet waiting_;
    std::array<uint16_t, 256> keyCount_{};
};

}  // namespace engine
