#include "editor/regions.h"

#include <iterator>

namespace editor {
namespace {

constexpr uint8_t kEdit = kPress | kRightClick | kHover;  // a value to drag or type
constexpr uint8_t kAllButWheel = kPress | kClick | kRightClick | kMiddleClick | kHover;
constexpr const char* kCcFieldsHint =
    "Set a CC when playing notes of this articulation. Left-click drag to change, right click for manual entry";

// The grid of the shown bank, on the articulation and controller panels.
void addGrid(std::vector<Region>& t) {
    for (int i = 0; i < kGridCells; ++i) t.push_back({RegionKind::kGridCell, i, gridHit(i), kClick | kRightClick | kHover});
}

// The bottom bar and the corner, the same on every panel; then the wheel, anywhere.
void addBar(std::vector<Region>& t) {
    const Region bar[] = {
        {RegionKind::kPanelTab, 0, panelTabHit(0), kClick | kRightClick | kHover, When::kAlways, -1,
         "Switch to the articulation configuration panel"},
        {RegionKind::kPanelTab, 1, panelTabHit(1), kClick | kHover, When::kAlways, -1,
         "Switch to the controller configuration panel"},
        {RegionKind::kPanelTab, 2, panelTabHit(2), kClick | kHover, When::kAlways, -1,
         "Switch to the general configuration panel"},
        {RegionKind::kPort, 0, kPortHit, kEdit, When::kAlways, -1,
         "Set the port for this instance of KRYL Voxtrane. Left-click drag to change, right click for manual entry"},
        {RegionKind::kChannel, 0, kChannelHit, kEdit, When::kAlways, -1,
         "Set the channel for this instance of KRYL Voxtrane. Left-click drag to change, right click for manual "
         "entry"},
        {RegionKind::kMuteSolo, 0, kMuteSoloHit, kClick | kHover, When::kAlways, -1,
         "Click to toggle if this KRYL Voxtrane instance is muted. Hold CTRL and click to toggle solo"},
        {RegionKind::kScaleCorner, 0, kScaleCorner, kClick},
        {RegionKind::kPanel, 0, kWholePanel, kWheel},
    };
    t.insert(t.end(), std::begin(bar), std::end(bar));
}

std::vector<Region> articulationPanel() {
    std::vector<Region> t;
    addGrid(t);
    const Region fields[] = {
        {RegionKind::kName, 0, kNameHit, kRightClick | kHover, When::kAlways, -1,
         "Configure the name of this articulation. Right click to change"},
        {RegionKind::kIcon, 0, kIconHit, kEdit, When::kAlways, -1,
         "Configure the icon for this articulation. Left-click drag to change, right click for manual entry"},
        {RegionKind::kKeyswitch, 0, kKeyswitchHit, kEdit, When::kAlways, -1,
         "Configure the keyswitch. Left-click drag to change, right click for manual entry. Alt-click for keyswitch "
         "velocity"},
        {RegionKind::kModeField, 1, kModePressHit, kPress, When::kNoteMode},
        {RegionKind::kModeField, 1, kModeHit, kRightClick | kHover, When::kSecondKeyswitch, -1,
         "Configure the secondary keyswitch. Left-click drag to change, right click for manual entry"},
        {RegionKind::kModeField, 1, kModeHit, kRightClick | kHover, When::kPlayVelocity, -1,
         "Configure the velocity used for notes of this articulation. Left-click drag to change, right click for "
         "manual entry"},
        {RegionKind::kModeField, 0, kCcNumberHit, kEdit, When::kCcMode, -1, kCcFieldsHint},
        {RegionKind::kModeField, 1, kCcValueHit, kEdit, When::kCcMode, -1, kCcFieldsHint},
        {RegionKind::kProgram, 0, kProgramHit, kEdit, When::kAlways, -1,
         "Send a program change command when playing notes of this articulation. Left-click drag to change, right "
         "click for manual entry"},
        {RegionKind::kModeSelector, 0, kModeSelectorHit, kClick},
        // With key names the box narrows to make room for its clear box.
        {RegionKind::kKeyNames, 0, kKeyNamesHitWithClear, kClick | kRightClick | kHover, When::kKeyNames, -1,
         "Create, load or save custom keyboard naming schemes. Right click to configure"},
        {RegionKind::kKeyNames, 0, kKeyNamesHit, kClick | kRightClick | kHover, When::kNoKeyNames, -1,
         "Create, load or save custom keyboard naming schemes. Right click to configure"},
        {RegionKind::kKeyNamesClear, 0, kKeyNamesClearHit, kClick | kHover, When::kKeyNames, -1,
         "Remove a custom or loaded keyboard naming scheme map"},
    };
    t.insert(t.end(), std::begin(fields), std::end(fields));
    addBar(t);
    return t;
}

std::vector<Region> controllerPanel() {
    std::vector<Region> t;
    addGrid(t);
    t.push_back({RegionKind::kPageName, 0, kPageNameHit, kClick | kHover, When::kAlways, -1,
                 "Change between the various controller pages to configure more controls. Right click to rename"});
    t.push_back({RegionKind::kName, 0, kPageNameMenuHit, kRightClick});
    for (int k = 0; k < kPageControls; ++k) {
        t.push_back({RegionKind::kControl, k, k == 0 ? kMiniControlHit : controlHit(k), kAllButWheel});
        t.push_back({RegionKind::kControlName, k, k == 0 ? kMiniNameHit : controlNameHit(k), kClick | kRightClick});
    }
    addBar(t);
    return t;
}

std::vector<Region> optionsPanel() {
    std::vector<Region> t;
    for (int n = 0; n < 3; ++n) t.push_back({RegionKind::kOptionsTab, n, optionsTabHit(n), kClick});
    for (size_t n = 0; n < std::size(kOptionRowsTable); ++n) {
        const OptionRow& row = kOptionRowsTable[n];
        t.push_back({RegionKind::kOption, int(n), optionBox(row), kClick, When::kAlways, row.tab});
        if (row.hint)
            t.push_back({RegionKind::kOption, int(n), optionHintBox(row), kHover, When::kAlways, row.tab, row.hint});
    }
    t.push_back({RegionKind::kDebugToggle, 0, kDebugToggleHit, kClick});
    // The articulation name's place takes a right click here too, before the test burst's box.
    t.push_back({RegionKind::kName, 0, kNameHit, kRightClick});
    t.push_back({RegionKind::kMidiTest, 0, kMidiTestHit, kRightClick});
    addBar(t);
    return t;
}

std::vector<Region> iconPicker() {
    std::vector<Region> t;
    t.push_back({RegionKind::kPickerGrid, 0, kPickerGridHit, kClick});
    t.push_back({RegionKind::kScrollBar, 0, kScrollBarHit, kPress});
    addBar(t);
    return t;
}

bool holds(When when, const RegionContext& c) {
    const bool noteMode = c.modc == model::kModSecondKeyswitch || c.modc == model::kModPlayVelocity;
    switch (when) {
    case When::kAlways: return true;
    case When::kCcMode: return !noteMode;
    case When::kNoteMode: return noteMode;
    case When::kSecondKeyswitch: return c.modc == model::kModSecondKeyswitch;
    case When::kPlayVelocity: return c.modc == model::kModPlayVelocity;
    case When::kKeyNames: return c.keyNames;
    case When::kNoKeyNames: return !c.keyNames;
    }
    return false;
}

}  // namespace

const std::vector<Region>& panelRegions(int panel) {
    static const std::vector<Region> panels[] = {articulationPanel(), controllerPanel(), optionsPanel(), iconPicker()};
    return panels[panel == kControllerPanel || panel == kOptionsPanel || panel == kIconPicker ? panel
                                                                                              : kArticulationPanel];
}

const Region* regionAt(int panel, const RegionContext& context, Point at, Gesture gesture) {
    for (const Region& region : panelRegions(panel)) {
        if ((region.gestures & gesture) && (region.tab < 0 || region.tab == context.optionsTab) &&
            region.box.contains(at.x, at.y) && holds(region.when, context))
            return &region;
    }
    return nullptr;
}

const model::OptionInfo* optionOf(const OptionRow& row) {
    return row.stateKey ? model::optionByStateKey(row.stateKey) : nullptr;
}

int hintIdOf(const Region& region) {
    if (region.kind == RegionKind::kGridCell) return region.index;
    return 100 + 32 * int(region.kind) + (region.kind == RegionKind::kModeField ? 0 : region.index);
}

}  // namespace editor
