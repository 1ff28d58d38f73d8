// The editor's regions: for each panel, the boxes the mouse can act on, in the one order in which
// every gesture tests them, and which gestures each one takes. Press, click, right click, middle
// click, wheel and hover all find their region here, so a region added or guarded once is the
// same for every gesture; what a gesture then does there is its handler's switch on the kind.
#pragma once

#include <cstdint>
#include <vector>

#include "editor/layout.h"
#include "model/options.h"
#include "model/records.h"

namespace editor {

enum class RegionKind : uint8_t {
    kGridCell,  // index: the cell of the shown bank
    kName,      // the name to type: the articulation's, or the page's (nothing on the options panel)
    kIcon,
    kKeyswitch,
    kModeField,  // index 0: the CC number; 1: the mode's value (`modw`)
    kProgram,
    kModeSelector,
    kKeyNames,
    kKeyNamesClear,
    kPageName,      // the page menu
    kControl,       // index: place on the page, 0 the mini control
    kControlName,   // index: as kControl
    kOptionsTab,    // index: the tab
    kOption,        // index: the row of kOptionRowsTable
    kDebugToggle,
    kMidiTest,
    kPickerGrid,
    kScrollBar,
    kPanelTab,  // index: the panel
    kPort,
    kChannel,
    kMuteSolo,
    kScaleCorner,
    kPanel,  // anywhere on the panel (the wheel)
};

enum Gesture : uint8_t {
    kPress = 1,
    kClick = 2,
    kRightClick = 4,
    kMiddleClick = 8,
    kWheel = 16,
    kHover = 32,
};

// Regions that share a place are told apart by the edited articulation.
enum class When : uint8_t {
    kAlways,
    kCcMode,          // the mode field sets a CC
    kNoteMode,        // second keyswitch or play velocity
    kSecondKeyswitch,
    kPlayVelocity,
    kKeyNames,    // the articulation names keys
    kNoKeyNames,
};

struct Region {
    RegionKind kind;
    int index;
    Hit box;
    uint8_t gestures;
    When when = When::kAlways;
    int tab = -1;                 // options tab, -1 any
    const char* hint = nullptr;  // null: none, or one made from the records
};

// What decides between regions beyond the point: the edited articulation and the options tab.
struct RegionContext {
    int32_t modc = 0;
    bool keyNames = false;
    int optionsTab = kGeneralTab;
};

// The regions of `panel` (read through `InstanceOptions::panel()`), in order of precedence.
const std::vector<Region>& panelRegions(int panel);

// The first region of `panel` under `at` that takes `gesture` there; null when none does.
const Region* regionAt(int panel, const RegionContext& context, Point at, Gesture gesture);

// The options table's entry of an options panel row; null for the HTTP API's row.
const model::OptionInfo* optionOf(const OptionRow& row);

// Equal for the regions whose hint is one and the same (so it is sent once): the grid's cell,
// else a number of the kind and place.
int hintIdOf(const Region& region);

}  // namespace editor
