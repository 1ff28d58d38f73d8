// The name-to-icon template: the one shipped with the plugin, and files that are broken or
// missing.
#include <gtest/gtest.h>

#include <cctype>
#include <set>

#include "model/articulation_template.h"
#include "platform/program_folder.h"
#include "plugin/file_import_fixture.h"
#include "plugin/process_wide.h"

namespace {

using Strings = std::vector<std::string>;

class TemplateTest : public testing_support::FileImportTest {
protected:
    model::IconNameTable& table() { return processWide().iconNames; }
};

TEST_F(TemplateTest, TheShippedTemplateNamesValidIcons) {
    processWide().programFolder = platform::joinProgramPath(platform::programFolder(), "..\\test-stage");
    LoadTemplate();
    ASSERT_GT(table().names.size(), 20u);
    ASSERT_EQ(table().names.size(), table().icons.size());
    std::set<std::string> folded;
    for (size_t i = 0; i < table().names.size(); ++i) {
        std::string name = table().names[i];
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_TRUE(folded.insert(name).second) << "twice: " << name;
        // 231 icons in the strip; 55 means no icon.
        EXPECT_TRUE(table().icons[i] >= 0 && table().icons[i] <= 230 && table().icons[i] != 55) << name;
    }
    EXPECT_EQ(model::iconForRenamedArticulation(table(), "LEGATO", 55), 20);
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
        {"", {}, {}},
        {"{", {}, {}},
        {"[]", {}, {}},
        {"{\"articulationicons\": {\"A\": 1}", {}, {}},
        {R"({"other": {"A": 1}})", {}, {}},
        {R"({"articulationicons": [["A", 1]]})", {}, {}},
        {R"({"articulationicons": 5})", {}, {}},
        {nullptr, {}, {}},
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
