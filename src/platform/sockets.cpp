#include "platform/sockets.h"

namespace platform {

namespace {

Sockets* gInstalled = nullptr;

}  // namespace

int SocketSet::add(SocketHandle socket) {
    for (size_t i = 0; i < count; ++i)
        if (sockets[i] == socket) return static_cast<int>(i);
    if (count == kSocketSetCapacity) return -1;
    sockets[count] = socket;
    ready[count] = false;
    return static_cast<int>(count++);
}

Sockets& sockets() { return gInstalled ? *gInstalled : platformSockets(); }
void setSockets(Sockets* replacement) { gInstalled = replacement; }

}  // namespace platform
