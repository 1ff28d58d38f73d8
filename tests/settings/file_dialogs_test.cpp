#include "settings/file_dialogs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/file_dialog.h"
#include "support/fake_file_dialog.h"

namespace settings {
namespace {

// The dialog opens in the folder of the buffer's path, with an empty name; whatever it reports,
// a name left in the buffer is a choice and an empty one is not.
TEST(FileDialogs, OpenInTheFolderOfTheBuffersPathAndChooseWhatTheBufferHoldsAfterwards) {
    testing_support::FakeFileDialog dialog;
    FileDialogRequest request;
    std::string filled(259, 'a');  // no terminator: read no further than the buffer's end
    filled[258] = '\\';
    const struct {
        bool save;
        std::string path, folder, answer;
        bool reported;
    } cases[] = {
        {false, "C:\\Banks\\names.txt", "C:\\Banks", "D:\\Chosen\\bank.krylvox", false},
        {true, "names.txt", "", "", true},  // no separator: the platform's default folder
        {false, "\\names.txt", "", "x", false},
        {true, "/home/me/keys/names.txt", "/home/me/keys", "", false},
        {false, "C:/Banks\\sub/names.txt", "C:/Banks\\sub", "", false},
        {true, filled + "a", std::string(258, 'a'), "", false},
    };
    for (const auto& c : cases) {
        std::memcpy(request.fileName, c.path.data(), std::min(c.path.size() + 1, sizeof request.fileName));
        dialog.answer = c.answer;
        dialog.reported = c.reported;
        EXPECT_EQ(c.save ? ShowSaveDialog(request) : ShowOpenDialog(request), !c.answer.empty()) << c.path;
        EXPECT_EQ(request.fileName, c.answer);
        const auto& shown = dialog.last();
        EXPECT_EQ(shown.kind, c.save ? platform::FileDialogKind::Save : platform::FileDialogKind::Open);
        EXPECT_EQ(shown.initialFolder, c.folder) << c.path;
        EXPECT_EQ(shown.nameOnEntry, "");
    }
}

}  // namespace
}  // namespace settings
