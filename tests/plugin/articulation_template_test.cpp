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

using testing_support::FileImportTest;
using Strings = std::vector<std::string>;
using Numbers = std::vector<int32_t>;

class TemplateTest : public FileImportTest {
protected:
    model::IconNameTable& table() { return processWide().iconNames; }
    // Loads `text` as the template of a program folder of its own.
    void loadTemplate(const std::string& text) {
        write("Plugins/Fruity/Generators/KRYL Voxtrane/articulations.kryltemplate", text);
        processWide().programFolder = folder.string();
        LoadTemplate();
    }
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
        EXPECT_GE(table().icons[i], 0) << name;
        EXPECT_LE(table().icons[i], 230) << name;
        EXPECT_NE(table().icons[i], 55) << name;
    }
    EXPECT_EQ(model::iconForRenamedArticulation(table(), "LEGATO", 55), 20);

    // The last instance takes the table with it.
    destroy(plug);
    EXPECT_TRUE(table().names.empty());
}

TEST_F(TemplateTest, MembersOfTheWrongTypeAreSkippedAndOrderIsKept) {
    loadTemplate(R"({"x": 1, "articulationicons": {"Legato": 20, "Bad": "3", "Big": 4294967296,
        "Frac": 1.5, "Pizz": 56, "Null": null, "legato": 21, "Neg": -2147483648}, "y": []})");
    EXPECT_EQ(table().names, (Strings{"Legato", "Pizz", "legato", "Neg"}));
    EXPECT_EQ(table().icons, (Numbers{20, 56, 21, INT32_MIN}));
}

TEST_F(TemplateTest, BrokenOrMissingTemplatesLeaveTheTableEmpty) {
    for (const char* text : {"", "{", "[]", "{\"articulationicons\": {\"A\": 1}", R"({"other": {"A": 1}})",
                             R"({"articulationicons": [["A", 1]]})", R"({"articulationicons": 5})"}) {
        table().add("stale", 1);
        loadTemplate(text);
        EXPECT_TRUE(table().names.empty()) << text;
        EXPECT_TRUE(table().icons.empty()) << text;
    }
    table().add("stale", 1);
    std::filesystem::remove_all(folder / "Plugins");
    LoadTemplate();
    EXPECT_TRUE(table().names.empty());
}

}  // namespace
