// Everything the instances of one process share, in one place, with the start-up that the
// first live instance runs and the tear-down that the last one runs. A test that destroys every
// instance starts the next one from a clean process state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/shared_tables.h"
#include "model/articulation_commands.h"
#include "model/icon_name_table.h"
#include "plugin/fruity_abi.h"
#include "plugin/instance_registry.h"

namespace http {
struct HttpServer;
}

inline constexpr int32_t kNoFormPlace = -99999;

struct ProcessWide {
    InstanceRegistry registry;
    int liveCount = 0;

    // Tables of the engine; exist from start-up to tear-down.
    std::unique_ptr<engine::SharedTables> engineTables;

    model::ArticulationClipboard articulationClipboard;
    model::IconNameTable iconNames;

    // Editor sharing between instances.
    int32_t singleEditor = 1;
    int32_t sharedEditorTab = 1;
    int32_t formPlaceX = kNoFormPlace;  // `PluginFormPlace`
    int32_t formPlaceY = kNoFormPlace;

    // Channel for the next foreign state that leaves its channel to the plugin.
    int32_t foreignChannelCounter = 0;

    bool httpApiEnabled = false;
    http::HttpServer* httpServer = nullptr;  // the API's server; null while stopped
    intptr_t hostMainWindow = 0;
    std::string programFolder;
};

ProcessWide& processWide();

// [ui] first live instance, before it is counted.
void processStartUp(TFruityPlugHost* host, TPluginTag tag);
// [ui] last live instance, after the count reached 0.
void processTearDown();

// [ui] Refills `iconNames` from the template under the program folder; missing or malformed
// leaves it empty.
void LoadTemplate();
