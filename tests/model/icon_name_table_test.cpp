#include "model/icon_name_table.h"

#include <gtest/gtest.h>

#include "model/records.h"

namespace model {
namespace {

IconNameTable sampleTable() {
    IconNameTable t;
    t.add("Legato", 3);
    t.add("Staccato", 7);
    t.add("Spiccato", 7);
    t.add("LEGATO", 12);
    t.add("Pizzicato", 20);
    return t;
}

TEST(IconNameTable, RenameTakesIconCaseInsensitivelyLastMatchWins) {
    const IconNameTable t = sampleTable();
    EXPECT_EQ(iconForRenamedArticulation(t, "pizziCATO", kNoIcon), 20);
    EXPECT_EQ(iconForRenamedArticulation(t, "legato", kNoIcon), 12);
    EXPECT_EQ(iconForRenamedArticulation(t, "Legato ", kNoIcon), kNoIcon);  // whole name only
    EXPECT_EQ(iconForRenamedArticulation(t, "Legat", kNoIcon), kNoIcon);
    EXPECT_EQ(iconForRenamedArticulation(t, "", kNoIcon), kNoIcon);
}

TEST(IconNameTable, RenameKeepsAnIconAlreadyChosen) {
    const IconNameTable t = sampleTable();
    EXPECT_EQ(iconForRenamedArticulation(t, "Pizzicato", 4), 4);
    EXPECT_EQ(iconForRenamedArticulation(t, "Pizzicato", 0), 0);
}

TEST(IconNameTable, FoldingIsAsciiOnly) {
    IconNameTable t;
    t.add("\xC3\x89tude", 9);  // "Étude"
    EXPECT_EQ(iconForRenamedArticulation(t, "\xC3\x89TUDE", kNoIcon), 9);
    EXPECT_EQ(iconForRenamedArticulation(t, "\xC3\xA9tude", kNoIcon), kNoIcon);  // "étude"
}

TEST(IconNameTable, PickedIconNamesOnlyAnUnnamedArticulation) {
    const IconNameTable t = sampleTable();
    EXPECT_EQ(nameForPickedIcon(t, "", 7), "Staccato");  // first of two entries
    EXPECT_EQ(nameForPickedIcon(t, "", 12), "LEGATO");
    EXPECT_EQ(nameForPickedIcon(t, "", 44), "");
    EXPECT_EQ(nameForPickedIcon(t, "Mine", 7), "Mine");

    IconNameTable withNoIconEntry = sampleTable();
    withNoIconEntry.add("Nothing", kNoIcon);
    EXPECT_EQ(nameForPickedIcon(withNoIconEntry, "", kNoIcon), "");
    EXPECT_EQ(iconForRenamedArticulation(withNoIconEntry, "nothing", kNoIcon), kNoIcon);
}

TEST(IconNameTable, ClearEmptiesBothListsAndLookupsFallBack) {
    IconNameTable t = sampleTable();
    t.clear();
    EXPECT_TRUE(t.names.empty());
    EXPECT_TRUE(t.icons.empty());
    EXPECT_EQ(iconForRenamedArticulation(t, "Legato", kNoIcon), kNoIcon);
    EXPECT_EQ(nameForPickedIcon(t, "", 3), "");

    // Lists out of step (filled by hand) are read only as far as both go.
    t.names = {"A", "B"};
    t.icons = {1};
    EXPECT_EQ(iconForRenamedArticulation(t, "b", kNoIcon), kNoIcon);
    EXPECT_EQ(iconForRenamedArticulation(t, "a", kNoIcon), 1);
}

}  // namespace
}  // namespace model
