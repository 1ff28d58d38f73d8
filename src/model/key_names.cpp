#include "model/key_names.h"

#include <cstdio>
#include <cstring>

#include "settings/file_dialogs.h"

namespace model {

namespace {

constexpr size_t kLineBuffer = 1024;  // a longer line is read as several
constexpr size_t kNameLength = 64;

bool validIndex(int index) { return index >= 0 && index < kArticulationCount; }

void clear(Articulations& a, int index) {
    a.keynamesmissing[index] = 0;
    a.keynames[index].reset();
    a.keynamespath[index].clear();
    a.keynamestitle[index].clear();
}

// The dialog request of both key-name dialogs, opening where the current file is.
settings::FileDialogRequest dialogRequest(const Articulations& a, int index, const char* title, void* owner) {
    settings::FileDialogRequest request;
    request.defaultExtension = settings::kTextFileExtension;
    request.filter = settings::kTextFileFilter;
    request.title = title;
    request.owner = owner;
    request.setFileName(a.keynamespath[index].c_str());
    return request;
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
    std::FILE* file = std::fopen(path, "r");
    if (!file) return false;

    a.keynamesmissing[index] = 0;
    auto list = std::make_unique<KeyNameList>();
    char line[kLineBuffer];
    for (int i = 0; i < kKeyNameLines && std::fgets(line, sizeof line, file); ++i) {
        size_t length = std::strlen(line);
        if (length > kNameLength) length = kNameLength;
        while (length > 0 && (line[length - 1] == '\r' || line[length - 1] == '\n')) --length;
        (*list)[i].assign(line, length);
    }
    std::fclose(file);
    a.keynames[index] = std::move(list);
    return true;
}

void SaveKeyNames(const Articulations& a, int index, const char* path) {
    if (!validIndex(index) || !a.keynames[index] || !path || !*path) return;
    std::FILE* file = std::fopen(path, "w");
    if (!file) return;
    for (const std::string& name : *a.keynames[index]) {
        std::fwrite(name.data(), 1, name.size(), file);
        std::fputc('\n', file);
    }
    std::fclose(file);
}

const std::string* keyNameOf(const Articulations& a, int articulation, int key) {
    if (!validIndex(articulation) || !a.keynames[articulation]) return nullptr;
    const int entry = kHighestPianoKey - key;
    if (entry < 0 || entry >= kKeyNameCount) return nullptr;
    return &(*a.keynames[articulation])[entry];
}

std::vector<KeyNamesMenuItem> keyNamesMenu(const Articulations& a, int index) {
    std::vector<KeyNamesMenuItem> menu;
    menu.push_back({"Load key names from file", KeyNamesCommand::kLoad, false, false});
    if (!validIndex(index) || !a.keynames[index]) return menu;
    menu.push_back({"", KeyNamesCommand::kNone, true, false});
    const std::string& title = a.keynamestitle[index];
    menu.push_back({title.empty() ? "[Stored in FLP]" : title, KeyNamesCommand::kNone, false, true});
    menu.push_back({"Clear key names", KeyNamesCommand::kClear, false, false});
    if (!a.keynamespath[index].empty()) menu.push_back({"Reload key names", KeyNamesCommand::kReload, false, false});
    else menu.push_back({"Save key names to file", KeyNamesCommand::kSave, false, false});
    return menu;
}

KeyNamesCommand keyNamesBoxCommand(const Articulations& a, int index, bool shift, bool ctrl) {
    if (!validIndex(index)) return KeyNamesCommand::kNone;
    if (shift && !a.keynamespath[index].empty()) return KeyNamesCommand::kReload;
    if (!ctrl) return KeyNamesCommand::kLoad;
    return a.keynames[index] ? KeyNamesCommand::kSave : KeyNamesCommand::kNone;
}

bool runKeyNamesCommand(Articulations& a, int index, KeyNamesCommand command, void* owner) {
    if (!validIndex(index)) return false;
    switch (command) {
    case KeyNamesCommand::kLoad: {
        settings::FileDialogRequest request = dialogRequest(a, index, settings::kOpenTextFileTitle, owner);
        return settings::ShowOpenDialog(request) && LoadKeyNames(a, index, request.fileName);
    }
    case KeyNamesCommand::kClear: return LoadKeyNames(a, index, nullptr);
    case KeyNamesCommand::kReload: {
        if (a.keynamespath[index].empty()) return false;
        const std::string path = a.keynamespath[index];
        return LoadKeyNames(a, index, path.c_str());
    }
    case KeyNamesCommand::kSave: {
        settings::FileDialogRequest request = dialogRequest(a, index, settings::kSaveTextFileTitle, owner);
        if (settings::ShowSaveDialog(request)) SaveKeyNames(a, index, request.fileName);
        return false;
    }
    case KeyNamesCommand::kNone: break;
    }
    return false;
}

}  // namespace model
