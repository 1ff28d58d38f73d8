// Everything the instances of one process share, in one place, with the start-up that the
// first live instance runs and the tear-down that the last one runs. A test that destroys every
// instance starts the next one from a clean process state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/shared_tables.h"
#include "http/instance_view.h"
#include "model/articulation_commands.h"
#include "model/icon_name_table.h"
#include "plugin/host_port.h"
#include "plugin/instance_registry.h"

inline constexpr int32_t kNoFormPlace = -99999;

struct ProcessWide {
    InstanceRegistry registry;
    int liveCount = 0;

    // Tables of the engine; exist from start-up to tear-down.
    std::unique_ptr<engine::SharedTables> engineTables;

    model::ArticulationClipboard articulationClipboard;
    // One controller held for pasting; full from the first copy on.
    model::Controller controllerClipboard;
    bool controllerClipboardFull = false;
    model::IconNameTable iconNames;

    // Editor sharing between instances.
    int32_t singleEditor = 1;
    int32_t sharedEditorTab = 1;
    int32_t optionsTab = 0;                    // the options panel's tab, shared by all editors
    InstanceCore* activeInstance = nullptr;    // `ActiveInstance`: whose editor was shown last
    int32_t formPlaceX = kNoFormPlace;  // `PluginFormPlace`
    int32_t formPlaceY = kNoFormPlace;

    // Channel for the next foreign state that leaves its channel to the plugin.
    int32_t foreignChannelCounter = 0;

    bool httpApiEnabled = false;
    intptr_t hostMainWindow = 0;
    std::string programFolder;
};

ProcessWide& processWide();

// The live instances as the HTTP API sees them. [ui]
http::InstanceDirectory& instanceDirectory();

// One instance's place in the process, held by the instance from its first member to its last:
// the constructor runs the start-up when it is the first, counts it and registers it; leave()
// (or, should construction fail half-way, the destructor) counts it out, runs the tear-down when
// it was the last and unregisters it. No failure in between leaves a dangling registry entry or
// a raised count. [ui]
class ProcessMembership {
public:
    ProcessMembership(InstanceCore& instance, plugin::HostPort& host);
    ~ProcessMembership();
    ProcessMembership(const ProcessMembership&) = delete;
    ProcessMembership& operator=(const ProcessMembership&) = delete;

    // Orderly leave from the instance's destructor: counted out while still registered, so the
    // tear-down can still report through it.
    void leave() noexcept;

    uint32_t id() const { return id_; }
    engine::SharedTables& tables() const { return *processWide().engineTables; }

private:
    InstanceCore& instance_;
    uint32_t id_ = 0;
    bool joined_ = false;
};

// [ui] Refills `iconNames` from the template under the program folder; missing or malformed
// leaves it empty.
void LoadTemplate();
