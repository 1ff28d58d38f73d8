// Opening files by name, and the one rule for the encoding of paths.
//
// Inside the program every path is UTF-8: paths in the state, in articulation and key-name
// files, from the file dialogs, the module and executable paths, the tools' command lines. A
// path is converted once, at the system call, and only in this layer: on Windows to UTF-16 for
// the wide APIs (_wfopen, LoadLibraryExW, GetModuleFileNameW, GetOpenFileNameW, ...), so a
// folder named in any script works whatever the user's ANSI code page; on POSIX it is passed on
// as it is. Text whose encoding we do not choose (what FL Studio hands over in a dropped-file
// message, paths stored by older projects) enters through pathFromHost.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

// [any] std::fopen for a UTF-8 path; null on failure, as fopen. On Windows a path that is not
// valid UTF-8 names no file.
std::FILE* openFile(const std::string& utf8Path, const char* mode);

// [any] Puts the file `from` in the place of `to` in one step, replacing a file there (not a
// folder). False with errno set on failure.
bool replaceFile(const std::string& from, const std::string& to);
// [any] Deletes a file; false with errno set on failure.
bool removeFile(const std::string& utf8Path);

// [any] Makes a folder; true when it exists afterwards (made now or before).
bool makeFolder(const std::string& utf8Path);

// [any] The names in a folder (not "." or ".."), each with whether it is a folder; false when
// the folder cannot be read.
struct FolderEntry {
    std::string name;  // UTF-8
    bool folder = false;
};
bool listFolder(const std::string& utf8Path, std::vector<FolderEntry>& entries);

// What a file looks like from outside: equal stamps mean, for a cache, the same contents.
struct FileStamp {
    uint64_t size = 0;
    int64_t modified = 0;  // last write, in the platform's finest unit
    int64_t changed = 0;   // last change of contents or attributes, where the platform keeps one
    bool operator==(const FileStamp& o) const { return size == o.size && modified == o.modified && changed == o.changed; }
};
// [any] The stamp of a regular file; false for a folder, a missing file or one that cannot be
// asked.
bool regularFileStamp(const std::string& utf8Path, FileStamp& stamp);

// [any] A path as the host handed it over, in UTF-8: valid UTF-8 is taken as it is; anything
// else is read in the ANSI code page (Latin-1 on POSIX). Null gives "".
std::string pathFromHost(const char* text);

// Whether `text` is well-formed UTF-8 (no overlong forms, surrogates or values above U+10FFFF).
bool isValidUtf8(const std::string& text);

}  // namespace platform
