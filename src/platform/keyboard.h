// The state of modifier keys at the moment a command starts.
#pragma once

#include <optional>

namespace platform {

// [ui] Whether Ctrl is held down now.
bool ctrlKeyHeld();

// Headless hosts and tests answer for the keyboard: a value replaces the platform's answer,
// nullopt restores it.
void setCtrlKeyOverride(std::optional<bool> held);

// The platform's own answer: the key state on Windows; false where there is no keyboard to ask.
bool platformCtrlKeyHeld();

}  // namespace platform
