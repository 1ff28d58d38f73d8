// The piano-roll automation against a fake tree of host windows: what it clicks and types, what
// it reads, and that it does nothing when the host's windows are not there.
#include <gtest/gtest.h>

#include "automation/piano_roll.h"
#include "support/editor_fixture.h"
#include "support/fake_window_tree.h"
#include "support/notes.h"

namespace {

using namespace automation;
using platform::HeldKey;
using platform::WindowRect;
using testing_support::FakeWindowTree;
namespace vk = platform::vk;

// A host with one panel holding a piano roll at (100, 100)-(900, 700) and its colour window
// along the top.
struct HostWindows {
    FakeWindowTree tree;
    intptr_t main = tree.add(0, kMainFormClass, "FL Studio", {0, 0, 1000, 800});
    intptr_t panel = tree.add(main, kPanelClass, "", {0, 0, 1000, 800});
    intptr_t roll = tree.add(panel, "TPianoRollForm", "Piano Roll -", {100, 100, 900, 700});
    intptr_t colours = tree.add(roll, kPanelClass, "", {100, 100, 900, 160});
    intptr_t keys = tree.add(roll, "TKeyboard", "", {100, 100, 200, 700});  // under both click points
};

class PianoRollTest : public testing_support::EditorFixture {
protected:
    void SetUp() override {
        host.mainWindow = windows.main;
        EditorFixture::SetUp();
    }
    HostWindows windows;
    FakeWindowTree& tree = windows.tree;
};

TEST_F(PianoRollTest, CtrlClickOnACellPicksItsColourInThePianoRoll) {
    struct Case {
        int32_t version;
        std::vector<std::string> taps;
        std::string cursor;
    };
    const Case cases[] = {
        {11000000, {"Home", "Down", "Right", "Right", "Enter"}, "cursor 113,134"},
        {21000000, {"Home", "Down", "Down", "Down", "Down", "Down", "Down", "Enter"}, "cursor 128,150"},
    };
    os.keys = {HeldKey::kLeftCtrl};
    for (const Case& c : cases) {
        tree.input.clear();
        host.HostVersion = c.version;
        click(in(editor::gridHit(6)));
        EXPECT_EQ(tree.taps(), c.taps);
        ASSERT_GE(tree.input.size(), 3u);
        EXPECT_EQ(tree.input[0], c.cursor);
        EXPECT_EQ(tree.input[1], "left down");
        EXPECT_EQ(tree.input.back(), "cursor 700,500");  // put back
        EXPECT_EQ(r().options.editing, 6);
    }
    // Without a piano roll (or with nothing of its own under the point) nothing is sent.
    tree.input.clear();
    tree.at(windows.keys).alive = false;
    tree.at(windows.colours).alive = false;
    click(in(editor::gridHit(3)));
    tree.at(windows.roll).alive = false;
    click(in(editor::gridHit(3)));
    EXPECT_TRUE(tree.input.empty());
}

TEST_F(PianoRollTest, AShiftClickOnAKeyAsksForItsName) {
    r().articulations.name[2] = "Legato";
    tree.cursorAt = {150, 400};  // below the colour window, inside the roll
    tree.asyncKeys = {vk::kLeftButton, vk::kLeftShift};
    plug->Voice_Release(testing_support::play(plug, host, 1, {61, 2}));
    ASSERT_EQ(tree.debug.size(), 12u);
    EXPECT_EQ(tree.debug[1], "  LBUTTON is 0\n");  // the synchronous state, traced
    EXPECT_EQ(tree.debug.back(), "  TRIGGERED\n");

    host.promptConfirms = true;
    host.promptAnswer = "Violins";
    plug->Idle_Public();
    EXPECT_EQ(host.prompts, std::vector<std::string>{"Rename note Legato C#"});
    ASSERT_TRUE(r().articulations.keynames[2]);
    const model::KeyNameList& names = *r().articulations.keynames[2];
    EXPECT_EQ(names.named(), 1);
    EXPECT_EQ(names[keyNameEntry(61)], "Violins");
    EXPECT_EQ(host.dispatchesWithCode(3).back().value, 2);

    // Cancelled, the list stays and the host is still told; no Shift, no prompt.
    host.clear();
    host.promptConfirms = false;
    plug->Voice_Release(testing_support::play(plug, host, 2, {61, 2}));
    plug->Idle_Public();
    EXPECT_EQ(names[keyNameEntry(61)], "Violins");
    EXPECT_EQ(host.dispatchesWithCode(3).size(), 1u);
    host.clear();
    tree.asyncKeys.clear();
    plug->Voice_Release(testing_support::play(plug, host, 3, {61, 2}));
    plug->Idle_Public();
    EXPECT_TRUE(host.prompts.empty());
}

TEST(RenameCaption, LettersSharpsAndOctaves) {
    EXPECT_EQ(renameKeyCaption("Legato", 61, false), "Rename note Legato C#");
    EXPECT_EQ(renameKeyCaption("Legato", 60, false), "Rename note Legato C5");
    EXPECT_EQ(renameKeyCaption("", 60, false), "Rename note C5");
    EXPECT_EQ(renameKeyCaption("", 71, true), "Rename note B6");
}

TEST_F(PianoRollTest, TheColourPopupPicksOnlyWhenMeasured) {
    char text[256] = "";
    const auto query = [&](int colour) { plug->GetName(2, 60, colour, text); };
    struct Case {
        int height;
        bool marker;
        int picked;  // current articulation after the pick, -1 unchanged
    };
    for (const Case& c : {Case{164, true, 5}, {163, true, -1}, {165, true, -1}, {164, false, -1}}) {
        impl(plug).session().currentArticulation = 0;
        const intptr_t popup = tree.add(0, kPopupClass, "", {300, 300, 400, 300 + c.height});
        if (c.marker) tree.at(popup).pixels[{7, 2}] = kPopupMarker;
        query(1);
        plug->Idle_Public();  // follows
        plug->Idle_Public();  // measures
        query(5);
        plug->Idle_Public();  // picks
        EXPECT_EQ(impl(plug).session().currentArticulation, c.picked < 0 ? 0 : c.picked) << c.height;
        tree.at(popup).alive = false;
        plug->Idle_Public();  // forgotten
    }
    // Once measured, the popup is not read again.
    const int reads = tree.pixelReads;
    plug->Idle_Public();
    EXPECT_EQ(tree.pixelReads, reads);
}

TEST(PluginForms, RememberedPlaceMovesTheFormsOfEditors) {
    HostWindows w;
    FakeWindowTree& tree = w.tree;
    const intptr_t form = tree.add(w.panel, kPluginFormClass, "Strings", {250, 140, 500, 400});
    const intptr_t sheet = tree.add(form, kVectorSheetClass, "", {250, 160, 500, 400});
    const intptr_t editor = tree.add(sheet, "#32770", "", {250, 160, 490, 397});
    const auto isEditor = [editor](intptr_t window) { return window == editor; };
    MovePluginFormsToPlace(tree, w.main, kNoPlace, kNoPlace, isEditor);
    EXPECT_TRUE(tree.moves.empty());
    int32_t x = kNoPlace, y = kNoPlace;
    ASSERT_TRUE(RememberPluginFormPlace(tree, w.main, editor, x, y));
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(250, 140));  // in the panel's client area
    MovePluginFormsToPlace(tree, w.main, 10, 20, isEditor);
    EXPECT_EQ(tree.moves, (std::vector<FakeWindowTree::Move>{{form, 10, 20}}));
    EXPECT_FALSE(RememberPluginFormPlace(tree, w.main, 12345, x, y));

    SettleClick(tree, editor);
    EXPECT_EQ(tree.input, (std::vector<std::string>{"cursor 245,100", "left down absolute", "left up absolute",
                                                    "cursor 700,500"}));
}

}  // namespace
