#include <windows.h>

#include "platform/dynamic_library.h"
#include "platform/win32/wide.h"

namespace platform {

namespace {

std::string systemMessage(DWORD code) {
    wchar_t text[512] = {};
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                   sizeof text / sizeof text[0], nullptr);
    std::string out = utf8FromWide(text, n);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
    return out.empty() ? "error " + std::to_string(code) : out;
}

}  // namespace

void* loadLibrary(const std::string& path, std::string* reason) {
    std::wstring wide;
    if (!wideFromUtf8(path, wide) || wide.empty()) {
        if (reason) *reason = systemMessage(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // The altered search order below is only defined for a full path.
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size > 0) {
        std::wstring full(size, L'\0');
        const DWORD n = GetFullPathNameW(wide.c_str(), size, &full[0], nullptr);
        if (n > 0 && n < size) wide.assign(full, 0, n);
    }
    // A broken or foreign file must fail quietly, not stop the host with a system error box.
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    // The importer's own dependencies are looked up beside it, not beside the host.
    HMODULE module = LoadLibraryExW(wide.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    const DWORD error = GetLastError();
    SetThreadErrorMode(previousMode, nullptr);
    if (!module && reason) *reason = systemMessage(error);
    return reinterpret_cast<void*>(module);
}

void* librarySymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void unloadLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

}  // namespace platform
