#include "plugin/instance_registry.h"

#include <cstdio>

void toggleMute(engine::SharedTables& tables, int32_t port, int32_t channel, char* status, size_t statusSize) {
    uint8_t& entry = tables.muteTable[engine::portChannelIndex(port, channel)];
    entry = entry ? 0 : 1;
    std::snprintf(status, statusSize, entry ? "Port %i, Channel %i muted" : "Port %i, Channel %i unmuted", port,
                  channel + 1);
}

void toggleSolo(engine::SharedTables& tables, int32_t port, int32_t channel, char* status, size_t statusSize) {
    const int own = engine::portChannelIndex(port, channel);
    int othersUnmuted = 0;
    for (int i = 0; i < engine::kPortChannelCount; ++i)
        if (i != own && tables.muteTable[i] == 0) ++othersUnmuted;
    if (othersUnmuted > 0) {
        tables.muteTable.fill(1);
        tables.muteTable[own] = 0;
        std::snprintf(status, statusSize, "Port %i, Channel %i is now solo", port, channel + 1);
    } else {
        tables.muteTable.fill(0);
        std::snprintf(status, statusSize, "All ports/channels unmuted");
    }
}
