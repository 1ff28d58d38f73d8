// Piano-key name files: reading, writing, titles, lookups and the key-names menu.
#include "model/key_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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
    void SetUp() override { resetRecords(records, 1, true); }
    const KeyNameList& names(int index) { return *a.keynames[index]; }

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

    const KeyNameList& list = names(3);
    EXPECT_EQ(list[0], std::string(64, 'x'));
    EXPECT_EQ(list[5], "key 5");
    EXPECT_EQ(list[7], "");
    EXPECT_EQ(list[9], std::string(64, 'y'));
    EXPECT_EQ(list[10], std::string(64, 'y'));  // the 477 bytes after the first 1023
    EXPECT_EQ(list[11], "key 10");
    EXPECT_EQ(list[131], "key 130");
    for (int i = 132; i < kKeyNameCount; ++i) EXPECT_EQ(list[i], "") << i;  // the lines after 132 are ignored
    EXPECT_EQ(*keyNameOf(a, 3, 131), list[0]);
    EXPECT_EQ(*keyNameOf(a, 3, 0), "key 130");
    EXPECT_EQ(keyNameOf(a, 3, 132), nullptr);
    EXPECT_EQ(keyNameOf(a, 4, 60), nullptr);  // no list, no names
    EXPECT_EQ(a.keynamestitle[3], "strings.legato");
    EXPECT_EQ(a.keynamesmissing[3], 0);
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
    EXPECT_EQ(names(1), names(0));

    SaveKeyNames(a, 2, folder.file("none.txt").c_str());  // no names: no file
    EXPECT_FALSE(std::filesystem::exists(folder.file("none.txt")));
}

TEST_F(KeyNamesTest, AMissingFileKeepsTheNamesAndMarksThemMissing) {
    a.keynames[0] = std::make_unique<KeyNameList>();
    (*a.keynames[0])[0] = "kept";
    EXPECT_FALSE(LoadKeyNames(a, 0, folder.file("gone.names.txt").c_str()));
    EXPECT_EQ(names(0)[0], "kept");
    EXPECT_EQ(a.keynamesmissing[0], 1);
    EXPECT_EQ(a.keynamespath[0], folder.file("gone.names.txt"));
    EXPECT_EQ(a.keynamestitle[0], "gone.names");

    EXPECT_TRUE(LoadKeyNames(a, 0, nullptr));  // no path: clear
    EXPECT_TRUE(isArticulationEmpty(a, 0));
    EXPECT_FALSE(LoadKeyNames(a, 64, "x.txt"));  // beyond the articulations: nothing

    // Titles drop the folder and the last extension, but not a leading dot.
    for (const auto& [path, title] : std::vector<std::pair<const char*, const char*>>{
             {"C:\\Keys\\strings.legato.txt", "strings.legato"}, {"/keys/.names", ".names"},
             {"C:/a.b\\plain", "plain"}, {"noext", "noext"}})
        EXPECT_EQ(keyNamesTitle(path), title) << path;
}

// The menu's commands as the instance runs them: dialogs, files, and request 3 when names change.
class KeyNamesCommandTest : public testing_support::PluginTest {
protected:
    void SetUp() override { plug = create(); }
    Articulations& a() { return impl(plug).records().articulations; }
    // Runs `command` on articulation 0; true when the host was told the names changed.
    bool run(KeyNamesCommand command) {
        host.clear();
        impl(plug).runKeyNamesCommand(0, command);
        return !host.dispatchesWithCode(3).empty();
    }
    std::string texts() {
        std::string out;
        for (const auto& item : keyNamesMenu(a(), 0)) out += (item.separator ? "-" : item.text) + "|";
        return out;
    }

    TFruityPlug* plug = nullptr;
    TempFolder folder;
    testing_support::FakeFileDialog dialog;
};

TEST_F(KeyNamesCommandTest, MenuOffersWhatTheArticulationHasAndRunsItThroughTheDialogs) {
    EXPECT_EQ(texts(), "Load key names from file|");
    dialog.answer = folder.write("brass.txt", "top\n");
    EXPECT_TRUE(run(keyNamesBoxCommand(a(), 0, false, false)));
    EXPECT_EQ(dialog.last().kind, platform::FileDialogKind::Open);
    EXPECT_EQ((*a().keynames[0])[0], "top");
    EXPECT_EQ(texts(), "Load key names from file|-|brass|Clear key names|Reload key names|");
    EXPECT_TRUE(keyNamesMenu(a(), 0)[2].disabled);

    folder.write("brass.txt", "changed\n");
    EXPECT_EQ(keyNamesBoxCommand(a(), 0, true, false), KeyNamesCommand::kReload);
    EXPECT_TRUE(run(KeyNamesCommand::kReload));
    EXPECT_EQ((*a().keynames[0])[0], "changed");

    // Names without a file (kept in a project): shown as stored, offered for saving.
    a().keynamespath[0].clear();
    a().keynamestitle[0].clear();
    EXPECT_EQ(texts(), "Load key names from file|-|[Stored in FLP]|Clear key names|Save key names to file|");
    dialog.answer = folder.file("saved.txt");
    EXPECT_FALSE(run(keyNamesBoxCommand(a(), 0, false, true)));
    EXPECT_EQ(dialog.last().kind, platform::FileDialogKind::Save);
    EXPECT_EQ(folder.read("saved.txt").substr(0, 7), "changed");

    dialog.answer.clear();  // cancelled: nothing changes
    EXPECT_FALSE(run(KeyNamesCommand::kLoad));
    EXPECT_EQ((*a().keynames[0])[0], "changed");
    EXPECT_TRUE(run(KeyNamesCommand::kClear));
    EXPECT_EQ(texts(), "Load key names from file|");
    EXPECT_EQ(keyNamesBoxCommand(a(), 0, false, true), KeyNamesCommand::kNone);
}

}  // namespace
}  // namespace model
