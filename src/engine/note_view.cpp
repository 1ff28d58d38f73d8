#include "engine/note_view.h"

#include <thread>

namespace engine {

SlotSwitches slotSwitches(const model::Articulations& a, int slot) {
    const size_t s = size_t(slot);
    return {a.note[s], a.notevel[s], a.prog[s], a.modw[s], a.modc[s]};
}

NoteOptions noteOptions(const model::InstanceOptions& o) {
    NoteOptions n;
    n.route = Route{static_cast<uint8_t>(o.port), static_cast<uint8_t>(channelSlot(o.channel)),
                    static_cast<uint8_t>(o.midixtend != 0)};
    n.articbanks = o.articbanks != 0;
    n.releasecc17 = o.releasecc17 != 0;
    n.cctimerfix = o.cctimerfix != 0;
    n.changeanyrule = o.changeanyrule != 0;
    n.holdkeyswitch = o.holdkeyswitch != 0;
    n.overlapping = o.overlapping != 0;
    return n;
}

void NoteView::publish(const model::InstanceRecords& records) {
    const uint32_t target = 1 - active_.load(std::memory_order_seq_cst);
    // A note that took this copy before the last switch may still be reading it.
    while (inUse_[target].flag.load(std::memory_order_seq_cst)) std::this_thread::yield();
    NoteViewData& d = copies_[target];
    for (int s = 0; s < model::kArticulationCount; ++s) d.slots[size_t(s)] = slotSwitches(records.articulations, s);
    d.options = noteOptions(records.options);
    active_.store(target, std::memory_order_seq_cst);
    packedOptions_.store(pack(d.options), std::memory_order_release);
}

uint64_t NoteView::pack(const NoteOptions& o) {
    return uint64_t{o.route.port} | uint64_t{o.route.slot} << 8 | uint64_t{o.route.midixtend} << 16 |
           uint64_t{o.articbanks} << 24 | uint64_t{o.releasecc17} << 25 | uint64_t{o.cctimerfix} << 26 |
           uint64_t{o.changeanyrule} << 27 | uint64_t{o.holdkeyswitch} << 28 | uint64_t{o.overlapping} << 29;
}

NoteOptions NoteView::unpack(uint64_t bits) {
    NoteOptions o;
    o.route = Route{static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8), static_cast<uint8_t>(bits >> 16)};
    o.articbanks = bits >> 24 & 1;
    o.releasecc17 = bits >> 25 & 1;
    o.cctimerfix = bits >> 26 & 1;
    o.changeanyrule = bits >> 27 & 1;
    o.holdkeyswitch = bits >> 28 & 1;
    o.overlapping = bits >> 29 & 1;
    return o;
}

bool NoteView::differs(const model::InstanceRecords& records) const {
    const NoteViewData& d = copies_[active_.load(std::memory_order_relaxed)];
    if (!(d.options == noteOptions(records.options))) return true;
    for (int s = 0; s < model::kArticulationCount; ++s)
        if (!(d.slots[size_t(s)] == slotSwitches(records.articulations, s))) return true;
    return false;
}

NoteView::Reader::Reader(const NoteView& view) : view_(view) {
    // Mark the copy, then check it is still the one notes read: a publish either saw the mark
    // and waits, or switched first and this takes the new copy.
    for (;;) {
        index_ = view_.active_.load(std::memory_order_seq_cst);
        view_.inUse_[index_].flag.store(true, std::memory_order_seq_cst);
        if (view_.active_.load(std::memory_order_seq_cst) == index_) return;
        view_.inUse_[index_].flag.store(false, std::memory_order_release);
    }
}

}  // namespace engine
