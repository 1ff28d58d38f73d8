#include "platform/file_dialog.h"

namespace platform {

namespace {

// No desktop dialog here: every request is cancelled, which callers already handle.
class CancellingDialog final : public FileDialog {
public:
    bool show(FileDialogKind, const FileDialogParams&) override { return false; }
};

}  // namespace

FileDialog& platformFileDialog() {
    static CancellingDialog dialog;
    return dialog;
}

}  // namespace platform
