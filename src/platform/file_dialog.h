// The platform's open and save file dialogs. Hosts without a desktop, and tests, install their
// own answerer; elsewhere the platform's dialog is shown.
#pragma once

#include <cstdint>

namespace platform {

enum class FileDialogKind { Open, Save };

// What the dialog is shown with; every setting not named here is left at zero. Texts and paths
// are UTF-8.
struct FileDialogParams {
    void* owner = nullptr;  // the owner window's handle
    const char* filter = nullptr;
    uint32_t filterIndex = 0;
    char* fileName = nullptr;  // in: the name shown; out: the chosen path, left empty on cancel
    uint32_t fileNameSize = 0;
    const char* initialFolder = nullptr;
    const char* title = nullptr;
    uint32_t flags = 0;
    const char* defaultExtension = nullptr;
};

class FileDialog {
public:
    virtual ~FileDialog() = default;
    // [ui] modal; true when the dialog reported a choice.
    virtual bool show(FileDialogKind kind, const FileDialogParams& params) = 0;
};

// [ui] The process's dialog. nullptr restores the platform's.
FileDialog& fileDialog();
void setFileDialog(FileDialog* dialog);

// The platform's own: the common dialogs on Windows; elsewhere a headless stand-in that always
// answers "cancelled".
FileDialog& platformFileDialog();

}  // namespace platform
