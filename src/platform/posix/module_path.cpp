#include <dlfcn.h>

#include "platform/program_folder.h"

namespace platform {

std::string modulePath() {
    Dl_info info{};
    // The address of this very function lies in the module we are part of.
    if (!dladdr(reinterpret_cast<void*>(&modulePath), &info) || !info.dli_fname) return std::string();
    return info.dli_fname;
}

}  // namespace platform
