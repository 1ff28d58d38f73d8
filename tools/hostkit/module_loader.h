// Loads a plugin module the way FL Studio does and finds its one export.
#pragma once

#include <string>

#include "plugin/fruity_abi.h"

namespace hostkit {

using CreatePlugInstanceFn = TFruityPlug* (*)(TFruityPlugHost*, TPluginTag);

class PluginModule {
public:
    PluginModule() = default;
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // False with `error()` set when the file does not load or lacks the export. `path` is UTF-8.
    bool load(const std::string& path);
    void unload();
    CreatePlugInstanceFn create() const { return create_; }
    const std::string& error() const { return error_; }

private:
    void* handle_ = nullptr;
    CreatePlugInstanceFn create_ = nullptr;
    std::string error_;
};

// Folder of the running executable (platform::programFolder), "." when it cannot be read.
std::string executableFolder();

// The staged module beside a host executable: <folder>/Plugins/Fruity/Generators/KRYL Voxtrane/...
std::string stagedModulePath(const std::string& programFolder);

}  // namespace hostkit
