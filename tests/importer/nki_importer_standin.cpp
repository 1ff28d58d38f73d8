// Stands in for the Kontakt instrument importer in tests: it reads no file, it answers from a
// table chosen by words in the file's name, so every answer the plugin must handle can be asked
// for end to end.
//   "unrecognised"  count 0
//   "negative"      count -3
//   "twenty"        20 articulations "Articulation 1" .. "Articulation 20"
//   "echo"          2 articulations named after the path it was given and "ctrl 0" / "ctrl 1"
//   "nothing"       no record at all (a null pointer)
//   anything else   3 articulations, the third without a name
#include <cstdint>
#include <cstring>
#include <string>

#include "model/nki_import.h"

#ifdef _WIN32
#define IMPORTER_EXPORT extern "C" __declspec(dllexport)
#else
#define IMPORTER_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

model::NkiImportResult gResult;  // the library keeps its answer until it is unloaded
std::string gNames[model::kNkiResultEntries];

void entry(int k, const char* name, int32_t icon, int32_t note, int32_t notevel, int32_t prog, int32_t modw,
           int32_t modc) {
    if (name) {
        gNames[k] = name;
        gResult.names[k] = gNames[k].c_str();
    } else {
        gResult.names[k] = nullptr;
    }
    gResult.icon[k] = icon;
    gResult.note[k] = note;
    gResult.notevel[k] = notevel;
    gResult.prog[k] = prog;
    gResult.modw[k] = modw;
    gResult.modc[k] = modc;
}

bool nameHas(const char* path, const char* word) {
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/') name = p + 1;
    return std::strstr(name, word) != nullptr;
}

}  // namespace

IMPORTER_EXPORT const model::NkiImportResult* GetArticulations(const char* path, int32_t ctrlHeld) {
    std::memset(&gResult, 0, sizeof gResult);
    if (!path) path = "";
    if (nameHas(path, "nothing")) return nullptr;
    if (nameHas(path, "unrecognised")) {
        gResult.count = 0;
    } else if (nameHas(path, "negative")) {
        gResult.count = -3;
    } else if (nameHas(path, "twenty")) {
        gResult.count = 20;
        for (int k = 0; k < 20; ++k) {
            const std::string name = "Articulation " + std::to_string(k + 1);
            entry(k, name.c_str(), k, 24 + k, 100, k, -1, -1);
        }
    } else if (nameHas(path, "echo")) {
        gResult.count = 2;
        entry(0, path, 1, -1, 127, -1, -1, -1);
        entry(1, ctrlHeld ? "ctrl 1" : "ctrl 0", 2, -1, 127, -1, -1, -1);
    } else {
        gResult.count = 3;
        entry(0, "Legato", 20, 24, 127, -1, -1, -1);
        entry(1, "Spiccato", 42, -1, 127, -1, 42, 32);
        entry(2, nullptr, 56, 26, 90, 5, 3, -2);
    }
    return &gResult;
}
