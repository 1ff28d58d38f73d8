// The two UACC conversions of the bank menu: between the keyswitch form (a keyswitch note whose
// velocity carries the UACC value) and the controller form (CC 32 set to the value).
#pragma once

#include "model/host_facts.h"

namespace model {

enum class UaccDirection { kKeyswitchToCc, kCcToKeyswitch };

// Converts every articulation in the given form and returns how many changed. The keyswitch
// key itself is not kept: converting back uses key 0 where there was none. [ui]
int convertUacc(Articulations& articulations, UaccDirection direction);

}  // namespace model
