#include "platform/file_dialog.h"

namespace platform {

namespace {

FileDialog* gInstalled = nullptr;

}  // namespace

FileDialog& fileDialog() { return gInstalled ? *gInstalled : platformFileDialog(); }
void setFileDialog(FileDialog* dialog) { gInstalled = dialog; }

}  // namespace platform
