// Articulation maps of other programs through the instance: dropped on it, or chosen in the bank
// menu's import.
#include <gtest/gtest.h>

#include "plugin/file_import_fixture.h"
#include "settings/file_dialogs.h"
#include "support/fake_menu.h"

namespace {

using testing_support::FileImportTest;
using Strings = std::vector<std::string>;

const std::string kOdd = VOXTRANE_TESTS_DIR "/maps/data/odd/";

// A menu as "entry" and "group>entry" lines.
Strings menuTexts(const std::vector<platform::MenuEntry>& menu) {
    Strings out;
    for (const platform::MenuEntry& e : menu) {
        if (e.submenu.empty()) out.push_back(e.text + " #" + std::to_string(e.id));
        for (const platform::MenuEntry& inner : e.submenu) out.push_back(e.text + ">" + inner.text + " #" + std::to_string(inner.id));
    }
    return out;
}

TEST_F(FileImportTest, DroppedMapsReplaceTheBankOrOfferItsBanks) {
    model::Articulations& a = articulations();
    a.name[40] = "old";
    a.note[40] = 5;
    drop(kOdd + "odd.plist");  // one bank: straight in, what it left out said once
    EXPECT_EQ(codes(), (Codes{19, 10, 48}));
    EXPECT_EQ(messages(), (Messages{{"Loaded \"Logic \xE2\x80\x93 odd\"; left out of it:\n"
                                     "Logic \xE2\x80\x93 odd: Other kinds: left out Pitch Bend, routing to channel 3",
                                     0}}));
    EXPECT_EQ((Strings{a.name[0], a.name[3], a.name[4], a.name[40]}), (Strings{"Legato", "Nothing", "", ""}));
    EXPECT_EQ((std::vector<int32_t>{a.note[0], a.notevel[0], a.note[40]}), (std::vector<int32_t>{24, 90, -1}));

    testing_support::FakeMenu menu;
    menu.answers = {3};
    host.clear();
    drop(kOdd + "odd.reabank");  // several: grouped in submenus, the chosen one loaded
    EXPECT_EQ(menuTexts(menu.shown.at(0)),
              (Strings{"Odd/Outputs>Outputs #1", "Odd/Attributes>Quoted \"Bank\" #2", "Odd/Clones>base #3",
                       "Odd/Clones>clone of base #4", "Odd/Clones>clone of clone #5", "Odd/Clones>cycle a #6",
                       "Odd/Clones>cycle b #7"}));
    EXPECT_EQ(codes(), (Codes{10, 48}));
    EXPECT_EQ(host.dispatchesWithCode(10).at(0).text, "base");  // the instance takes the bank's name
    EXPECT_EQ((Strings{a.name[0], a.name[1]}), (Strings{"long", ""}));
    EXPECT_EQ((std::vector<int32_t>{a.modc[0], a.modw[0]}), (std::vector<int32_t>{32, 1}));

    // A dismissed menu, and a file that is not a map, change nothing.
    host.clear();
    drop(kOdd + "odd.reabank");
    EXPECT_EQ(codes(), Codes{});
    drop(write("Bad.reabank", "Bank Strings\n0 legato\n"));
    EXPECT_EQ(messages(), (Messages{{"Could not import Bad: 1 Bank line(s) without two numbers (the first on line 1); 1 "
                                     "program line(s) in no bank left out.",
                                     16}}));
    EXPECT_EQ(codes(), Codes{19});
    EXPECT_EQ(a.name[0], "long");
}

TEST_F(FileImportTest, BankImportTakesMapsAndSaysTheRestOfALongReportInACount) {
    model::Articulations& a = articulations();
    a.name[0] = "first";
    std::string text = "//! g=G\nBank 1 1 Bends\n";
    for (int i = 0; i < 12; ++i) text += "//! o=note:" + std::to_string(i) + "/pitch:1\n" + std::to_string(i) + " b" + std::to_string(i) + "\n";
    dialog.answer = write("bends.reabank", text);
    impl(plug).ImportBank(true);  // Append: after the last used articulation
    EXPECT_EQ(dialog.last().filter, settings::kBankFileFilter);
    EXPECT_EQ((Strings{a.name[0], a.name[1], a.name[12]}), (Strings{"first", "b0", "b11"}));
    ASSERT_EQ(messages().size(), 1u);
    const std::string message = messages()[0].first;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 9);
    EXPECT_EQ(message.substr(message.rfind('\n')), "\nand 4 more");

    dialog.answer = kOdd + "odd.doricolib";
    testing_support::FakeMenu menu;
    menu.answers = {2};
    impl(plug).ImportBank(false);  // banks without a group sit at the top of the menu
    EXPECT_EQ(menuTexts(menu.shown.at(0)), (Strings{"Dorico one #1", "Dorico two #2", "Dorico wrapped #3"}));
    EXPECT_EQ((Strings{a.name[0], a.name[1]}), (Strings{"pt.pizzicato", ""}));
}

}  // namespace
