// All live instances of the process, in creation order, with the API's name of each, and the
// mute and solo toggles of the port and channel they play on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/shared_tables.h"

class InstanceCore;

class InstanceRegistry {
public:
    // Appends the instance and returns its id: the low 32 bits of its address, moved on to the
    // next free number when 0 or already taken by a live instance. [ui] construction only
    uint32_t append(InstanceCore* instance);
    void remove(InstanceCore* instance);  // [ui] destruction only

    const std::vector<InstanceCore*>& instances() const { return list_; }
    auto begin() const { return list_.begin(); }
    auto end() const { return list_.end(); }
    size_t size() const { return list_.size(); }
    uint32_t idAt(size_t index) const { return ids_[index]; }
    // The live instance with this id; null when none.
    InstanceCore* find(uint32_t id) const;
    bool contains(const InstanceCore* instance) const;

private:
    std::vector<InstanceCore*> list_;
    std::vector<uint32_t> ids_;  // parallel to list_
};

// The id rule of append, on its own: `address` moved past 0 and past every id in `taken`.
uint32_t chooseInstanceId(uintptr_t address, const std::vector<uint32_t>& taken);

// Flips the mute entry of a port and channel; writes the status text for the host. [ui]
void toggleMute(engine::SharedTables& tables, int32_t port, int32_t channel, char* status, size_t statusSize);

// Solo: mutes every other port and channel and unmutes this one, or, when every other one was
// muted already, unmutes everything. [ui]
void toggleSolo(engine::SharedTables& tables, int32_t port, int32_t channel, char* status, size_t statusSize);
