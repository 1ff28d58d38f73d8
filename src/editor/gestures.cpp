// Presses, drags, releases and clicks on the canvas. A drag hides and cages the cursor and puts
// it back at the press after every move, so the value follows the hand's travel while the
// pointer stays where the user pressed, like a hardware knob.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "editor/editor.h"
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

int32_t* articulationField(model::InstanceRecords& r, int target) {
    const size_t a = size_t(r.options.editingSlot());
    model::Articulations& art = r.articulations;
    switch (target) {
    case kIconTarget: return &art.icon[a];
    case kKeyswitchTarget: return &art.note[a];
    case kVelocityTarget: return &art.notevel[a];
    case kCcNumberTarget: return &art.modc[a];
    case kModeValueTarget: return &art.modw[a];
    case kProgramTarget: return &art.prog[a];
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
    const model::InstanceRecords& r = host_.records();
    return r.options.paramknob ? c : r.controllers.cc[size_t(c)] - r.options.oldparams;
}

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

void Editor::press(Point at) {
    state_.lastPoint = at;
    state_.pressPoint = at;
    state_.dragTarget = kNoTarget;
    model::InstanceRecords& r = host_.records();
    const int page = r.options.panel();
    const int32_t modc = r.articulations.modc[size_t(r.options.editingSlot())];
    const bool alt = held(HeldKey::kAlt);
    int target = kNoTarget;
    // Each later hit overrides an earlier one.
    if (page == kArticulationPanel && kIconHit.contains(at.x, at.y)) target = kIconTarget;
    if (page == kIconPicker && kScrollBarHit.contains(at.x, at.y)) target = kScrollTarget;
    if (page == kArticulationPanel) {
        if (kKeyswitchHit.contains(at.x, at.y)) target = alt ? kVelocityTarget : kKeyswitchTarget;
        if (modc == model::kModSecondKeyswitch || modc == model::kModPlayVelocity) {
            if (kModePressHit.contains(at.x, at.y)) target = kModeValueTarget;
        } else {
            if (kCcNumberHit.contains(at.x, at.y)) target = kCcNumberTarget;
            if (kCcValueHit.contains(at.x, at.y)) target = kModeValueTarget;
        }
        if (kProgramHit.contains(at.x, at.y)) target = kProgramTarget;
    }
    if (kPortHit.contains(at.x, at.y)) target = kPortTarget;
    if (kChannelHit.contains(at.x, at.y)) target = kChannelTarget;
    if (target == kNoTarget && alt) {
        resetControllerToDefault();
        return;
    }
    if (page == kControllerPanel) {
        model::Controllers& ctl = r.controllers;
        const int first = r.shownController(0);
        int hit = -1;
        if (kMiniControlHit.contains(at.x, at.y) && ctl.cc[size_t(first)] != model::kUnassignedCc) {
            target = kFirstControlTarget;
            hit = first;
        }
        for (int k = 1; k < kPageControls; ++k) {
            if (r.shownController(k) < 0) break;
            const size_t c = size_t(r.shownController(k));
            if (controlHit(k).contains(at.x, at.y) && (ctl.type[c] == model::kKnob || ctl.type[c] == model::kFader) &&
                ctl.cc[c] != model::kUnassignedCc && !ctl.lock[c]) {
                target = kFirstControlTarget + k;
                hit = int(c);
            }
        }
        if (hit >= 0) {
            ctl.on[size_t(hit)] = 1;
            status("CC #%i set to %i", ctl.cc[size_t(hit)], ctl.value[size_t(hit)]);
        }
    }
    if (target == kNoTarget) return;

    state_.dragTarget = target;
    if (target == kVelocityTarget) host_.setNoteLearn(engine::NoteLearn::kKeyswitchVelocity);
    if (target == kKeyswitchTarget) host_.setNoteLearn(engine::NoteLearn::kKeyswitch);
    if (target == kModeValueTarget && (modc == model::kModSecondKeyswitch || modc == model::kModPlayVelocity))
        host_.setNoteLearn(engine::NoteLearn::kSecondValue);
    if (int32_t* field = articulationField(r, target)) state_.dragStartValue = *field;
    else if (target == kPortTarget) state_.dragStartValue = r.options.port;
    else if (target == kChannelTarget)
        state_.dragStartValue = r.options.channel == model::kPerColourChannel ? -1 : r.options.channel;
    else if (target == kScrollTarget) state_.dragStartValue = static_cast<int>(state_.iconScroll * 100.0f);
    else state_.dragStartValue = r.controllers.value[size_t(r.shownController(target - kFirstControlTarget))];

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
    model::InstanceRecords& r = host_.records();
    if (r.options.articbanks && held(HeldKey::kCtrl)) platform::editorPlatform().activate(window_->handle());
    updateHint();
    if (state_.inWarp) return;
    state_.lastPoint = at;
    if (dragging()) dragStep();
    const int page = r.options.panel();
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
    model::InstanceRecords& r = host_.records();
    model::InstanceOptions& o = r.options;
    const int target = state_.dragTarget;
    const int vertical = static_cast<int>(state_.dragTravel[1]);  // toward zero
    if (int32_t* field = articulationField(r, target)) {
        const Range range = rangeOf(target);
        const int v = clampedSum(state_.dragStartValue, vertical / range.stepsPerUnit, range.low, range.high);
        if (v == *field) return;
        *field = v;  // before the report, which hands the change to the notes
        host_.stateChanged();
        if (target == kVelocityTarget) status("Note velocity set to %i", v, 0);
        invalidate(false);
    } else if (target == kPortTarget || target == kChannelTarget) {
        int v = clampedSum(state_.dragStartValue, vertical / rangeOf(target).stepsPerUnit, -1, 255);
        int32_t& field = target == kPortTarget ? o.port : o.channel;
        if (target == kPortTarget) {
            v = std::clamp(v, 0, 255);
        } else {
            v = std::min(v, o.midixtend ? 63 : 15);
            if (v < 0) v = model::kPerColourChannel;
        }
        if (v == field) return;
        field = v;
        host_.forgetSwitches();
        host_.stateChanged();
        invalidate(false);
    } else if (target >= kFirstControlTarget && target <= kLastControlTarget) {
        // The API may have moved the page meanwhile.
        const int c = r.shownController(target - kFirstControlTarget);
        if (c < 0) return;
        const int travel = target == kFirstControlTarget ? static_cast<int>(state_.dragTravel[0]) : vertical;
        const int v = clampedSum(state_.dragStartValue, travel, 0, 127);
        if (v == r.controllers.value[size_t(c)]) return;
        if (r.controllers.on[size_t(c)]) host_.setControllerValue(controllerParameter(c), v);
        status("CC #%i set to %i", r.controllers.cc[size_t(c)], r.controllers.value[size_t(c)]);
    } else if (target == kScrollTarget) {
        const int v = std::clamp(state_.dragStartValue - vertical / rangeOf(target).stepsPerUnit, 0, 100);
        state_.iconScroll = static_cast<float>(v) * 0.01f;
        invalidate(false);
    }
}

void Editor::endDrag() {
    if (!dragging()) return;
    const model::InstanceOptions& o = host_.records().options;
    if ((state_.dragTarget == kPortTarget || state_.dragTarget == kChannelTarget) && held(HeldKey::kAlt)) {
        char name[48];
        std::snprintf(name, sizeof name, "KRYL Out %i:%i", o.port, o.channel + 1);
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
    model::InstanceRecords& r = host_.records();
    if (r.options.panel() != kControllerPanel) return;
    const Point at = state_.lastPoint;
    int c = -1;
    if (kMiniControlHit.contains(at.x, at.y)) c = r.shownController(0);
    for (int k = 1; k < kPageControls; ++k)
        if (controlHit(k).contains(at.x, at.y)) c = r.shownController(k);
    model::Controllers& ctl = r.controllers;
    if (c < 0 || ctl.cc[size_t(c)] == model::kUnassignedCc || ctl.lock[size_t(c)]) return;
    host_.setControllerValue(controllerParameter(c), ctl.defaultValue[size_t(c)]);
    status("CC #%i set to %i", ctl.cc[size_t(c)], ctl.value[size_t(c)]);
}

void Editor::toggleOption(const char* stateKey) {
    const model::OptionInfo* option = model::optionByStateKey(stateKey);
    model::InstanceOptions& o = host_.records().options;
    if (option->field) o.*option->field = o.*option->field ? 0 : 1;
    else host_.singleEditor() = host_.singleEditor() ? 0 : 1;
    host_.optionToggled(stateKey);
}

bool Editor::clickOption(Point at) {
    const int tab = host_.optionsTab();
    for (const OptionRow& row : kOptionRowsTable) {
        if (row.tab != tab || !optionHit(row.column, row.row, tab == kAdvancedTab).contains(at.x, at.y)) continue;
        if (!row.stateKey) host_.setHttpApiEnabled(!host_.httpApiEnabled());
        else if (std::string(row.stateKey) != "singleeditor" || host_.hostVersion() >= model::kHostVersion12)
            toggleOption(row.stateKey);
        invalidate(false);
        return true;
    }
    return false;
}

bool Editor::clickController(Point at) {
    model::InstanceRecords& r = host_.records();
    model::Controllers& ctl = r.controllers;
    for (int k = 1; k < kPageControls; ++k) {
        if (r.shownController(k) < 0) break;
        const size_t c = size_t(r.shownController(k));
        if (!controlHit(k).contains(at.x, at.y) || ctl.type[c] != model::kSwitch || ctl.cc[c] == model::kUnassignedCc)
            continue;
        host_.setControllerValue(controllerParameter(int(c)), ctl.value[c] < 64 ? 127 : 0);
        status("CC #%i set to %i", ctl.cc[c], ctl.value[c]);
    }
    for (int k = 0; k < kPageControls; ++k) {
        if (r.shownController(k) < 0) break;
        const size_t c = size_t(r.shownController(k));
        const Hit name = k == 0 ? kMiniNameHit : controlNameHit(k);
        if (!name.contains(at.x, at.y) || ctl.cc[c] == model::kUnassignedCc) continue;
        ctl.on[c] = ctl.on[c] ? 0 : 1;
        invalidate(false);
    }
    return false;
}

void Editor::click(Point at) {
    model::InstanceRecords& r = host_.records();
    model::InstanceOptions& o = r.options;
    platform::EditorPlatform& os = platform::editorPlatform();
    if (state_.parent) os.focus(state_.parent, window_->handle());
    const int page = o.panel();
    const bool ctrl = held(HeldKey::kCtrl);

    if (kScaleCorner.contains(at.x, at.y) && host_.hostVersion() >= model::kHostVersion12) {
        stepScale(!ctrl);
        host_.stateChanged();
        invalidate(false);
    }
    if (page == kIconPicker && kPickerGridHit.contains(at.x, at.y)) {
        const int column = (at.x - kPickerOrigin.x) / kPickerStepX, row = (at.y - kPickerOrigin.y) / kPickerStepY;
        const int rows = std::max(0, host_.paintFacts().iconCount / kPickerColumns - (kPickerRows - 1));
        const int top = static_cast<int>(rows * std::clamp(state_.iconScroll, 0.0f, 1.0f));
        const int icon = column + kPickerColumns * (top + row);
        const size_t a = size_t(o.editingSlot());
        r.articulations.icon[a] = icon;
        host_.stateChanged();
        o.page = kArticulationPanel;
        r.articulations.name[a] = host_.nameForPickedIcon(r.articulations.name[a], icon);
        invalidate(false);
        char text[64];
        std::snprintf(text, sizeof text, "Clicked %i %i (%i)", column, row, icon);
        host_.statusText(text);
        return;
    }
    if (page == kArticulationPanel || page == kControllerPanel) {
        for (int i = 0; i < kGridCells; ++i) {
            if (!gridHit(i).contains(at.x, at.y)) continue;
            if (ctrl) host_.pianoRollPick(i);
            o.editing = o.bankStart() + i;
            invalidate(false);
        }
    }
    if (page == kOptionsPanel) {
        for (int t = 0; t < 3; ++t)
            if (optionsTabHit(t).contains(at.x, at.y)) {
                host_.optionsTab() = t;
                invalidate(false);
                return;
            }
        if (clickOption(at)) return;
    }
    if (page == kControllerPanel) {
        if (kPageNameHit.contains(at.x, at.y)) {
            pageMenu();
            return;
        }
        clickController(at);
    }
    if (page == kArticulationPanel) {
        const int a = o.editingSlot();
        const bool names = r.articulations.keynames[size_t(a)] != nullptr;
        if ((names ? kKeyNamesHitWithClear : kKeyNamesHit).contains(at.x, at.y)) {
            host_.keyNamesBox(a, held(HeldKey::kShift), ctrl);
            invalidate(false);
            return;
        }
        if (names && kKeyNamesClearHit.contains(at.x, at.y)) {
            host_.clearKeyNames(a);
            invalidate(false);
            return;
        }
    }
    if (kMuteSoloHit.contains(at.x, at.y)) {
        host_.muteClicked(held(HeldKey::kLeftCtrl) || held(HeldKey::kRightCtrl));
        invalidate(false);
        return;
    }
    if (page == kOptionsPanel && kDebugToggleHit.contains(at.x, at.y)) {
        host_.toggleDebugLog();
        invalidate(false);
    }
    for (int p = 0; p < 3; ++p)
        if (panelTabHit(p).contains(at.x, at.y)) {
            o.page = p;
            invalidate(false);
        }
    if (page == kArticulationPanel && kModeSelectorHit.contains(at.x, at.y)) {
        modeMenu();
        invalidate(false);
    }
}

}  // namespace editor
