// Kontakt instruments through the instance and a real importer library: the stand-in built
// beside the staged module answers by file name (see tests/importer).
#include <gtest/gtest.h>

#include "model/defaults.h"
#include "platform/dynamic_library.h"
#include "platform/program_folder.h"
#include "plugin/file_import_fixture.h"
#include "plugin/process_wide.h"

namespace {

using Codes = std::vector<intptr_t>;
using Messages = std::vector<std::pair<std::string, intptr_t>>;

const std::pair<std::string, intptr_t> kCouldNotLoad{"Could not load NKI", 16};
const std::pair<std::string, intptr_t> kNotRecognised{
    "NKI was not a valid Kontakt patch, or was not a Spitfire Audio instrument", 16};

class NkiImportTest : public testing_support::FileImportTest {
protected:
    void SetUp() override {
        FileImportTest::SetUp();
        useProgramFolder(stageFolder());
    }
    // The tests run from build/<preset>/tests; the staged installation is its sibling.
    static std::string stageFolder() { return platform::joinProgramPath(platform::programFolder(), "..\\test-stage"); }
    static void useProgramFolder(const std::string& folder) { processWide().programFolder = folder; }
};

TEST_F(NkiImportTest, ADroppedInstrumentReplacesTheBank) {
    model::Articulations& a = articulations();
    model::InstanceOptions& o = impl(plug).records().options;
    a.name[40] = "old";
    drop(path("Violins found.nki"));
    EXPECT_EQ(codes(), (Codes{10, 19, 48}));
    EXPECT_EQ(host.dispatches[0].text, "Violins found");
    EXPECT_EQ(messages(), (Messages{{"Imported 3 articulations", 16}}));
    const auto slot = [&](int i) {
        return std::vector<int32_t>{a.icon[i], a.note[i], a.notevel[i], a.prog[i], a.modw[i], a.modc[i]};
    };
    EXPECT_EQ(a.name[0], "Legato");
    EXPECT_EQ(slot(0), (std::vector<int32_t>{20, 24, 127, -1, -1, -1}));
    EXPECT_EQ(a.name[1], "Spiccato");
    EXPECT_EQ(slot(1), (std::vector<int32_t>{42, -1, 127, -1, 42, 32}));
    EXPECT_EQ(a.name[2], "");  // the library gave no name
    EXPECT_EQ(slot(2), (std::vector<int32_t>{56, 26, 90, 5, 3, -2}));
    EXPECT_TRUE(model::isArticulationEmpty(a, 3));
    EXPECT_TRUE(model::isArticulationEmpty(a, 40));
    EXPECT_EQ(o.articbanks, 0);

    // Filling only the first bank leaves the banks switch as it was.
    o.articbanks = 1;
    drop(path("Brass found.NKI"));
    EXPECT_EQ(a.name[0], "Legato");
    EXPECT_EQ(o.articbanks, 1);
}

TEST_F(NkiImportTest, AnswersWithoutArticulationsStillResetTheBank) {
    for (const char* name : {"unrecognised.nki", "negative.nki", "nothing.nki"}) {
        host.clear();
        articulations().name[0] = "old";
        drop(path(name));
        EXPECT_EQ(messages(), (Messages{kNotRecognised})) << name;
        EXPECT_EQ(codes(), (Codes{10, 19, 48})) << name;
        EXPECT_TRUE(model::isArticulationEmpty(articulations(), 0)) << name;
    }
}

TEST_F(NkiImportTest, MenuImportAndAppendFillUpToTheLastSlot) {
    model::Articulations& a = articulations();
    model::InstanceOptions& o = impl(plug).records().options;
    a.prog[49] = 1;  // 50 used articulations, the last with only a program change
    dialog.answer = path("twenty.nki");
    impl(plug).ImportNki(true);
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0].kind, platform::FileDialogKind::Open);
    EXPECT_EQ(codes(), (Codes{19, 48}));
    EXPECT_EQ(messages(), (Messages{{"Imported 20 articulations", 16}}));
    EXPECT_EQ(a.prog[49], 1);
    EXPECT_EQ(a.name[50], "Articulation 1");
    EXPECT_EQ(a.name[63], "Articulation 14");
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
    EXPECT_EQ(a.name[19], "Articulation 20");
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
    const std::string importer =
        std::string("Plugins/Fruity/Generators/KRYL Voxtrane/KRYL Voxtrane NKI Importer_x64") +
        platform::kSharedLibrarySuffix;
    write("broken/" + importer, "not a library");
    const struct {
        std::string folder;
        bool present;
    } cases[] = {
        {folder.string(), false},
        {path("broken"), true},
        {platform::joinProgramPath(platform::programFolder(), "importer-without-export"), true},
    };
    for (const auto& c : cases) {
        useProgramFolder(c.folder);
        EXPECT_EQ(impl(plug).nkiImporterPresent(), c.present) << c.folder;
        host.clear();
        articulations().name[0] = "old";
        drop(path("found.nki"));
        EXPECT_EQ(messages(), (Messages{kCouldNotLoad})) << c.folder;
        EXPECT_EQ(codes(), (Codes{10, 19, 48})) << c.folder;
        EXPECT_TRUE(model::isArticulationEmpty(articulations(), 0)) << c.folder;
    }
}

}  // namespace
