#include "model/icon_name_table.h"

#include <gtest/gtest.h>

#include "model/records.h"

namespace model {
namespace {

IconNameTable sampleTable() {
    IconNameTable t;
    for (const auto& [name, icon] : {std::pair<const char*, int>{"Legato", 3}, {"Staccato", 7}, {"Spiccato", 7},
                                     {"LEGATO", 12}, {"Pizzicato", 20}, {"\xC3\x89tude", 9}, {"Nothing", kNoIcon}})
        t.add(name, icon);
    return t;
}

TEST(IconNameTable, ARenamedArticulationWithoutIconTakesTheLastMatchIgnoringAsciiCase) {
    const IconNameTable t = sampleTable();
    const struct { const char* name; int32_t icon, expected; } cases[] = {
        {"pizziCATO", kNoIcon, 20},  {"legato", kNoIcon, 12},   {"Legato ", kNoIcon, kNoIcon},
        {"Legat", kNoIcon, kNoIcon}, {"", kNoIcon, kNoIcon},    {"Pizzicato", 4, 4},
        {"Pizzicato", 0, 0},         {"\xC3\x89TUDE", kNoIcon, 9},
        {"\xC3\xA9tude", kNoIcon, kNoIcon},  // only ASCII letters fold
    };
    for (const auto& c : cases) EXPECT_EQ(iconForRenamedArticulation(t, c.name, c.icon), c.expected) << c.name;
}

TEST(IconNameTable, APickedIconNamesOnlyAnUnnamedArticulationWithTheFirstMatch) {
    const IconNameTable t = sampleTable();
    const struct { const char* name; int32_t icon; const char* expected; } cases[] = {
        {"", 7, "Staccato"}, {"", 12, "LEGATO"}, {"", 44, ""}, {"Mine", 7, "Mine"}, {"", kNoIcon, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(nameForPickedIcon(t, c.name, c.icon), c.expected) << c.icon;
}

TEST(IconNameTable, AClearedOrUnevenTableIsReadOnlyAsFarAsBothListsGo) {
    IconNameTable t = sampleTable();
    t.clear();
    EXPECT_EQ(iconForRenamedArticulation(t, "Legato", kNoIcon), kNoIcon);
    EXPECT_EQ(nameForPickedIcon(t, "", 3), "");
    t.names = {"A", "B"};
    t.icons = {1};
    EXPECT_EQ(iconForRenamedArticulation(t, "b", kNoIcon), kNoIcon);
    EXPECT_EQ(iconForRenamedArticulation(t, "a", kNoIcon), 1);
}

}  // namespace
}  // namespace model
