#include "model/articulation_commands.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "model/defaults.h"

namespace model {
namespace {

std::unique_ptr<Articulations> emptySet() {
    auto a = std::make_unique<Articulations>();
    for (int i = 0; i < kArticulationCount; ++i) resetArticulation(*a, i);
    return a;
}

// Every slot used: name "A<i>", keyswitch i, and a key-name list on every fourth slot and on 63.
std::unique_ptr<Articulations> filledSet() {
    auto a = emptySet();
    for (int i = 0; i < kArticulationCount; ++i) {
        a->name[i] = "A" + std::to_string(i);
        a->note[i] = i;
        if (i % 4 == 0 || i == 63) {
            a->keynames[i] = std::make_unique<KeyNameList>();
            (*a->keynames[i])[60] = "C3 of " + std::to_string(i);
            a->keynamespath[i] = "/keys/" + std::to_string(i) + ".txt";
        }
    }
    return a;
}

std::string describe(const Articulations& a, int i) {
    std::string s = a.name[i] + "|" + std::to_string(a.icon[i]) + "|" + std::to_string(a.note[i]) + "|" +
                    std::to_string(a.notevel[i]) + "|" + std::to_string(a.prog[i]) + "|" +
                    std::to_string(a.modw[i]) + "|" + std::to_string(a.modc[i]) + "|" +
                    std::to_string(a.keynamesmissing[i]) + "|" + a.keynamespath[i] + "|" + a.keynamestitle[i];
    if (a.keynames[i]) s += "|keys:" + (*a.keynames[i])[60];
    return s;
}

std::vector<std::string> describeAll(const Articulations& a) {
    std::vector<std::string> out;
    for (int i = 0; i < kArticulationCount; ++i) out.push_back(describe(a, i));
    return out;
}

std::vector<const KeyNameList*> listAddresses(const Articulations& a) {
    std::vector<const KeyNameList*> out;
    for (int i = 0; i < kArticulationCount; ++i) out.push_back(a.keynames[i].get());
    return out;
}

// Insert empties the slot and shifts the rest down; delete shifts the rest up and empties the last.
// Either way key-name lists move with their articulations rather than being copied.
TEST(ArticulationCommands, InsertAndDeleteShiftTheRestAndMoveTheirLists) {
    for (int command : {kCmdInsert, kCmdDelete}) {
        for (int index : {0, 21, 62, 63}) {
            auto a = filledSet();
            const auto before = describeAll(*a);
            const auto lists = listAddresses(*a);
            ArticulationClipboard clipboard;
            EXPECT_TRUE(runArticulationCommand(*a, index, command, clipboard).stateChanged);
            for (int i = 0; i < kArticulationCount; ++i) {
                const int from = i < index ? i : command == kCmdInsert ? i - 1 : i + 1;
                if ((i >= index && from < index) || from == kArticulationCount) {
                    EXPECT_TRUE(isArticulationEmpty(*a, i)) << command << " " << index << " " << i;
                    continue;
                }
                EXPECT_EQ(describe(*a, i), before[from]) << command << " " << index << " " << i;
                EXPECT_EQ(a->keynames[i].get(), lists[from]) << command << " " << index << " " << i;
            }
            EXPECT_FALSE(clipboard.full);
        }
    }
}

TEST(ArticulationCommands, CutCopiesThenDeletes) {
    auto a = filledSet();
    auto expected = filledSet();
    ArticulationClipboard clipboard, unused;
    runArticulationCommand(*expected, 12, kCmdDelete, unused);
    const std::string cutSlot = describe(*a, 12);

    EXPECT_TRUE(runArticulationCommand(*a, 12, kCmdCut, clipboard).stateChanged);

    EXPECT_EQ(describeAll(*a), describeAll(*expected));
    ASSERT_TRUE(clipboard.full);
    auto target = emptySet();
    PasteArticulation(*target, 0, clipboard);
    EXPECT_EQ(describe(*target, 0), cutSlot);
}

TEST(ArticulationCommands, CopyAndPasteBetweenInstancesAreIndependentDeepCopies) {
    auto source = filledSet();
    source->icon[4] = 17;
    source->notevel[4] = 90;
    source->prog[4] = 5;
    source->modw[4] = 64;
    source->modc[4] = kModSecondKeyswitch;
    source->keynamesmissing[4] = 1;
    source->keynamestitle[4] = "strings";
    const std::string original = describe(*source, 4);
    ArticulationClipboard clipboard;

    EXPECT_FALSE(runArticulationCommand(*source, 4, kCmdCopy, clipboard).stateChanged);
    ASSERT_TRUE(clipboard.full);
    (*source->keynames[4])[60] = "changed after copy";
    source->name[4] = "changed";

    auto target = emptySet();
    EXPECT_FALSE(runArticulationCommand(*target, 30, kCmdPaste, clipboard).stateChanged);
    PasteArticulation(*target, 31, clipboard);

    EXPECT_EQ(describe(*target, 30), original);
    EXPECT_EQ(describe(*target, 31), original);
    ASSERT_TRUE(target->keynames[30] && target->keynames[31]);
    EXPECT_NE(target->keynames[30].get(), target->keynames[31].get());
    EXPECT_NE(target->keynames[30].get(), clipboard.slot.keynames.get());

    // Editing one pasted copy touches neither the other nor the clipboard.
    (*target->keynames[30])[60] = "edited";
    EXPECT_EQ((*target->keynames[31])[60], "C3 of 4");
    EXPECT_EQ((*clipboard.slot.keynames)[60], "C3 of 4");

    // Pasting an articulation without key names releases the target's list.
    CopyArticulation(*source, 5, clipboard);
    PasteArticulation(*target, 30, clipboard);
    EXPECT_FALSE(target->keynames[30]);
    EXPECT_EQ(target->name[30], "A5");
}

TEST(ArticulationCommands, PasteNeedsAFilledClipboard) {
    auto a = filledSet();
    const auto before = describeAll(*a);
    ArticulationClipboard clipboard;

    EXPECT_FALSE(articulationMenuShows(*a, 3, kCmdPaste, clipboard));
    runArticulationCommand(*a, 3, kCmdPaste, clipboard);
    PasteArticulation(*a, 4, clipboard);
    EXPECT_EQ(describeAll(*a), before);

    // Once filled, the clipboard stays full, even holding an articulation later cleared.
    CopyArticulation(*a, 3, clipboard);
    EXPECT_TRUE(runArticulationCommand(*a, 3, kCmdClear, clipboard).stateChanged);
    EXPECT_TRUE(isArticulationEmpty(*a, 3));
    EXPECT_EQ(describe(*a, 4), before[4]);
    EXPECT_TRUE(articulationMenuShows(*a, 3, kCmdPaste, clipboard));
    EXPECT_TRUE(articulationMenuShows(*emptySet(), 0, kCmdPaste, clipboard));
}

TEST(ArticulationCommands, ProgramOnlyArticulationIsEmptyForTheMenuButNotForStorage) {
    auto a = emptySet();
    a->prog[9] = 12;
    a->keynamesmissing[10] = 1;
    ArticulationClipboard clipboard;

    for (int index : {9, 10}) {
        EXPECT_FALSE(isArticulationEmpty(*a, index)) << index;
        for (int cmd : {kCmdSeparator, kCmdCut, kCmdCopy, kCmdExport}) {
            EXPECT_FALSE(articulationMenuShows(*a, index, cmd, clipboard)) << index << " " << cmd;
        }
        for (int cmd : {kCmdClear, kCmdInsert, kCmdDelete, kCmdImport}) {
            EXPECT_TRUE(articulationMenuShows(*a, index, cmd, clipboard)) << index << " " << cmd;
        }
        EXPECT_FALSE(runArticulationCommand(*a, index, kCmdCut, clipboard).stateChanged);
        EXPECT_FALSE(runArticulationCommand(*a, index, kCmdCopy, clipboard).stateChanged);
    }
    EXPECT_FALSE(clipboard.full);
    EXPECT_EQ(a->prog[9], 12);  // Cut did not delete it
    EXPECT_EQ(a->keynamesmissing[10], 1);

    a->name[9] = "x";
    for (int cmd : {kCmdSeparator, kCmdCut, kCmdCopy, kCmdExport}) {
        EXPECT_TRUE(articulationMenuShows(*a, 9, cmd, clipboard)) << cmd;
    }
}

TEST(ArticulationCommands, OtherCommandsAndIndicesChangeNothing) {
    auto a = filledSet();
    const auto before = describeAll(*a);
    const auto lists = listAddresses(*a);
    ArticulationClipboard clipboard;

    for (int cmd : std::initializer_list<int>{kCmdMenu, kCmdSeparator, kCmdExport, kCmdImport, 10, -1}) {
        EXPECT_FALSE(runArticulationCommand(*a, 5, cmd, clipboard).stateChanged) << cmd;
    }
    for (int cmd : std::initializer_list<int>{kCmdMenu, 10, -1}) EXPECT_FALSE(articulationMenuShows(*a, 5, cmd, clipboard)) << cmd;
    for (int index : {-1, 64, 1000}) {
        for (int cmd = kCmdClear; cmd <= kCmdPaste; ++cmd) {
            EXPECT_FALSE(runArticulationCommand(*a, index, cmd, clipboard).stateChanged) << index << " " << cmd;
            EXPECT_FALSE(articulationMenuShows(*a, index, cmd, clipboard)) << index << " " << cmd;
        }
        CopyArticulation(*a, index, clipboard);
        PasteArticulation(*a, index, clipboard);
    }
    EXPECT_FALSE(clipboard.full);
    EXPECT_EQ(describeAll(*a), before);
    EXPECT_EQ(listAddresses(*a), lists);
}

}  // namespace
}  // namespace model
