#include <windows.h>

#include "platform/program_folder.h"
#include "platform/win32/wide.h"

namespace platform {

std::string modulePath() {
    HMODULE module = nullptr;
    // The address of this very function lies in the module we are part of.
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&modulePath), &module))
        return std::string();
    return moduleFileName(reinterpret_cast<void*>(module));
}

}  // namespace platform
