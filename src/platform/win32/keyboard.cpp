#include <windows.h>

#include "platform/keyboard.h"

namespace platform {

// The high bit of the key state is set while the key is down.
bool platformCtrlKeyHeld() { return GetKeyState(VK_CONTROL) < 0; }

}  // namespace platform
