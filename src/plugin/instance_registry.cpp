#include "plugin/instance_registry.h"

#include <algorithm>
#include <cstdio>

uint32_t chooseInstanceId(uintptr_t address, const std::vector<uint32_t>& taken) {
    uint32_t id = static_cast<uint32_t>(address);
    while (id == 0 || std::find(taken.begin(), taken.end(), id) != taken.end()) ++id;
    return id;
}

uint32_t InstanceRegistry::append(InstanceCore* instance) {
    const uint32_t id = chooseInstanceId(reinterpret_cast<uintptr_t>(instance), ids_);
    ids_.reserve(ids_.size() + 1);
    list_.push_back(instance);
    ids_.push_back(id);  // cannot throw: reserved above
    return id;
}

void InstanceRegistry::remove(InstanceCore* instance) {
    for (size_t i = 0; i < list_.size(); ++i)
        if (list_[i] == instance) {
            list_.erase(list_.begin() + static_cast<std::ptrdiff_t>(i));
            ids_.erase(ids_.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
}

InstanceCore* InstanceRegistry::find(uint32_t id) const {
    for (size_t i = 0; i < ids_.size(); ++i)
        if (ids_[i] == id) return list_[i];
    return nullptr;
}

bool InstanceRegistry::contains(const InstanceCore* instance) const {
    return std::find(list_.begin(), list_.end(), instance) != list_.end();
}

void toggleMute(engine::SharedTables& tables, int32_t port, int32_t channel, char* status, size_t statusSize) {
    uint8_t& entry = tables.muteTable[engine::portChannelIndex(port, channel)];
    entry = entry ? 0 : 1;
    std::snprintf(status, statusSize, entry ? "Port %i, Channel %lld muted" : "Port %i, Channel %lld unmuted", port,
                  static_cast<long long>(channel) + 1);  // a stored channel may be anything
}

void toggleSolo(engine::SharedTables& tables, int32_t port, int32_t channel, char* status, size_t statusSize) {
    const int own = engine::portChannelIndex(port, channel);
    int othersUnmuted = 0;
    for (int i = 0; i < engine::kPortChannelCount; ++i)
        if (i != own && tables.muteTable[i] == 0) ++othersUnmuted;
    if (othersUnmuted > 0) {
        tables.muteTable.fill(1);
        tables.muteTable[own] = 0;
        std::snprintf(status, statusSize, "Port %i, Channel %lld is now solo", port,
                      static_cast<long long>(channel) + 1);
    } else {
        tables.muteTable.fill(0);
        std::snprintf(status, statusSize, "All ports/channels unmuted");
    }
}
