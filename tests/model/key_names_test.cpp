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
    EXPECT_EQ((std::vector<std::string_view>{list[5], list[6], list[7], list[8], list[9], list[10], list[11]}),
              (std::vector<std::string_view>{"key 5", "key 6", "", "key 8", y, y, "key 10"}));
    EXPECT_EQ(list[131], "key 130");
    EXPECT_EQ(list.named(), 131);  // line 7 is empty, the lines after 132 are ignored
    EXPECT_STREQ(keyNameOf(a, 3, 0), "key 130");  // the highest key is the first line
    EXPECT_EQ(keyNameOf(a, 3, 132), nullptr);
    EXPECT_EQ(keyNameOf(a, 4, 60), nullptr);  // no list, no names
    EXPECT_EQ(a.keynamestitle[3], "strings.legato");
}

TEST_F(KeyNamesTest, SavedNamesLoadBackTheSameWith148Lines) {
    ASSERT_TRUE(LoadKeyNames(a, 0, folder.write("in.txt", lines(132)).c_str()));
    a.keynames[0]->set(10, "");
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

// Names replaced over and over, also from the list itself, keep their texts in a bounded block.
TEST(KeyNameListTest, ReplacedNamesKeepTheirTextsInABoundedBlock) {
    const auto name = [](int key, int round) { return std::string(size_t(1 + (7 * round + key) % 40), char('a' + key % 26)); };
    KeyNameList list;
    for (int round = 0; round < 500; ++round)
        for (int key = 0; key < kKeyNameCount; key += 3) list.set(key, name(key, round));
    EXPECT_LT(list.textCapacity(), 8192u);  // 50 names of at most 40 bytes
    list.set(3, list[3].substr(1));         // shorter, in place, from its own text
    const std::string z(5000, 'z');
    list.set(1, z);  // then from the list until the block moves while the text is read
    for (const size_t before = list.textCapacity(); list.textCapacity() == before;) {
        list.set(2, "");
        list.set(2, list[1]);
    }
    for (int key = 0; key < kKeyNameCount; ++key) {
        const std::string expected = key < 3 && key ? z : key == 3 ? name(3, 499).substr(1) : key % 3 ? "" : name(key, 499);
        EXPECT_STREQ(list.c_str(key), expected.c_str()) << key;
    }
    KeyNameList copy = list;
    copy.set(0, "copied");
    EXPECT_EQ(list[0], name(0, 499));
}

// The packed form reads back as written; a text ends at its first zero byte, a number beyond
// the list is read past, and an entry cut short ends the read.
TEST(KeyNameListTest, PackedNamesReadBack) {
    KeyNameList list;
    list.set(0, "Low");
    list.set(131, std::string(300, 'x'));
    list.set(147, "\xC3\xA9");
    std::vector<uint8_t> bytes = {5, 0, 4, 0, 'a', 'b', 0, 'c', 200, 0, 1, 0, 'z'};
    bytes.resize(bytes.size() + list.packedBound() + KeyNameList::kPackSlack);
    int entries = 0;
    bytes.resize(size_t(list.pack(bytes.data() + 13, entries) - bytes.data()));
    EXPECT_EQ(entries, 3);
    bytes.insert(bytes.end(), {9, 0, 4, 0});
    KeyNameList back;
    bool complete = true;
    EXPECT_EQ(back.unpack(bytes.data(), bytes.size(), 6, complete), bytes.size() - 4);
    EXPECT_FALSE(complete);
    list.set(5, "ab");
    EXPECT_EQ(back, list);
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
