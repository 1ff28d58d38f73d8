// Right clicks: the menu or prompt of the region under the mouse, and the menus themselves
// (articulation, mode, bank, key names, controller, page).
#include <algorithm>
#include <cstdio>

#include "editor/editor.h"
#include "model/articulation_commands.h"
#include "editor/note_text.h"
#include "model/host_facts.h"

namespace editor {
namespace {

using platform::HeldKey;
using platform::MenuEntry;

MenuEntry entry(int id, const char* text) {
    MenuEntry e;
    e.id = id;
    e.text = text;
    return e;
}
MenuEntry separator(int id = 0) {
    MenuEntry e;
    e.id = id;
    e.separator = true;
    return e;
}

// Controller menu identifiers.
enum : int {
    kAssign = 126,  // "Assign controller", or "Unassign controller" on an assigned one
    kRename = 127,
    kSwapType = 128,
    kSeparator = 129,
    kSetDefault = 130,
    kLock = 131,
    kCopy = 132,
    kPaste = 133,
    kReassign = 134,
    kHostEntries = 1024,
};

constexpr int kModeMenuBase = 1;      // 1 CC, 2 second keyswitch, 3 play velocity
constexpr int kBankMenuFirst = 10000;  // bank menu entries 10000..10006
constexpr const char* kBankEntries[] = {"Convert from UACC KS to UACC CC", "Convert from UACC CC to UACC KS",
                                        "Export articulations",           "Import articulations",
                                        "Append articulations",           "Import from Spitfire NKI",
                                        "Append from Spitfire NKI"};
constexpr int kBankEntriesWithoutImporter = 5;
constexpr const char* kArticulationEntries[] = {nullptr, "Clear", "Insert", "Delete", "-", "Cut",
                                                "Copy",  "Paste", "Export", "Import"};

}  // namespace

int Editor::choose(const std::vector<MenuEntry>& entries) {
    return platform::menu().choose(window_->handle(), entries);
}

void Editor::rightClick() {
    model::InstanceRecords& r = host_.records();
    model::InstanceOptions& o = r.options;
    const int a = o.editingSlot();
    const Region* region = regionAt(state_.lastPoint, kRightClick);
    if (!region) return;
    switch (region->kind) {
    case RegionKind::kGridCell: return articulationMenu(o.bankStart() + region->index);
    case RegionKind::kControl: {
        // A place past the last controller (a page from the API) is nothing.
        const int c = r.shownController(region->index);
        if (c >= 0) controllerMenu(c, held(HeldKey::kShift));
        return;
    }
    case RegionKind::kControlName: {
        const int c = r.shownController(region->index);
        // The mini control's name only once it is assigned.
        if (c >= 0 && (region->index > 0 || r.controllers.cc[size_t(c)] != model::kUnassignedCc)) renameController(c);
        return;
    }
    case RegionKind::kIcon:
        if (held(HeldKey::kShift)) return manualEntry(TypedField::kIconId);
        o.page = kIconPicker;
        invalidate(false);
        return;
    case RegionKind::kKeyswitch:
        return manualEntry(held(HeldKey::kAlt) ? TypedField::kKeyswitchVelocity : TypedField::kKeyswitch);
    case RegionKind::kModeField: {
        const int32_t modc = r.articulations.modc[size_t(a)];
        if (region->index == 0) return manualEntry(TypedField::kCcNumber);
        return manualEntry(modc == model::kModSecondKeyswitch ? TypedField::kSecondKeyswitch
                           : modc == model::kModPlayVelocity  ? TypedField::kVelocity
                                                              : TypedField::kCcValue);
    }
    case RegionKind::kProgram: return manualEntry(TypedField::kProgram);
    case RegionKind::kPort: return manualEntry(TypedField::kPort);
    case RegionKind::kChannel: return manualEntry(TypedField::kChannel);
    case RegionKind::kName:
        if (o.panel() == kArticulationPanel) return manualEntry(TypedField::kArticulationName);
        if (o.panel() == kControllerPanel) return manualEntry(TypedField::kPageName);
        return;
    case RegionKind::kPanelTab: return bankMenu();
    case RegionKind::kKeyNames: {
        std::vector<MenuEntry> entries;
        const std::vector<model::KeyNamesMenuItem> items = model::keyNamesMenu(r.articulations, a);
        for (size_t n = 0; n < items.size(); ++n) {
            MenuEntry e = items[n].separator ? separator() : entry(int(n) + 1, items[n].text.c_str());
            e.greyed = items[n].disabled;
            entries.push_back(e);
        }
        const int chosen = choose(entries);
        if (chosen > 0 && size_t(chosen) <= items.size()) {
            host_.keyNamesCommand(a, items[size_t(chosen - 1)].command);
            invalidate(false);
        }
        return;
    }
    case RegionKind::kMidiTest: {
        if (!held(HeldKey::kCtrl)) return;
        const int channel = o.channel;
        const uint32_t data1 = 127 | ((channel >> 5) & 1) << 7;
        const uint32_t data2 = 127 | ((channel >> 4) & 1) << 7;
        for (uint32_t kind = 8; kind <= 14; ++kind)
            host_.sendMidi((kind << 4 | uint32_t(channel & 15)) | data1 << 8 | data2 << 16 | uint32_t(o.port & 0xFF) << 24);
        return;
    }
    default: return;
    }
}

void Editor::articulationMenu(int index) {
    model::InstanceRecords& r = host_.records();
    std::vector<MenuEntry> entries;
    model::ArticulationClipboard clipboard;
    clipboard.full = host_.articulationClipboardFull();
    for (int command = model::kCmdClear; command <= model::kCmdImport; ++command) {
        if (!model::articulationMenuShows(r.articulations, index, command, clipboard)) continue;
        entries.push_back(command == model::kCmdSeparator ? separator(command)
                                                          : entry(command, kArticulationEntries[command]));
    }
    const int chosen = choose(entries);
    if (chosen > 0) host_.articulationCommand(index, chosen);
    invalidate(false);
}

void Editor::modeMenu() {
    model::InstanceRecords& r = host_.records();
    const int a = r.options.editingSlot();
    const int chosen = choose({entry(kModeMenuBase, "Set CC to value"), entry(kModeMenuBase + 1, "Second keyswitch"),
                               entry(kModeMenuBase + 2, "Set play velocity")});
    if (chosen < kModeMenuBase || chosen > kModeMenuBase + 2) return;
    r.articulations.modc[size_t(a)] = -(chosen - kModeMenuBase + 1);
    r.articulations.modw[size_t(a)] = model::kNone;
    host_.stateChanged();
}

void Editor::bankMenu() {
    std::vector<MenuEntry> entries;
    const int count = host_.nkiImporterPresent() ? int(std::size(kBankEntries)) : kBankEntriesWithoutImporter;
    for (int n = 0; n < count; ++n) entries.push_back(entry(kBankMenuFirst + n, kBankEntries[n]));
    const int chosen = choose(entries);
    if (chosen >= kBankMenuFirst && chosen < kBankMenuFirst + count) {
        host_.bankCommand(static_cast<BankCommand>(chosen - kBankMenuFirst));
        invalidate(false);
    } else {
        host_.runHostParameterEntry(host_.articulationParameter(), chosen - kHostEntries, false);
    }
}

void Editor::pageMenu() {
    model::InstanceRecords& r = host_.records();
    std::vector<MenuEntry> entries;
    for (int p = 0; p < model::kControllerPageCount; ++p) {
        char text[32];
        std::snprintf(text, sizeof text, "Controllers %i", p + 1);
        entries.push_back(entry(p + 1, r.pageNames[size_t(p)].empty() ? text : r.pageNames[size_t(p)].c_str()));
    }
    state_.pageMenu = 1;  // open
    const int chosen = choose(entries);
    state_.pageMenu = 0;
    if (chosen < 1 || chosen > model::kControllerPageCount) return;
    r.controllerstart = model::kControllersPerPage * (chosen - 1);
    invalidate(false);
}

void Editor::controllerMenu(int c, bool promptOnly) {
    model::InstanceRecords& r = host_.records();
    model::Controllers& ctl = r.controllers;
    const size_t i = size_t(c);
    if (promptOnly) return assignController(c);
    const bool assigned = ctl.cc[i] != model::kUnassignedCc;
    const bool ghosted = r.options.ghost && held(HeldKey::kCtrl);
    const int parameter = controllerParameter(c);
    const ControllerClipboard clipboard = host_.controllerClipboard();

    std::vector<MenuEntry> entries;
    if (!assigned) {
        entries.push_back(entry(kAssign, "Assign controller"));
        if (clipboard.full) entries.push_back(entry(kPaste, "Paste controller"));
    } else {
        entries.push_back(entry(kReassign, "Reassign controller"));
        entries.push_back(entry(kAssign, "Unassign controller"));
        entries.push_back(entry(kRename, "Rename controller"));
        entries.push_back(entry(kSwapType, "Swap controller type"));
        entries.push_back(entry(kLock, ctl.lock[i] ? "Unlock controller value" : "Lock controller value"));
        entries.push_back(entry(kCopy, "Copy controller"));
        if (clipboard.full) entries.push_back(entry(kPaste, "Paste controller"));
        entries.push_back(separator(kSeparator));
        std::vector<MenuEntry> hostEntries;
        const bool twin = host_.hostParameterMenu(parameter, ghosted, hostEntries);
        for (MenuEntry& e : hostEntries) {
            if (ghosted && twin) e.text += " (non-ghosted)";
            entries.push_back(e);
        }
        entries.push_back(entry(kSetDefault, "Set as default"));
    }
    const int chosen = choose(entries);
    switch (chosen) {
    case 0: return;
    case kReassign: return assignController(c);
    case kAssign:
        if (!assigned) return assignController(c);
        ctl.cc[i] = model::kUnassignedCc;
        host_.namesChanged();
        host_.stateChanged();
        invalidate(false);
        return;
    case kRename: return renameController(c);
    case kSwapType:
        ctl.type[i] = (ctl.type[i] + 1) % 3;
        host_.stateChanged();
        invalidate(false);
        return;
    case kSetDefault:
        ctl.defaultValue[i] = ctl.value[i];
        host_.stateChanged();
        return;
    case kLock: ctl.lock[i] = ctl.lock[i] ? 0 : 1; return;
    case kCopy:
        host_.setControllerClipboard(
            {true, ctl.lock[i], ctl.on[i], ctl.value[i], ctl.cc[i], ctl.defaultValue[i], ctl.type[i], ctl.name[i]});
        return;
    case kPaste:
        if (!clipboard.full) return;
        ctl.lock[i] = clipboard.lock;
        ctl.on[i] = clipboard.on;
        ctl.value[i] = clipboard.value;
        ctl.cc[i] = clipboard.cc;
        ctl.defaultValue[i] = clipboard.defaultValue;
        ctl.type[i] = clipboard.type;
        ctl.name[i] = clipboard.name;
        host_.namesChanged();
        host_.stateChanged();
        invalidate(false);
        return;
    default: host_.runHostParameterEntry(parameter, chosen - kHostEntries, ghosted); return;
    }
}

void Editor::assignController(int c) {
    model::Controllers& ctl = host_.records().controllers;
    const size_t i = size_t(c);
    std::string text = ctl.cc[i] == model::kUnassignedCc ? std::string() : std::to_string(ctl.cc[i]);
    if (!host_.prompt("Controller CC", text)) return;
    const int32_t number = integerOfText(text);
    if (number == 0 && !(text == "0")) {
        host_.messageBox("Invalid CC #. Please enter a CC controller number between 0 and 127", 16);
        return;
    }
    ctl.cc[i] = std::clamp(number, 0, 127);
    invalidate(false);
    if (ctl.name[i].empty()) ctl.name[i] = "New control";
    host_.namesChanged();
    host_.stateChanged();
}

void Editor::renameController(int c) {
    model::Controllers& ctl = host_.records().controllers;
    std::string text = ctl.name[size_t(c)];
    if (!host_.prompt("Controller Name", text)) return;
    ctl.name[size_t(c)] = text;
    invalidate(false);
    host_.namesChanged();
    host_.stateChanged();
}

}  // namespace editor
