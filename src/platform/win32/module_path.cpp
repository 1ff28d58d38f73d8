#include <windows.h>

#include "platform/program_folder.h"

namespace platform {

std::string modulePath() {
    HMODULE module = nullptr;
    // The address of this very function lies in the module we are part of.
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&modulePath), &module))
        return std::string();
    char buffer[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameA(module, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

}  // namespace platform
