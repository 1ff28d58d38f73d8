#include "platform/keyboard.h"

namespace platform {

namespace {

std::optional<bool> gCtrlOverride;

}  // namespace

bool ctrlKeyHeld() { return gCtrlOverride ? *gCtrlOverride : platformCtrlKeyHeld(); }

void setCtrlKeyOverride(std::optional<bool> held) { gCtrlOverride = held; }

}  // namespace platform
