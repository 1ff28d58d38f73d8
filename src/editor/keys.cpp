// The wheel, the keys and the typed values of the prompts.
#include <algorithm>
#include <cstdio>
#include <string>

#include "editor/editor.h"
#include "editor/note_text.h"
#include "model/articulation_commands.h"

namespace editor {
namespace {

using platform::HeldKey;

// Virtual-key codes of the keys the editor takes.
enum Key : int {
    kBackspace = 0x08,
    kPageUp = 0x21,
    kPageDown = 0x22,
    kLeft = 0x25,
    kUp = 0x26,
    kRight = 0x27,
    kDown = 0x28,
    kInsert = 0x2D,
    kDelete = 0x2E,
    kKeyC = 'C',
    kKeyV = 'V',
    kKeyX = 'X',
};

using model::kBankSize;
constexpr int kLastBankStart = model::kArticulationCount - kBankSize;
constexpr float kWheelScrollStep = 0.05f;
constexpr intptr_t kYesNoWarning = 52;
constexpr intptr_t kYes = 6;
// The prompt's caption of each typed value, in TypedField's order.
constexpr const char* kTypedCaptions[] = {"Icon ID",  "Keyswitch velocity", "Keyswitch", "Second keyswitch",
                                          "CC value", "Velocity",           "CC #",      "Program change",
                                          "Port",     "Channel",            "Articulation name", "Page name"};

}  // namespace

void Editor::wheel(int delta) {
    if (!regionAt(state_.lastPoint, kWheel)) return;
    const model::InstanceOptions o = host_.options();
    if (o.panel() == kIconPicker) {
        if (delta == 0) return;
        state_.iconScroll = std::clamp(state_.iconScroll + (delta > 0 ? -kWheelScrollStep : kWheelScrollStep), 0.0f, 1.0f);
        invalidate(false);
        return;
    }
    if (!o.articbanks) return;
    const int before = o.bankStart();
    int start = before;
    if (delta > 0 && start >= kBankSize) start -= kBankSize;
    if (delta < 0 && start < kLastBankStart) start += kBankSize;
    if (start == before) return;
    host_.setView(ViewField::kBankStart, start);
    invalidate(false);
    char hint[64];
    std::snprintf(hint, sizeof hint, "Articulation bank %i - moar articulations", start / kBankSize + 1);
    host_.showHint(hint);
    if (held(HeldKey::kAlt)) host_.selectBank(start / kBankSize);
}

void Editor::key(int code) {
    const model::InstanceOptions o = host_.options();
    const bool ctrl = held(HeldKey::kCtrl), shift = held(HeldKey::kShift);
    const int a = o.editingSlot();
    if (o.panel() == kArticulationPanel || o.panel() == kControllerPanel) {
        const auto ask = [this](const char* question) { return host_.messageBox(question, kYesNoWarning) == kYes; };
        const bool canPaste = host_.articulationMenuShows(a, model::kCmdPaste);  // the clipboard is full
        int command = 0;
        if ((ctrl && code == kKeyX) || (shift && code == kDelete)) command = model::kCmdCut;
        else if (ctrl && (code == kKeyC || code == kInsert)) command = model::kCmdCopy;
        else if (ctrl && shift && code == kKeyV && canPaste) {
            host_.articulationCommand(a, model::kCmdInsert);
            command = model::kCmdPaste;
        } else if (ctrl && code == kKeyV && canPaste) command = model::kCmdPaste;
        else if (shift && code == kInsert) command = model::kCmdPaste;
        else if (code == kInsert && !ctrl) command = model::kCmdInsert;
        else if (code == kBackspace && ask("Are you sure you want to clear this articulation?")) command = model::kCmdClear;
        else if (code == kDelete && ctrl) command = model::kCmdDelete;
        else if (code == kDelete && ask("Are you sure you want to delete this articulation?")) command = model::kCmdDelete;
        if (command) {
            host_.articulationCommand(a, command);
            invalidate(false);
        }
    }
    if (code == kPageUp) stepScale(false, Report::kNothing);
    if (code == kPageDown) stepScale(true, Report::kNothing);
    if ((code == kUp || code == kDown) && ctrl) {
        setMinimised(code == kUp);
    } else if ((code == kUp || code == kDown) && o.articbanks) {
        const int start = o.bankStart();
        if (code == kUp && start >= kBankSize) host_.setView(ViewField::kBankStart, start - kBankSize);
        if (code == kDown && start < kLastBankStart) host_.setView(ViewField::kBankStart, start + kBankSize);
        invalidate(false);
    }
    if (code == kLeft || code == kRight) {
        int e = o.editingSlot();
        if (code == kLeft && e > 0) --e;
        if (code == kRight && e < (o.articbanks ? model::kArticulationCount - 1 : kBankSize - 1)) ++e;
        host_.setView(ViewField::kEditing, e);
        host_.setView(ViewField::kBankStart, e / kBankSize * kBankSize);
        invalidate(false);
    }
}

void Editor::manualEntry(TypedField field) {
    using F = TypedField;
    const int a = host_.options().editingSlot();
    const int page = model::shownPage(host_.controllerStart());
    model::ArticulationCore art = host_.articulation(a);
    model::InstanceOptions o = host_.options();
    std::string text;
    switch (field) {
    case F::kIconId: text = std::to_string(art.icon); break;
    case F::kKeyswitchVelocity: text = std::to_string(art.notevel); break;
    case F::kKeyswitch: text = std::to_string(art.note); break;
    case F::kSecondKeyswitch:
    case F::kCcValue:
    case F::kVelocity: text = std::to_string(art.modw); break;
    case F::kCcNumber: text = std::to_string(art.modc); break;
    case F::kProgram: text = std::to_string(int64_t{art.prog} + 1); break;
    case F::kPort: text = std::to_string(o.port); break;
    case F::kChannel: text = o.channel == model::kPerColourChannel ? "---" : std::to_string(int64_t{o.channel} + 1); break;
    case F::kArticulationName: text = art.name; break;
    case F::kPageName: text = host_.pageName(page); break;
    }
    if (!host_.prompt(kTypedCaptions[size_t(field)], text)) {
        invalidate(false);
        return;
    }
    // As they are now: the API may have changed them while the prompt was open.
    art = host_.articulation(a);
    o = host_.options();
    const int32_t number = integerOfText(text);
    const auto clamp127 = [](int32_t v) { return std::clamp(v, 0, 127); };
    switch (field) {
    case F::kIconId: art.icon = number; break;
    case F::kKeyswitchVelocity: art.notevel = number; break;
    case F::kKeyswitch: art.note = clamp127(noteOfText(text, o.altmiddlec != 0)); break;
    case F::kSecondKeyswitch: art.modw = clamp127(noteOfText(text, o.altmiddlec != 0)); break;
    case F::kCcValue:
    case F::kVelocity: art.modw = clamp127(number); break;
    case F::kCcNumber: art.modc = clamp127(number); break;
    case F::kProgram: art.prog = number - 1; break;
    case F::kArticulationName:
        art.name = text;
        art.icon = host_.iconForRename(text, art.icon);
        break;
    case F::kPort: host_.setRouting(std::clamp(number, 0, 255), o.channel); break;
    case F::kChannel: {
        const int32_t channel = std::min(number - 1, o.midixtend ? 63 : 15);
        host_.setRouting(o.port, text == "---" || channel < 0 ? model::kPerColourChannel : channel);
        break;
    }
    case F::kPageName: host_.setPageName(page, text); break;
    }
    if (field != F::kPort && field != F::kChannel && field != F::kPageName) host_.setArticulation(a, art);
    invalidate(false);
}

}  // namespace editor
