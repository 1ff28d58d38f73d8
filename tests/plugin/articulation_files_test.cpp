// Articulation files through the instance: export, import, UACC conversion and dropped files.
#include <gtest/gtest.h>

#include <tuple>

#include "model/defaults.h"
#include "plugin/file_import_fixture.h"

namespace {

using testing_support::FileImportTest;
using Row = std::vector<int32_t>;
using Strings = std::vector<std::string>;

// An expected export; written in text mode, so Windows stores each line break as CR LF.
std::string expectedFile(const std::string& name) {
    std::string text = testing_support::TempFolder::bytesOf(VOXTRANE_TESTS_DIR "/plugin/data/" + name);
#ifdef _WIN32
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) text.insert(at, "\r");
#endif
    return text;
}

// One articulation as {icon, note, notevel, prog, modw, modc}, read and set.
Row row(const model::Articulations& a, int i) {
    return {a.icon[i], a.note[i], a.notevel[i], a.prog[i], a.modw[i], a.modc[i]};
}
void setRow(model::Articulations& a, int i, const Row& r) {
    std::tie(a.icon[i], a.note[i], a.notevel[i], a.prog[i], a.modw[i], a.modc[i]) =
        std::tie(r[0], r[1], r[2], r[3], r[4], r[5]);
}

TEST_F(FileImportTest, ExportsWriteExactlyTheFileFormatAndImportBack) {
    model::Articulations& a = articulations();
    a.name[3] = "Legato";
    dialog.answer = path("one.krylvox");
    impl(plug).ArticulationCommand(3, 8);
    EXPECT_EQ(testing_support::TempFolder::bytesOf(dialog.answer), expectedFile("legato.krylvox"));
    EXPECT_EQ(dialog.last().kind, platform::FileDialogKind::Save);
    EXPECT_EQ(messages(), (Messages{{"Articulation exported!", 0}}));
    impl(plug).ArticulationCommand(40, 9);  // into another slot
    EXPECT_EQ(a.name[40], "Legato");
    EXPECT_EQ(codes(), (Codes{19, 48}));

    // A bank ends at its last used articulation, a program change alone counting.
    model::resetRecords(impl(plug).records(), 1, false);
    host.clear();
    a.name[0] = std::string("Sp\"icc\\ato\x01\x1f\t\n\r\b\f\0z", 19);
    setRow(a, 0, {42, 24, 0, -1, 127, -3});
    a.prog[2] = 5;
    impl(plug).ExportBank();
    EXPECT_EQ(testing_support::TempFolder::bytesOf(dialog.answer), expectedFile("bank.krylvox"));
    EXPECT_EQ(messages(), (Messages{{"3 articulations exported!", 0}}));
}

TEST_F(FileImportTest, FailuresCancelsAndCommandsThatChangeNothing) {
    articulations().name[0] = "Legato";
    dialog.answer = path("missing-folder/out.krylvox");
    impl(plug).ExportArticulation(0);
    impl(plug).ExportBank();
    const std::pair<std::string, intptr_t> failed{"Could not export articulation file. Please try again.", 16};
    EXPECT_EQ(messages(), (Messages{failed, failed}));

    dialog.answer.clear();  // cancelled
    dialog.shown.clear();
    host.clear();
    impl(plug).ExportBank();
    impl(plug).ImportBank(false);
    EXPECT_TRUE(host.dispatches.empty());
    articulations().prog[1] = 3;
    impl(plug).ArticulationCommand(1, 8);  // program only: no export offered
    impl(plug).ArticulationCommand(1, 1);
    EXPECT_EQ(codes(), (Codes{48}));
    EXPECT_EQ(dialog.shown.size(), 2u);
}

TEST_F(FileImportTest, ImportTakesMembersOfTheRightTypeAndLeavesTheRest) {
    model::Articulations& a = articulations();
    a.note[0] = 30;
    a.keynamespath[0] = "C:\\keys.txt";
    dialog.answer = write("first.krylvox", R"([{"name": "First", "uacc": 42}, {"name": "Second"}, {}])");
    impl(plug).ImportArticulation(0);
    EXPECT_EQ(a.name[0], "First");
    EXPECT_EQ(row(a, 0), (Row{55, 30, 127, 42, -1, -1}));
    EXPECT_EQ(a.keynamespath[0], "C:\\keys.txt");
    EXPECT_EQ(a.name[1], "");
    // No articulation in it: quietly nothing. "prog" wins over "uacc" wherever it stands.
    for (const char* text : {"[]", "null", R"([{"uacc": 42, "prog": 7}])", R"([{"prog": 7, "uacc": 42}])"}) {
        dialog.answer = write("some.krylvox", text);
        impl(plug).ImportArticulation(1);
    }
    EXPECT_EQ(a.prog[1], 7);
    EXPECT_EQ(codes(), (Codes{48, 48, 48}));

    // Wrong types are skipped member by member; a non-object element keeps its slot.
    a.name[2] = "last used";
    dialog.answer = write("types.krylvox", R"([
        {"name": 5, "icon": "7", "note": 3.5, "notevel": 4294967296, "prog": true, "modw": null, "modc": -2147483648},
        17,
        {"name": ["x"], "icon": 2147483647, "note": -2147483649, "modw": 1e2, "modc": {}},
        {"name": "Fourth", "unknown": [1, 2]}])");
    host.clear();
    impl(plug).ImportBank(true);
    EXPECT_EQ(a.name[3], "");
    EXPECT_EQ(row(a, 3), (Row{55, -1, 127, -1, -1, INT32_MIN}));
    EXPECT_TRUE(model::isArticulationEmpty(a, 4));
    EXPECT_EQ(row(a, 5), (Row{INT32_MAX, -1, 127, -1, -1, -1}));
    EXPECT_EQ(a.name[6], "Fourth");
    EXPECT_EQ(messages(), Messages{});
}

TEST_F(FileImportTest, BankImportResetsFirstAndAppendFillsUpToTheLastSlot) {
    model::Articulations& a = articulations();
    std::string ten = "[";
    for (int i = 0; i < 10; ++i) ten += (i ? "," : "") + std::string("{\"name\": \"N") + std::to_string(i) + "\"}";
    dialog.answer = write("ten.krylvox", ten + "]");
    a.prog[59] = 9;  // a program change alone makes 59 the last used articulation
    impl(plug).ImportBank(true);
    EXPECT_EQ((Strings{a.name[59], a.name[60], a.name[63]}), (Strings{"", "N0", "N3"}));
    impl(plug).ImportBank(false);
    EXPECT_EQ(a.name[9], "N9");
    for (int i : {10, 59, 63}) EXPECT_TRUE(model::isArticulationEmpty(a, i)) << i;

    // The bank is reset before the file is read.
    const struct {
        const char* name;
        const char* text;  // null: no such file
        bool toldTheUser;
    } cases[] = {{"missing.krylvox", nullptr, false}, {"broken.krylvox", "[{\"name\": \"x\"", true},
                 {"object.krylvox", "{\"name\": \"x\"}", false}, {"empty.krylvox", "", true}};
    for (const auto& c : cases) {
        a.name[0] = "before";
        host.clear();
        dialog.answer = c.text ? write(c.name, c.text) : path(c.name);
        impl(plug).ImportBank(false);
        EXPECT_TRUE(model::isArticulationEmpty(a, 0)) << c.name;
        EXPECT_EQ(messages().size(), c.toldTheUser ? 1u : 0u) << c.name;
    }
    host.clear();
    impl(plug).ImportArticulation(0);
    EXPECT_EQ(messages().at(0).first.rfind("Could not import articulation file.", 0), 0u);
}

TEST_F(FileImportTest, UaccConversionsRunBothWaysAndReportTheirCount) {
    model::Articulations& a = articulations();
    setRow(a, 0, {55, 24, 41, -1, -1, -1});
    setRow(a, 1, {55, 0, 7, -1, -1, -1});
    setRow(a, 2, {55, 60, 127, -1, 9, 32});  // both forms at once: the key stays when converting back
    impl(plug).ConvertUacc(model::UaccDirection::kKeyswitchToCc);
    EXPECT_EQ(row(a, 0), (Row{55, -1, 127, -1, 41, 32}));
    EXPECT_EQ(a.modw[2], 127);
    EXPECT_EQ(codes(), (Codes{19, 48}));
    a.note[2] = 60;
    impl(plug).ConvertUacc(model::UaccDirection::kCcToKeyswitch);
    EXPECT_EQ(row(a, 0), (Row{55, 0, 41, -1, -1, -1}));
    EXPECT_EQ(a.notevel[1], 7);
    EXPECT_EQ(a.note[2], 60);
    EXPECT_EQ(messages(), (Messages{{"3 articulations converted from UACC KS to UACC CC", 0},
                                    {"3 articulations converted from UACC CC to UACC KS", 0}}));
    host.clear();
    impl(plug).ConvertUacc(model::UaccDirection::kCcToKeyswitch);  // nothing left to convert
    EXPECT_TRUE(host.dispatches.empty());
}

TEST_F(FileImportTest, DroppedFilesOverlayFromTheFirstSlotAndBadOnesChangeNothing) {
    model::Articulations& a = articulations();
    a.name[5] = "kept";
    drop(write("Winds.TxT", R"([{"name": "One"}, {"icon": 3}])"));
    EXPECT_EQ(codes(), (Codes{10, 48}));
    EXPECT_EQ((Strings{a.name[0], a.name[5]}), (Strings{"One", "kept"}));
    EXPECT_EQ(a.icon[1], 3);

    // What cannot be read changes nothing; only text that is not JSON is reported.
    auto objects = [](int n) {
        std::string s = "[{\"note\": 1}";
        for (int i = 1; i < n; ++i) s += ",{\"note\": 1}";
        return s + "]";
    };
    a.name[0] = "before";
    std::filesystem::create_directories(path("Folder.krylvox"));
    const struct {
        std::string file;
        Codes expected;
    } bad[] = {
        {path("absent.krylvox"), {10, 48}}, {path("Folder.krylvox"), {10, 48}},
        {write("broken.txt", "[{\"name\": }]"), {10, 19, 48}},
        {write("deep.krylvox", std::string(200000, '[')), {10, 19, 48}}, {write("many.krylvox", objects(65)), {10, 48}},
        {write("object.krylvox", R"({"name": "x"})"), {10, 48}}, {write("bank.json", "[{}]"), {}},
    };
    for (const auto& b : bad) {
        host.clear();
        drop(b.file);
        EXPECT_EQ(codes(), b.expected) << b.file;
        EXPECT_EQ(a.name[0], "before") << b.file;
    }
    drop(write("full.krylvox", objects(64)));
    EXPECT_EQ(a.note[63], 1);
}

}  // namespace
