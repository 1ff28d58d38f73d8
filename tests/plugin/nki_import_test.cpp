// Kontakt instruments through the instance and the importer stand-in, which answers by file name.
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
    void SetUp() override {
        FileImportTest::SetUp();
        processWide().programFolder = platform::joinProgramPath(platform::programFolder(), "..\\test-stage");
    }
    // True when dropping `name` reset the bank.
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
    EXPECT_EQ((Strings{a.name[0], a.name[1], a.name[2]}), (Strings{"Legato", "Spiccato", ""}));
    EXPECT_EQ((Row{a.icon[2], a.note[2], a.notevel[2], a.prog[2], a.modw[2], a.modc[2]}), (Row{56, 26, 90, 5, 3, -2}));
    EXPECT_TRUE(model::isArticulationEmpty(a, 3));
    EXPECT_TRUE(model::isArticulationEmpty(a, 40));
    EXPECT_EQ(o.articbanks, 0);  // filling only the first bank leaves the banks switch as it was

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
    EXPECT_TRUE(model::isArticulationEmpty(a, 49));
    EXPECT_EQ(o.articbanks, 1);
}

TEST_F(NkiImportTest, TheLibraryGetsTheFullPathAndTheCtrlKey) {
    const std::string file = path("Library.v2/echo.nki");
    platform::setCtrlKeyOverride(true);
    drop(file);
    EXPECT_EQ((Strings{articulations().name[0], articulations().name[1]}), (Strings{file, "ctrl 1"}));
}

TEST_F(NkiImportTest, AMissingOrUnusableLibraryIsReported) {
    EXPECT_TRUE(impl(plug).nkiImporterPresent());
    const struct {
        std::string folder;
        bool present;
    } cases[] = {{folder.path().string(), false},
                 {platform::joinProgramPath(platform::programFolder(), "importer-without-export"), true}};
    for (const auto& c : cases) {
        processWide().programFolder = c.folder;
        EXPECT_EQ(impl(plug).nkiImporterPresent(), c.present) << c.folder;
        EXPECT_TRUE(dropResets("found.nki", {{"Could not load NKI", 16}})) << c.folder;
    }
}

}  // namespace
