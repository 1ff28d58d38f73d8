#include "editor/editor.h"

#include "editor/paint.h"
#include "editor/scale.h"
#include "model/host_facts.h"
#include "settings/registry_values.h"

namespace editor {
namespace {
// Older hosts give the editor a window too small to settle its layout until clicked once.
constexpr uint16_t kSettleCalls = 8;
constexpr int kSettleParentHeight = 400;
}  // namespace

Editor::Editor(EditorHost& host, float scale) : host_(host), window_(platform::createEditorWindow(*this)) {
    state_.scale = scale;
    fitWindow();
}

Editor::~Editor() = default;

void Editor::show(intptr_t parent) {
    state_.parent = parent;
    state_.visible = true;
    window_->show(parent);
    const int32_t version = host_.facts().hostVersion;
    if (model::settlesAfterClick(version) &&
        window_->clientHeight(parent) <= kSettleParentHeight)
        state_.settleCountdown = kSettleCalls;
}

void Editor::hide() {
    state_.parent = 0;
    state_.visible = false;
    window_->hide();
}

void Editor::applyScale(float scale) {
    state_.scale = scale;
    fitWindow();
}

void Editor::fitWindow() {
    const int height = host_.options().minimised ? model::kEditorHeightMinimised : model::kEditorHeight;
    window_->resize(static_cast<int>(model::kEditorWidth * state_.scale), static_cast<int>(height * state_.scale));
}

void Editor::storeScale(float stored) {
    host_.setStoredScale(stored);
    settings::setUiScaleSetting(stored);
}

void Editor::stepScale(bool up, Report report) {
    const float stored = up ? scaleUpStep(host_.options().uiscale) : scaleDownStep(host_.options().uiscale);
    storeScale(stored);
    applyScale(scaleFromStored(stored));
    host_.editorResized(report);
}

void Editor::setMinimised(bool minimised) {
    host_.setView(ViewField::kMinimised, minimised ? 1 : 0);
    fitWindow();
    host_.editorResized(Report::kNothing);
}

void Editor::hostResized(int width, int height) {
    state_.scale = scaleFromWindow(width, height);
    storeScale(storedFromWindowScale(state_.scale));
    if (state_.visible) window_->paintNow();
}

void Editor::invalidate(bool gridOnly) {
    if (!state_.visible) return;
    window_->invalidate(gridOnly ? kGridArea : platform::Box{});
}

bool Editor::settleClickDue() {
    if (state_.settleCountdown == 0) return false;
    return --state_.settleCountdown == 0;
}

void Editor::paintTo(platform::Canvas& canvas) const {
    host_.paint(state_, canvas);
}

void Editor::paint(platform::Canvas& canvas) {
    if (state_.visible) paintTo(canvas);
}

}  // namespace editor
