#include "editor/scale.h"

#include <algorithm>

#include "editor/layout.h"

namespace editor {
namespace {
constexpr float kAutomatic = 0.001f;  // at or below: automatic
constexpr float kStep = 0.5f;
constexpr float kLargest = 4.0f;
constexpr float kFirstStep = 1.5f;
}  // namespace

float scaleUpStep(float stored) {
    const float next = stored <= kAutomatic ? kFirstStep : stored + kStep;
    return next >= kLargest + 0.0001f ? 0.0f : next;
}

float scaleDownStep(float stored) {
    const float next = stored <= kAutomatic ? kLargest : stored - kStep;
    return next <= 1.0001f ? 0.0f : next;
}

float scaleFromStored(float stored) { return stored > kAutomatic ? stored : 1.0f; }

float scaleFromWindow(int width, int height) {
    return std::max(static_cast<float>(width) / kCanvasWidth, static_cast<float>(height) / kCanvasHeight);
}

float storedFromWindowScale(float scale) { return scale <= 1.0f ? 0.0f : scale; }

}  // namespace editor
