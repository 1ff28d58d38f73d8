// The name-to-icon template: the one shipped with the plugin, and broken or missing files.
#include <gtest/gtest.h>

#include "model/articulation_template.h"
#include "platform/program_folder.h"
#include "plugin/file_import_fixture.h"
#include "plugin/process_wide.h"

namespace {

using Strings = std::vector<std::string>;

using TemplateTest = testing_support::FileImportTest;
model::IconNameTable& table() { return processWide().iconNames; }

TEST_F(TemplateTest, TheShippedTemplateNamesValidIcons) {
    processWide().programFolder = platform::joinProgramPath(platform::programFolder(), "..\\test-stage");
    LoadTemplate();
    ASSERT_GT(table().names.size(), 20u);
    ASSERT_EQ(table().names.size(), table().icons.size());
    for (size_t i = 0; i < table().names.size(); ++i)  // 231 icons in the strip; 55 means none
        EXPECT_TRUE(table().icons[i] >= 0 && table().icons[i] <= 230 && table().icons[i] != 55) << table().names[i];
    destroy(plug);  // the last instance takes the table with it
    EXPECT_TRUE(table().names.empty());
}

TEST_F(TemplateTest, MembersOfTheWrongTypeAreSkippedAndBrokenFilesLeaveTheTableEmpty) {
    processWide().programFolder = folder.path().string();
    const struct {
        const char* text;  // null: no file
        Strings names;
        std::vector<int32_t> icons;
    } cases[] = {
        {R"({"x": 1, "articulationicons": {"Legato": 20, "Bad": "3", "Big": 4294967296,
            "Frac": 1.5, "Pizz": 56, "Null": null, "legato": 21, "Neg": -2147483648}, "y": []})",
         {"Legato", "Pizz", "legato", "Neg"},
         {20, 56, 21, INT32_MIN}},
        {"", {}, {}}, {"{", {}, {}}, {"[]", {}, {}}, {"{\"articulationicons\": {\"A\": 1}", {}, {}},
        {R"({"other": {"A": 1}})", {}, {}}, {R"({"articulationicons": [["A", 1]]})", {}, {}},
        {R"({"articulationicons": 5})", {}, {}}, {nullptr, {}, {}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(folder.path() / "Plugins");
        if (c.text) write("Plugins/Fruity/Generators/KRYL Voxtrane/articulations.kryltemplate", c.text);
        table().add("stale", 1);
        LoadTemplate();
        EXPECT_EQ(table().names, c.names) << (c.text ? c.text : "no file");
        EXPECT_EQ(table().icons, c.icons);
    }
}

}  // namespace
