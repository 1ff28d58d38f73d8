#include "platform/files.h"

#include <dirent.h>
#include <sys/stat.h>

namespace platform {

std::FILE* openFile(const std::string& utf8Path, const char* mode) { return std::fopen(utf8Path.c_str(), mode); }

bool replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool removeFile(const std::string& utf8Path) { return std::remove(utf8Path.c_str()) == 0; }

bool makeFolder(const std::string& utf8Path) {
    struct stat s {};
    return ::mkdir(utf8Path.c_str(), 0777) == 0 || (::stat(utf8Path.c_str(), &s) == 0 && S_ISDIR(s.st_mode));
}

bool listFolder(const std::string& utf8Path, std::vector<FolderEntry>& entries) {
    entries.clear();
    DIR* dir = ::opendir(utf8Path.c_str());
    if (!dir) return false;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat s {};
        const bool folder = ::stat((utf8Path + "/" + name).c_str(), &s) == 0 && S_ISDIR(s.st_mode);
        entries.push_back({name, folder});
    }
    ::closedir(dir);
    return true;
}

bool regularFileStamp(const std::string& utf8Path, FileStamp& stamp) {
    struct stat s {};
    if (::stat(utf8Path.c_str(), &s) != 0 || !S_ISREG(s.st_mode)) return false;
    constexpr int64_t kNanoseconds = 1000000000;
    stamp.size = static_cast<uint64_t>(s.st_size);
    stamp.modified = static_cast<int64_t>(s.st_mtim.tv_sec) * kNanoseconds + s.st_mtim.tv_nsec;
    stamp.changed = static_cast<int64_t>(s.st_ctim.tv_sec) * kNanoseconds + s.st_ctim.tv_nsec;
    return true;
}

std::string pathFromHost(const char* text) {
    if (!text) return std::string();
    std::string in(text);
    if (isValidUtf8(in)) return in;
    // No code page to ask here: the bytes are read as Latin-1, which every byte is.
    std::string out;
    out.reserve(in.size() * 2);
    for (const char ch : in) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace platform
