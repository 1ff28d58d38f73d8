#include <windows.h>

#include "platform/program_folder.h"
#include "platform/win32/wide.h"

namespace platform {

std::string moduleFileName(void* module) {
    std::wstring buffer(MAX_PATH, L'\0');
    // Long paths: a cut name fills the buffer; grow until it fits.
    for (;;) {
        const DWORD n = GetModuleFileNameW(static_cast<HMODULE>(module), &buffer[0], static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::string();
        if (n < buffer.size()) return utf8FromWide(buffer.data(), n);
        if (buffer.size() >= 32768) return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

std::string executablePath() { return moduleFileName(nullptr); }

}  // namespace platform
