// The one-line hints of the host's hint bar, from the region under the mouse. The table is in
// the order the regions are tested; the first that holds decides.
#include <algorithm>
#include <cstdio>
#include <string>

#include "editor/editor.h"
#include "model/host_facts.h"

namespace editor {
namespace {

constexpr int kP0 = 1, kP1 = 2, kP2 = 4, kAll = 15;

enum class Rule {
    kPlain,
    kGridCell,       // `index` = cell, text by the articulation's name
    kController,     // `index` = position on the page
    kKeyNamesBox,    // its box narrows when key names are present
    kKeyNamesClear,  // only when key names are present
    kSecondKeyswitch,
    kCcFields,  // two boxes
    kPlayVelocity,
    kNewHost,  // only from version 12 on
    kHttpApi,  // the text ends with the address
};

struct HintRow {
    int id;
    int panels;
    int tab;  // options tab, -1 any
    Hit box;
    Rule rule;
    int index;
    const char* text;
};

// Identities: grid cells 0..15, every other row 100 + its order.
constexpr int kModeHint = 129;  // the three mode texts share it
constexpr const char* kControllerText = "A parameter controller. Right click to configure";

const HintRow kHintRows[] = {
    {100, kP2, kAutomationTab, optionHit(1, 0), Rule::kPlain, 0,
     "Toggle whether pan, volume and pitch are sent over this channel"},
    {103, kP2, kAdvancedTab, kMidiExtendHintHit, Rule::kPlain, 0,
     "Utilise MIDI Extend to use up to 64 MIDI channels through one port"},
    {104, kP2, kAdvancedTab, optionHit(1, 1), Rule::kPlain, 0, "Only perform CC ghosting on transport (play, pause, stop)"},
    {105, kP2, kAutomationTab, optionHit(1, 1), Rule::kPlain, 0,
     "Make sure Voxtrane CCs are sent a few ticks before notes (Kontakt workaround)"},
    {106, kP2, kGeneralTab, optionHit(0, 0), Rule::kPlain, 0, "Preserve port and channel when switching between presets"},
    {107, kP2, kAutomationTab, optionHit(1, 2), Rule::kPlain, 0,
     "Set CC17 to match release velocity (Spitfire Audio support)"},
    {108, kP2, kAutomationTab, optionHit(0, 1), Rule::kPlain, 0,
     "Show articulation names on CC32 (Spitfire Audio UACC support)"},
    {109, kP2, kAutomationTab, optionHit(0, 0), Rule::kPlain, 0,
     "Toggle whether Voxtrane controllers use custom parameters or map to CC1-127"},
    {110, kP2, kGeneralTab, optionHit(0, 1), Rule::kPlain, 0,
     "Prevent overlapping notes from cutting each other off. Allows overlaying chords"},
    {111, kP2, kGeneralTab, optionHit(0, 2), Rule::kPlain, 0, "Toggle whether middle C is determined as be C3 or C4"},
    {112, kP2, kAutomationTab, optionHit(0, 2), Rule::kPlain, 0,
     "Optimise automation when utilising multiple Voxtranes on the same MIDI port/channel"},
    {113, kP2, kGeneralTab, optionHit(1, 1), Rule::kNewHost, 0,
     "Only ever show a single Voxtrane editor in FL Studio to reduce clutter"},
    {114, kP1, -1, kPageNameHit, Rule::kPlain, 0,
     "Change between the various controller pages to configure more controls. Right click to rename"},
    {115, kP1, -1, kMiniControlHit, Rule::kController, 0, nullptr},
    {116, kP1, -1, controlHit(1), Rule::kController, 1, nullptr},
    {117, kP1, -1, controlHit(2), Rule::kController, 2, nullptr},
    {118, kP1, -1, controlHit(3), Rule::kController, 3, nullptr},
    {119, kP1, -1, controlHit(4), Rule::kController, 4, nullptr},
    {120, kP1, -1, controlHit(5), Rule::kController, 5, nullptr},
    {121, kP0, -1, kKeyNamesHit, Rule::kKeyNamesBox, 0,
     "Create, load or save custom keyboard naming schemes. Right click to configure"},
    {122, kP0, -1, kKeyNamesClearHit, Rule::kKeyNamesClear, 0, "Remove a custom or loaded keyboard naming scheme map"},
    {123, kAll, -1, kMuteSoloHit, Rule::kPlain, 0,
     "Click to toggle if this KRYL Voxtrane instance is muted. Hold CTRL and click to toggle solo"},
    {124, kAll, -1, panelTabHit(0), Rule::kPlain, 0, "Switch to the articulation configuration panel"},
    {125, kAll, -1, panelTabHit(1), Rule::kPlain, 0, "Switch to the controller configuration panel"},
    {126, kAll, -1, panelTabHit(2), Rule::kPlain, 0, "Switch to the general configuration panel"},
    {127, kP0, -1, kIconHit, Rule::kPlain, 0,
     "Configure the icon for this articulation. Left-click drag to change, right click for manual entry"},
    {128, kP0, -1, kKeyswitchHit, Rule::kPlain, 0,
     "Configure the keyswitch. Left-click drag to change, right click for manual entry. Alt-click for keyswitch "
     "velocity"},
    {kModeHint, kP0, -1, kModeHit, Rule::kSecondKeyswitch, 0,
     "Configure the secondary keyswitch. Left-click drag to change, right click for manual entry"},
    {kModeHint, kP0, -1, kCcValueHit, Rule::kCcFields, 0,
     "Set a CC when playing notes of this articulation. Left-click drag to change, right click for manual entry"},
    {kModeHint, kP0, -1, kModeHit, Rule::kPlayVelocity, 0,
     "Configure the velocity used for notes of this articulation. Left-click drag to change, right click for manual "
     "entry"},
    {130, kP0, -1, kProgramHit, Rule::kPlain, 0,
     "Send a program change command when playing notes of this articulation. Left-click drag to change, right click "
     "for manual entry"},
    {131, kAll, -1, kPortHit, Rule::kPlain, 0,
     "Set the port for this instance of KRYL Voxtrane. Left-click drag to change, right click for manual entry"},
    {132, kAll, -1, kChannelHit, Rule::kPlain, 0,
     "Set the channel for this instance of KRYL Voxtrane. Left-click drag to change, right click for manual entry"},
    {133, kP0, -1, kNameHit, Rule::kPlain, 0, "Configure the name of this articulation. Right click to change"},
    {134, kP2, kAdvancedTab, optionHit(1, 0), Rule::kPlain, 0,
     "Make sure that keyswitches, CCs and control changes are always made when switching articulation"},
    {135, kP2, kAdvancedTab, optionHit(0, 0), Rule::kHttpApi, 0, "Enable the HTTP based API"},
    {136, kP2, kAutomationTab, optionHit(0, 3), Rule::kPlain, 0,
     "Release any sustain peddle controllers held down when the transport stops"},
    {137, kP2, kAutomationTab, optionHit(1, 3), Rule::kPlain, 0,
     "When channel is set per-color (omni) send controller CCS to all 16 channels"},
};

}  // namespace

void Editor::updateHint() {
    model::InstanceRecords& r = host_.records();
    const Point at = state_.lastPoint;
    const int page = r.options.panel();
    const int panelBit = 1 << page;
    const size_t a = size_t(r.options.editingSlot());
    const bool keyNames = r.articulations.keynames[a] != nullptr;
    const int32_t modc = r.articulations.modc[a];

    int id = -1;
    std::string text;
    if (page == kArticulationPanel || page == kControllerPanel) {
        for (int i = 0; i < kGridCells && id < 0; ++i) {
            if (!gridHit(i).contains(at.x, at.y)) continue;
            const int art = r.options.bankStart() + i;
            char line[160];
            if (r.articulations.name[size_t(art)].empty())
                std::snprintf(line, sizeof line,
                              "Articulation %i. Edit the properties below or right click for more", art + 1);
            else
                std::snprintf(line, sizeof line, "%s - An articulation. Edit the properties below or right click for more",
                              r.articulations.name[size_t(art)].c_str());
            id = i;
            text = line;
        }
    }
    for (const HintRow& row : kHintRows) {
        if (id >= 0) break;
        if (!(row.panels & panelBit) || (row.tab >= 0 && row.tab != host_.optionsTab())) continue;
        bool inside = row.box.contains(at.x, at.y);
        switch (row.rule) {
        case Rule::kNewHost: inside &= host_.hostVersion() >= model::kHostVersion12; break;
        case Rule::kKeyNamesBox: inside = (keyNames ? kKeyNamesHitWithClear : kKeyNamesHit).contains(at.x, at.y); break;
        case Rule::kKeyNamesClear: inside &= keyNames; break;
        case Rule::kSecondKeyswitch: inside &= modc == model::kModSecondKeyswitch; break;
        case Rule::kPlayVelocity: inside &= modc == model::kModPlayVelocity; break;
        case Rule::kCcFields:
            inside = (inside || kCcNumberHit.contains(at.x, at.y)) && modc != model::kModSecondKeyswitch &&
                     modc != model::kModPlayVelocity;
            break;
        default: break;
        }
        if (!inside) continue;
        id = row.id;
        if (row.rule == Rule::kController) {
            const int shown = r.shownController(row.index);
            const size_t c = size_t(shown);
            const model::Controllers& ctl = r.controllers;
            if (shown < 0 || ctl.cc[c] == model::kUnassignedCc) {
                text = kControllerText;
            } else {
                char line[256];
                std::snprintf(line, sizeof line, "%s (CC %i @ %i) - %s", ctl.name[c].c_str(), ctl.cc[c], ctl.value[c],
                              kControllerText);
                text = line;
            }
        } else if (row.rule == Rule::kHttpApi) {
            text = std::string(row.text) + " (" + host_.httpApiAddress() + ")";
        } else {
            text = row.text;
        }
    }
    if (id == state_.hintId) return;
    state_.hintId = id;
    host_.showHint(id < 0 ? "" : text.c_str());
}

}  // namespace editor
