// Kontakt instruments through the instance and a real importer library: the stand-in built
// beside the staged module answers by file name (see tests/importer).
#include <gtest/gtest.h>

#include "model/defaults.h"
#include "platform/dynamic_library.h"
#include "platform/program_folder.h"
#include "plugin/file_import_fixture.h"
#include "plugin/process_wide.h"

namespace {

using Row = std::vector<int32_t>;
using Strings = std::vector<std::string>;

class NkiImportTest : public testing_support::FileImportTest {
protected:
    // The tests run from build/<preset>/tests; the staged installation is its sibling.
    void SetUp() override {
        FileImportTest::SetUp();
        processWide().programFolder = platform::joinProgramPath(platform::programFolder(), "..\\test-stage");
    }
    // Drops `name` on an instance whose first articulation was set; true when the bank was reset.
    bool dropResets(const std::string& name, const Messages& told) {
        host.clear();
        articulations().name[0] = "old";
        drop(path(name));
        EXPECT_EQ(messages(), told) << name;
        EXPECT_EQ(codes(), (Codes{10, 19, 48})) << name;
        return model::isArticulationEmpty(articulations(), 0);
    }
};

TEST_F(NkiImportTest, ADroppedInstrumentReplacesTheBank) {
    model::Articulations& a = articulations();
    model::InstanceOptions& o = impl(plug).records().options;
    a.name[40] = "old";
    EXPECT_FALSE(dropResets("Violins found.nki", {{"Imported 3 articulations", 16}}));
    EXPECT_EQ(host.dispatches[0].text, "Violins found");
    EXPECT_EQ((Strings{a.name[0], a.name[1], a.name[2]}), (Strings{"Legato", "Spiccato", ""}));
    const std::vector<Row> rows = {{20, 24, 127, -1, -1, -1}, {42, -1, 127, -1, 42, 32}, {56, 26, 90, 5, 3, -2}};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ((Row{a.icon[i], a.note[i], a.notevel[i], a.prog[i], a.modw[i], a.modc[i]}), rows[i]) << i;
    EXPECT_TRUE(model::isArticulationEmpty(a, 3));
    EXPECT_TRUE(model::isArticulationEmpty(a, 40));
    EXPECT_EQ(o.articbanks, 0);  // filling only the first bank leaves the banks switch as it was
    o.articbanks = 1;
    drop(path("Brass found.NKI"));
    EXPECT_EQ(o.articbanks, 1);

    // Answers without articulations still reset the bank.
    const Messages notRecognised = {{"NKI was not a valid Kontakt patch, or was not a Spitfire Audio instrument", 16}};
    for (const char* name : {"unrecognised.nki", "negative.nki", "nothing.nki"})
        EXPECT_TRUE(dropResets(name, notRecognised)) << name;
}

TEST_F(NkiImportTest, MenuImportAndAppendFillUpToTheLastSlotAndSwitchBanksOn) {
    model::Articulations& a = articulations();
    model::InstanceOptions& o = impl(plug).records().options;
    a.prog[49] = 1;  // 50 used articulations, the last with only a program change
    dialog.answer = path("twenty.nki");
    impl(plug).ImportNki(true);
    EXPECT_EQ(dialog.last().kind, platform::FileDialogKind::Open);
    EXPECT_EQ(codes(), (Codes{19, 48}));
    EXPECT_EQ(messages(), (Messages{{"Imported 20 articulations", 16}}));
    EXPECT_EQ((Strings{a.name[49], a.name[50], a.name[63]}), (Strings{"", "Articulation 1", "Articulation 14"}));
    EXPECT_EQ(a.note[63], 24 + 13);
    EXPECT_EQ(o.articbanks, 1);

    o.articbanks = 0;
    impl(plug).ImportNki(false);
    EXPECT_EQ(a.name[19], "Articulation 20");
    EXPECT_TRUE(model::isArticulationEmpty(a, 20));
    EXPECT_TRUE(model::isArticulationEmpty(a, 49));
    EXPECT_EQ(o.articbanks, 1);

    host.clear();
    dialog.answer.clear();
    impl(plug).ImportNki(false);
    EXPECT_TRUE(host.dispatches.empty());
}

TEST_F(NkiImportTest, TheLibraryGetsTheFullPathAndTheCtrlKey) {
    const std::string file = path("Library.v2/echo.nki");
    for (bool ctrl : {true, false}) {
        platform::setCtrlKeyOverride(ctrl);
        drop(file);
        EXPECT_EQ(articulations().name[0], file);
        EXPECT_EQ(articulations().name[1], ctrl ? "ctrl 1" : "ctrl 0");
    }
}

TEST_F(NkiImportTest, AMissingOrUnusableLibraryIsReported) {
    EXPECT_TRUE(impl(plug).nkiImporterPresent());
    write(std::string("broken/Plugins/Fruity/Generators/KRYL Voxtrane/KRYL Voxtrane NKI Importer_x64") +
              platform::kSharedLibrarySuffix,
          "not a library");
    const struct {
        std::string folder;
        bool present;
    } cases[] = {{folder.path().string(), false}, {path("broken"), true},
                 {platform::joinProgramPath(platform::programFolder(), "importer-without-export"), true}};
    for (const auto& c : cases) {
        processWide().programFolder = c.folder;
        EXPECT_EQ(impl(plug).nkiImporterPresent(), c.present) << c.folder;
        EXPECT_TRUE(dropResets("found.nki", {{"Could not load NKI", 16}})) << c.folder;
    }
}

}  // namespace
