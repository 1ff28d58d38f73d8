// Numbers the host and the stored states agree on, each defined once: the host versions whose
// behaviour differs, where the articulation parameter sits in each parameter layout, the
// editor's logical size and the UACC controller.
#pragma once

#include <cstdint>

#include "model/records.h"

namespace model {

// Host versions (FL Studio 12.0, 12.3, 12.5 as the host reports them).
inline constexpr int32_t kHostVersion12 = 12000000;
inline constexpr int32_t kHostVersion12_3 = 12003000;
inline constexpr int32_t kHostVersion12_5 = 12005000;

// What differs by host version, named once:
// before 12: no stored scale, no single editor, the old piano-roll colour grid, old state rules;
inline constexpr bool hostBefore12(int32_t version) { return version < kHostVersion12; }
// 12.0 up to 12.3: the key-name query names no colour;
inline constexpr bool colourlessKeyQuery(int32_t version) {
    return version >= kHostVersion12 && version < kHostVersion12_3;
}
// 12.0 up to 12.5: the editor's first small window settles only after a click.
inline constexpr bool settlesAfterClick(int32_t version) {
    return version >= kHostVersion12 && version < kHostVersion12_5;
}

// Host parameters: 129 declared; the controller-number layout puts the articulation parameter
// after CC 0..127, the named layout after the 96 controllers and uses 97.
inline constexpr int kParameterCount = 129;
inline constexpr int kControllerNumberArticulationIndex = 128;
inline constexpr int kNamedArticulationIndex = kControllerCount;
inline constexpr int kNamedLayoutCount = kNamedArticulationIndex + 1;

// The editor's design canvas in logical pixels; collapsed it keeps the top 100.
inline constexpr int kEditorWidth = 240;
inline constexpr int kEditorHeight = 237;
inline constexpr int kEditorHeightMinimised = 100;

// Spitfire's UACC: the articulation number travels on CC 32.
inline constexpr int32_t kUaccCc = 32;

}  // namespace model
