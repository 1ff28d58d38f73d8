// Where everything of the editor sits: the sprites on the artwork sheets and the boxes on the
// 240 x 237 logical canvas. Every number of the editor's geometry is written here once; painting,
// hit testing and the tests read these tables. Text boxes and drawn boxes exclude their right and
// bottom edges; hit boxes (Hit) include both ends.
#pragma once

#include <array>
#include <cstddef>

#include "model/host_facts.h"
#include "platform/canvas.h"

namespace editor {

using platform::Box;
using platform::Rect;

// A box the mouse is tested against, both ends included.
struct Hit {
    int left = 0, top = 0, right = 0, bottom = 0;
    constexpr bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

struct Point {
    int x = 0, y = 0;
};

// Panels (`page`).
enum Panel : int { kArticulationPanel = 0, kControllerPanel = 1, kOptionsPanel = 2, kIconPicker = 3 };
// Options tabs.
enum OptionsTab : int { kGeneralTab = 0, kAutomationTab = 1, kAdvancedTab = 2 };

namespace sheet {
// Skin sheet 101.
inline constexpr int kSkinWidth = 480;
inline constexpr int kSkinHeight = 720;
inline constexpr Rect kPanelBackground{0, 0, kSkinWidth, kSkinHeight};  // whole sheet at (0, 0)
inline constexpr Rect kIconPickerBackground{0, 480, kSkinWidth, kSkinHeight - 480};
inline constexpr Rect kOptionsArea{5, 239, 229, 129};
// Colour tag of grid cell i in state s (0 plain, 1 playing, 2 hovered, 3 both).
inline constexpr Rect tag(int cell, int state) { return {240 + 14 * cell, 12 * state, 14, 12}; }
inline constexpr int kTagStates = 4;
inline constexpr Rect kCcModeStrip{240, 48, 229, 73};
inline constexpr Rect kSecondKeyswitchStrip{240, 240, 229, 73};
inline constexpr Rect kPlayVelocityStrip{240, 315, 229, 73};
inline constexpr Rect kControllerStrip{240, 122, 229, 73};
inline constexpr Rect litTab(int tab) { return {239 + 45 * tab, 195, 45, 45}; }
inline constexpr Rect checkBox(bool on) { return {on ? 385 : 375, 195, 10, 10}; }
inline constexpr Rect keyNamesButton(bool present) { return {405, 195 + 13 * (present ? 16 : 15), 33, 13}; }
inline constexpr Rect kVelocityBar{438, 195, 42, 30};
inline constexpr Rect kScrollThumb{259, 486, 11, 34};

// Controller strips 103, 107 (64 frames), 105 (2 frames) and 104 (64 frames), stacked downwards.
inline constexpr int kControlFrames = 64;
inline constexpr int kControlSize = 34;
inline constexpr Rect controlFrame(int frame) { return {0, kControlSize * frame, kControlSize, kControlSize}; }
inline constexpr int kMiniWidth = 56;
inline constexpr int kMiniHeight = 24;
inline constexpr Rect miniFrame(int frame) { return {0, kMiniHeight * frame, kMiniWidth, kMiniHeight}; }
// Bank indicator 110: four frames side by side.
inline constexpr Rect bankFrame(int bank) { return {6 * bank, 0, 6, 89}; }

// Icon strip 106: icon k in the column 32k .. 32k + 31, picture from x = 32k + 2.
inline constexpr int kIconColumn = 32;
inline constexpr int kIconCount = 231;
inline constexpr int kIconStripHeight = 56;
inline constexpr int kIconSize = 27;
inline constexpr int kDimRow = 28;
// A stored icon number may be anything: one outside the strip draws nothing.
inline constexpr int iconX(int k) { return kIconColumn * (k < -1 ? -1 : k > kIconCount ? kIconCount : k) + 2; }
inline constexpr Rect icon(int k, bool lit) { return {iconX(k), lit ? 0 : kDimRow, kIconSize, kIconSize}; }
// The articulation panel's large icon: one pixel wider, from one row lower.
inline constexpr Rect fieldIcon(int k) { return {iconX(k), 1, 28, kIconSize}; }

// Sheet sizes, for the artwork and the checks that it fits.
inline constexpr Point size(platform::Sheet s) {
    switch (s) {
    case platform::Sheet::kSkin: return {kSkinWidth, kSkinHeight};
    case platform::Sheet::kKnob:
    case platform::Sheet::kFader: return {kControlSize, kControlSize * kControlFrames};
    case platform::Sheet::kSwitch: return {kControlSize, kControlSize * 2};
    case platform::Sheet::kMiniControl: return {kMiniWidth, kMiniHeight * kControlFrames};
    case platform::Sheet::kBankIndicator: return {24, 89};
    case platform::Sheet::kIconStrip: return {kIconColumn * kIconCount, kIconStripHeight};
    case platform::Sheet::kPicture: return {294, 80};
    }
    return {};
}
}  // namespace sheet

// ---- The canvas ----------------------------------------------------------------------------
inline constexpr int kCanvasWidth = model::kEditorWidth;
inline constexpr int kCanvasHeight = model::kEditorHeight;
// Repainting the grid alone (hover) covers this box.
inline constexpr Box kGridArea{5, 5, 233, 94};

// The grid of 16 articulation cells, 8 per row (panels 0 and 1).
inline constexpr int kGridCells = model::kBankSize;
inline constexpr Point gridIcon(int cell) { return {8 + 28 * (cell % 8), 9 + 44 * (cell / 8)}; }
inline constexpr Point gridTag(int cell) { return {15 + 28 * (cell % 8), 36 + 44 * (cell / 8)}; }
inline constexpr Hit gridHit(int cell) {
    return {9 + 28 * (cell % 8), 9 + 44 * (cell / 8), 33 + 28 * (cell % 8), 48 + 44 * (cell / 8)};
}
inline constexpr Point kBankIndicator{2, 6};

// The field strip under the grid (articulation and controller panels): where the artwork's
// strip lands so that the boxes below sit on its fields.
inline constexpr Point kStrip{5, 101};

// Articulation panel.
inline constexpr Box kNameText{8, 104, 98, 120};
inline constexpr Hit kNameHit{6, 102, 103, 124};
inline constexpr Point kFieldIcon{15, 132};
inline constexpr Hit kIconHit{15, 130, 45, 160};
inline constexpr Box kKeyswitchText{60, 130, 104, 160};
inline constexpr Point kVelocityBarAt{61, 130};
inline constexpr int kVelocityBarHeight = 30;
inline constexpr Hit kKeyswitchHit{60, 130, 102, 160};
inline constexpr Box kModeText{125, 130, 169, 160};  // second keyswitch or play velocity
inline constexpr Hit kModeHit{128, 130, 166, 160};
inline constexpr Hit kModePressHit{128, 130, 165, 160};
inline constexpr Box kCcNumberText{117, 130, 148, 160};
inline constexpr Box kCcValueText{150, 130, 181, 160};
inline constexpr Hit kCcNumberHit{116, 130, 146, 160};
inline constexpr Hit kCcValueHit{149, 130, 180, 160};
inline constexpr Box kProgramText{194, 130, 226, 160};
inline constexpr Hit kProgramHit{194, 130, 226, 160};
inline constexpr Hit kModeSelectorHit{113, 161, 181, 173};
inline constexpr Point kKeyNamesButton{196, 107};
inline constexpr Box kKeyNamesText{118, 108, 200, 120};
inline constexpr Hit kKeyNamesHit{113, 106, 230, 119};
inline constexpr Hit kKeyNamesHitWithClear{113, 106, 215, 119};
inline constexpr Hit kKeyNamesClearHit{215, 106, 230, 119};

// Controller panel: the page name, the mini control and five controls.
inline constexpr Box kPageNameText{8, 104, 94, 120};
inline constexpr Hit kPageNameHit{6, 102, 103, 115};
inline constexpr Hit kPageNameMenuHit{6, 102, 103, 124};
inline constexpr Point kMiniControl{174, 105};
inline constexpr Box kMiniNameText{116, 108, 166, 120};
inline constexpr Hit kMiniControlHit{174, 105, 230, 125};
inline constexpr Hit kMiniNameHit{119, 105, 162, 121};
inline constexpr int kPageControls = 6;  // the mini control and five below it
inline constexpr int controlX(int k) { return 12 + 45 * (k - 1); }  // k = 1..5
inline constexpr Point control(int k) { return {controlX(k), 127}; }
inline constexpr Box controlNameText(int k) { return {controlX(k) - 4, 161, controlX(k) + 38, 171}; }
inline constexpr Hit controlHit(int k) { return {controlX(k), 127, controlX(k) + 34, 161}; }
inline constexpr Hit controlNameHit(int k) { return {controlX(k), 163, controlX(k) + 34, 172}; }

// Options panel.
inline constexpr Point kOptionsArea{5, 6};
inline constexpr std::array<Box, 3> kOptionsTabs{{{5, 92, 53, 116}, {55, 92, 125, 116}, {127, 92, 187, 116}}};
inline constexpr int kOptionColumns[2] = {26, 136};  // label x of the left and right column
inline constexpr int kOptionRows[4] = {122, 136, 150, 164};
inline constexpr Box optionLabel(int column, int row) {
    return {kOptionColumns[column], kOptionRows[row], kOptionColumns[column] + 90, kOptionRows[row] + 10};
}
inline constexpr Point optionCheckBox(int column, int row) { return {kOptionColumns[column] - 15, kOptionRows[row] + 2}; }
// Option rows as the mouse finds them: the left column reaches the check box, and on the Advanced
// tab a little further left; each row is 10 high.
inline constexpr Hit optionHit(int column, int row, bool advanced = false) {
    return column == 0 ? Hit{advanced ? 5 : 10, kOptionRows[row], 110, kOptionRows[row] + 10}
                       : Hit{120, kOptionRows[row], 226, kOptionRows[row] + 10};
}
inline constexpr Hit optionsTabHit(int tab) {
    return {kOptionsTabs[size_t(tab)].left, kOptionsTabs[size_t(tab)].top, kOptionsTabs[size_t(tab)].right,
            kOptionsTabs[size_t(tab)].bottom};
}
inline constexpr Box kVersionText{10, 10, 230, 90};
inline constexpr int kBuildLineOffset = 16;  // below the version line
inline constexpr int kAboutOffset = 18;      // below the build line
inline constexpr Hit kDebugToggleHit{8, 10, 150, 40};
inline constexpr Hit kMidiTestHit{28, 94, 110, 104};  // with Ctrl, a right click sends the test burst

// Icon picker: 8 x 6 cells and the scroll bar.
inline constexpr int kPickerColumns = 8;
inline constexpr int kPickerRows = 6;
inline constexpr int kPickerCells = kPickerColumns * kPickerRows;
inline constexpr Point kPickerOrigin{8, 9};
inline constexpr int kPickerStepX = 26;
inline constexpr int kPickerStepY = 28;
inline constexpr Point pickerCell(int n) {
    return {kPickerOrigin.x + kPickerStepX * (n % kPickerColumns), kPickerOrigin.y + kPickerStepY * (n / kPickerColumns)};
}
inline constexpr Hit kPickerGridHit{8, 9, 216, 177};
inline constexpr int kScrollThumbX = 223;
inline constexpr int kScrollThumbTop = 6;
inline constexpr int kScrollTravel = 141;
inline constexpr Hit kScrollBarHit{224, 7, 234, 181};

// The bottom bar, on every panel.
inline constexpr Point panelTab(int tab) { return {6 + 45 * tab, 185}; }
inline constexpr Hit panelTabHit(int tab) { return {6 + 45 * tab, 185, 51 + 45 * tab, 230}; }
inline constexpr Box kPortText{156, 190, 190, 215};
inline constexpr Box kPortLabel{158, 218, 188, 227};
inline constexpr Hit kPortHit{156, 190, 190, 215};
inline constexpr Box kChannelText{199, 190, 225, 215};
inline constexpr Box kChannelLabel{198, 218, 226, 227};
inline constexpr Hit kChannelHit{198, 190, 224, 215};
inline constexpr Hit kMuteSoloHit{156, 217, 229, 228};
inline constexpr Hit kScaleCorner{235, 232, 100000, 100000};
inline constexpr Hit kWholePanel{-100000, -100000, 100000, 100000};  // the wheel, wherever the mouse was
inline constexpr Hit kGridHoverArea{kGridArea.left, kGridArea.top, kGridArea.right, kGridArea.bottom};

// ---- Gestures -------------------------------------------------------------------------------
inline constexpr int kClickSlack = 5;       // logical pixels a click may travel
inline constexpr int kStepPixels = 2;       // screen pixels of travel per step
inline constexpr int kFineStepPixels = 18;  // with Ctrl
inline constexpr int kConfineX = 5;         // the cursor's cage around the press, in screen pixels
inline constexpr int kConfineY = 10;

// ---- Text -----------------------------------------------------------------------------------
namespace colour {
inline constexpr platform::Colour kText = 0xBCBBB6;
inline constexpr platform::Colour kValue = 0xD9B27C;
inline constexpr platform::Colour kMutedValue = 0x9E6859;
inline constexpr platform::Colour kMutedLabel = 0x62615C;
inline constexpr platform::Colour kSoloLabel = 0xE4543B;
inline constexpr platform::Colour kControllerOn = 0xF4F4F4;
inline constexpr platform::Colour kControllerOff = 0x6A777A;
inline constexpr platform::Colour kSelectedTab = 0x85EA78;
inline constexpr platform::Colour kTabFill = 0x21272B;
inline constexpr platform::Colour kDim = 0x807F7A;
}  // namespace colour

// Font heights (character cell, logical pixels).
namespace font {
inline constexpr int kValue = 22;
inline constexpr int kName = 16;
inline constexpr int kTab = 15;
inline constexpr int kOption = 14;
inline constexpr int kSmall = 11;
}  // namespace font

}  // namespace editor

namespace editor {

// The options panel's rows: tab, column (0 left, 1 right), row, the option's stored key (its label
// comes from the options table; null is the process-wide "Enable HTTP API") and its hint. The
// mouse finds a row in optionHit(); its hint shows over the row as the other tabs have it, from
// `hintLeft` when that is set.
struct OptionRow {
    int tab, column, row;
    const char* stateKey;
    const char* hint;
    int hintLeft = 0;
};
inline constexpr OptionRow kOptionRowsTable[] = {
    {kGeneralTab, 0, 0, "preserve", "Preserve port and channel when switching between presets"},
    {kGeneralTab, 1, 0, "articbanks", nullptr},
    {kGeneralTab, 0, 1, "overlapping", "Prevent overlapping notes from cutting each other off. Allows overlaying chords"},
    {kGeneralTab, 1, 1, "singleeditor", "Only ever show a single Voxtrane editor in FL Studio to reduce clutter"},
    {kGeneralTab, 0, 2, "altmiddlec", "Toggle whether middle C is determined as be C3 or C4"},
    {kAutomationTab, 0, 0, "paramknob", "Toggle whether Voxtrane controllers use custom parameters or map to CC1-127"},
    {kAutomationTab, 1, 0, "ghost", "Toggle whether pan, volume and pitch are sent over this channel"},
    {kAutomationTab, 0, 1, "ccuacc", "Show articulation names on CC32 (Spitfire Audio UACC support)"},
    {kAutomationTab, 1, 1, "cctimerfix", "Make sure Voxtrane CCs are sent a few ticks before notes (Kontakt workaround)"},
    {kAutomationTab, 0, 2, "optimiseautomation",
     "Optimise automation when utilising multiple Voxtranes on the same MIDI port/channel"},
    {kAutomationTab, 1, 2, "releasecc17", "Set CC17 to match release velocity (Spitfire Audio support)"},
    {kAutomationTab, 0, 3, "cc64release", "Release any sustain peddle controllers held down when the transport stops"},
    {kAutomationTab, 1, 3, "allchannelomni",
     "When channel is set per-color (omni) send controller CCS to all 16 channels"},
    {kAdvancedTab, 0, 0, nullptr, "Enable the HTTP based API"},  // the address follows
    {kAdvancedTab, 1, 0, "changeanyrule",
     "Make sure that keyswitches, CCs and control changes are always made when switching articulation"},
    {kAdvancedTab, 0, 1, "midixtend", "Utilise MIDI Extend to use up to 64 MIDI channels through one port", 28},
    {kAdvancedTab, 1, 1, "ghosttransport", "Only perform CC ghosting on transport (play, pause, stop)"},
    {kAdvancedTab, 0, 2, "holdkeyswitch", nullptr},
};
inline constexpr Hit optionBox(const OptionRow& row) { return optionHit(row.column, row.row, row.tab == kAdvancedTab); }
inline constexpr Hit optionHintBox(const OptionRow& row) {
    const Hit box = optionHit(row.column, row.row);
    return {row.hintLeft ? row.hintLeft : box.left, box.top, box.right, box.bottom};
}
inline constexpr const char* kHttpApiLabel = "Enable HTTP API";
inline constexpr const char* kOptionsTabTitles[3] = {"General", "Automation", "Advanced"};

}  // namespace editor
