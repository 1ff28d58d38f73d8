#include <dlfcn.h>

#include "platform/dynamic_library.h"

namespace platform {

// RTLD_LOCAL: the importer's symbols must not resolve anyone else's, nor outlive its unload.
void* loadLibrary(const std::string& path, std::string* reason) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library && reason) {
        const char* why = dlerror();
        *reason = why ? why : "unknown error";
    }
    return library;
}

void* librarySymbol(void* library, const char* name) { return dlsym(library, name); }

void unloadLibrary(void* library) { dlclose(library); }

}  // namespace platform
