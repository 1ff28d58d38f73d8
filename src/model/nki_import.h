// The bridge to the Kontakt instrument importer: a separate library beside the plugin that reads
// Spitfire Audio ".nki" files and hands back a table of articulations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/records.h"

namespace model {

inline constexpr int kNkiResultEntries = 128;

// The importer's answer, owned by the library and valid until it is unloaded. This layout is the
// library's binary interface (64-bit, little-endian), so it must not change.
struct NkiImportResult {
    int32_t count;  // below 1: the file was not recognised
    int32_t padding;
    const char* names[kNkiResultEntries];  // zero-terminated UTF-8
    int32_t icon[kNkiResultEntries];
    int32_t note[kNkiResultEntries];
    int32_t notevel[kNkiResultEntries];
    int32_t prog[kNkiResultEntries];
    int32_t modw[kNkiResultEntries];
    int32_t modc[kNkiResultEntries];
};

static_assert(sizeof(void*) == 8, "the importer's record is laid out for 64-bit builds");
static_assert(sizeof(NkiImportResult) == 4104);
static_assert(offsetof(NkiImportResult, count) == 0);
static_assert(offsetof(NkiImportResult, names) == 8);
static_assert(offsetof(NkiImportResult, icon) == 1032);
static_assert(offsetof(NkiImportResult, note) == 1544);
static_assert(offsetof(NkiImportResult, notevel) == 2056);
static_assert(offsetof(NkiImportResult, prog) == 2568);
static_assert(offsetof(NkiImportResult, modw) == 3080);
static_assert(offsetof(NkiImportResult, modc) == 3592);

// The library's one export: the instrument's full path and 1 when Ctrl was held, else 0.
using GetArticulationsFn = const NkiImportResult* (*)(const char* path, int32_t ctrlHeld);
inline constexpr char kGetArticulationsExport[] = "GetArticulations";

// The library under the program folder, with this platform's suffix.
std::string nkiImporterPath(const std::string& programFolder);

// Whether the library file is there: the NKI menu entries are offered only then. [ui]
bool nkiImporterPresent(const std::string& programFolder);

inline constexpr char kNkiCouldNotLoad[] = "Could not load NKI";
inline constexpr char kNkiNotRecognised[] =
    "NKI was not a valid Kontakt patch, or was not a Spitfire Audio instrument";

// Copies the result into the bank from `startSlot`: entry k goes to startSlot + k while k is
// below the count and the slot below 64; filling any slot past the first bank turns on
// `articbanks`. Returns the message for the user. [ui]
std::string takeNkiResult(Articulations& articulations, int32_t& articbanks, const NkiImportResult& result,
                          int startSlot);

// Loads the importer, has it read `nkiPath`, takes its answer and unloads it again. Returns the
// message for the user; "Could not load NKI" when the library or its export is missing. [ui]
std::string importNki(Articulations& articulations, int32_t& articbanks, const std::string& programFolder, const char* nkiPath,
                      bool ctrlHeld, int startSlot);

}  // namespace model
