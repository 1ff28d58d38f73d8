#include "platform/keyboard.h"

namespace platform {

// No editor window here to read the keyboard through.
bool platformCtrlKeyHeld() { return false; }

}  // namespace platform
