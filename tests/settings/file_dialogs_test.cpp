#include "settings/file_dialogs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/file_dialog.h"
#include "support/fake_file_dialog.h"

namespace settings {
namespace {

using testing_support::FakeFileDialog;

TEST(FileDialogs, TheDialogOpensInTheFolderOfTheBuffersPathWithAnEmptyName) {
    FakeFileDialog dialog;
    dialog.answer = "D:\\Chosen\\bank.krylvox";
    FileDialogRequest request;
    request.filter = kArticulationFileFilter;
    request.title = kImportArticulationsTitle;
    request.setFileName("C:\\Banks\\names.txt");
    ASSERT_TRUE(ShowOpenDialog(request));
    EXPECT_STREQ(request.fileName, "D:\\Chosen\\bank.krylvox");
    EXPECT_EQ(dialog.last().kind, platform::FileDialogKind::Open);
    EXPECT_EQ(dialog.last().initialFolder, "C:\\Banks");
    EXPECT_EQ(dialog.last().nameOnEntry, "");
    EXPECT_EQ(dialog.last().params.fileNameSize, 260u);
    EXPECT_EQ(dialog.last().params.flags, 0x1800u);
    EXPECT_EQ(dialog.last().params.filter, kArticulationFileFilter);
    EXPECT_EQ(dialog.last().params.title, kImportArticulationsTitle);

    const struct {
        const char* path;
        const char* folder;
    } cases[] = {
        {"names.txt", ""},  // no separator: the platform's default folder
        {"\\names.txt", ""},
        {"/home/me/keys/names.txt", "/home/me/keys"},
        {"C:/Banks\\sub/names.txt", "C:/Banks\\sub"},
    };
    for (const auto& c : cases) {
        request.setFileName(c.path);
        ShowSaveDialog(request);
        EXPECT_EQ(dialog.last().kind, platform::FileDialogKind::Save);
        EXPECT_EQ(dialog.last().initialFolder, c.folder) << c.path;
    }
    // A buffer filled to its last byte, with no terminator, is read no further than its end.
    std::memset(request.fileName, 'a', sizeof request.fileName);
    request.fileName[258] = '\\';
    ShowOpenDialog(request);
    EXPECT_EQ(dialog.last().initialFolder, std::string(258, 'a'));
}

TEST(FileDialogs, AFileIsChosenExactlyWhenTheBufferHoldsANameAfterwards) {
    FakeFileDialog dialog;
    FileDialogRequest request;
    request.setFileName("C:\\Banks\\names.txt");
    EXPECT_FALSE(ShowOpenDialog(request));  // reported a choice but left no name
    EXPECT_STREQ(request.fileName, "");
    dialog.reported = false;
    dialog.answer = "C:\\keys.txt";
    EXPECT_TRUE(ShowSaveDialog(request));  // reported a cancel but left a name
}

#ifndef _WIN32
TEST(FileDialogs, WithoutADesktopEveryDialogIsCancelled) {
    FileDialogRequest request;
    request.setFileName("/home/me/names.txt");
    EXPECT_FALSE(ShowOpenDialog(request));
    EXPECT_STREQ(request.fileName, "");
}
#endif

}  // namespace
}  // namespace settings
