#include "model/key_names.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "model/utf8.h"
#include "platform/files.h"

namespace model {

namespace {

constexpr size_t kLineBuffer = 1024;  // a longer line is read as several
constexpr size_t kNameLength = 64;

bool validIndex(int index) { return index >= 0 && index < kArticulationCount; }

// One line as read, line break included: its first 64 bytes without the break.
void setLine(KeyNameList& list, int i, const char* line, size_t size) {
    size_t length = utf8Prefix(line, size, kNameLength);
    while (length > 0 && (line[length - 1] == '\r' || line[length - 1] == '\n')) --length;
    list.set(i, {line, length});
}

void clear(Articulations& a, int index) {
    a.keynamesmissing[index] = 0;
    a.keynames[index].reset();
    a.keynamespath[index].clear();
    a.keynamestitle[index].clear();
}

}  // namespace

std::string keyNamesTitle(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string title = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = title.find_last_of('.');
    if (dot != std::string::npos && dot != 0) title.erase(dot);
    return title;
}

bool LoadKeyNames(Articulations& a, int index, const char* path) {
    if (!validIndex(index)) return false;
    if (!path || !*path) {
        clear(a, index);
        return true;
    }
    // Path and title first: a file that has gone still shows which one the names came from.
    a.keynamesmissing[index] = 1;
    a.keynamespath[index] = path;
    a.keynamestitle[index] = keyNamesTitle(path);
    std::FILE* file = platform::openFile(path, "r");
    if (!file) return false;

    a.keynamesmissing[index] = 0;
    auto list = std::make_unique<KeyNameList>();
    char line[kLineBuffer];
    for (int i = 0; i < kKeyNameLines && std::fgets(line, sizeof line, file); ++i) setLine(*list, i, line, std::strlen(line));
    std::fclose(file);
    a.keynames[index] = std::move(list);
    return true;
}

bool ReadKeyNames(Articulations& a, int index, std::string_view text, const std::string& fileName) {
    if (!validIndex(index)) return false;
    auto list = std::make_unique<KeyNameList>();
    // Cut as fgets cuts a file into the buffer of LoadKeyNames, so both readings agree.
    for (int i = 0; i < kKeyNameLines && !text.empty(); ++i) {
        const size_t end = std::min(text.find('\n'), kLineBuffer - 2) + 1;
        const std::string_view line = text.substr(0, end);
        setLine(*list, i, line.data(), line.size());
        text.remove_prefix(line.size());
    }
    a.keynamesmissing[index] = 0;
    a.keynames[index] = std::move(list);
    a.keynamespath[index].clear();
    a.keynamestitle[index] = keyNamesTitle(fileName);
    return true;
}

void SaveKeyNames(const Articulations& a, int index, const char* path) {
    if (!validIndex(index) || !a.keynames[index] || !path || !*path) return;
    std::FILE* file = platform::openFile(path, "w");
    if (!file) return;
    const KeyNameList& list = *a.keynames[index];
    for (int key = 0; key < kKeyNameCount; ++key) {
        const std::string_view name = list[key];
        std::fwrite(name.data(), 1, name.size(), file);
        std::fputc('\n', file);
    }
    std::fclose(file);
}

const char* keyNameOf(const Articulations& a, int articulation, int key) {
    if (!validIndex(articulation) || !a.keynames[articulation]) return nullptr;
    const int entry = kHighestPianoKey - key;
    if (entry < 0 || entry >= kKeyNameCount) return nullptr;
    return a.keynames[articulation]->c_str(entry);
}

KeyNamesSource keyNamesSourceOf(const Articulations& a, int index) {
    if (!validIndex(index)) return {};
    return {a.keynames[index] != nullptr, a.keynamespath[index], a.keynamestitle[index]};
}

std::vector<KeyNamesMenuItem> keyNamesMenu(const KeyNamesSource& source) {
    std::vector<KeyNamesMenuItem> menu;
    menu.push_back({"Load key names from file", KeyNamesCommand::kLoad, false, false});
    if (!source.loaded) return menu;
    menu.push_back({"", KeyNamesCommand::kNone, true, false});
    menu.push_back({source.title.empty() ? "[Stored in FLP]" : source.title, KeyNamesCommand::kNone, false, true});
    menu.push_back({"Clear key names", KeyNamesCommand::kClear, false, false});
    if (!source.path.empty()) menu.push_back({"Reload key names", KeyNamesCommand::kReload, false, false});
    else menu.push_back({"Save key names to file", KeyNamesCommand::kSave, false, false});
    return menu;
}

KeyNamesCommand keyNamesBoxCommand(const KeyNamesSource& source, bool shift, bool ctrl) {
    if (shift && !source.path.empty()) return KeyNamesCommand::kReload;
    if (!ctrl) return KeyNamesCommand::kLoad;
    return source.loaded ? KeyNamesCommand::kSave : KeyNamesCommand::kNone;
}

KeyNamesStep keyNamesStep(const Articulations& a, int index, KeyNamesCommand command) {
    KeyNamesStep step;
    if (!validIndex(index)) return step;
    step.path = a.keynamespath[index];
    switch (command) {
    case KeyNamesCommand::kLoad: step.kind = KeyNamesStep::kAskOpen; break;
    case KeyNamesCommand::kClear: step.kind = KeyNamesStep::kClear; break;
    case KeyNamesCommand::kReload:
        if (!step.path.empty()) step.kind = KeyNamesStep::kLoad;
        break;
    case KeyNamesCommand::kSave: step.kind = KeyNamesStep::kAskSave; break;
    case KeyNamesCommand::kNone: break;
    }
    return step;
}

}  // namespace model
