#include "platform/sockets.h"

namespace platform {

namespace {

Sockets* gInstalled = nullptr;

}  // namespace

// The index follows `count`: a set emptied by its owner starts a new generation; any other
// change made behind its back is indexed again from the sockets themselves.
void SocketSet::syncIndex() {
    if (count == indexed_) return;
    if (++generation_ == 0) {  // wrapped: stamps of 65536 generations ago would count again
        for (Entry& e : index_) e.generation = 0;
        generation_ = 1;
    }
    if (count > kSocketSetCapacity) count = kSocketSetCapacity;
    for (size_t i = 0; i < count; ++i) {
        const size_t slot = probe(sockets[i]);
        if (index_[slot].generation != generation_) index_[slot] = {generation_, static_cast<uint16_t>(i)};
    }
    indexed_ = count;
}

size_t SocketSet::probe(SocketHandle socket) const {
    // Fibonacci hashing: handles are small numbers, often multiples of four; the top bits of the
    // product spread them over the index.
    size_t slot = static_cast<size_t>((socket * 0x9E3779B97F4A7C15ull) >> (64 - kIndexBits));
    while (index_[slot].generation == generation_ && sockets[index_[slot].position] != socket)
        slot = (slot + 1) & (kIndexSize - 1);
    return slot;
}

int SocketSet::find(SocketHandle socket) {
    syncIndex();
    const Entry& entry = index_[probe(socket)];
    return entry.generation == generation_ ? entry.position : -1;
}

int SocketSet::add(SocketHandle socket) {
    syncIndex();
    Entry& entry = index_[probe(socket)];
    if (entry.generation == generation_) return entry.position;
    if (count == kSocketSetCapacity) return -1;
    entry = {generation_, static_cast<uint16_t>(count)};
    sockets[count] = socket;
    ready[count] = false;
    indexed_ = ++count;
    return static_cast<int>(count - 1);
}

Sockets& sockets() { return gInstalled ? *gInstalled : platformSockets(); }
void setSockets(Sockets* replacement) { gInstalled = replacement; }

}  // namespace platform
