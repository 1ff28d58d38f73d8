#include "model/uacc_conversion.h"

namespace model {

int convertUacc(Articulations& a, UaccDirection direction) {
    int changed = 0;
    for (int i = 0; i < kArticulationCount; ++i) {
        if (direction == UaccDirection::kKeyswitchToCc) {
            if (a.note[i] < 0) continue;
            a.modc[i] = kUaccCc;
            a.modw[i] = a.notevel[i];
            a.notevel[i] = 127;
            a.note[i] = kNone;
        } else {
            if (a.modc[i] != kUaccCc) continue;
            if (a.note[i] < 0) a.note[i] = 0;
            a.notevel[i] = a.modw[i];
            a.modc[i] = kModCcUnset;
            a.modw[i] = kNone;
        }
        ++changed;
    }
    return changed;
}

}  // namespace model
