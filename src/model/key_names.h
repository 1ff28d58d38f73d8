// Names for the piano roll's keys, per articulation, from plain text files: line i names key
// 131 - i. The names are also kept in the state, so a project keeps them when the file is gone.
// Every function that can change names says so, and the caller tells the host (request 3). [ui]
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/records.h"

namespace model {

inline constexpr int kHighestPianoKey = 131;  // the piano roll's keys run 0..131
inline constexpr int kKeyNameLines = kHighestPianoKey + 1;

// The file name without folder and last extension; a leading dot is not an extension.
std::string keyNamesTitle(const std::string& path);

// Loads the names of articulation `index` from `path`, or clears them when `path` is null or
// empty. A file that cannot be opened keeps the old names and marks them missing. True when
// the names changed.
bool LoadKeyNames(Articulations& articulations, int index, const char* path);

// The names of articulation `index` from the text of a file that is not on this machine (sent
// by the web page), read line by line as LoadKeyNames reads a file. The names have no path, as
// names kept only in a state; the title comes from `fileName`. True when the index is valid.
bool ReadKeyNames(Articulations& articulations, int index, std::string_view text, const std::string& fileName);

// Writes all 148 names, one a line. Nothing happens without names or when the file cannot be
// created; the path and title stay as they are.
void SaveKeyNames(const Articulations& articulations, int index, const char* path);

// The name of piano-roll key `key` for articulation `articulation`, as the host may be handed
// it; null when the articulation has no names or the key no entry.
const char* keyNameOf(const Articulations& articulations, int articulation, int key);

// The key-names menu of the articulation panel and the key-names box's shortcuts.
enum class KeyNamesCommand { kNone, kLoad, kClear, kReload, kSave };

struct KeyNamesMenuItem {
    std::string text;
    KeyNamesCommand command = KeyNamesCommand::kNone;
    bool separator = false;
    bool disabled = false;
};

// Where an articulation's key names come from, as its menu and box read it.
struct KeyNamesSource {
    bool loaded = false;  // it names keys
    std::string path;     // the file, empty for names kept only in a state
    std::string title;
};
KeyNamesSource keyNamesSourceOf(const Articulations& articulations, int index);  // empty outside 0..63

std::vector<KeyNamesMenuItem> keyNamesMenu(const KeyNamesSource& source);

// Click on the key-names box: Shift reloads (when there is a path), Ctrl saves (when there are
// names), anything else loads.
KeyNamesCommand keyNamesBoxCommand(const KeyNamesSource& source, bool shift, bool ctrl);

// What a menu or box command needs done; the caller asks the user and touches the files.
struct KeyNamesStep {
    enum Kind {
        kNothing,
        kAskOpen,  // ask for a text file to load, starting at `path`
        kAskSave,  // ask where to save the names, starting at `path`
        kLoad,     // load `path` again
        kClear,
    } kind = kNothing;
    std::string path;
};
KeyNamesStep keyNamesStep(const Articulations& articulations, int index, KeyNamesCommand command);

}  // namespace model
