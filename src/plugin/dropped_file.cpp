#include "plugin/dropped_file.h"

#include "maps/map_import.h"

#include <cstring>
#include <strings.h>

DroppedFile classifyDroppedFile(const char* path) {
    DroppedFile out;
    if (!path) return out;
    const char* name = path;
    for (const char* p = path; *p; ++p) {
#ifdef _WIN32
        if (*p == '\\') name = p + 1;
#else
        if (*p == '\\' || *p == '/') name = p + 1;
#endif
    }
    const char* dot = std::strrchr(name, '.');
    if (!dot) return out;
    out.displayName.assign(name, dot);
    out.extension = dot + 1;
    if (strcasecmp(dot + 1, "nki") == 0) out.kind = DroppedFileKind::kKontaktInstrument;
    else if (strcasecmp(dot + 1, "krylvox") == 0 || strcasecmp(dot + 1, "txt") == 0)
        out.kind = DroppedFileKind::kArticulationFile;
    else if (maps::formatOfPath(name) != maps::MapFormat::kUnknown)
        out.kind = DroppedFileKind::kMapFile;
    return out;
}
