// The per-articulation commands of the articulation context menu and the clipboard they share.
#pragma once

#include "model/records.h"

namespace model {

// One slot shared by every instance of the process. `full` is set by the first copy and never
// cleared, so Paste stays available once anything has been copied.
struct ArticulationClipboard {
    Articulation slot;
    bool full = false;
};

enum ArticulationCommandId {
    kCmdMenu = 0,
    kCmdClear = 1,
    kCmdInsert = 2,
    kCmdDelete = 3,
    kCmdSeparator = 4,
    kCmdCut = 5,
    kCmdCopy = 6,
    kCmdPaste = 7,
    kCmdExport = 8,
    kCmdImport = 9,
};

struct CommandResult {
    // The stored records changed: the caller reports it to the host (request 48).
    bool stateChanged;
};

// Runs Clear, Insert, Delete, Cut, Copy or Paste on articulation `index`. The menu itself,
// Export and Import belong to the caller; they, the separator, unknown commands and an index
// outside 0..63 change nothing here. Paste, like Copy, reports no state change. [ui]
CommandResult runArticulationCommand(Articulations& articulations, int index, int command,
                                     ArticulationClipboard& clipboard);

// Deep copy of articulation `index` into the clipboard, key names included. [ui]
void CopyArticulation(const Articulations& articulations, int index, ArticulationClipboard& clipboard);

// Replaces articulation `index` with a fresh deep copy of the clipboard, so pasted slots never
// share a key-name list; does nothing until something has been copied. [ui]
void PasteArticulation(Articulations& articulations, int index, const ArticulationClipboard& clipboard);

// Whether the context menu of articulation `index` shows the entry for `command`. [ui]
bool articulationMenuShows(const Articulations& articulations, int index, int command,
                           const ArticulationClipboard& clipboard);

}  // namespace model
