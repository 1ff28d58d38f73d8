// A file dialog for tests, installed for the life of the object: it records what each dialog
// was shown with and answers with a chosen path (an empty answer is a cancel).
#pragma once

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_dialog.h"

namespace testing_support {

class FakeFileDialog final : public platform::FileDialog {
public:
    struct Shown {
        platform::FileDialogKind kind;
        platform::FileDialogParams params;  // text pointers valid only during the show
        std::string title, extension, nameOnEntry, initialFolder;
        const char* filter;
    };

    FakeFileDialog() { platform::setFileDialog(this); }
    ~FakeFileDialog() override { platform::setFileDialog(nullptr); }

    bool show(platform::FileDialogKind kind, const platform::FileDialogParams& p) override {
        shown.push_back({kind, p, p.title ? p.title : "", p.defaultExtension ? p.defaultExtension : "",
                         p.fileName ? p.fileName : "", p.initialFolder ? p.initialFolder : "", p.filter});
        if (answer.size() >= p.fileNameSize) return false;
        std::memcpy(p.fileName, answer.c_str(), answer.size() + 1);
        return reported ? *reported : !answer.empty();
    }

    const Shown& last() const { return shown.back(); }

    std::string answer;
    std::optional<bool> reported;  // what the dialog claims, when not simply "a name was chosen"
    std::vector<Shown> shown;
};

}  // namespace testing_support
