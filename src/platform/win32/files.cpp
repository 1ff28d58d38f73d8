#include <windows.h>

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

namespace {

bool failed(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: errno = ENOENT; break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: errno = EACCES; break;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: errno = EEXIST; break;
    default: errno = EIO; break;
    }
    return false;
}

}  // namespace

bool replaceFile(const std::string& from, const std::string& to) {
    std::wstring wideFrom, wideTo;
    if (!wideFromUtf8(from, wideFrom) || !wideFromUtf8(to, wideTo)) return failed(ERROR_INVALID_NAME);
    return MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING) ? true : failed(GetLastError());
}

bool removeFile(const std::string& utf8Path) {
    std::wstring path;
    if (!wideFromUtf8(utf8Path, path)) return failed(ERROR_INVALID_NAME);
    return DeleteFileW(path.c_str()) ? true : failed(GetLastError());
}

std::string pathFromHost(const char* text) {
    if (!text) return std::string();
    const std::string in(text);
    return isValidUtf8(in) ? in : utf8FromAnsi(in);
}

}  // namespace platform
