// Defaults, the emptiness rules, and whole-articulation moves between slots.
#pragma once

#include <memory>

#include "model/records.h"

namespace model {

// Puts every record back to its defaults (port and channel only while `deriveRouting`: a fresh
// instance without "Preserve Port/Channel"). `liveInstances` counts this instance too.
// [ui] also called from construction and state restore.
void resetRecords(InstanceRecords& records, int liveInstances, bool deriveRouting);

// Default routing of the n-th live instance: 16 channels of port 0, then port 1, ...
void defaultRouting(int liveInstances, int32_t& port, int32_t& channel);

void resetArticulation(Articulations& articulations, int index);

// Empty: every field at its default and no key names. Decides what the state stream writes and
// where "Append" starts.
bool isArticulationEmpty(const Articulations& articulations, int index);

// The context menu's narrower test: ignores `prog` and `keynamesmissing`.
bool isArticulationEmptyForMenu(const Articulations& articulations, int index);

// A deep copy of one articulation (key names copied, not shared).
Articulation copyArticulation(const Articulations& articulations, int index);
// The fields without key names, out of slot `index` and into it.
ArticulationCore fieldsOf(const Articulations& articulations, int index);
void storeFields(Articulations& articulations, int index, const ArticulationCore& fields);
// Controller `c` as a whole, out of the page and into it.
Controller controllerOf(const Controllers& controllers, int c);
void storeController(Controllers& controllers, int c, const Controller& controller);
// Stores a deep copy of `source` into slot `index`.
void storeArticulation(Articulations& articulations, int index, const Articulation& source);
// Moves every field of slot `from` into slot `to`; the key-name list is handed over.
void moveArticulation(Articulations& articulations, int from, int to);

// Exchanges two whole banks, a column at a time: a bank built aside replaces the live one
// without the live one ever being empty in between. [ui]
void swapArticulations(Articulations& live, Articulations& built);

// A bank replaced as a whole: `fill` writes into a reset bank built aside, which is then swapped
// in. What `fill` returns is passed back.
template <typename Fill>
auto replaceArticulations(Articulations& live, Fill&& fill) {
    auto built = std::make_unique<Articulations>();
    for (int i = 0; i < kArticulationCount; ++i) resetArticulation(*built, i);
    auto result = fill(*built);
    swapArticulations(live, *built);
    return result;
}

}  // namespace model
