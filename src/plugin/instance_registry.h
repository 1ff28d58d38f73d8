// All live instances of the process, in creation order, and the mute and solo toggles of the
// port and channel they play on.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/shared_tables.h"

class KRYLVSTExprPlug;

class InstanceRegistry {
public:
    // [ui] construction and destruction only.
    void append(KRYLVSTExprPlug* instance) { list_.push_back(instance); }
    void remove(KRYLVSTExprPlug* instance) {
        list_.erase(std::remove(list_.begin(), list_.end(), instance), list_.end());
    }
    const std::vector<KRYLVSTExprPlug*>& instances() const { return list_; }
    auto begin() const { return list_.begin(); }
    auto end() const { return list_.end(); }
    size_t size() const { return list_.size(); }

private:
    std::vector<KRYLVSTExprPlug*> list_;
};

// Flips the mute entry of a port and channel; writes the status text for the host. [ui]
void toggleMute(engine::SharedTables& tables, int32_t port, int32_t channel, char* status, size_t statusSize);

// Solo: mutes every other port and channel and unmutes this one, or, when every other one was
// muted already, unmutes everything. [ui]
void toggleSolo(engine::SharedTables& tables, int32_t port, int32_t channel, char* status, size_t statusSize);
