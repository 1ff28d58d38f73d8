// What the paint draws where, as data: the fields' texts and colours, the sprites' frames and the
// panels' rows, checked against the layout tables rather than pixels.
#include <gtest/gtest.h>

#include "editor/layout.h"
#include "editor/paint.h"
#include "model/defaults.h"
#include "support/recording_canvas.h"

namespace {

using namespace editor;
using platform::Sheet;
using testing_support::DrawCall;
using testing_support::RecordingCanvas;

class PaintTest : public ::testing::Test {
protected:
    PaintTest() {
        model::resetRecords(r, 1, true);
        engine::buildNoteNames(false, names);
        facts.noteNames = &names;
    }
    RecordingCanvas paint(int page) {
        r.options.page = page;
        RecordingCanvas canvas;
        Paint(r, state, facts, canvas);
        return canvas;
    }

    model::InstanceRecords r;
    EditorState state;
    PaintFacts facts;
    engine::NoteNameTable names{};
};

TEST_F(PaintTest, ArticulationFieldsShowTheirValuesOrDashes) {
    struct Case {
        int32_t note, modc, modw, prog;
        std::vector<std::pair<platform::Box, std::string>> shown;
        platform::Rect strip;
    };
    const Case cases[] = {
        {60, 64, -1, 0, {{kKeyswitchText, "C3"}, {kCcNumberText, "64"}, {kCcValueText, "---"}, {kProgramText, "1"}},
         sheet::kCcModeStrip},
        {-1, -1, -1, -1, {{kKeyswitchText, "----"}, {kCcNumberText, "---"}, {kCcValueText, "---"}, {kProgramText, "---"}},
         sheet::kCcModeStrip},
        {24, model::kModSecondKeyswitch, 62, 127, {{kKeyswitchText, "C0"}, {kModeText, "D3"}, {kProgramText, "128"}},
         sheet::kSecondKeyswitchStrip},
        {0, model::kModSecondKeyswitch, -1, -1, {{kKeyswitchText, "C-2"}, {kModeText, "----"}}, sheet::kSecondKeyswitchStrip},
        {127, model::kModPlayVelocity, 100, -1, {{kKeyswitchText, "G8"}, {kModeText, "100"}}, sheet::kPlayVelocityStrip},
        {61, model::kModPlayVelocity, -1, -1, {{kKeyswitchText, "C#3"}, {kModeText, "----"}}, sheet::kPlayVelocityStrip},
    };
    r.options.editing = 5;
    for (const Case& c : cases) {
        r.articulations.note[5] = c.note;
        r.articulations.modc[5] = c.modc;
        r.articulations.modw[5] = c.modw;
        r.articulations.prog[5] = c.prog;
        const RecordingCanvas canvas = paint(kArticulationPanel);
        for (const auto& [box, text] : c.shown) {
            EXPECT_EQ(canvas.textAt(box), text) << "modc " << c.modc;
            EXPECT_EQ(canvas.textIn(box)->colour, colour::kValue);
            EXPECT_EQ(canvas.textIn(box)->font, font::kValue);
        }
        EXPECT_EQ(canvas.copyAt(kStrip.x, kStrip.y)->source, c.strip);
    }
}

TEST_F(PaintTest, NameVelocityBarIconAndKeyNamesTitle) {
    r.options.editing = 9;
    r.articulations.notevel[9] = 64;
    r.articulations.icon[9] = 40;
    RecordingCanvas canvas = paint(kArticulationPanel);
    EXPECT_EQ(canvas.textAt(kNameText), "Articulation 10");
    EXPECT_EQ(canvas.textIn(kNameText)->format, platform::TextFormat::kLine);
    EXPECT_EQ(canvas.copyAt(kVelocityBarAt.x, kVelocityBarAt.y)->source.height, 30 - 30 * 64 / 127);
    EXPECT_EQ(canvas.copyAt(kFieldIcon.x, kFieldIcon.y)->source, (platform::Rect{32 * 40 + 2, 1, 28, 27}));
    EXPECT_EQ(canvas.textAt(kKeyNamesText), "Piano roll key names...");
    EXPECT_EQ(canvas.copyAt(kKeyNamesButton.x, kKeyNamesButton.y)->source, sheet::keyNamesButton(false));

    r.articulations.name[9] = "Spiccato";
    r.articulations.keynames[9] = std::make_unique<model::KeyNameList>();
    canvas = paint(kArticulationPanel);
    EXPECT_EQ(canvas.textAt(kNameText), "Spiccato");
    EXPECT_EQ(canvas.textIn(kNameText)->format, platform::TextFormat::kEllipsis);
    EXPECT_EQ(canvas.textAt(kKeyNamesText), "[Stored in FLP]");
    EXPECT_EQ(canvas.copyAt(kKeyNamesButton.x, kKeyNamesButton.y)->source, sheet::keyNamesButton(true));

    r.articulations.keynamestitle[9] = "Violins";
    r.articulations.keynamesmissing[9] = 1;
    canvas = paint(kArticulationPanel);
    EXPECT_EQ(canvas.textAt(kKeyNamesText), "Violins");
    EXPECT_EQ(canvas.textIn(kKeyNamesText)->colour, colour::kValue);
}

TEST_F(PaintTest, PortAndChannelWithMuteAndSoloColours) {
    struct Case {
        int32_t channel;
        bool muted, othersAllMuted;
        std::string channelText;
        platform::Colour value, label;
    };
    const Case cases[] = {
        {0, false, false, "1", colour::kValue, colour::kText},
        {model::kPerColourChannel, false, true, "---", colour::kValue, colour::kSoloLabel},
        {15, true, true, "16", colour::kMutedValue, colour::kMutedLabel},
        {3, true, false, "4", colour::kMutedValue, colour::kMutedLabel},
    };
    r.options.port = 7;
    for (const Case& c : cases) {
        r.options.channel = c.channel;
        facts.muted = c.muted;
        facts.othersAllMuted = c.othersAllMuted;
        for (const int page : {kArticulationPanel, kControllerPanel, kOptionsPanel, kIconPicker}) {
            const RecordingCanvas canvas = paint(page);
            EXPECT_EQ(canvas.textAt(kPortText), "7");
            EXPECT_EQ(canvas.textAt(kChannelText), c.channelText);
            EXPECT_EQ(canvas.textIn(kChannelText)->colour, c.value);
            EXPECT_EQ(canvas.textIn(kPortLabel)->colour, c.label);
            EXPECT_EQ(canvas.textIn(kChannelLabel)->colour, c.label);
        }
    }
}

TEST_F(PaintTest, ControllerFramesNamesAndUnassignedControls) {
    r.controllerstart = 12;  // page 3
    struct Control {
        int32_t cc, type, value, on;
        int frameY;  // -1: nothing drawn
    };
    const Control controls[] = {
        {1, model::kKnob, 127, 1, 34 * 63},  // the mini control takes the same 64 frames, 24 high
        {2, model::kSwitch, 63, 1, 0},
        {3, model::kSwitch, 64, 0, 34},
        {4, model::kKnob, 127, 1, 34 * 63},
        {model::kUnassignedCc, model::kKnob, 64, 1, -1},
        {6, model::kFader, 64, 1, 34 * 31},
    };
    for (int k = 0; k < 6; ++k) {
        const Control& c = controls[k];
        r.controllers.cc[size_t(12 + k)] = c.cc;
        r.controllers.type[size_t(12 + k)] = c.type;
        r.controllers.value[size_t(12 + k)] = c.value;
        r.controllers.on[size_t(12 + k)] = c.on;
        r.controllers.name[size_t(12 + k)] = "C" + std::to_string(k);
    }
    RecordingCanvas canvas = paint(kControllerPanel);
    EXPECT_EQ(canvas.textAt(kPageNameText), "Controllers 3");
    EXPECT_EQ(canvas.copyAt(kMiniControl.x, kMiniControl.y)->source, sheet::miniFrame(63));
    EXPECT_EQ(canvas.textIn(kMiniNameText)->colour, colour::kControllerOn);
    const Sheet sheets[] = {Sheet::kSkin, Sheet::kSwitch, Sheet::kSwitch, Sheet::kKnob, Sheet::kSkin, Sheet::kFader};
    for (int k = 1; k < 6; ++k) {
        const DrawCall* drawn = canvas.copyAt(control(k).x, control(k).y);
        const DrawCall* name = canvas.textIn(controlNameText(k));
        if (controls[k].frameY < 0) {
            EXPECT_EQ(drawn, nullptr);
            EXPECT_EQ(name, nullptr);
            continue;
        }
        ASSERT_NE(drawn, nullptr) << k;
        EXPECT_EQ(drawn->sheet, sheets[k]);
        EXPECT_EQ(drawn->source.y, controls[k].frameY) << k;
        EXPECT_EQ(name->colour, controls[k].on ? colour::kControllerOn : colour::kControllerOff);
    }
    r.pageNames[2] = "Dynamics";
    EXPECT_EQ(paint(kControllerPanel).textAt(kPageNameText), "Dynamics");
}

TEST_F(PaintTest, GridLightsTheEditedAndHoveredCellsAndTagsThePlayingOne) {
    r.options.startart = 16;
    r.options.editing = 18;  // cell 2
    r.options.articbanks = 1;
    facts.playingArticulation = 21;  // cell 5
    state.lastPoint = {gridHit(5).left, gridHit(5).top};
    const RecordingCanvas canvas = paint(kControllerPanel);
    for (int cell = 0; cell < kGridCells; ++cell) {
        const bool lit = cell == 2 || cell == 5;
        EXPECT_EQ(canvas.copyAt(gridIcon(cell).x, gridIcon(cell).y)->source.y, lit ? 0 : sheet::kDimRow) << cell;
        EXPECT_EQ(canvas.copyAt(gridTag(cell).x, gridTag(cell).y)->source, sheet::tag(cell, cell == 5 ? 3 : 0));
    }
    EXPECT_EQ(canvas.copyAt(kBankIndicator.x, kBankIndicator.y)->source, sheet::bankFrame(1));
    EXPECT_EQ(paint(kOptionsPanel).copyAt(gridIcon(0).x, gridIcon(0).y), nullptr);
}

TEST_F(PaintTest, IconPickerScrollsByRowsOfTheStrip) {
    state.iconScroll = 1.0f;
    RecordingCanvas canvas = paint(kIconPicker);
    EXPECT_EQ(canvas.copyAt(pickerCell(0).x, pickerCell(0).y)->source, sheet::icon(184, true));
    EXPECT_EQ(canvas.copyAt(pickerCell(47).x, pickerCell(47).y)->source, sheet::icon(231, true));
    EXPECT_EQ(canvas.copyAt(kScrollThumbX, 147)->source, sheet::kScrollThumb);
    EXPECT_EQ(canvas.copyAt(panelTab(0).x, panelTab(0).y)->source, sheet::litTab(0));
    state.iconScroll = 0.5f;
    facts.iconCount = 30;  // a short strip of the user's: fewer rows than the grid
    canvas = paint(kIconPicker);
    EXPECT_EQ(canvas.copyAt(pickerCell(0).x, pickerCell(0).y)->source, sheet::icon(0, true));
}

TEST_F(PaintTest, OptionRowsFollowTheirFlagsAndTheSelectedTab) {
    struct Case {
        int tab;
        const char* label;
        bool checked;
    };
    r.options.paramknob = 1;  // "Parameters control CC" is its inverse
    r.options.ghost = 1;
    facts.httpApiEnabled = true;
    facts.singleEditor = false;
    facts.hostVersion = model::kHostVersion12 - 1;  // an old host always shows the single editor
    const Case cases[] = {
        {kGeneralTab, "Show single editor", true},     {kGeneralTab, "Preserve Port/Channel", false},
        {kAutomationTab, "Parameters control CC", false}, {kAutomationTab, "CC Ghosting", true},
        {kAdvancedTab, "Enable HTTP API", true},       {kAdvancedTab, "MIDI Extend", false},
    };
    for (const Case& c : cases) {
        facts.optionsTab = c.tab;
        const RecordingCanvas canvas = paint(kOptionsPanel);
        const DrawCall* label = nullptr;
        size_t rows = 0;
        for (const DrawCall& call : canvas.calls)
            if (call.kind == DrawCall::kText && call.font == font::kOption && call.box.bottom - call.box.top == 10) {
                ++rows;
                if (call.text == c.label) label = &call;
            }
        ASSERT_NE(label, nullptr) << c.label;
        EXPECT_EQ(rows, c.tab == kAutomationTab ? 8u : 5u);
        const DrawCall* box = canvas.copyAt(label->box.left - 15, label->box.top + 2);
        EXPECT_EQ(box->source, sheet::checkBox(c.checked)) << c.label;
        EXPECT_EQ(canvas.textIn(kOptionsTabs[size_t(c.tab)])->colour, colour::kSelectedTab);
    }
    facts.debugLog = true;
    bool debugShown = false;
    for (const DrawCall& call : paint(kOptionsPanel).calls) debugShown |= call.text == "DEBUG ENABLED";
    EXPECT_TRUE(debugShown);
}

}  // namespace
