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
    const model::InstanceOptions o = host_.options();
    const int a = o.editingSlot();
    const Region* region = regionAt(state_.lastPoint, kRightClick);
    if (!region) return;
    switch (region->kind) {
    case RegionKind::kGridCell: return articulationMenu(o.bankStart() + region->index);
    case RegionKind::kControl: {
        // A place past the last controller (a page from the API) is nothing.
        const int c = shownController(region->index);
        if (c >= 0) controllerMenu(c, held(HeldKey::kShift));
        return;
    }
    case RegionKind::kControlName: {
        const int c = shownController(region->index);
        // The mini control's name only once it is assigned.
        if (c >= 0 && (region->index > 0 || host_.controller(c).cc != model::kUnassignedCc)) renameController(c);
        return;
    }
    case RegionKind::kIcon:
        if (held(HeldKey::kShift)) return manualEntry(TypedField::kIconId);
        host_.setView(ViewField::kPanel, kIconPicker);
        invalidate(false);
        return;
    case RegionKind::kKeyswitch:
        return manualEntry(held(HeldKey::kAlt) ? TypedField::kKeyswitchVelocity : TypedField::kKeyswitch);
    case RegionKind::kModeField: {
        const int32_t modc = host_.articulation(a).modc;
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
        const std::vector<model::KeyNamesMenuItem> items = model::keyNamesMenu(host_.keyNames(a));
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
    std::vector<MenuEntry> entries;
    for (int command = model::kCmdClear; command <= model::kCmdImport; ++command) {
        if (!host_.articulationMenuShows(index, command)) continue;
        entries.push_back(command == model::kCmdSeparator ? separator(command)
                                                          : entry(command, kArticulationEntries[command]));
    }
    const int chosen = choose(entries);
    if (chosen > 0) host_.articulationCommand(index, chosen);
    invalidate(false);
}

void Editor::modeMenu() {
    const int a = host_.options().editingSlot();
    const int chosen = choose({entry(kModeMenuBase, "Set CC to value"), entry(kModeMenuBase + 1, "Second keyswitch"),
                               entry(kModeMenuBase + 2, "Set play velocity")});
    if (chosen < kModeMenuBase || chosen > kModeMenuBase + 2) return;
    model::ArticulationCore edited = host_.articulation(a);
    edited.modc = -(chosen - kModeMenuBase + 1);
    edited.modw = model::kNone;
    host_.setArticulation(a, edited);
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
        host_.runHostParameterEntry(host_.facts().articulationParameter, chosen - kHostEntries, false);
    }
}

void Editor::pageMenu() {
    std::vector<MenuEntry> entries;
    for (int p = 0; p < model::kControllerPageCount; ++p) {
        char text[32];
        std::snprintf(text, sizeof text, "Controllers %i", p + 1);
        const std::string name = host_.pageName(p);
        entries.push_back(entry(p + 1, name.empty() ? text : name.c_str()));
    }
    state_.pageMenu = 1;  // open
    const int chosen = choose(entries);
    state_.pageMenu = 0;
    if (chosen < 1 || chosen > model::kControllerPageCount) return;
    host_.setView(ViewField::kControllerStart, model::kControllersPerPage * (chosen - 1));
    invalidate(false);
}

void Editor::controllerMenu(int c, bool promptOnly) {
    if (promptOnly) return assignController(c);
    model::Controller ctl = host_.controller(c);
    const bool assigned = ctl.cc != model::kUnassignedCc;
    const bool ghosted = host_.options().ghost && held(HeldKey::kCtrl);
    const int parameter = controllerParameter(c);
    const bool clipboardFull = host_.facts().controllerClipboardFull;

    std::vector<MenuEntry> entries;
    if (!assigned) {
        entries.push_back(entry(kAssign, "Assign controller"));
        if (clipboardFull) entries.push_back(entry(kPaste, "Paste controller"));
    } else {
        entries.push_back(entry(kReassign, "Reassign controller"));
        entries.push_back(entry(kAssign, "Unassign controller"));
        entries.push_back(entry(kRename, "Rename controller"));
        entries.push_back(entry(kSwapType, "Swap controller type"));
        entries.push_back(entry(kLock, ctl.lock ? "Unlock controller value" : "Lock controller value"));
        entries.push_back(entry(kCopy, "Copy controller"));
        if (clipboardFull) entries.push_back(entry(kPaste, "Paste controller"));
        entries.push_back(separator(kSeparator));
        for (const MenuEntry& e : host_.hostParameterMenu(parameter, ghosted)) entries.push_back(e);
        entries.push_back(entry(kSetDefault, "Set as default"));
    }
    const int chosen = choose(entries);
    ctl = host_.controller(c);  // as it is now: the API may have changed it while the menu was open
    switch (chosen) {
    case 0: return;
    case kReassign: return assignController(c);
    case kAssign:
        if (!assigned) return assignController(c);
        ctl.cc = model::kUnassignedCc;
        host_.setController(c, ctl, Report::kNamesAndState);
        invalidate(false);
        return;
    case kRename: return renameController(c);
    case kSwapType:
        ctl.type = static_cast<int32_t>((int64_t{ctl.type} + 1) % 3);  // a stored type may be anything
        host_.setController(c, ctl, Report::kState);
        invalidate(false);
        return;
    case kSetDefault:
        ctl.defaultValue = ctl.value;
        host_.setController(c, ctl, Report::kState);
        return;
    case kLock:
        ctl.lock = ctl.lock ? 0 : 1;
        host_.setController(c, ctl, Report::kNothing);
        return;
    case kCopy: host_.copyController(c); return;
    case kPaste:
        if (!clipboardFull) return;
        host_.pasteController(c);
        invalidate(false);
        return;
    default: host_.runHostParameterEntry(parameter, chosen - kHostEntries, ghosted); return;
    }
}

void Editor::assignController(int c) {
    const int32_t cc = host_.controller(c).cc;
    std::string text = cc == model::kUnassignedCc ? std::string() : std::to_string(cc);
    if (!host_.prompt("Controller CC", text)) return;
    const int32_t number = integerOfText(text);
    if (number == 0 && !(text == "0")) {
        host_.messageBox("Invalid CC #. Please enter a CC controller number between 0 and 127", 16);
        return;
    }
    model::Controller ctl = host_.controller(c);
    ctl.cc = std::clamp(number, 0, 127);
    if (ctl.name.empty()) ctl.name = "New control";
    host_.setController(c, ctl, Report::kNamesAndState);
    invalidate(false);
}

void Editor::renameController(int c) {
    std::string text = host_.controller(c).name;
    if (!host_.prompt("Controller Name", text)) return;
    model::Controller ctl = host_.controller(c);
    ctl.name = text;
    host_.setController(c, ctl, Report::kNamesAndState);
    invalidate(false);
}

}  // namespace editor
