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
    const struct { const char* name; int32_t icon, expected; } cases[] = {
        {"pizziCATO", kNoIcon, 20},  {"legato", kNoIcon, 12},   {"Legato ", kNoIcon, kNoIcon},
        {"Legat", kNoIcon, kNoIcon}, {"", kNoIcon, kNoIcon},    {"Pizzicato", 4, 4},
        {"Pizzicato", 0, 0},         {"\xC3\x89TUDE", kNoIcon, 9},
        {"\xC3\xA9tude", kNoIcon, kNoIcon},  // only ASCII letters fold
    };
    for (const auto& c : cases)
        EXPECT_EQ(iconForRenamedArticulation(sampleTable(), c.name, c.icon), c.expected) << c.name;
}

TEST(IconNameTable, APickedIconNamesOnlyAnUnnamedArticulationWithTheFirstMatch) {
    const struct { const char* name; int32_t icon; const char* expected; } cases[] = {
        {"", 7, "Staccato"}, {"", 12, "LEGATO"}, {"", 44, ""}, {"Mine", 7, "Mine"}, {"", kNoIcon, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(nameForPickedIcon(sampleTable(), c.name, c.icon), c.expected) << c.icon;
}

}  // namespace
}  // namespace model
