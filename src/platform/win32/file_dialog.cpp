#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "platform/file_dialog.h"
#include "platform/win32/wide.h"

namespace platform {

namespace {

// A filter is pairs of zero-terminated texts ended by one more zero; each text is converted.
std::wstring wideFilter(const char* filter) {
    std::wstring out;
    if (!filter) return out;
    for (const char* p = filter; *p; p += std::strlen(p) + 1) {
        out += wideFromUtf8(p);
        out += L'\0';
    }
    out += L'\0';
    return out;
}

std::wstring wideText(const char* text) { return text ? wideFromUtf8(text) : std::wstring(); }

class CommonDialog final : public FileDialog {
public:
    bool show(FileDialogKind kind, const FileDialogParams& params) override {
        const std::wstring filter = wideFilter(params.filter);
        const std::wstring folder = wideText(params.initialFolder);
        const std::wstring title = wideText(params.title);
        const std::wstring extension = wideText(params.defaultExtension);
        // The dialog takes as many characters as the caller's buffer takes bytes.
        std::wstring name = params.fileName ? wideFromUtf8(params.fileName) : std::wstring();
        name.resize(params.fileNameSize > MAX_PATH ? params.fileNameSize : MAX_PATH, L'\0');

        OPENFILENAMEW ofn = {};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = static_cast<HWND>(params.owner);
        ofn.lpstrFilter = params.filter ? filter.c_str() : nullptr;
        ofn.nFilterIndex = params.filterIndex;
        ofn.lpstrFile = &name[0];
        ofn.nMaxFile = static_cast<DWORD>(name.size());
        ofn.lpstrInitialDir = params.initialFolder ? folder.c_str() : nullptr;
        ofn.lpstrTitle = params.title ? title.c_str() : nullptr;
        ofn.Flags = params.flags;
        ofn.lpstrDefExt = params.defaultExtension ? extension.c_str() : nullptr;
        const bool chosen = (kind == FileDialogKind::Open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn)) != FALSE;
        if (!params.fileName || params.fileNameSize == 0) return chosen;

        // A path whose UTF-8 does not fit the caller's buffer cannot be carried: no choice.
        const std::string chosenPath = chosen ? utf8FromWide(name.c_str(), wcslen(name.c_str())) : std::string();
        const bool fits = chosenPath.size() < params.fileNameSize;
        if (fits) std::memcpy(params.fileName, chosenPath.c_str(), chosenPath.size() + 1);
        else params.fileName[0] = '\0';
        return chosen && fits;
    }
};

}  // namespace

FileDialog& platformFileDialog() {
    static CommonDialog dialog;
    return dialog;
}

}  // namespace platform
