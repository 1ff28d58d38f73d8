// Articulation files through the instance: the exact text written, what an import takes and
// leaves, bank import and append, the UACC conversions and files dropped on the plugin.
#include <gtest/gtest.h>

#include "model/articulation_file.h"
#include "model/defaults.h"
#include "plugin/file_import_fixture.h"

namespace {

using testing_support::FileImportTest;
using Codes = std::vector<intptr_t>;
using Messages = std::vector<std::pair<std::string, intptr_t>>;

// Files are written in text mode: Windows stores each line break as CR LF.
std::string onDisk(const std::string& text) {
#ifdef _WIN32
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
#else
    return text;
#endif
}

// One articulation as a file holds it, {icon, note, notevel, prog, modw, modc} after the name.
using Row = std::vector<int32_t>;
std::string object(const std::string& name, const Row& v = {55, -1, 127, -1, -1, -1}) {
    const char* keys[] = {"icon", "note", "notevel", "prog", "modw", "modc"};
    std::string s = "\t{\n\t\t\"name\": \"" + name + "\"";
    for (size_t k = 0; k < v.size(); ++k) s += ",\n\t\t\"" + std::string(keys[k]) + "\": " + std::to_string(v[k]);
    return s + "\n\t}";
}
Row row(const model::Articulations& a, int i) {
    return {a.icon[i], a.note[i], a.notevel[i], a.prog[i], a.modw[i], a.modc[i]};
}

TEST_F(FileImportTest, ExportsWriteExactlyTheFileFormat) {
    model::Articulations& a = articulations();
    a.name[3] = "Legato";
    dialog.answer = path("one.krylvox");
    impl(plug).ArticulationCommand(3, 8);
    EXPECT_EQ(contents(dialog.answer), onDisk("[\n" + object("Legato") + "\n]\n"));
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0].kind, platform::FileDialogKind::Save);
    EXPECT_EQ(messages(), (Messages{{"Articulation exported!", 0}}));
    EXPECT_TRUE(host.dispatchesWithCode(48).empty());

    // A bank ends at its last used articulation (a program change alone counts); the unused
    // one in between is written with reset values.
    host.clear();
    a.name[3].clear();
    a.name[0] = "Sp\"icc\\ato";
    a.icon[0] = 42;
    a.note[0] = 24;
    a.notevel[0] = 0;
    a.modw[0] = 127;
    a.modc[0] = -3;
    a.prog[2] = 5;
    dialog.answer = path("bank.krylvox");
    impl(plug).ExportBank();
    EXPECT_EQ(contents(dialog.answer), onDisk("[\n" + object("Sp\\\"icc\\\\ato", {42, 24, 0, -1, 127, -3}) + ",\n" +
                                              object("") + ",\n" + object("", {55, -1, 127, 5, -1, -1}) + "\n]\n"));
    EXPECT_EQ(messages(), (Messages{{"3 articulations exported!", 0}}));

    host.clear();
    model::resetRecords(impl(plug).records(), 1, false);
    impl(plug).ExportBank();
    EXPECT_EQ(contents(dialog.answer), onDisk("[\n]\n"));
    EXPECT_EQ(messages(), (Messages{{"0 articulations exported!", 0}}));

    // Control characters become escapes that JSON accepts.
    a.name[0] = std::string("a\x01\x1f\t\n\r\b\f", 9) + "z";
    impl(plug).ExportArticulation(0);
    EXPECT_NE(contents(dialog.answer).find("\"name\": \"a\\u0001\\u001F\\t\\n\\r\\b\\f\\u0000z\""), std::string::npos);
}

TEST_F(FileImportTest, ExportFailuresAndCancelsAndEmptyArticulations) {
    articulations().name[0] = "Legato";
    dialog.answer = path("missing-folder/out.krylvox");
    impl(plug).ExportArticulation(0);
    impl(plug).ExportBank();
    const std::pair<std::string, intptr_t> failed{"Could not export articulation file. Please try again.", 16};
    EXPECT_EQ(messages(), (Messages{failed, failed}));

    host.clear();
    dialog.answer.clear();
    impl(plug).ExportBank();
    impl(plug).ImportBank(false);
    impl(plug).ImportArticulation(0);
    EXPECT_TRUE(host.dispatches.empty());
    EXPECT_EQ(articulations().name[0], "Legato");

    // Export of an articulation that only has a program change is not offered.
    dialog.shown.clear();
    articulations().prog[1] = 3;
    impl(plug).ArticulationCommand(1, 8);
    EXPECT_TRUE(dialog.shown.empty());
}

TEST_F(FileImportTest, ExportThenImportGivesTheSameArticulations) {
    model::Articulations& a = articulations();
    const std::string names[] = {"Quote \" and \\ backslash", std::string("ctl \x01\x02\x1f\x7f", 8),
                                 "Flûte ♯ 𝄞 ñ", "\t\n\r", "\\u0041 stays text"};
    for (int i = 0; i < 5; ++i) {
        a.name[i * 7] = names[i];
        a.icon[i * 7] = i;
        a.note[i * 7] = 127 - i;
        a.notevel[i * 7] = i * 3;
        a.prog[i * 7] = i == 2 ? -1 : 100 + i;
        a.modw[i * 7] = i - 1;
        a.modc[i * 7] = i == 4 ? INT32_MIN : -2;
    }
    std::vector<model::Articulation> before;
    for (int i = 0; i < model::kArticulationCount; ++i) before.push_back(model::copyArticulation(a, i));
    dialog.answer = path("round.krylvox");
    impl(plug).ExportBank();
    a.name[63] = "gone after the import";
    impl(plug).ImportBank(false);
    for (int i = 0; i < model::kArticulationCount; ++i) {
        EXPECT_EQ(a.name[i], before[i].name) << i;
        EXPECT_EQ(row(a, i), (Row{before[i].icon, before[i].note, before[i].notevel, before[i].prog, before[i].modw,
                                  before[i].modc}))
            << i;
    }
    EXPECT_EQ(host.dispatchesWithCode(48).size(), 1u);

    // One articulation back into another slot.
    dialog.answer = path("one.krylvox");
    impl(plug).ExportArticulation(14);
    impl(plug).ArticulationCommand(40, 9);
    EXPECT_EQ(a.name[40], names[2]);
    EXPECT_EQ(a.note[40], 125);
    EXPECT_EQ(dialog.shown.back().kind, platform::FileDialogKind::Open);
}

TEST_F(FileImportTest, ImportTakesMembersOfTheRightTypeAndLeavesTheRest) {
    model::Articulations& a = articulations();
    a.note[0] = 30;
    a.keynamespath[0] = "C:\\keys.txt";
    a.keynamesmissing[0] = 1;
    dialog.answer = write("first.krylvox", R"([{"name": "First", "uacc": 42}, {"name": "Second"}, {}])");
    impl(plug).ImportArticulation(0);
    EXPECT_EQ(a.name[0], "First");
    EXPECT_EQ(a.prog[0], 42);
    EXPECT_EQ(a.note[0], 30);
    EXPECT_EQ(a.keynamespath[0], "C:\\keys.txt");
    EXPECT_EQ(a.keynamesmissing[0], 1);
    EXPECT_EQ(a.name[1], "");
    EXPECT_EQ(codes(), (Codes{48}));

    // "prog" wins over "uacc" wherever it stands in the element.
    for (const char* text : {R"([{"uacc": 42, "prog": 7}])", R"([{"prog": 7, "uacc": 42}])"}) {
        dialog.answer = write("both.krylvox", text);
        impl(plug).ImportArticulation(1);
        EXPECT_EQ(a.prog[1], 7) << text;
    }

    // Wrong types are skipped member by member; an element that is not an object keeps its slot.
    a.name[2] = "last used";
    dialog.answer = write("types.krylvox", R"([
        {"name": 5, "icon": "7", "note": 3.5, "notevel": 4294967296, "prog": true,
         "modw": null, "modc": -2147483648},
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
    ten += "]";
    dialog.answer = write("ten.krylvox", ten);

    a.prog[59] = 9;  // a program change alone makes 59 the last used articulation
    impl(plug).ImportBank(true);
    EXPECT_EQ(a.prog[59], 9);
    EXPECT_EQ(a.name[60], "N0");
    EXPECT_EQ(a.name[63], "N3");

    host.clear();
    impl(plug).ImportBank(false);
    EXPECT_EQ(a.name[9], "N9");
    EXPECT_TRUE(model::isArticulationEmpty(a, 10));
    EXPECT_TRUE(model::isArticulationEmpty(a, 59));
    EXPECT_TRUE(model::isArticulationEmpty(a, 63));
    EXPECT_EQ(codes(), (Codes{48}));

    // The reset comes before the file is read: a bad file leaves an empty bank.
    struct Case {
        const char* name;
        const char* text;  // null: no such file
        bool toldTheUser;
    } cases[] = {
        {"missing.krylvox", nullptr, false},
        {"broken.krylvox", "[{\"name\": \"x\"", true},
        {"object.krylvox", "{\"name\": \"x\"}", false},
        {"empty.krylvox", "", true},
    };
    for (const Case& c : cases) {
        a.name[0] = "before";
        host.clear();
        dialog.answer = c.text ? write(c.name, c.text) : path(c.name);
        impl(plug).ImportBank(false);
        EXPECT_TRUE(model::isArticulationEmpty(a, 0)) << c.name;
        EXPECT_EQ(messages().size(), c.toldTheUser ? 1u : 0u) << c.name;
    }
    host.clear();
    dialog.answer = path("broken.krylvox");
    impl(plug).ImportArticulation(0);
    EXPECT_EQ(messages(), (Messages{{"Could not import articulation file. Please check it's a valid "
                                     "JSON-formatted articulation.",
                                     16}}));
}

TEST_F(FileImportTest, FilesOfTheWrongShapeOrSizeAreIgnoredQuietly) {
    model::Articulations& a = articulations();
    auto objects = [](int n) {
        std::string s = "[";
        for (int i = 0; i < n; ++i) s += i ? ",{\"note\": 1}" : "{\"note\": 1}";
        return s + "]";
    };
    for (const std::string& text : {objects(65), std::string("[]"), std::string("\"text\""), std::string("null")}) {
        host.clear();
        dialog.answer = write("shape.krylvox", text);
        impl(plug).ImportArticulation(5);
        EXPECT_EQ(a.note[5], -1) << text;
        EXPECT_TRUE(host.dispatches.empty()) << text;
    }
    dialog.answer = write("full.krylvox", objects(64));
    impl(plug).ImportBank(false);
    EXPECT_EQ(a.note[63], 1);
}

TEST_F(FileImportTest, UaccConversionsRunBothWaysAndReportTheirCount) {
    model::Articulations& a = articulations();
    a.note[0] = 24;
    a.notevel[0] = 41;
    a.note[1] = 0;
    a.notevel[1] = 7;
    a.note[2] = 60;  // a key switch and the CC form at once: the key stays when converting back
    a.modc[2] = 32;
    a.modw[2] = 9;
    impl(plug).ConvertUacc(model::UaccDirection::kKeyswitchToCc);
    EXPECT_EQ(row(a, 0), (Row{55, -1, 127, -1, 41, 32}));
    EXPECT_EQ(a.modw[2], 127);
    EXPECT_EQ(messages(), (Messages{{"3 articulations converted from UACC KS to UACC CC", 0}}));
    EXPECT_EQ(codes(), (Codes{19, 48}));

    host.clear();
    a.note[2] = 60;
    impl(plug).ConvertUacc(model::UaccDirection::kCcToKeyswitch);
    EXPECT_EQ(row(a, 0), (Row{55, 0, 41, -1, -1, -1}));
    EXPECT_EQ(a.notevel[1], 7);
    EXPECT_EQ(a.note[2], 60);
    EXPECT_EQ(messages(), (Messages{{"3 articulations converted from UACC CC to UACC KS", 0}}));

    host.clear();
    impl(plug).ConvertUacc(model::UaccDirection::kCcToKeyswitch);
    model::resetRecords(impl(plug).records(), 1, false);
    impl(plug).ConvertUacc(model::UaccDirection::kKeyswitchToCc);
    EXPECT_TRUE(host.dispatches.empty());
}

TEST_F(FileImportTest, DroppedFilesOverlayFromTheFirstSlotByExtension) {
    model::Articulations& a = articulations();
    a.name[5] = "kept";
    const std::string bank = R"([{"name": "One"}, {"icon": 3}])";
    struct Case {
        std::string file, title;
    } cases[] = {  // how titles come from names is covered with the instance
        {"My Strings.krylvox", "My Strings"},
        {"Winds.TxT", "Winds"},
    };
    for (const Case& c : cases) {
        host.clear();
        a.name[0].clear();
        drop(write(c.file, bank));
        EXPECT_EQ(codes(), (Codes{10, 48})) << c.file;
        EXPECT_EQ(host.dispatches[0].text, c.title) << c.file;
        EXPECT_EQ(a.name[0], "One") << c.file;
        EXPECT_EQ(a.icon[1], 3) << c.file;
        EXPECT_EQ(a.name[5], "kept") << c.file;
    }

    // What cannot be read changes nothing; only text that is not JSON is reported.
    std::string tooMany = "[";
    for (int i = 0; i < 65; ++i) tooMany += i ? ",{}" : "{}";
    tooMany += "]";
    a.name[0] = "before";
    std::filesystem::create_directories(folder / "Folder.krylvox");
    const struct {
        std::string file;
        Codes expected;
    } bad[] = {
        {path("absent.krylvox"), {10, 48}},
        {path("Folder.krylvox"), {10, 48}},
        {write("broken.txt", "[{\"name\": }]"), {10, 19, 48}},
        {write("deep.krylvox", std::string(200000, '[')), {10, 19, 48}},
        {write("many.krylvox", tooMany), {10, 48}},
        {write("object.krylvox", R"({"name": "x"})"), {10, 48}},
        {write("bank.json", bank), {}},
    };
    for (const auto& b : bad) {
        host.clear();
        drop(b.file);
        EXPECT_EQ(codes(), b.expected) << b.file;
        EXPECT_EQ(a.name[0], "before") << b.file;
    }
}

TEST_F(FileImportTest, ArticulationCommandsReportStateChangesToTheHost) {
    articulations().name[0] = "A";
    // Which commands change the state is the model's; the instance reports what it says.
    const struct {
        int index, command;
        Codes expected;
    } cases[] = {
        {0, 6, {}},    // copy
        {1, 1, {48}},  // clear
        {0, 5, {48}},  // cut
        {-1, 9, {}},   // an import into no articulation
        {0, 0, {}},    // the menu is the editor's
    };
    for (const auto& c : cases) {
        host.clear();
        impl(plug).ArticulationCommand(c.index, c.command);
        EXPECT_EQ(codes(), c.expected) << c.index << " " << c.command;
    }
    EXPECT_TRUE(dialog.shown.empty());
}

}  // namespace
