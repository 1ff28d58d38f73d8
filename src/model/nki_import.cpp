#include "model/nki_import.h"

#include <cstdio>

#include "platform/dynamic_library.h"
#include "platform/files.h"
#include "platform/program_folder.h"

namespace model {

std::string nkiImporterPath(const std::string& programFolder) {
    return platform::joinProgramPath(programFolder,
                                     "Plugins\\Fruity\\Generators\\KRYL Voxtrane\\KRYL Voxtrane NKI Importer_x64") +
           platform::kSharedLibrarySuffix;
}

bool nkiImporterPresent(const std::string& programFolder) {
    std::FILE* file = platform::openFile(nkiImporterPath(programFolder), "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}

std::string takeNkiResult(Articulations& a, int32_t& articbanks, const NkiImportResult& result, int startSlot) {
    if (result.count < 1) return kNkiNotRecognised;
    for (int k = 0; k < result.count && k < kNkiResultEntries; ++k) {
        const int slot = startSlot + k;
        if (slot < 0 || slot >= kArticulationCount) break;
        a.icon[slot] = result.icon[k];
        a.note[slot] = result.note[k];
        a.notevel[slot] = result.notevel[k];
        a.prog[slot] = result.prog[k];
        a.modw[slot] = result.modw[k];
        a.modc[slot] = result.modc[k];
        a.name[slot] = result.names[k] ? result.names[k] : "";
        if (slot >= kBankSize) articbanks = 1;
    }
    char message[64];
    std::snprintf(message, sizeof message, "Imported %i articulations", static_cast<int>(result.count));
    return message;
}

std::string importNki(Articulations& articulations, int32_t& articbanks, const std::string& programFolder, const char* nkiPath,
                      bool ctrlHeld, int startSlot) {
    const platform::DynamicLibrary library(nkiImporterPath(programFolder));
    const auto getArticulations = reinterpret_cast<GetArticulationsFn>(library.symbol(kGetArticulationsExport));
    if (!getArticulations) return kNkiCouldNotLoad;
    const NkiImportResult* result = getArticulations(nkiPath ? nkiPath : "", ctrlHeld ? 1 : 0);
    // A library that answers nothing has not read the file either.
    if (!result) return kNkiNotRecognised;
    return takeNkiResult(articulations, articbanks, *result, startSlot);
}

}  // namespace model
