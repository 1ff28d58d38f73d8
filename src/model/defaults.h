// Defaults, the emptiness rules, and whole-articulation moves between slots.
#pragma once

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
// Stores a deep copy of `source` into slot `index`.
void storeArticulation(Articulations& articulations, int index, const Articulation& source);
// Moves every field of slot `from` into slot `to`; the key-name list is handed over.
void moveArticulation(Articulations& articulations, int from, int to);

}  // namespace model
