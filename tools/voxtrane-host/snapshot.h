// `snapshot`: every panel of an instance painted to PNG by the editor's own paint code.
#pragma once

#include <string>

namespace voxhost {

struct SnapshotRequest {
    std::string state;   // a saved instance state to load, or
    std::string bank;    // an articulation bank or Kontakt instrument to drop on it
    float scale = 1.0f;
    std::string folder;  // where the pictures go
};

// Writes articulations.png, controllers.png, options-general.png, options-automation.png,
// options-advanced.png and icon-picker.png. False with the reason on failure.
bool writeSnapshots(const SnapshotRequest& request, std::string& error);

}  // namespace voxhost
