// The editor's window as the operating system shows it: created hidden with the instance,
// shown inside the host's window, sized, invalidated and painted. On Windows it is a dialog
// (template 100) whose procedure turns messages into the events below; the native Linux module
// has no window and keeps only the size and visibility (it paints headless, on demand).
// Everything here runs on the host's user-interface thread. [ui]
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/canvas.h"

namespace platform {

// Input as the window received it, in client pixels; the editor divides by its scale.
struct InputEvent {
    enum class Kind { kMouseMove, kButtonDown, kButtonUp, kWheel, kKeyDown, kKeyUp, kMouseLeave, kActivate, kDeactivate };
    enum Button { kLeft = 0, kRight = 1, kMiddle = 2 };
    Kind kind = Kind::kMouseMove;
    int x = 0, y = 0;
    int button = kLeft;
    int wheelDelta = 0;  // multiples of 120 per notch, positive away from the user
    int key = 0;         // virtual-key code
};

// What the window asks of the editor that owns it.
class EditorWindowEvents {
public:
    // Draws the whole logical canvas.
    virtual void paint(Canvas& canvas) = 0;
    // The effective scale: logical pixels x scale = window pixels.
    virtual float scale() const = 0;
    // The host changed the window's size (not the editor itself); size in pixels.
    virtual void hostResized(int width, int height) = 0;
    virtual void input(const InputEvent& event) = 0;
    // While a drag runs the cursor stays hidden: the window answers the cursor-shape message itself.
    virtual bool dragging() const = 0;

protected:
    ~EditorWindowEvents() = default;
};

class EditorWindow {
public:
    virtual ~EditorWindow() = default;
    // The native handle (HWND), 0 where there is no window.
    virtual intptr_t handle() const = 0;
    // Shows the window as a child of the host's `parent`, or detaches and hides it.
    virtual void show(intptr_t parent) = 0;
    virtual void hide() = 0;
    // Resizes without moving; raises no hostResized.
    virtual void resize(int width, int height) = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // Marks a logical box (or the whole window with an empty box) for repainting, no erase.
    virtual void invalidate(Box logical) = 0;
    // Paints at once instead of waiting for the system's paint message.
    virtual void paintNow() = 0;
    // Height in pixels of a window's client area (the host's parent), 0 when unknown.
    virtual int clientHeight(intptr_t window) const = 0;
};

// The system's editor window for `events`; never null (headless where there is no display).
std::unique_ptr<EditorWindow> createEditorWindow(EditorWindowEvents& events);

// The artwork of every editor in the process: the bitmaps, the icon strip (from
// "Notation.bmp" in the plugin folder when it opens, else the built-in strip) and the private
// font. Loaded by the first instance, released by the last; a missing file is silent.
void loadEditorArtwork(const std::string& programFolder);
// Under the program folder: the user's icon strip, and the artwork as files where the module
// does not carry it (the native build).
inline constexpr const char* kNotationFile = "Plugins\\Fruity\\Generators\\KRYL Voxtrane\\Notation.bmp";
inline constexpr const char* kArtworkFolder = "Plugins\\Fruity\\Generators\\KRYL Voxtrane\\artwork";
void releaseEditorArtwork();
// Icons in the loaded strip (its width / 32), 0 when none is loaded.
int editorIconCount();

}  // namespace platform
