// The editor's scale: the steps of the corner click and the keys, and the scale a window size
// implies. A stored scale of 0 means automatic.
#pragma once

namespace editor {

// 0 (automatic), 1.5, 2.0 ... 4.0, then automatic again.
float scaleUpStep(float stored);
// 0 (automatic), 4.0, 3.5 ... 1.5, then automatic again.
float scaleDownStep(float stored);
// The scale a stored value gives after a step: automatic here is 1.0.
float scaleFromStored(float stored);
// The scale a window of this size shows: the larger of the two ratios.
float scaleFromWindow(int width, int height);
// What a window-given scale stores: nothing (automatic) at 1.0 and below.
float storedFromWindowScale(float scale);

// Below this a stored scale counts as none.
inline constexpr float kSmallestStoredScale = 0.0005f;

}  // namespace editor
