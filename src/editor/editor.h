// One instance's editor: its window, scale and state, and the paint of every panel. It knows the
// instance only through EditorHost, and the operating system only through the window port, so
// the gestures, hints, menus and keys plug in here without reaching into the plugin class.
// Everything runs on the host's user-interface thread. [ui]
#pragma once

#include <memory>

#include "editor/editor_state.h"
#include "model/records.h"
#include "platform/editor_window.h"

namespace editor {

// What the editor needs of its instance.
class EditorHost {
public:
    virtual model::InstanceRecords& records() = 0;
    // Facts of the engine and the process for one paint.
    virtual PaintFacts paintFacts() const = 0;
    virtual int32_t hostVersion() const = 0;
    // Request 2: the window's size changed.
    virtual void editorResized() = 0;

protected:
    ~EditorHost() = default;
};

class Editor final : public platform::EditorWindowEvents {
public:
    // Creates the hidden window at `scale` (the screen's, before a stored one applies).
    Editor(EditorHost& host, float scale);
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // Shows the window inside the host's `parent` (and starts the settle countdown that an
    // older host's small windows need), or hides and detaches it.
    void show(intptr_t parent);
    void hide();
    // Takes `scale` and sizes the window to it; the caller tells the host.
    void applyScale(float scale);
    // A scale step of the corner click or the keys: stored, written to the settings, the window
    // resized and the host told.
    void stepScale(bool up);
    // Collapses the window to the grid's height, or expands it; the host is told.
    void setMinimised(bool minimised);
    // Marks the window for a repaint (only the grid with `gridOnly`); nothing while hidden.
    void invalidate(bool gridOnly);
    // The periodic call: true on the one call that ends the settle countdown.
    bool settleClickDue();

    EditorState& state() { return state_; }
    const EditorState& state() const { return state_; }
    // The current scale; window size in pixels.
    float currentScale() const { return state_.scale; }
    int width() const { return window_->width(); }
    int height() const { return window_->height(); }
    intptr_t window() const { return window_->handle(); }

    // Draws the shown panel onto `canvas`, whether or not the window is visible (snapshots).
    void paintTo(platform::Canvas& canvas) const;

    // The window's events.
    void paint(platform::Canvas& canvas) override;  // nothing while hidden
    float scale() const override { return state_.scale; }
    void hostResized(int width, int height) override;
    void input(const platform::InputEvent& event) override;

private:
    void fitWindow();
    void storeScale(float stored);

    EditorHost& host_;
    EditorState state_;
    std::unique_ptr<platform::EditorWindow> window_;
};

}  // namespace editor
