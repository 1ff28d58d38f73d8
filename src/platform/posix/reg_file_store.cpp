// Settings in one file in the registry's export format, so the values keep their key names,
// value names and types, and a user can read and edit them as they would a registry export.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "platform/reg_text.h"
#include "platform/settings_store.h"

namespace platform {

namespace {

// Looked up at every call, so a changed environment takes effect at once.
std::string settingsPath() {
    const char* explicitPath = std::getenv("KRYL_VOXTRANE_SETTINGS");
    if (explicitPath && *explicitPath) return explicitPath;
    std::string folder;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') {  // a relative value is to be ignored
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* user = getpwuid(getuid());
            home = user ? user->pw_dir : nullptr;
        }
        if (!home || !*home) return std::string();
        folder = std::string(home) + "/.config";
    }
    return folder + "/KRYL Voxtrane/settings.reg";
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// False when the file is missing, not a regular file, unreadable or too large to be ours.
bool readFile(const std::string& path, std::string& out) {
    // Non-blocking, so a FIFO planted at the path cannot hang the host's UI thread.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    out.clear();
    char chunk[16384];
    while (ok) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        out.append(chunk, static_cast<size_t>(n));
        ok = out.size() <= kRegFileMaxBytes;
    }
    close(fd);
    return ok;
}

bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

void makeFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        mkdir(folder.substr(0, slash).c_str(), 0700);  // an existing folder is fine
        if (slash == std::string::npos) return;
    }
}

RegDocument load() {
    std::string text;
    const std::string path = settingsPath();
    return !path.empty() && readFile(path, text) ? RegDocument::parse(text) : RegDocument{};
}

// Applies `change` to the file's current content and replaces the file by renaming a complete
// new file over it, so a crash leaves either the old file or the new one, never half of one.
template <typename Change>
void update(Change change) {
    std::string path = settingsPath();
    if (path.empty()) return;
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        // Replace the file a link points at, not the link.
        if (char* target = realpath(path.c_str(), nullptr)) {
            path = target;
            std::free(target);
        }
    }
    const std::string folder = folderOf(path);
    makeFolders(folder);

    std::string text;
    RegDocument doc = readFile(path, text) ? RegDocument::parse(text) : RegDocument{};
    if (!change(doc)) return;
    text = doc.format();

    std::string temp = path + ".XXXXXX";
    const int fd = mkostemp(&temp[0], O_CLOEXEC);
    if (fd < 0) return;
    if (stat(path.c_str(), &st) == 0) fchmod(fd, st.st_mode & 07777);
    const bool written = writeAll(fd, text) && fsync(fd) == 0;
    if (close(fd) != 0 || !written || rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return;
    }
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);  // makes the rename itself durable
        close(dir);
    }
}

class RegFileStore final : public SettingsStore {
public:
    bool readString(const char* key, const char* name, std::string& out) override {
        return load().readString(key, name, out);
    }
    bool readDword(const char* key, const char* name, uint32_t& out) override {
        return load().readDword(key, name, out);
    }
    void writeString(const char* key, const char* name, const std::string& bytes) override {
        update([&](RegDocument& doc) { return doc.setString(key, name, bytes); });
    }
    void writeDword(const char* key, const char* name, uint32_t value) override {
        update([&](RegDocument& doc) {
            doc.setDword(key, name, value);
            return true;
        });
    }
};

}  // namespace

void removePlatformSetting(const char* key, const char* name) {
    update([&](RegDocument& doc) { return doc.remove(key, name); });
}

SettingsStore& platformSettingsStore() {
    static RegFileStore store;
    return store;
}

}  // namespace platform
