// What the editor's gestures need of the operating system besides its window: the cursor (read,
// moved, hidden, confined), synthesised moves, the keys held, keyboard focus and activation.
// Screen coordinates are pixels. Everything runs on the user-interface thread. [ui]
#pragma once

#include <cstdint>

namespace platform {

struct ScreenPoint {
    int x = 0, y = 0;
};

enum class HeldKey {
    kCtrl,   // either Ctrl
    kLeftCtrl,
    kRightCtrl,
    kAlt,    // either Alt
    kShift,  // either Shift
};

class EditorPlatform {
public:
    virtual ScreenPoint cursorPosition() const = 0;
    // Moves the cursor with a synthesised absolute mouse move, as a hand would.
    virtual void moveCursor(ScreenPoint to) = 0;
    // Hides the cursor; returns the shape to restore.
    virtual intptr_t hideCursor() = 0;
    virtual void restoreCursor(intptr_t saved) = 0;
    // Keeps the cursor inside the box (right and bottom excluded), or lets it go.
    virtual void confineCursor(int left, int top, int right, int bottom) = 0;
    virtual void freeCursor() = 0;
    virtual bool held(HeldKey key) const = 0;
    // Gives the keyboard focus to `window` (and before it to `parent`, when known).
    virtual void focus(intptr_t parent, intptr_t window) = 0;
    virtual void activate(intptr_t window) = 0;

protected:
    ~EditorPlatform() = default;
};

// The system's implementation (headless where there is no display), unless a test installed
// its own.
EditorPlatform& editorPlatform();
void setEditorPlatform(EditorPlatform* platform);  // null: the system's again
// The system's own, one per operating system.
EditorPlatform& systemEditorPlatform();

}  // namespace platform
