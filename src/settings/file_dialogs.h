// The open and save file dialogs as the editor and the importers use them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace settings {

inline constexpr size_t kFileNameBufferSize = 260;
// The path must exist (0x800) and so must the file (0x1000).
inline constexpr uint32_t kFileDialogFlags = 0x1800;

// Filters are pairs of a display name and a pattern list, each ended by a zero byte; the literal's
// own terminating zero is the extra zero byte that ends the filter.
inline constexpr char kTextFileExtension[] = "txt";
inline constexpr char kTextFileFilter[] = "Text files\0*.txt\0All files\0*.*\0";
inline constexpr char kOpenTextFileTitle[] = "Open Text File";
inline constexpr char kSaveTextFileTitle[] = "Save Text File";

inline constexpr char kArticulationFileExtension[] = "krylvox";
inline constexpr char kArticulationFileFilter[] =
    "JSON instrument files\0*.krylvox;*.txt\0Text files\0*.txt\0All files\0*.*\0";
// A whole bank also comes from other programs' articulation maps.
inline constexpr char kBankFileFilter[] =
    "Banks and articulation maps\0*.krylvox;*.txt;*.reabank;*.expressionmap;*.plist;*.doricolib\0"
    "JSON instrument files\0*.krylvox;*.txt\0"
    "Articulation maps (REAPER, Cubase, Logic, Dorico)\0*.reabank;*.expressionmap;*.plist;*.doricolib\0"
    "All files\0*.*\0";
inline constexpr char kImportArticulationsTitle[] = "Importing articulations from file";
inline constexpr char kExportArticulationsTitle[] = "Exporting articulations to file";
inline constexpr char kImportArticulationTitle[] = "Importing articulation from file";
inline constexpr char kExportArticulationTitle[] = "Exporting articulation to file";

inline constexpr char kKontaktInstrumentExtension[] = "nki";
inline constexpr char kKontaktInstrumentFilter[] = "Spitfire Kontakt Instrument\0*.nki\0All files\0*.*\0";
inline constexpr char kImportKontaktInstrumentTitle[] = "Importing articulations from A Spitfire NKI";

struct FileDialogRequest {
    const char* defaultExtension = nullptr;
    // In: a path whose folder the dialog opens in (or empty); out: the chosen path, or empty.
    char fileName[kFileNameBufferSize] = {};
    const char* filter = nullptr;
    uint32_t filterIndex = 0;
    uint32_t flags = kFileDialogFlags;
    void* owner = nullptr;
    const char* title = nullptr;

    // Copies at most 259 bytes of `path` into the buffer.
    void setFileName(const char* path);
};

// [ui] Modal. True when a file was chosen; its path is then in the request's buffer.
bool ShowOpenDialog(FileDialogRequest& request);
bool ShowSaveDialog(FileDialogRequest& request);

}  // namespace settings
