#include "hostkit/module_loader.h"

#include "platform/dynamic_library.h"
#include "platform/program_folder.h"

namespace hostkit {

PluginModule::~PluginModule() { unload(); }

bool PluginModule::load(const std::string& path) {
    unload();
    std::string reason;
    handle_ = platform::loadLibrary(path, &reason);
    if (!handle_) {
        error_ = "cannot load " + path + ": " + reason;
        return false;
    }
    create_ = reinterpret_cast<CreatePlugInstanceFn>(platform::librarySymbol(handle_, "CreatePlugInstance"));
    if (!create_) {
        error_ = path + " does not export CreatePlugInstance";
        unload();
        return false;
    }
    return true;
}

void PluginModule::unload() {
    if (!handle_) return;
    platform::unloadLibrary(handle_);
    handle_ = nullptr;
    create_ = nullptr;
}

std::string executableFolder() {
    const std::string folder = platform::programFolder();
    return folder.empty() ? std::string(".") : folder;
}

std::string stagedModulePath(const std::string& programFolder) {
    return platform::joinProgramPath(programFolder, "Plugins\\Fruity\\Generators\\KRYL Voxtrane\\KRYL Voxtrane_x64") +
           platform::kSharedLibrarySuffix;
}

}  // namespace hostkit
