#include <windows.h>
#include <commdlg.h>

#include "platform/file_dialog.h"

namespace platform {

namespace {

class CommonDialog final : public FileDialog {
public:
    bool show(FileDialogKind kind, const FileDialogParams& params) override {
        OPENFILENAMEA ofn = {};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = static_cast<HWND>(params.owner);
        ofn.lpstrFilter = params.filter;
        ofn.nFilterIndex = params.filterIndex;
        ofn.lpstrFile = params.fileName;
        ofn.nMaxFile = params.fileNameSize;
        ofn.lpstrInitialDir = params.initialFolder;
        ofn.lpstrTitle = params.title;
        ofn.Flags = params.flags;
        ofn.lpstrDefExt = params.defaultExtension;
        return (kind == FileDialogKind::Open ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn)) != FALSE;
    }
};

}  // namespace

FileDialog& platformFileDialog() {
    static CommonDialog dialog;
    return dialog;
}

}  // namespace platform
