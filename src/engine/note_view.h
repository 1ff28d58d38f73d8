// What the note path reads of the instance's records: the five switch fields of every
// articulation slot and the options that shape a note, published by the UI thread as one step.
// The audio thread reads one of two copies, the UI thread writes the other and then switches, so
// a note sees every change whole (a bank replaced, a state loaded, an API command), never half
// of one, and never the empty defaults between a state load's reset and its end. Reading takes
// no lock and never waits; only a publish waits, on the UI thread, for a note still reading the
// copy it is about to overwrite (a few hundred nanoseconds at most).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "engine/shared_tables.h"
#include "model/records.h"

namespace engine {

struct SlotSwitches {
    int32_t note = model::kNone;
    int32_t notevel = 127;
    int32_t prog = model::kNone;
    int32_t modw = model::kNone;
    int32_t modc = model::kModCcUnset;
    bool operator==(const SlotSwitches& o) const {
        return note == o.note && notevel == o.notevel && prog == o.prog && modw == o.modw && modc == o.modc;
    }
};

struct NoteOptions {
    Route route;
    bool articbanks = false, releasecc17 = false, cctimerfix = false, changeanyrule = false, holdkeyswitch = false,
         overlapping = false;
    bool operator==(const NoteOptions& o) const {
        return route == o.route && articbanks == o.articbanks && releasecc17 == o.releasecc17 &&
               cctimerfix == o.cctimerfix && changeanyrule == o.changeanyrule && holdkeyswitch == o.holdkeyswitch &&
               overlapping == o.overlapping;
    }
};

struct NoteViewData {
    std::array<SlotSwitches, model::kArticulationCount> slots{};
    NoteOptions options;
};

// The note path's view of the records as the records are now. [ui]
SlotSwitches slotSwitches(const model::Articulations& a, int slot);
NoteOptions noteOptions(const model::InstanceOptions& o);

class NoteView {
public:
    // Copies the records into the copy no note reads and makes it the one notes read. [ui]
    void publish(const model::InstanceRecords& records);
    // Whether the published view differs from the records anywhere. [ui]
    bool differs(const model::InstanceRecords& records) const;

    // The options alone, for what reads no switch (a release, a tick): one load. [audio]
    NoteOptions options() const { return unpack(packedOptions_.load(std::memory_order_acquire)); }

    // Reading: hold a Reader while a note reads; the copy it reads stays as it was. [audio]
    class Reader {
    public:
        explicit Reader(const NoteView& view);
        ~Reader() { view_.inUse_[index_].flag.store(false, std::memory_order_release); }
        Reader(const Reader&) = delete;
        Reader& operator=(const Reader&) = delete;
        const NoteViewData& operator*() const { return view_.copies_[index_]; }
        const NoteViewData* operator->() const { return &view_.copies_[index_]; }

    private:
        const NoteView& view_;
        uint32_t index_;
    };

private:
    static uint64_t pack(const NoteOptions& o);
    static NoteOptions unpack(uint64_t bits);

    std::array<NoteViewData, 2> copies_{};
    // The active copy's options again, packed into one word.
    std::atomic<uint64_t> packedOptions_{pack(NoteOptions{})};
    // The copy notes read; written by the UI thread only, at a publish.
    alignas(64) std::atomic<uint32_t> active_{0};
    // Set by the audio thread while a note reads that copy; each on a line of its own, so that
    // the only cache lines written for every note are written by the audio thread alone.
    struct alignas(64) InUse {
        mutable std::atomic<bool> flag{false};
    };
    std::array<InUse, 2> inUse_{};
};

}  // namespace engine
