#include "model/articulation_commands.h"

#include "model/defaults.h"

namespace model {

namespace {

bool validIndex(int index) { return index >= 0 && index < kArticulationCount; }

void insertAt(Articulations& a, int index) {
    // Bottom up, so each slot is vacated before it is filled; the move into 63 releases the
    // key-name list that falls off the end.
    for (int i = kArticulationCount - 2; i >= index; --i) moveArticulation(a, i, i + 1);
    resetArticulation(a, index);
}

void deleteAt(Articulations& a, int index) {
    for (int i = index + 1; i < kArticulationCount; ++i) moveArticulation(a, i, i - 1);
    // Needed when nothing moved (index 63); otherwise the last move already reset it.
    resetArticulation(a, kArticulationCount - 1);
}

}  // namespace

void CopyArticulation(const Articulations& a, int index, ArticulationClipboard& clipboard) {
    if (!validIndex(index)) return;
    clipboard.slot = copyArticulation(a, index);
    clipboard.full = true;
}

void PasteArticulation(Articulations& a, int index, const ArticulationClipboard& clipboard) {
    if (!validIndex(index) || !clipboard.full) return;
    storeArticulation(a, index, clipboard.slot);
}

CommandResult runArticulationCommand(Articulations& a, int index, int command,
                                     ArticulationClipboard& clipboard) {
    if (!validIndex(index)) return {false};
    switch (command) {
        case kCmdClear:
            resetArticulation(a, index);
            return {true};
        case kCmdInsert:
            insertAt(a, index);
            return {true};
        case kCmdDelete:
            deleteAt(a, index);
            return {true};
        case kCmdCut:
            if (isArticulationEmptyForMenu(a, index)) return {false};
            CopyArticulation(a, index, clipboard);
            deleteAt(a, index);
            return {true};
        case kCmdCopy:
            if (isArticulationEmptyForMenu(a, index)) return {false};
            CopyArticulation(a, index, clipboard);
            return {false};
        case kCmdPaste:
            PasteArticulation(a, index, clipboard);
            return {false};
        default:
            return {false};
    }
}

bool articulationMenuShows(const Articulations& a, int index, int command,
                           const ArticulationClipboard& clipboard) {
    if (!validIndex(index)) return false;
    switch (command) {
        case kCmdClear:
        case kCmdInsert:
        case kCmdDelete:
        case kCmdImport:
            return true;
        case kCmdSeparator:
        case kCmdCut:
        case kCmdCopy:
        case kCmdExport:
            return !isArticulationEmptyForMenu(a, index);
        case kCmdPaste:
            return clipboard.full;
        default:
            return false;
    }
}

}  // namespace model
