// Presses, drags, releases and clicks on the canvas. A drag hides and cages the cursor and puts
// it back at the press after every move, so the value follows the hand's travel while the
// pointer stays where the user pressed, like a hardware knob.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "editor/editor.h"
#include "editor/regions.h"
#include "editor/scale.h"
#include "model/host_facts.h"
#include "model/options.h"

namespace editor {
namespace {

using platform::HeldKey;
using platform::InputEvent;

// `DragTarget` values.
enum Target : int {
    kNoTarget = -1,
    kIconTarget = 0,
    kKeyswitchTarget = 1,
    kModeValueTarget = 2,  // `modw`
    kProgramTarget = 3,
    kPortTarget = 4,
    kChannelTarget = 5,
    kFirstControlTarget = 6,  // the page's first controller (horizontal)
    kLastControlTarget = 11,  // 7..11: the five large controls (vertical)
    kCcNumberTarget = 13,     // `modc`
    kVelocityTarget = 14,     // `notevel`
    kScrollTarget = 15,       // the icon picker's scroll
};

// Range and rate of the targets that edit an articulation field or the port: steps per unit
// and the clamp.
struct Range {
    int low, high, stepsPerUnit;
};
Range rangeOf(int target) {
    switch (target) {
    case kIconTarget: return {0, 2048, 4};
    case kVelocityTarget: return {1, 127, 4};
    case kPortTarget: return {0, 255, 4};
    case kScrollTarget: return {0, 100, 4};
    default: return {-1, 127, 4};  // keyswitch, CC number, mode value, program
    }
}

int32_t* articulationField(model::ArticulationCore& a, int target) {
    switch (target) {
    case kIconTarget: return &a.icon;
    case kKeyswitchTarget: return &a.note;
    case kVelocityTarget: return &a.notevel;
    case kCcNumberTarget: return &a.modc;
    case kModeValueTarget: return &a.modw;
    case kProgramTarget: return &a.prog;
    default: return nullptr;
    }
}

// A stored value (anything a damaged state holds) moved by a drag, within low..high.
int clampedSum(int32_t value, int delta, int low, int high) {
    return static_cast<int>(std::clamp<int64_t>(int64_t{value} + delta, low, high));
}

bool nearPress(Point a, Point b) { return std::abs(a.x - b.x) <= kClickSlack && std::abs(a.y - b.y) <= kClickSlack; }

}  // namespace

int Editor::controllerParameter(int c) const {
    const model::InstanceOptions o = host_.options();
    if (o.paramknob) return c;
    // Both come from the state as they were stored: any index outside the parameters is ignored.
    return static_cast<int>(std::clamp<int64_t>(int64_t{host_.controller(c).cc} - o.oldparams, -1, model::kParameterCount));
}

int Editor::shownController(int k) const { return model::shownController(host_.controllerStart(), k); }

void Editor::status(const char* format, int a, int b) {
    char text[96];
    std::snprintf(text, sizeof text, format, a, b);
    host_.statusText(text);
}

void Editor::input(const InputEvent& e) {
    const float s = state_.scale > 0.0f ? state_.scale : 1.0f;
    const Point at{static_cast<int>(e.x / s), static_cast<int>(e.y / s)};
    switch (e.kind) {
    case InputEvent::Kind::kMouseMove: mouseMove(at); break;
    case InputEvent::Kind::kButtonDown:
        if (e.button == InputEvent::kLeft) {
            press(at);
        } else {
            state_.lastPoint = at;
            state_.pressPoint = at;
        }
        break;
    case InputEvent::Kind::kButtonUp:
        if (e.button == InputEvent::kLeft) endDrag();
        if (!nearPress(at, state_.pressPoint)) break;
        state_.lastPoint = at;
        if (e.button == InputEvent::kLeft) click(at);
        else if (e.button == InputEvent::kRight) rightClick();
        else resetControllerToDefault();
        break;
    case InputEvent::Kind::kActivate:
    case InputEvent::Kind::kDeactivate:
        endDrag();
        host_.traceLine(e.kind == InputEvent::Kind::kActivate ? "Now active" : "Now inactive");
        break;
    case InputEvent::Kind::kWheel: wheel(e.wheelDelta); break;
    case InputEvent::Kind::kKeyDown: key(e.key); break;
    default: break;
    }
}

const Region* Editor::regionAt(Point at, Gesture gesture) const {
    const model::InstanceOptions o = host_.options();
    const int a = o.editingSlot();
    const RegionContext context{host_.articulation(a).modc, host_.keyNames(a).loaded, host_.facts().optionsTab};
    return editor::regionAt(o.panel(), context, at, gesture);
}

void Editor::press(Point at) {
    state_.lastPoint = at;
    state_.pressPoint = at;
    state_.dragTarget = kNoTarget;
    const model::InstanceOptions o = host_.options();
    model::ArticulationCore edited = host_.articulation(o.editingSlot());
    const bool alt = held(HeldKey::kAlt);
    const Region* region = regionAt(at, kPress);
    const RegionKind kind = region ? region->kind : RegionKind::kPanel;
    int target = kNoTarget;
    switch (kind) {
    case RegionKind::kIcon: target = kIconTarget; break;
    case RegionKind::kScrollBar: target = kScrollTarget; break;
    case RegionKind::kKeyswitch: target = alt ? kVelocityTarget : kKeyswitchTarget; break;
    case RegionKind::kModeField: target = region->index == 0 ? kCcNumberTarget : kModeValueTarget; break;
    case RegionKind::kProgram: target = kProgramTarget; break;
    case RegionKind::kPort: target = kPortTarget; break;
    case RegionKind::kChannel: target = kChannelTarget; break;
    default: break;
    }
    // Alt on anything but a field resets the controller there.
    if (target == kNoTarget && alt) {
        resetControllerToDefault();
        return;
    }
    int32_t controlValue = 0;
    if (kind == RegionKind::kControl) {
        const int c = shownController(region->index);
        model::Controller ctl = c >= 0 ? host_.controller(c) : model::Controller{};
        // The mini control drags whatever its type and lock; the large ones only knobs and faders.
        const bool draggable = ctl.cc != model::kUnassignedCc &&
                               (region->index == 0 ||
                                ((ctl.type == model::kKnob || ctl.type == model::kFader) && !ctl.lock));
        if (draggable) {
            target = kFirstControlTarget + region->index;
            ctl.on = 1;
            host_.setController(c, ctl, Report::kNothing);
            controlValue = ctl.value;
            status("CC #%i set to %i", ctl.cc, ctl.value);
        }
    }
    if (target == kNoTarget) return;

    state_.dragTarget = target;
    if (target == kVelocityTarget) host_.setNoteLearn(engine::NoteLearn::kKeyswitchVelocity);
    if (target == kKeyswitchTarget) host_.setNoteLearn(engine::NoteLearn::kKeyswitch);
    if (target == kModeValueTarget &&
        (edited.modc == model::kModSecondKeyswitch || edited.modc == model::kModPlayVelocity))
        host_.setNoteLearn(engine::NoteLearn::kSecondValue);
    if (int32_t* field = articulationField(edited, target)) state_.dragStartValue = *field;
    else if (target == kPortTarget) state_.dragStartValue = o.port;
    else if (target == kChannelTarget) state_.dragStartValue = o.channel == model::kPerColourChannel ? -1 : o.channel;
    else if (target == kScrollTarget) state_.dragStartValue = static_cast<int>(state_.iconScroll * 100.0f);
    else state_.dragStartValue = controlValue;

    platform::EditorPlatform& os = platform::editorPlatform();
    state_.savedCursor = os.hideCursor();
    state_.dragTravel[0] = state_.dragTravel[1] = 0.0f;
    const platform::ScreenPoint p = os.cursorPosition();
    state_.pressCursor = {p.x, p.y};
    os.confineCursor(p.x - kConfineX, p.y - kConfineY, p.x + kConfineX, p.y + kConfineY);
    os.moveCursor(p);
    const platform::ScreenPoint landed = os.cursorPosition();
    state_.cursorAnchor = {landed.x, landed.y};
}

void Editor::mouseMove(Point at) {
    const model::InstanceOptions o = host_.options();
    if (o.articbanks && held(HeldKey::kCtrl)) platform::editorPlatform().activate(window_->handle());
    updateHint();
    if (state_.inWarp) return;
    state_.lastPoint = at;
    if (dragging()) dragStep();
    const int page = o.panel();
    if ((page == kArticulationPanel || page == kControllerPanel) && kGridHoverArea.contains(at.x, at.y) &&
        state_.visible) {
        window_->invalidate(kGridArea);
        window_->paintNow();
    }
}

void Editor::dragStep() {
    platform::EditorPlatform& os = platform::editorPlatform();
    const float step = static_cast<float>(held(HeldKey::kCtrl) ? kFineStepPixels : kStepPixels);
    const platform::ScreenPoint now = os.cursorPosition();
    // Travel counts from where the returned cursor landed, so the return itself never counts.
    state_.inWarp = true;
    state_.dragTravel[0] += static_cast<float>(now.x - state_.cursorAnchor.x) / step;
    state_.dragTravel[1] -= static_cast<float>(now.y - state_.cursorAnchor.y) / step;
    os.moveCursor({state_.pressCursor.x, state_.pressCursor.y});
    state_.inWarp = false;
    applyDrag();
}

void Editor::applyDrag() {
    const model::InstanceOptions o = host_.options();
    const int target = state_.dragTarget;
    const int vertical = static_cast<int>(state_.dragTravel[1]);  // toward zero
    model::ArticulationCore edited = host_.articulation(o.editingSlot());
    if (int32_t* field = articulationField(edited, target)) {
        const Range range = rangeOf(target);
        const int v = clampedSum(state_.dragStartValue, vertical / range.stepsPerUnit, range.low, range.high);
        if (v == *field) return;
        *field = v;
        host_.setArticulation(o.editingSlot(), edited);
        if (target == kVelocityTarget) status("Note velocity set to %i", v, 0);
        invalidate(false);
    } else if (target == kPortTarget || target == kChannelTarget) {
        int v = clampedSum(state_.dragStartValue, vertical / rangeOf(target).stepsPerUnit, -1, 255);
        if (target == kPortTarget) {
            v = std::clamp(v, 0, 255);
        } else {
            v = std::min(v, o.midixtend ? 63 : 15);
            if (v < 0) v = model::kPerColourChannel;
        }
        if (v == (target == kPortTarget ? o.port : o.channel)) return;
        if (target == kPortTarget) host_.setRouting(v, o.channel);
        else host_.setRouting(o.port, v);
        invalidate(false);
    } else if (target >= kFirstControlTarget && target <= kLastControlTarget) {
        // The API may have moved the page meanwhile.
        const int c = shownController(target - kFirstControlTarget);
        if (c < 0) return;
        const int travel = target == kFirstControlTarget ? static_cast<int>(state_.dragTravel[0]) : vertical;
        const int v = clampedSum(state_.dragStartValue, travel, 0, 127);
        const model::Controller ctl = host_.controller(c);
        if (v == ctl.value) return;
        if (ctl.on) host_.setControllerValue(controllerParameter(c), v);
        status("CC #%i set to %i", ctl.cc, host_.controller(c).value);
    } else if (target == kScrollTarget) {
        const int v = std::clamp(state_.dragStartValue - vertical / rangeOf(target).stepsPerUnit, 0, 100);
        state_.iconScroll = static_cast<float>(v) * 0.01f;
        invalidate(false);
    }
}

void Editor::endDrag() {
    if (!dragging()) return;
    const model::InstanceOptions o = host_.options();
    if ((state_.dragTarget == kPortTarget || state_.dragTarget == kChannelTarget) && held(HeldKey::kAlt)) {
        char name[48];
        std::snprintf(name, sizeof name, "KRYL Out %i:%lld", o.port, static_cast<long long>(o.channel) + 1);
        host_.renameInstance(name);
    }
    state_.cursorAnchor = {-1, -1};
    state_.dragTarget = kNoTarget;
    host_.setNoteLearn(engine::NoteLearn::kNone);
    platform::EditorPlatform& os = platform::editorPlatform();
    os.restoreCursor(state_.savedCursor);
    os.freeCursor();
}

void Editor::resetControllerToDefault() {
    const Region* region = regionAt(state_.lastPoint, kMiddleClick);
    if (!region || region->kind != RegionKind::kControl) return;
    const int c = shownController(region->index);
    if (c < 0) return;
    const model::Controller ctl = host_.controller(c);
    if (ctl.cc == model::kUnassignedCc || ctl.lock) return;
    host_.setControllerValue(controllerParameter(c), ctl.defaultValue);
    status("CC #%i set to %i", ctl.cc, host_.controller(c).value);
}

bool Editor::optionLive(const OptionRow& row) const {
    const model::OptionInfo* option = optionOf(row);
    return !option || option->kind != model::OptionKind::kProcessWide || !model::hostBefore12(host_.facts().hostVersion);
}

void Editor::clickOption(const OptionRow& row) {
    const model::OptionInfo* option = optionOf(row);
    if (!option) host_.toggleHttpApi();
    else if (optionLive(row)) host_.toggleOption(*option);
    invalidate(false);
}

void Editor::clickController(const Region& region) {
    const int c = shownController(region.index);
    if (c < 0) return;
    model::Controller ctl = host_.controller(c);
    if (ctl.cc == model::kUnassignedCc) return;
    if (region.kind == RegionKind::kControlName) {
        ctl.on = ctl.on ? 0 : 1;
        host_.setController(c, ctl, Report::kNothing);
        invalidate(false);
    } else if (region.index > 0 && ctl.type == model::kSwitch) {
        host_.setControllerValue(controllerParameter(c), ctl.value < 64 ? 127 : 0);
        status("CC #%i set to %i", ctl.cc, host_.controller(c).value);
    }
}

void Editor::click(Point at) {
    const model::InstanceOptions o = host_.options();
    platform::EditorPlatform& os = platform::editorPlatform();
    if (state_.parent) os.focus(state_.parent, window_->handle());
    const bool ctrl = held(HeldKey::kCtrl);
    const Region* region = regionAt(at, kClick);
    if (!region) return;
    const int a = o.editingSlot();
    switch (region->kind) {
    case RegionKind::kScaleCorner:
        if (model::hostBefore12(host_.facts().hostVersion)) return;
        stepScale(!ctrl, Report::kState);
        break;
    case RegionKind::kPickerGrid: {
        const int column = (at.x - kPickerOrigin.x) / kPickerStepX, row = (at.y - kPickerOrigin.y) / kPickerStepY;
        const int rows = std::max(0, host_.facts().iconCount / kPickerColumns - (kPickerRows - 1));
        const int top = static_cast<int>(rows * std::clamp(state_.iconScroll, 0.0f, 1.0f));
        const int icon = column + kPickerColumns * (top + row);
        model::ArticulationCore picked = host_.articulation(a);
        picked.icon = icon;
        picked.name = host_.nameForPickedIcon(picked.name, icon);
        host_.setArticulation(a, picked);
        host_.setView(ViewField::kPanel, kArticulationPanel);
        invalidate(false);
        char text[64];
        std::snprintf(text, sizeof text, "Clicked %i %i (%i)", column, row, icon);
        host_.statusText(text);
        return;
    }
    case RegionKind::kGridCell:
        if (ctrl) host_.pianoRollPick(region->index);
        host_.setView(ViewField::kEditing, o.bankStart() + region->index);
        break;
    case RegionKind::kOptionsTab: host_.showOptionsTab(region->index); break;
    case RegionKind::kOption: return clickOption(kOptionRowsTable[size_t(region->index)]);
    case RegionKind::kPageName: return pageMenu();
    case RegionKind::kControl:
    case RegionKind::kControlName: return clickController(*region);
    case RegionKind::kKeyNames:
        host_.keyNamesCommand(a, model::keyNamesBoxCommand(host_.keyNames(a), held(HeldKey::kShift), ctrl));
        break;
    case RegionKind::kKeyNamesClear: host_.keyNamesCommand(a, model::KeyNamesCommand::kClear); break;
    case RegionKind::kMuteSolo: host_.muteClicked(held(HeldKey::kLeftCtrl) || held(HeldKey::kRightCtrl)); break;
    case RegionKind::kDebugToggle: host_.toggleDebugLog(); break;
    case RegionKind::kPanelTab: host_.setView(ViewField::kPanel, region->index); break;
    case RegionKind::kModeSelector: modeMenu(); break;
    default: return;
    }
    invalidate(false);
}

}  // namespace editor
