#include "settings/file_dialogs.h"

#include <cstring>

#include "platform/file_dialog.h"

namespace settings {

namespace {

bool show(platform::FileDialogKind kind, FileDialogRequest& request) {
    // The dialog opens in the folder of the path the buffer held, and starts with no name.
    // A buffer filled to the last byte has no terminator; the scan stops at its end.
    char folder[kFileNameBufferSize] = {};
    size_t folderLength = 0;
    for (size_t i = 0; i < kFileNameBufferSize && request.fileName[i] != '\0'; ++i)
        if (request.fileName[i] == '/' || request.fileName[i] == '\\') folderLength = i;
    std::memcpy(folder, request.fileName, folderLength);
    request.fileName[0] = '\0';

    platform::FileDialogParams params;
    params.owner = request.owner;
    params.filter = request.filter;
    params.filterIndex = request.filterIndex;
    params.fileName = request.fileName;
    params.fileNameSize = kFileNameBufferSize;
    params.initialFolder = folder;
    params.title = request.title;
    params.flags = request.flags;
    params.defaultExtension = request.defaultExtension;
    platform::fileDialog().show(kind, params);
    // What the dialog reported does not matter: a name in the buffer is a choice.
    return request.fileName[0] != '\0';
}

}  // namespace

void FileDialogRequest::setFileName(const char* path) {
    std::strncpy(fileName, path ? path : "", kFileNameBufferSize - 1);
    fileName[kFileNameBufferSize - 1] = '\0';
}

bool ShowOpenDialog(FileDialogRequest& request) { return show(platform::FileDialogKind::Open, request); }
bool ShowSaveDialog(FileDialogRequest& request) { return show(platform::FileDialogKind::Save, request); }

}  // namespace settings
