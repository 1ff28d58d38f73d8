// The host program's windows as the piano-roll automation sees them: found by class and title,
// measured, read pixel by pixel, moved, and driven with synthesised mouse and key input.
// Handles are the system's (HWND), 0 for none. Nothing here allocates, so the note-start test
// may use it on the audio thread. [audio][ui]
#pragma once

#include <cstdint>

#include "platform/editor_platform.h"

namespace platform {

struct WindowRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

class WindowSystem {
public:
    // The next child of `parent` after `after` (0: the first) whose class and title match; a
    // null class or title matches any. Titles match whole and case-insensitively.
    virtual intptr_t findChild(intptr_t parent, intptr_t after, const char* className, const char* title) const = 0;
    // The same among the top-level windows.
    virtual intptr_t findTopLevel(intptr_t after, const char* className, const char* title) const = 0;
    virtual bool exists(intptr_t window) const = 0;
    // Screen rectangle; false for a window that is gone.
    virtual bool rect(intptr_t window, WindowRect& out) const = 0;
    virtual ScreenPoint clientToScreen(intptr_t window, ScreenPoint client) const = 0;
    // A screen point in the client coordinates of `window`.
    virtual ScreenPoint screenToClient(intptr_t window, ScreenPoint screen) const = 0;
    virtual intptr_t parent(intptr_t window) const = 0;
    virtual intptr_t windowAt(ScreenPoint screen) const = 0;
    virtual ScreenPoint cursor() const = 0;
    virtual void setCursor(ScreenPoint screen) = 0;
    // A synthesised left-button press or release; `absolute` carries the position in the event.
    virtual void leftButton(bool down, bool absolute, ScreenPoint screen) = 0;
    // A synthesised key press or release of a virtual-key code.
    virtual void key(int virtualKey, bool up) = 0;
    // Whether a key (or the left button) is down now (`async`) or in the thread's message state.
    virtual bool keyDown(int virtualKey, bool async) const = 0;
    // A pixel of the window's client area as 0xRRGGBB; 0 outside it.
    virtual uint32_t pixel(intptr_t window, int x, int y) const = 0;
    // Moves a window to a place in its parent's client area, keeping its size.
    virtual void move(intptr_t window, int left, int top) = 0;
    virtual void debugOutput(const char* text) = 0;

protected:
    ~WindowSystem() = default;
};

// Virtual-key codes the automation uses.
namespace vk {
inline constexpr int kLeftButton = 0x01;
inline constexpr int kEnter = 0x0D;
inline constexpr int kShift = 0x10;
inline constexpr int kAlt = 0x12;
inline constexpr int kHome = 0x24;
inline constexpr int kRight = 0x27;
inline constexpr int kDown = 0x28;
inline constexpr int kLeftShift = 0xA0;
inline constexpr int kRightShift = 0xA1;
}  // namespace vk

// The system's windows (none where there is no display), unless a test installed its own.
WindowSystem& windowSystem();
void setWindowSystem(WindowSystem* system);  // null: the system's again
WindowSystem& systemWindowSystem();

}  // namespace platform
