// What a file dropped on the plugin is, judged by its name alone.
#pragma once

#include <string>

enum class DroppedFileKind { kIgnored, kKontaktInstrument, kArticulationFile, kMapFile };

struct DroppedFile {
    DroppedFileKind kind = DroppedFileKind::kIgnored;
    std::string displayName;  // file name without folder, full stop and extension
    std::string extension;
};

// The file name follows the last backslash (or, on POSIX, the last slash too); the extension
// follows the file name's last full stop. Null paths and names without a full stop are ignored.
DroppedFile classifyDroppedFile(const char* path);
