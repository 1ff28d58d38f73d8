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
    model::InstanceRecords& r = host_.records();
    model::InstanceOptions& o = r.options;
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
    o.startart = start;
    invalidate(false);
    char hint[64];
    std::snprintf(hint, sizeof hint, "Articulation bank %i - moar articulations", start / kBankSize + 1);
    host_.showHint(hint);
    if (held(HeldKey::kAlt)) host_.selectBank(start / kBankSize);
}

void Editor::key(int code) {
    model::InstanceRecords& r = host_.records();
    model::InstanceOptions& o = r.options;
    const bool ctrl = held(HeldKey::kCtrl), shift = held(HeldKey::kShift);
    const int a = o.editingSlot();
    if (o.panel() == kArticulationPanel || o.panel() == kControllerPanel) {
        const auto ask = [this](const char* question) { return host_.messageBox(question, kYesNoWarning) == kYes; };
        int command = 0;
        if ((ctrl && code == kKeyX) || (shift && code == kDelete)) command = model::kCmdCut;
        else if (ctrl && (code == kKeyC || code == kInsert)) command = model::kCmdCopy;
        else if (ctrl && shift && code == kKeyV && host_.articulationClipboardFull()) {
            host_.articulationCommand(a, model::kCmdInsert);
            command = model::kCmdPaste;
        } else if (ctrl && code == kKeyV && host_.articulationClipboardFull()) command = model::kCmdPaste;
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
    if (code == kPageUp) stepScale(false);
    if (code == kPageDown) stepScale(true);
    if ((code == kUp || code == kDown) && ctrl) {
        setMinimised(code == kUp);
    } else if ((code == kUp || code == kDown) && o.articbanks) {
        const int start = o.bankStart();
        if (code == kUp && start >= kBankSize) o.startart = start - kBankSize;
        if (code == kDown && start < kLastBankStart) o.startart = start + kBankSize;
        invalidate(false);
    }
    if (code == kLeft || code == kRight) {
        int e = o.editingSlot();
        if (code == kLeft && e > 0) --e;
        if (code == kRight && e < (o.articbanks ? model::kArticulationCount - 1 : kBankSize - 1)) ++e;
        o.editing = e;
        o.startart = e / kBankSize * kBankSize;
        invalidate(false);
    }
}

void Editor::manualEntry(TypedField field) {
    using F = TypedField;
    model::InstanceRecords& r = host_.records();
    model::InstanceOptions& o = r.options;
    model::Articulations& art = r.articulations;
    const size_t a = size_t(o.editingSlot());
    const size_t page = size_t(r.shownPage());
    std::string text;
    switch (field) {
    case F::kIconId: text = std::to_string(art.icon[a]); break;
    case F::kKeyswitchVelocity: text = std::to_string(art.notevel[a]); break;
    case F::kKeyswitch: text = std::to_string(art.note[a]); break;
    case F::kSecondKeyswitch:
    case F::kCcValue:
    case F::kVelocity: text = std::to_string(art.modw[a]); break;
    case F::kCcNumber: text = std::to_string(art.modc[a]); break;
    case F::kProgram: text = std::to_string(art.prog[a] + 1); break;
    case F::kPort: text = std::to_string(o.port); break;
    case F::kChannel: text = o.channel == model::kPerColourChannel ? "---" : std::to_string(o.channel + 1); break;
    case F::kArticulationName: text = art.name[a]; break;
    case F::kPageName: text = r.pageNames[page]; break;
    }
    if (!host_.prompt(kTypedCaptions[size_t(field)], text)) {
        invalidate(false);
        return;
    }
    const int32_t number = integerOfText(text);
    const auto clamp127 = [](int32_t v) { return std::clamp(v, 0, 127); };
    switch (field) {
    case F::kIconId: art.icon[a] = number; break;
    case F::kKeyswitchVelocity: art.notevel[a] = number; break;
    case F::kKeyswitch: art.note[a] = clamp127(noteOfText(text, o.altmiddlec != 0)); break;
    case F::kSecondKeyswitch: art.modw[a] = clamp127(noteOfText(text, o.altmiddlec != 0)); break;
    case F::kCcValue:
    case F::kVelocity: art.modw[a] = clamp127(number); break;
    case F::kCcNumber: art.modc[a] = clamp127(number); break;
    case F::kProgram: art.prog[a] = number - 1; break;
    case F::kPort:
        o.port = std::clamp(number, 0, 255);
        host_.forgetSwitches();
        break;
    case F::kChannel: {
        const int32_t channel = std::min(number - 1, o.midixtend ? 63 : 15);
        o.channel = text == "---" || channel < 0 ? model::kPerColourChannel : channel;
        host_.forgetSwitches();
        break;
    }
    case F::kArticulationName:
        art.name[a] = text;
        art.icon[a] = host_.iconForRename(text, art.icon[a]);
        break;
    case F::kPageName: r.pageNames[page] = text; break;
    }
    host_.stateChanged();
    invalidate(false);
}

}  // namespace editor
