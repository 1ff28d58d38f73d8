#include "hostkit/module_loader.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace hostkit {

PluginModule::~PluginModule() { unload(); }

bool PluginModule::load(const std::string& path) {
    unload();
#ifdef _WIN32
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) {
        const DWORD code = GetLastError();
        char reason[256] = {};
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, reason,
                       sizeof reason, nullptr);
        std::string text = reason;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
        error_ = "cannot load " + path + ": " + (text.empty() ? "error " + std::to_string(code) : text);
        return false;
    }
    handle_ = module;
    create_ = reinterpret_cast<CreatePlugInstanceFn>(reinterpret_cast<void*>(GetProcAddress(module, "CreatePlugInstance")));
#else
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* why = dlerror();
        error_ = "cannot load " + path + ": " + (why ? why : "unknown error");
        return false;
    }
    create_ = reinterpret_cast<CreatePlugInstanceFn>(dlsym(handle_, "CreatePlugInstance"));
#endif
    if (!create_) {
        error_ = path + " does not export CreatePlugInstance";
        unload();
        return false;
    }
    return true;
}

void PluginModule::unload() {
    if (!handle_) return;
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
    handle_ = nullptr;
    create_ = nullptr;
}

std::string executableFolder() {
    char buffer[4096];
#ifdef _WIN32
    const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    const std::string path = n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
    const size_t cut = path.find_last_of('\\');
#else
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    const std::string path = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
    const size_t cut = path.find_last_of('/');
#endif
    return cut == std::string::npos ? std::string(".") : path.substr(0, cut);
}

std::string stagedModulePath(const std::string& programFolder) {
#ifdef _WIN32
    return programFolder + "\\Plugins\\Fruity\\Generators\\KRYL Voxtrane\\KRYL Voxtrane_x64.dll";
#else
    return programFolder + "/Plugins/Fruity/Generators/KRYL Voxtrane/KRYL Voxtrane_x64.so";
#endif
}

}  // namespace hostkit
