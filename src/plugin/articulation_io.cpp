// The instance's side of articulation files, UACC conversions and Kontakt instrument import:
// dialogs, messages to the user and the state-changed report around the model's work.
#include <cstdio>
#include <string>

#include "maps/map_import.h"
#include "model/articulation_commands.h"
#include "model/articulation_file.h"
#include "model/defaults.h"
#include "model/nki_import.h"
#include "platform/keyboard.h"
#include "platform/menu.h"
#include "plugin/process_wide.h"
#include "plugin/instance_core.h"
#include "settings/file_dialogs.h"

namespace {

inline constexpr intptr_t kMessageError = 16;
inline constexpr intptr_t kMessageNote = 0;

inline constexpr char kExportFailed[] = "Could not export articulation file. Please try again.";
inline constexpr char kImportNotJson[] =
    "Could not import articulation file. Please check it's a valid JSON-formatted articulation.";

bool validIndex(int index) { return index >= 0 && index < model::kArticulationCount; }

// Lines of what a map left out shown before "and N more": a message box stays readable.
constexpr size_t kLeftOutLines = 8;

// An articulation-file dialog; false when it was cancelled.
bool chooseArticulationFile(bool save, const char* title, intptr_t owner, std::string& path,
                            const char* filter = settings::kArticulationFileFilter) {
    settings::FileDialogRequest request;
    request.owner = reinterpret_cast<void*>(owner);
    request.defaultExtension = settings::kArticulationFileExtension;
    request.filter = filter;
    request.title = title;
    const bool chosen = save ? settings::ShowSaveDialog(request) : settings::ShowOpenDialog(request);
    if (chosen) path = request.fileName;
    return chosen;
}

}  // namespace

void InstanceCore::ArticulationCommand(int index, int command) {
    if (!validIndex(index)) return;
    model::Articulations& a = records_.articulations;
    switch (command) {
    case model::kCmdExport:
        if (!model::isArticulationEmptyForMenu(a, index)) ExportArticulation(index);
        else repaintEditor();
        return;
    case model::kCmdImport:
        ImportArticulation(index);
        return;
    default:
        if (model::runArticulationCommand(a, index, command, processWide().articulationClipboard).stateChanged)
            stateChanged();
        else
            repaintEditor();
    }
}

void InstanceCore::ExportArticulation(int index) {
    std::string path;
    if (!validIndex(index) || !chooseArticulationFile(true, settings::kExportArticulationTitle, editorWindow(), path)) {
        repaintEditor();
        return;
    }
    if (model::writeArticulationFile(path, records_.articulations, index, 1))
        showMessage("Articulation exported!", kMessageNote);
    else
        showMessage(kExportFailed, kMessageError);
    repaintEditor();
}

void InstanceCore::ExportBank() {
    const int count = model::usedArticulationCount(records_.articulations);
    std::string path;
    if (!chooseArticulationFile(true, settings::kExportArticulationsTitle, editorWindow(), path)) {
        repaintEditor();
        return;
    }
    if (model::writeArticulationFile(path, records_.articulations, 0, count)) {
        char message[64];
        std::snprintf(message, sizeof message, "%i articulations exported!", count);
        showMessage(message, kMessageNote);
    } else {
        showMessage(kExportFailed, kMessageError);
    }
    repaintEditor();
}

void InstanceCore::ImportArticulation(int index) {
    std::string path;
    if (!validIndex(index) || !chooseArticulationFile(false, settings::kImportArticulationTitle, editorWindow(), path)) {
        repaintEditor();
        return;
    }
    const model::ArticulationFileContents file = model::readArticulationFile(path, true);
    if (file.status == model::ArticulationFileStatus::kNotJson) showMessage(kImportNotJson, kMessageError);
    if (file.status != model::ArticulationFileStatus::kRead) {
        repaintEditor();
        return;
    }
    model::overlayArticulation(records_.articulations, index, file.elements.front());
    stateChanged();
}

void InstanceCore::ImportBank(bool append) {
    std::string path;
    if (!chooseArticulationFile(false, settings::kImportArticulationsTitle, editorWindow(), path,
                                settings::kBankFileFilter)) {
        repaintEditor();
        return;
    }
    if (maps::formatOfPath(path) != maps::MapFormat::kUnknown) {
        if (importMap(path, append)) stateChanged();
        else repaintEditor();
        return;
    }
    model::Articulations& a = records_.articulations;
    // A plain import replaces the bank even when the file is bad: it is left empty rather than
    // half replaced.
    const auto read = [&](model::Articulations& into, int start) {
        const model::ArticulationFileContents file = model::readArticulationFile(path, false);
        if (file.status == model::ArticulationFileStatus::kNotJson) showMessage(kImportNotJson, kMessageError);
        return file.status == model::ArticulationFileStatus::kRead ? model::overlayArticulations(into, file.elements, start)
                                                                    : 0;
    };
    const int taken = append ? read(a, model::usedArticulationCount(a))
                             : model::replaceArticulations(a, [&](model::Articulations& built) { return read(built, 0); });
    if (taken > 0 || !append) stateChanged();
    else repaintEditor();
}

void InstanceCore::ConvertUacc(model::UaccDirection direction) {
    const int changed = model::convertUacc(records_.articulations, direction);
    if (changed == 0) {
        repaintEditor();
        return;
    }
    char message[80];
    std::snprintf(message, sizeof message,
                  direction == model::UaccDirection::kKeyswitchToCc
                      ? "%i articulations converted from UACC KS to UACC CC"
                      : "%i articulations converted from UACC CC to UACC KS",
                  changed);
    showMessage(message, kMessageNote);
    stateChanged();
}

bool InstanceCore::nkiImporterPresent() const { return model::nkiImporterPresent(processWide().programFolder); }

std::string InstanceCore::runNkiImport(model::Articulations& into, const char* path, int startSlot) {
    return model::importNki(into, records_.options.articbanks, processWide().programFolder, path,
                            platform::ctrlKeyHeld(), startSlot);
}

std::string InstanceCore::replaceWithNki(const char* path) {
    return model::replaceArticulations(records_.articulations,
                                       [&](model::Articulations& built) { return runNkiImport(built, path, 0); });
}

void InstanceCore::ImportNki(bool append) {
    settings::FileDialogRequest request;
    request.owner = reinterpret_cast<void*>(editorWindow());
    request.defaultExtension = settings::kKontaktInstrumentExtension;
    request.filter = settings::kKontaktInstrumentFilter;
    request.title = settings::kImportKontaktInstrumentTitle;
    if (!settings::ShowOpenDialog(request)) {
        repaintEditor();
        return;
    }
    model::Articulations& a = records_.articulations;
    const std::string message =
        append ? runNkiImport(a, request.fileName, model::usedArticulationCount(a)) : replaceWithNki(request.fileName);
    showMessage(message.c_str(), kMessageError);
    stateChanged();
}

void InstanceCore::importDroppedArticulations(const char* path) {
    // Overlays from slot 0 with no reset first: what the file does not mention stays.
    const model::ArticulationFileContents file = model::readArticulationFile(path, false);
    if (file.status == model::ArticulationFileStatus::kNotJson) showMessage(kImportNotJson, kMessageError);
    if (file.status == model::ArticulationFileStatus::kRead)
        model::overlayArticulations(records_.articulations, file.elements, 0);
}

bool InstanceCore::importMap(const std::string& path, bool append, std::string* loadedName) {
    const maps::Import file = maps::importMapFile(path, processWide().iconNames);
    if (!file.error.empty()) {
        const std::string message = "Could not import " + maps::fileStem(path) + ": " + file.error + ".";
        showMessage(message.c_str(), kMessageError);
        return false;
    }
    size_t chosen = 0;
    if (file.banks.size() > 1) {
        const int id = platform::menu().choose(editorWindow(), maps::bankMenu(file.banks));
        if (id < 1 || static_cast<size_t>(id) > file.banks.size()) return false;
        chosen = static_cast<size_t>(id) - 1;
    }
    const maps::Bank& bank = file.banks[chosen];
    model::Articulations& a = records_.articulations;
    if (append) maps::placeBank(bank, a, model::usedArticulationCount(a));
    else model::replaceArticulations(a, [&](model::Articulations& built) {
        maps::storeBank(bank, built);
        return 0;
    });
    if (!bank.leftOut.empty()) showMessage(maps::leftOutMessage(bank, kLeftOutLines).c_str(), kMessageNote);
    if (loadedName) *loadedName = bank.name;
    return true;
}

void InstanceCore::importDroppedNki(const char* path) {
    // A dropped instrument replaces the whole bank, even when the import then fails.
    const std::string message = replaceWithNki(path);
    showMessage(message.c_str(), kMessageError);
}
