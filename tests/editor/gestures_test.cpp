// The editor's hands-on behaviour, headless: drags with the cursor held in place, clicks in their
// order with their consequences, and the hints one move behind. The operating system is a
// scripted fake; the host is the recording host, reached through the instance as FL Studio would.
#include <gtest/gtest.h>

#include <functional>

#include "editor/layout.h"
#include "settings/registry_values.h"
#include "platform/settings_store.h"
#include "support/editor_fixture.h"
#include "support/notes.h"

namespace {

using namespace editor;
using platform::HeldKey;
using platform::InputEvent;

using GestureTest = testing_support::EditorFixture;

TEST_F(GestureTest, DragsFollowTheHandsTravelWithinTheirRanges) {
    struct Case {
        const char* what;
        int page;
        Hit box;
        std::set<HeldKey> keys;
        std::vector<int> moves;
        std::function<int32_t&(model::InstanceRecords&)> field;
        int32_t start, expected;
    };
    const auto note = [](model::InstanceRecords& r) -> int32_t& { return r.articulations.note[0]; };
    const auto channel = [](model::InstanceRecords& r) -> int32_t& { return r.options.channel; };
    const auto knob = [](model::InstanceRecords& r) -> int32_t& { return r.controllers.value[1]; };
    const Case cases[] = {
        {"8 pixels up, in small moves, raise the keyswitch by 1", 0, kKeyswitchHit, {}, {-2, -2, -2, -2}, note, 60, 61},
        {"7 pixels are not enough", 0, kKeyswitchHit, {}, {-7}, note, 60, 60},
        {"with Ctrl 72 pixels are needed", 0, kKeyswitchHit, {HeldKey::kLeftCtrl}, {-72}, note, 60, 61},
        {"with Ctrl 71 are not", 0, kKeyswitchHit, {HeldKey::kLeftCtrl}, {-71}, note, 60, 60},
        {"down to none and no further", 0, kKeyswitchHit, {}, {40}, note, 0, -1},
        {"Alt drags the keyswitch velocity", 0, kKeyswitchHit, {HeldKey::kAlt}, {-8},
         [](model::InstanceRecords& r) -> int32_t& { return r.articulations.notevel[0]; }, 100, 101},
        {"the icon", 0, kIconHit, {}, {-16}, [](model::InstanceRecords& r) -> int32_t& { return r.articulations.icon[0]; },
         55, 57},
        {"the program", 0, kProgramHit, {}, {-600, -600}, [](model::InstanceRecords& r) -> int32_t& { return r.articulations.prog[0]; },
         -1, 127},
        {"channel 1 down gives per colour", 0, kChannelHit, {}, {8}, channel, 0, model::kPerColourChannel},
        {"per colour up 4 steps gives channel 1", 0, kChannelHit, {}, {-8}, channel, model::kPerColourChannel, 0},
        {"the channel stops at 16 without MIDI Extend", 1, kChannelHit, {}, {-500}, channel, 0, 15},
        {"254 pixels take a knob from 0 to 127 and it stops", 1, controlHit(1), {}, {-254, -100}, knob, 0, 127},
        {"a knob down", 1, controlHit(1), {}, {20}, knob, 64, 54},
    };
    r().controllers.cc[1] = 7;
    r().controllers.type[1] = model::kKnob;
    for (const Case& c : cases) {
        r().options.page = c.page;
        c.field(r()) = c.start;
        os.keys = c.keys;
        drag(in(c.box), c.moves);
        EXPECT_EQ(c.field(r()), c.expected) << c.what;
        EXPECT_FALSE(os.hidden || os.confined) << c.what << ": the cursor is given back";
        EXPECT_EQ(os.cursor.x, 499) << c.what << ": the cursor stays at the press";
        os.cursor = {500, 400};
    }
    EXPECT_EQ(host.paramChanges.back(), std::make_pair(7 - r().options.oldparams, 54));
    // MIDI Extend lets the channel reach 64.
    r().options.midixtend = 1;
    drag(in(kChannelHit), {-600});
    EXPECT_EQ(r().options.channel, 63);
}

TEST_F(GestureTest, ANoteFillsTheFieldHeldByADrag) {
    r().options.page = kArticulationPanel;
    send(InputEvent::Kind::kButtonDown, in(kKeyswitchHit));
    plug->Voice_Release(testing_support::play(plug, host, 1, {67}));
    send(InputEvent::Kind::kButtonUp, in(kKeyswitchHit));
    plug->Voice_Release(testing_support::play(plug, host, 2, {70}));
    EXPECT_EQ(r().articulations.note[0], 67);
    EXPECT_EQ(impl(plug).session().learn(), engine::NoteLearn::kNone);
}

TEST_F(GestureTest, PortDragsForgetWhatWasSentAndAltNamesTheInstance) {
    impl(plug).session().currentArticulation = 5;
    os.keys = {HeldKey::kAlt};
    drag(in(kPortHit), {-12});
    EXPECT_EQ(r().options.port, 1);
    EXPECT_EQ(impl(plug).session().currentArticulation, 0);
    ASSERT_EQ(host.dispatchesWithCode(10).size(), 1u);
    EXPECT_EQ(host.dispatchesWithCode(10)[0].text, "KRYL Out 1:1");
    EXPECT_FALSE(host.dispatchesWithCode(48).empty());

    // Alt on a controller resets it to its default and starts no drag.
    host.clear();
    r().options.page = kControllerPanel;
    r().controllers.cc[2] = 11;
    r().controllers.defaultValue[2] = 90;
    r().controllers.value[2] = 10;
    r().controllers.on[2] = 1;
    send(InputEvent::Kind::kButtonDown, in(controlHit(2)));
    EXPECT_FALSE(os.hidden);
    EXPECT_EQ(r().controllers.value[2], 90);
    EXPECT_EQ(statuses(), (std::vector<std::string>{"CC #11 set to 90"}));
    // A locked one keeps its value.
    r().controllers.lock[2] = 1;
    r().controllers.value[2] = 10;
    send(InputEvent::Kind::kButtonDown, in(controlHit(2)));
    EXPECT_EQ(r().controllers.value[2], 10);
}

TEST_F(GestureTest, ClicksSwitchPanelsToggleOptionsAndMute) {
    click(in(panelTabHit(2)));
    EXPECT_EQ(r().options.page, kOptionsPanel);
    click(in(optionsTabHit(kAutomationTab)));
    click(in(optionHit(0, 0)));  // "Parameters control CC" off: the named layout
    EXPECT_EQ(r().options.paramknob, 1);
    EXPECT_EQ(values(27), (std::vector<intptr_t>{97}));
    EXPECT_EQ(values(3), (std::vector<intptr_t>{0}));
    host.clear();
    click(in(optionsTabHit(kGeneralTab)));
    r().options.startart = 32;
    click(in(optionHit(1, 0)));  // banks on, then off again
    click(in(optionHit(1, 0)));
    EXPECT_EQ(r().options.articbanks, 0);
    EXPECT_EQ(r().options.startart, 0);
    EXPECT_EQ(values(3), (std::vector<intptr_t>{4, 5, 4, 5}));
    click(in(optionHit(0, 2)));  // alternative middle C: names rebuilt
    EXPECT_STREQ(impl(plug).noteNames()[60].data(), "C4");
    click(in(optionsTabHit(kAdvancedTab)));
    click(in(optionHit(0, 0, true)));
    EXPECT_EQ(settings::RegReadDword(platform::kVoxtraneKey, "HTTP API", 9), 1u);
    click(in(optionHit(0, 0, true)));
    EXPECT_EQ(settings::RegReadDword(platform::kVoxtraneKey, "HTTP API", 9), 0u);
    click(in(kDebugToggleHit));
    EXPECT_TRUE(impl(plug).session().debugLog);

    // Mute, solo, and nothing while the transport plays.
    host.clear();
    click(in(kMuteSoloHit));
    os.keys = {HeldKey::kRightCtrl};
    click(in(kMuteSoloHit));
    plug->Dispatcher(12, 0, 1);
    click(in(kMuteSoloHit));
    EXPECT_EQ(statuses(), (std::vector<std::string>{"Port 0, Channel 1 muted", "Port 0, Channel 1 is now solo"}));
}

TEST_F(GestureTest, GridIconPickerSwitchesAndControllerNames) {
    r().options.startart = 16;
    click(in(gridHit(9)));
    EXPECT_EQ(r().options.editing, 25);
    r().options.page = kIconPicker;
    ed().state().iconScroll = 1.0f;
    click({pickerCell(9).x + 3, pickerCell(9).y + 3});  // column 1, row 1 below the top row 23
    EXPECT_EQ(r().articulations.icon[25], 1 + 8 * 24);
    EXPECT_EQ(r().options.page, kArticulationPanel);
    EXPECT_EQ(statuses().back(), "Clicked 1 1 (193)");

    r().options.page = kControllerPanel;
    r().controllers.cc[3] = 64;
    r().controllers.type[3] = model::kSwitch;
    r().controllers.on[3] = 1;
    r().controllers.value[3] = 63;
    click(in(controlHit(3)));
    EXPECT_EQ(r().controllers.value[3], 127);
    click(in(controlHit(3)));
    EXPECT_EQ(r().controllers.value[3], 0);
    click(in(controlNameHit(3)));
    EXPECT_EQ(r().controllers.on[3], 0);
    EXPECT_EQ(statuses().back(), "CC #64 set to 0");
}

TEST_F(GestureTest, HintsFollowOneMoveBehindAndOnlyOnAChange) {
    r().options.page = kArticulationPanel;
    r().articulations.name[1] = "Legato";
    const Point path[] = {{0, 0}, in(gridHit(0)), {gridHit(0).left, gridHit(0).top}, in(gridHit(1)), {238, 180},
                          in(kCcNumberHit), in(kCcValueHit), {238, 180}, {238, 181}};
    for (const Point& p : path) send(InputEvent::Kind::kMouseMove, p);
    EXPECT_EQ(host.hints, (std::vector<std::string>{
                              "Articulation 1. Edit the properties below or right click for more",
                              "Legato - An articulation. Edit the properties below or right click for more",
                              "",
                              "Set a CC when playing notes of this articulation. Left-click drag to change, right "
                              "click for manual entry",
                              "",
                          }));
    // The single-editor row has no hint on an old host; the API row ends with the address.
    host.hints.clear();
    r().options.page = kOptionsPanel;
    host.HostVersion = 11000000;
    for (const Point& p : {in(optionHit(1, 1)), in(optionHit(1, 1)), {238, 180}}) send(InputEvent::Kind::kMouseMove, p);
    EXPECT_TRUE(host.hints.empty());
    processWide().optionsTab = kAdvancedTab;
    for (const Point& p : {in(optionHit(0, 0, true)), {238, 180}}) send(InputEvent::Kind::kMouseMove, p);
    EXPECT_EQ(host.hints, (std::vector<std::string>{"Enable the HTTP based API (http://127.0.0.1:8000/)"}));
}

}  // namespace

namespace {

// A damaged project's view values read as their nearest valid ones in every handler: the
// controller page starting past the controllers (the API allows 95: controllers 96 on are
// nothing), a page far below zero, a selection and a panel far out.
TEST_F(GestureTest, ViewValuesOutOfRangeReadAsTheirNearestValidOnes) {
    for (int c = 0; c < model::kControllerCount; ++c) {
        r().controllers.cc[size_t(c)] = 20;
        r().controllers.type[size_t(c)] = model::kKnob;
        r().controllers.value[size_t(c)] = r().controllers.defaultValue[size_t(c)] = 10;
    }
    const struct {
        int32_t start;
        int knob;  // the controller the first large knob moves, -1 none
    } cases[] = {{95, -1}, {-2000000000, 1}, {2000000000, -1}, {90, 91}};
    for (const auto& c : cases) {
        r().options.page = kControllerPanel;
        r().controllerstart = c.start;
        const std::vector<int32_t> before(r().controllers.value.begin(), r().controllers.value.end());
        drag(in(controlHit(1)), {-40});
        if (c.knob >= 0) {
            EXPECT_GT(r().controllers.value[size_t(c.knob)], 10) << c.start;
        }
        drag(in(kMiniControlHit), {}, 40);
        for (const Hit box : {controlHit(1), controlHit(5), controlNameHit(2), kMiniNameHit}) {
            send(InputEvent::Kind::kMouseMove, in(box));
            send(InputEvent::Kind::kButtonDown, in(box), InputEvent::kRight);
            send(InputEvent::Kind::kButtonUp, in(box), InputEvent::kRight);
            send(InputEvent::Kind::kButtonDown, in(box), InputEvent::kMiddle);
            send(InputEvent::Kind::kButtonUp, in(box), InputEvent::kMiddle);
        }
        for (int k = 0; k < model::kControllerCount; ++k) {
            if (k == c.knob || k == std::clamp(c.start, 0, 95)) continue;
            EXPECT_EQ(r().controllers.value[size_t(k)], before[size_t(k)]) << c.start << " moved " << k;
        }
        EXPECT_EQ(r().controllerstart, c.start);  // stored as read
    }
    r().options.editing = 100000;
    r().options.page = -7;
    r().options.startart = 1000;
    click(in(gridHit(2)));  // the panel reads as the articulation panel, the bank as the last
    EXPECT_EQ(r().options.editing, 50);
    send(InputEvent::Kind::kKeyDown, in(kIconHit));
}

}  // namespace
