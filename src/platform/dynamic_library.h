// Loading a shared library for the length of one job: the Kontakt importer is loaded for one
// import and released right after.
#pragma once

#include <string>

namespace platform {

#ifdef _WIN32
inline constexpr char kSharedLibrarySuffix[] = ".dll";
#else
inline constexpr char kSharedLibrarySuffix[] = ".so";
#endif

// [ui] The handle of the library at the UTF-8 `path`, or null when it is missing or cannot be
// loaded, with the system's reason in `reason` when asked. Never shows a system error box.
void* loadLibrary(const std::string& path, std::string* reason = nullptr);
// The address of an exported function, or null.
void* librarySymbol(void* library, const char* name);
void unloadLibrary(void* library);

// Owns one loaded library; unloads it when it goes out of scope.
class DynamicLibrary {
public:
    explicit DynamicLibrary(const std::string& path) : handle_(loadLibrary(path)) {}
    ~DynamicLibrary() {
        if (handle_) unloadLibrary(handle_);
    }
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    void* symbol(const char* name) const { return handle_ ? librarySymbol(handle_, name) : nullptr; }

private:
    void* handle_;
};

}  // namespace platform
