// Right clicks, menus, typed values, the wheel and the keys, headless: scripted menus and
// prompts through the recording host.
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "support/editor_fixture.h"
#include "support/recording_canvas.h"

namespace {

using namespace editor;
using platform::HeldKey;
using platform::InputEvent;
using testing_support::EditorFixture;

class MenusTest : public EditorFixture {
protected:
    void rightClick(Point at, int button = InputEvent::kRight) {
        send(InputEvent::Kind::kButtonDown, at, button);
        send(InputEvent::Kind::kButtonUp, at, button);
    }
    // A right click whose prompt is answered with `answer`.
    void typeInto(Point at, const std::string& answer) {
        host.promptConfirms = true;
        host.promptAnswer = answer;
        rightClick(at);
        host.promptConfirms = false;
    }
    void keyDown(int code) {
        InputEvent e;
        e.kind = InputEvent::Kind::kKeyDown;
        e.key = code;
        ed().input(e);
    }
    void wheel(int delta) {
        InputEvent e;
        e.kind = InputEvent::Kind::kWheel;
        e.wheelDelta = delta;
        ed().input(e);
    }
};

TEST_F(MenusTest, RightClicksPromptForTheFieldUnderTheMouse) {
    struct Case {
        int page;
        Hit box;
        std::set<HeldKey> keys;
        const char* caption;  // null: no prompt
    };
    const Case cases[] = {
        {kArticulationPanel, kKeyswitchHit, {}, "Keyswitch"},
        {kArticulationPanel, kKeyswitchHit, {HeldKey::kAlt}, "Keyswitch velocity"},
        {kArticulationPanel, kCcNumberHit, {}, "CC #"},
        {kArticulationPanel, kCcValueHit, {}, "CC value"},
        {kArticulationPanel, kProgramHit, {}, "Program change"},
        {kArticulationPanel, kIconHit, {HeldKey::kShift}, "Icon ID"},
        {kArticulationPanel, kNameHit, {}, "Articulation name"},
        {kControllerPanel, kPageNameMenuHit, {}, "Page name"},
        {kIconPicker, kPortHit, {}, "Port"},
        {kOptionsPanel, kChannelHit, {}, "Channel"},
        {kOptionsPanel, panelTabHit(kOptionsPanel), {}, nullptr},
    };
    for (const Case& c : cases) {
        host.clear();
        r().options.page = c.page;
        os.keys = c.keys;
        rightClick(in(c.box));
        EXPECT_EQ(host.prompts, c.caption ? std::vector<std::string>{c.caption} : std::vector<std::string>{})
            << (c.caption ? c.caption : "nothing");
        EXPECT_TRUE(menus.shown.empty());
    }
    // Without Shift the icon field opens the picker; the articulation tab opens the bank menu on
    // every panel (five entries without the importer library).
    os.keys.clear();
    r().options.page = kArticulationPanel;
    rightClick(in(kIconHit));
    EXPECT_EQ(r().options.page, kIconPicker);
    for (const int page : {kArticulationPanel, kControllerPanel, kOptionsPanel, kIconPicker}) {
        r().options.page = page;
        rightClick(in(panelTabHit(kArticulationPanel)));
        EXPECT_EQ(menus.lastTexts().size(), 5u);
    }
    EXPECT_EQ(menus.lastTexts()[2], "Export articulations");
    EXPECT_EQ(host.dispatchesWithCode(0).back().value, -1024);  // the dismissed menu goes to the host
}

TEST_F(MenusTest, TypedValuesAreReadClampedAndStored) {
    struct Case {
        Hit box;
        const char* answer;
        std::function<int32_t(model::InstanceRecords&)> field;
        int32_t expected;
    };
    const auto note = [](model::InstanceRecords& r) { return r.articulations.note[0]; };
    const auto channel = [](model::InstanceRecords& r) { return r.options.channel; };
    const Case cases[] = {
        {kKeyswitchHit, "Db3", note, 61},
        {kKeyswitchHit, "200", note, 127},
        {kKeyswitchHit, "no", note, 0},
        {kProgramHit, "1", [](model::InstanceRecords& r) { return r.articulations.prog[0]; }, 0},
        {kCcNumberHit, "300", [](model::InstanceRecords& r) { return r.articulations.modc[0]; }, 127},
        {kPortHit, "300", [](model::InstanceRecords& r) { return r.options.port; }, 255},
        {kChannelHit, "---", channel, model::kPerColourChannel},
        {kChannelHit, "16", channel, 15},
        {kChannelHit, "40", channel, 15},
        {kChannelHit, "0", channel, model::kPerColourChannel},
    };
    r().options.page = kArticulationPanel;
    for (const Case& c : cases) {
        typeInto(in(c.box), c.answer);
        EXPECT_EQ(c.field(r()), c.expected) << c.answer;
    }
    rightClick(in(kChannelHit));
    EXPECT_EQ(host.promptPrefills.back(), "---");  // per colour is shown as it is drawn
    r().options.altmiddlec = 1;
    typeInto(in(kKeyswitchHit), "C3");
    EXPECT_EQ(r().articulations.note[0], 48);
    // A cancelled prompt changes nothing.
    host.clear();
    rightClick(in(kKeyswitchHit));
    EXPECT_EQ(r().articulations.note[0], 48);
    EXPECT_TRUE(host.dispatchesWithCode(48).empty());
}

// A damaged state may hold any number: what the editor shows or works out from one is done wide.
TEST_F(MenusTest, StoredNumbersAtTheIntegerLimitsAreShownWhole) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    r().options.page = kArticulationPanel;
    r().articulations.prog[0] = kMax;
    r().options.channel = kMax;
    testing_support::RecordingCanvas canvas;
    ed().paintTo(canvas);
    EXPECT_EQ(canvas.textAt(kProgramText), "2147483648");
    EXPECT_EQ(canvas.textAt(kChannelText), "2147483648");
    rightClick(in(kProgramHit));
    EXPECT_EQ(host.promptPrefills.back(), "2147483648");
    rightClick(in(kChannelHit));
    EXPECT_EQ(host.promptPrefills.back(), "2147483648");
    click(in(kMuteSoloHit));
    EXPECT_EQ(statuses().back(), "Port 0, Channel 2147483648 muted");

    r().options.page = kControllerPanel;
    r().options.paramknob = 0;
    r().options.oldparams = 1;
    r().controllers.cc[1] = std::numeric_limits<int32_t>::min();
    r().controllers.type[1] = kMax;
    menus.answers = {128};  // "Swap controller type"
    rightClick(in(controlHit(1)));
    EXPECT_EQ(r().controllers.type[1], 2);  // (2147483647 + 1) mod 3
    host.clear();
    rightClick(in(controlHit(1)), InputEvent::kMiddle);  // a reset under no parameter reaches none
    EXPECT_EQ(statuses().back(), "CC #-2147483648 set to 127");
}

TEST_F(MenusTest, ModeMenuAndTheMidiTestBurst) {
    r().options.page = kArticulationPanel;
    r().articulations.modc[0] = 64;
    r().articulations.modw[0] = 64;
    menus.answers = {2};
    click(in(kModeSelectorHit));
    EXPECT_EQ(menus.lastTexts(), (std::vector<std::string>{"Set CC to value", "Second keyswitch", "Set play velocity"}));
    EXPECT_EQ((std::vector<int32_t>{r().articulations.modc[0], r().articulations.modw[0]}), (std::vector<int32_t>{-2, -1}));

    r().options.page = kOptionsPanel;
    r().options.port = 2;
    r().options.channel = 49;  // bits 5 and 4 set, 1 in the low four
    os.keys = {HeldKey::kLeftCtrl};
    host.midi.clear();
    rightClick(in(kMidiTestHit));
    std::vector<uint32_t> sent;
    for (const auto& m : host.midi) sent.push_back(m.raw);
    EXPECT_EQ(sent, (std::vector<uint32_t>{0x02FFFF81, 0x02FFFF91, 0x02FFFFA1, 0x02FFFFB1, 0x02FFFFC1, 0x02FFFFD1,
                                           0x02FFFFE1}));
}

TEST_F(MenusTest, ControllerMenusAssignRenameSwapAndReset) {
    r().options.page = kControllerPanel;
    r().controllerstart = 6;  // page 2: all unassigned
    const Point knob = in(controlHit(1));
    rightClick(knob);
    EXPECT_EQ(menus.lastTexts(), (std::vector<std::string>{"Assign controller"}));
    struct Assign {
        const char* typed;
        int32_t cc;
        bool refused;
    };
    for (const Assign& a : {Assign{"7", 7, false}, {"0", 0, false}, {"x", 0, true}, {"300", 127, false}}) {
        host.clear();
        menus.answers = {r().controllers.cc[7] == model::kUnassignedCc ? 126 : 134};
        typeInto(knob, a.typed);
        EXPECT_EQ(r().controllers.cc[7], a.cc) << a.typed;
        EXPECT_EQ(host.dispatchesWithCode(19).size(), a.refused ? 1u : 0u) << a.typed;
        EXPECT_EQ(host.prompts, std::vector<std::string>{"Controller CC"});
    }
    EXPECT_EQ(r().controllers.name[7], "New control");

    // The host's own entries follow a separator; Swap cycles the type.
    host.parameterMenu = {{"-", 0}, {"Edit events", 0}, {"-", 0}, {"Link to controller", 2}};
    for (int round = 0; round < 3; ++round) {
        menus.answers = {128};
        rightClick(knob);
    }
    EXPECT_EQ(r().controllers.type[7], model::kKnob);
    EXPECT_EQ(menus.lastTexts(), (std::vector<std::string>{"Reassign controller", "Unassign controller",
                                                          "Rename controller", "Swap controller type",
                                                          "Lock controller value", "Copy controller", "-",
                                                          "Edit events", "-", "Link to controller", "Set as default"}));
    EXPECT_TRUE(menus.shown.back()[9].checked);
    menus.answers = {1025};
    rightClick(knob);
    EXPECT_EQ(host.dispatchesWithCode(0).back().value, 1);

    // Set as default, drag away, middle click: back to the default.
    r().controllers.value[7] = 40;
    menus.answers = {130};
    rightClick(knob);
    drag(knob, {-20});
    EXPECT_EQ(r().controllers.value[7], 50);
    rightClick(knob, InputEvent::kMiddle);
    EXPECT_EQ(r().controllers.value[7], 40);
    // Shift goes straight to the CC prompt.
    host.clear();
    os.keys = {HeldKey::kShift};
    rightClick(knob);
    EXPECT_EQ(host.prompts, std::vector<std::string>{"Controller CC"});
    EXPECT_EQ(host.promptPrefills, std::vector<std::string>{"127"});

    // The page menu: page 3 shows controllers 12..17.
    menus.answers = {3};
    click(in(kPageNameHit));
    EXPECT_EQ(r().controllerstart, 12);
    EXPECT_EQ(menus.lastTexts()[1], "Controllers 2");
}

TEST_F(MenusTest, WheelAndKeys) {
    r().options.page = kArticulationPanel;
    r().options.articbanks = 1;
    r().options.startart = 48;
    wheel(-120);
    EXPECT_EQ(r().options.startart, 48);
    os.keys = {HeldKey::kAlt};
    wheel(120);
    EXPECT_EQ(r().options.startart, 32);
    EXPECT_EQ(host.hints.back(), "Articulation bank 3 - moar articulations");
    EXPECT_EQ(impl(plug).session().currentBank, 2);
    os.keys.clear();

    // Right on 15: a second bank only with banks on.
    r().options.editing = 15;
    keyDown(0x27);
    EXPECT_EQ((std::vector<int32_t>{r().options.editing, r().options.startart}), (std::vector<int32_t>{16, 16}));
    r().options.articbanks = 0;
    r().options.editing = 15;
    keyDown(0x27);
    EXPECT_EQ(r().options.editing, 15);

    // Delete asks first; Ctrl+Delete does not.
    r().articulations.name[15] = "Pizzicato";
    r().articulations.name[16] = "Col legno";
    host.messageBoxAnswer = 7;
    keyDown(0x2E);
    EXPECT_EQ(r().articulations.name[15], "Pizzicato");
    EXPECT_EQ(host.dispatchesWithCode(19).back().value, 52);
    os.keys = {HeldKey::kLeftCtrl};
    keyDown(0x2E);
    EXPECT_EQ(r().articulations.name[15], "Col legno");
    keyDown(0x26);  // Ctrl+Up collapses
    EXPECT_EQ(impl(plug).editorHeight(), 100);

    r().options.page = kIconPicker;
    wheel(-120);
    EXPECT_FLOAT_EQ(ed().state().iconScroll, 0.05f);
}

}  // namespace
