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
    const size_t n = count < kSocketSetCapacity ? count : kSocketSetCapacity;
    for (size_t i = 0; i < n; ++i) {
        size_t slot = slotOf(sockets[i]);
        while (index_[slot].generation == generation_ && sockets[index_[slot].position] != sockets[i])
            slot = (slot + 1) & ((size_t{1} << kIndexBits) - 1);
        if (index_[slot].generation != generation_) index_[slot] = {generation_, static_cast<uint16_t>(i)};
    }
    count = n;
    indexed_ = n;
}

size_t SocketSet::slotOf(SocketHandle socket) const {
    // Fibonacci hashing: handles are small, often multiples of four; the top bits spread them.
    return static_cast<size_t>((socket * 0x9E3779B97F4A7C15ull) >> (64 - kIndexBits));
}

int SocketSet::find(SocketHandle socket) {
    syncIndex();
    for (size_t slot = slotOf(socket); index_[slot].generation == generation_;
         slot = (slot + 1) & ((size_t{1} << kIndexBits) - 1))
        if (sockets[index_[slot].position] == socket) return index_[slot].position;
    return -1;
}

int SocketSet::add(SocketHandle socket) {
    syncIndex();
    size_t slot = slotOf(socket);
    for (; index_[slot].generation == generation_; slot = (slot + 1) & ((size_t{1} << kIndexBits) - 1))
        if (sockets[index_[slot].position] == socket) return index_[slot].position;
    if (count == kSocketSetCapacity) return -1;
    index_[slot] = {generation_, static_cast<uint16_t>(count)};
    sockets[count] = socket;
    ready[count] = false;
    indexed_ = ++count;
    return static_cast<int>(count - 1);
}

Sockets& sockets() { return gInstalled ? *gInstalled : platformSockets(); }
void setSockets(Sockets* replacement) { gInstalled = replacement; }

}  // namespace platform
