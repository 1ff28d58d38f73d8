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

bool listFolder(const std::string& utf8Path, std::vector<FolderEntry>& entries) {
    entries.clear();
    std::wstring pattern;
    if (!wideFromUtf8(utf8Path + "\\*", pattern)) return false;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        entries.push_back({utf8FromWide(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

bool makeFolder(const std::string& utf8Path) {
    std::wstring path;
    if (!wideFromUtf8(utf8Path, path) || path.empty()) return false;
    if (CreateDirectoryW(path.c_str(), nullptr)) return true;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

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

bool regularFileStamp(const std::string& utf8Path, FileStamp& stamp) {
    std::wstring path;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!wideFromUtf8(utf8Path, path) || path.empty() ||
        !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
        return false;
    const auto join = [](DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) | low; };
    stamp.size = join(data.nFileSizeHigh, data.nFileSizeLow);
    stamp.modified = static_cast<int64_t>(join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime));
    // Windows keeps no change time here; attributes stand in for it.
    stamp.changed = static_cast<int64_t>(data.dwFileAttributes);
    return true;
}

std::string pathFromHost(const char* text) {
    if (!text) return std::string();
    const std::string in(text);
    return isValidUtf8(in) ? in : utf8FromAnsi(in);
}

}  // namespace platform
