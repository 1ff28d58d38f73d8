#include <cerrno>
#include <cstdio>

#include "platform/files.h"
#include "platform/win32/wide.h"

namespace platform {

std::FILE* openFile(const std::string& utf8Path, const char* mode) {
    std::wstring path;
    if (!wideFromUtf8(utf8Path, path) || path.empty() || !mode) {
        errno = ENOENT;
        return nullptr;
    }
    std::wstring wideMode;
    for (const char* m = mode; *m; ++m) wideMode += static_cast<wchar_t>(static_cast<unsigned char>(*m));
    return _wfopen(path.c_str(), wideMode.c_str());
}

std::string pathFromHost(const char* text) {
    if (!text) return std::string();
    const std::string in(text);
    return isValidUtf8(in) ? in : utf8FromAnsi(in);
}

}  // namespace platform
