#include "model/articulation_commands.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/defaults.h"

namespace model {
namespace {

// Every slot used (name "A<i>", keyswitch i, a key-name list on every fourth slot and on 63),
// or every slot empty.
std::unique_ptr<Articulations> makeSet(bool filled) {
    auto a = std::make_unique<Articulations>();
    for (int i = 0; i < kArticulationCount; ++i) {
        resetArticulation(*a, i);
        if (!filled) continue;
        a->name[i] = "A" + std::to_string(i);
        a->note[i] = i;
        if (i % 4 != 0 && i != 63) continue;
        a->keynames[i] = std::make_unique<KeyNameList>();
        a->keynames[i]->set(60, "C3 of " + std::to_string(i));
        a->keynamespath[i] = "/keys/" + std::to_string(i) + ".txt";
    }
    return a;
}

std::string describe(const Articulations& a, int i) {
    std::string s = a.name[i];
    for (int32_t v : {a.icon[i], a.note[i], a.notevel[i], a.prog[i], a.modw[i], a.modc[i], +a.keynamesmissing[i]})
        s += "|" + std::to_string(v);
    s += "|" + a.keynamespath[i] + "|" + a.keynamestitle[i];
    return a.keynames[i] ? s + "|keys:" + std::string((*a.keynames[i])[60]) : s;
}

// Every slot described with the address of its key-name list: lists move, they are not copied.
std::vector<std::string> describeAll(const Articulations& a) {
    std::vector<std::string> out;
    for (int i = 0; i < kArticulationCount; ++i)
        out.push_back(describe(a, i) + "@" + std::to_string(uintptr_t(a.keynames[i].get())));
    return out;
}

TEST(ArticulationCommands, InsertDeleteAndCutShiftTheRestAndMoveTheirLists) {
    for (int command : {kCmdInsert, kCmdDelete, kCmdCut}) {
        for (int index : {0, 21, 62, 63}) {
            auto a = makeSet(true), pasted = makeSet(false);
            const auto before = describeAll(*a);
            const std::string removed = describe(*a, index);
            ArticulationClipboard clipboard;
            EXPECT_TRUE(runArticulationCommand(*a, index, command, clipboard).stateChanged);
            const auto after = describeAll(*a);
            for (int i = 0; i < kArticulationCount; ++i) {
                const int from = i < index ? i : command == kCmdInsert ? i - 1 : i + 1;
                if ((i >= index && from < index) || from == kArticulationCount)
                    EXPECT_TRUE(isArticulationEmpty(*a, i)) << command << " " << index << " " << i;
                else
                    EXPECT_EQ(after[i], before[from]) << command << " " << index << " " << i;
            }
            EXPECT_EQ(clipboard.full, command == kCmdCut);
            if (command != kCmdCut) continue;
            PasteArticulation(*pasted, 0, clipboard);
            EXPECT_EQ(describe(*pasted, 0), removed);
        }
    }
}

TEST(ArticulationCommands, CopyAndPasteBetweenInstancesAreIndependentDeepCopies) {
    auto source = makeSet(true), target = makeSet(false);
    std::tie(source->icon[4], source->notevel[4], source->prog[4], source->modw[4], source->modc[4],
             source->keynamesmissing[4], source->keynamestitle[4]) =
        std::make_tuple(17, 90, 5, 64, kModSecondKeyswitch, 1, "strings");
    const std::string original = describe(*source, 4);
    ArticulationClipboard clipboard;
    EXPECT_FALSE(runArticulationCommand(*source, 4, kCmdCopy, clipboard).stateChanged);
    source->keynames[4]->set(60, "changed after copy");
    runArticulationCommand(*source, 4, kCmdClear, clipboard);  // the clipboard stays full
    EXPECT_TRUE(articulationMenuShows(*target, 30, kCmdPaste, clipboard));
    EXPECT_FALSE(runArticulationCommand(*target, 30, kCmdPaste, clipboard).stateChanged);
    EXPECT_EQ(describe(*target, 30), original);
    // Editing the pasted copy leaves the clipboard alone; pasting a slot without names drops the list.
    target->keynames[30]->set(60, "edited");
    EXPECT_EQ((*clipboard.slot.keynames)[60], "C3 of 4");
    CopyArticulation(*source, 5, clipboard);
    PasteArticulation(*target, 30, clipboard);
    EXPECT_EQ(describe(*target, 30), describe(*source, 5));
}

// The menu's emptiness test ignores the program and a missing key-names file; storage does not.
TEST(ArticulationCommands, AProgramOnlyArticulationIsEmptyForTheMenuButNotForStorage) {
    auto a = makeSet(false);
    a->prog[9] = 12;
    a->keynamesmissing[10] = 1;
    a->name[11] = "x";
    ArticulationClipboard clipboard;
    for (int index : {9, 10, 11}) {
        EXPECT_FALSE(isArticulationEmpty(*a, index)) << index;
        for (int cmd : {kCmdSeparator, kCmdCut, kCmdCopy, kCmdExport})
            EXPECT_EQ(articulationMenuShows(*a, index, cmd, clipboard), index == 11) << index << " " << cmd;
        for (int cmd : {kCmdClear, kCmdInsert, kCmdDelete, kCmdImport})
            EXPECT_TRUE(articulationMenuShows(*a, index, cmd, clipboard)) << index << " " << cmd;
        runArticulationCommand(*a, index, kCmdCopy, clipboard);
        EXPECT_EQ(clipboard.full, index == 11) << index;
        EXPECT_EQ(runArticulationCommand(*a, index, kCmdCut, clipboard).stateChanged, index == 11) << index;
    }
    EXPECT_EQ(std::make_tuple(a->prog[9], int{a->keynamesmissing[10]}), std::make_tuple(12, 1));  // not cut
}

}  // namespace
}  // namespace model
