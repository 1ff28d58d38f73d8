// Names of the UACC articulation numbers (the value of CC 32), shown as the value text of
// CC 32 when "Show UACC on CC32" is on.
#pragma once

#include <cstddef>

namespace model {

// The catalog text of `value`; "Unspecified" for every value without a name, negatives included.
// The pointer is to static text and stays valid for the life of the process.
const char* uaccName(int value);

// Copies uaccName(value) into `out`, always zero-terminated. Text that does not fit is cut at a
// UTF-8 character boundary so the host never receives a broken character. [ui]
void UaccArticulationName(int value, char* out, size_t outSize);

}  // namespace model
