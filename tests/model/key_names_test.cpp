// Piano-key name files: reading, writing, titles and lookups.
#include "model/key_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/defaults.h"
#include "platform/file_dialog.h"
#include "support/fake_file_dialog.h"
#include "support/plugin_fixture.h"
#include "support/temp_folder.h"

namespace model {
namespace {

using testing_support::TempFolder;

std::string lines(int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += "key " + std::to_string(i) + "\n";
    return out;
}

class KeyNamesTest : public ::testing::Test {
protected:
    KeyNamesTest() { resetRecords(records, 1, true); }

    InstanceRecords records;
    Articulations& a = records.articulations;
    TempFolder folder;
};

TEST_F(KeyNamesTest, LinesNameKeysFromTheHighestDownAndStopAfter132) {
    std::string text = lines(140);
    text.replace(0, 5, std::string(100, 'x'));    // line 0: 100 characters
    text.insert(text.find("key 5\n") + 5, "\r");  // line 5 ends in CR LF
    text.replace(text.find("key 7\n"), 5, "");    // line 7 is empty
    text.replace(text.find("key 9\n"), 5, std::string(1500, 'y'));  // longer than the read buffer: two lines
    ASSERT_TRUE(LoadKeyNames(a, 3, folder.write("strings.legato.txt", text).c_str()));

    const KeyNameList& list = *a.keynames[3];
    EXPECT_EQ(list[0], std::string(64, 'x'));
    const std::string y(64, 'y');  // line 10 is the 477 bytes after the first 1023
    EXPECT_EQ(std::vector<std::string>(&list[5], &list[12]),
              (std::vector<std::string>{"key 5", "key 6", "", "key 8", y, y, "key 10"}));
    EXPECT_EQ(list[131], "key 130");
    EXPECT_EQ(std::count(list.begin() + 132, list.end(), ""), kKeyNameCount - 132);  // the lines after 132 are ignored
    EXPECT_EQ(*keyNameOf(a, 3, 0), "key 130");  // the highest key is the first line
    EXPECT_EQ(keyNameOf(a, 3, 132), nullptr);
    EXPECT_EQ(keyNameOf(a, 4, 60), nullptr);  // no list, no names
    EXPECT_EQ(a.keynamestitle[3], "strings.legato");
}

TEST_F(KeyNamesTest, SavedNamesLoadBackTheSameWith148Lines) {
    ASSERT_TRUE(LoadKeyNames(a, 0, folder.write("in.txt", lines(132)).c_str()));
    (*a.keynames[0])[10] = "";
    SaveKeyNames(a, 0, folder.file("out.txt").c_str());
    EXPECT_EQ(a.keynamespath[0], folder.file("in.txt"));  // saving keeps the source
    const std::string written = folder.read("out.txt");
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 148);
#ifdef _WIN32
    EXPECT_EQ(written.substr(0, 7), "key 0\r\n");  // text mode
#endif
    ASSERT_TRUE(LoadKeyNames(a, 1, folder.file("out.txt").c_str()));
    EXPECT_EQ(*a.keynames[1], *a.keynames[0]);

    SaveKeyNames(a, 2, folder.file("none.txt").c_str());  // no names: no file
    EXPECT_FALSE(std::filesystem::exists(folder.file("none.txt")));
}

TEST_F(KeyNamesTest, NoPathClearsAndTitlesDropTheFolderAndTheLastExtension) {
    ASSERT_TRUE(LoadKeyNames(a, 0, folder.write("in.txt", lines(3)).c_str()));
    EXPECT_TRUE(LoadKeyNames(a, 0, nullptr));  // no path: clear
    EXPECT_TRUE(isArticulationEmpty(a, 0));
    EXPECT_FALSE(LoadKeyNames(a, 64, "x.txt"));  // beyond the articulations: nothing

    // A leading dot is not an extension.
    for (const auto& [path, title] : std::vector<std::pair<const char*, const char*>>{
             {"C:\\Keys\\strings.legato.txt", "strings.legato"}, {"/keys/.names", ".names"},
             {"C:/a.b\\plain", "plain"}, {"noext", "noext"}})
        EXPECT_EQ(keyNamesTitle(path), title) << path;
}

}  // namespace
}  // namespace model

namespace model {
namespace {

// The menu's commands as the instance runs them: its dialogs, the files, request 3 on a change.
class KeyNamesCommandTest : public testing_support::PluginTest {
protected:
    void SetUp() override { plug = create(); }
    Articulations& a() { return impl(plug).records().articulations; }
    bool run(KeyNamesCommand command) {  // true when the host was told the names changed
        host.clear();
        impl(plug).runKeyNamesCommand(0, command);
        return !host.dispatchesWithCode(3).empty();
    }
    TFruityPlug* plug = nullptr;
    testing_support::TempFolder folder;
};

TEST_F(KeyNamesCommandTest, LoadReloadSaveCancelAndClear) {
    testing_support::FakeFileDialog dialog;
    dialog.answer = folder.write("brass.txt", "top\n");
    EXPECT_TRUE(run(KeyNamesCommand::kLoad));
    EXPECT_EQ(dialog.last().kind, platform::FileDialogKind::Open);
    folder.write("brass.txt", "changed\n");
    EXPECT_TRUE(run(KeyNamesCommand::kReload));
    EXPECT_EQ((*a().keynames[0])[0], "changed");
    dialog.answer = folder.file("saved.txt");
    EXPECT_FALSE(run(KeyNamesCommand::kSave));
    EXPECT_EQ(dialog.last().kind, platform::FileDialogKind::Save);
    EXPECT_EQ(folder.read("saved.txt").substr(0, 7), "changed");
    dialog.answer.clear();  // cancelled: nothing changes
    EXPECT_FALSE(run(KeyNamesCommand::kLoad));
    EXPECT_TRUE(run(KeyNamesCommand::kClear));
    EXPECT_EQ(a().keynames[0], nullptr);
}

}  // namespace
}  // namespace model
