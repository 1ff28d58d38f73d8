// One instance's editor: its window, scale and state, and the paint of every panel. It knows the
// instance only through EditorHost, and the operating system only through the window port, so
// the gestures, hints, menus and keys plug in here without reaching into the plugin class.
// Everything runs on the host's user-interface thread. [ui]
#pragma once

#include <memory>
#include <string>

#include "editor/editor_state.h"
#include "editor/regions.h"
#include "engine/session.h"
#include "model/key_names.h"
#include "model/options.h"
#include "model/records.h"
#include "platform/editor_platform.h"
#include "platform/editor_window.h"
#include "platform/menu.h"

namespace editor {

// The bank menu's commands, in menu order.
enum class BankCommand { kUaccKeyswitchToCc, kUaccCcToKeyswitch, kExport, kImport, kAppend, kImportNki, kAppendNki };

// What a change of stored data tells the host. Every change marks the API's document; one told as
// a change of state also hands the notes their copy of the records and repaints the editor.
enum class Report : uint8_t {
    kNothing,        // stored, but the host is not told (a controller's `on` and `lock`)
    kState,          // request 48
    kNamesAndState,  // request 3 (parameter names), then 48
};

// The view values a project stores, as the editor sets them.
enum class ViewField : uint8_t { kPanel, kEditing, kBankStart, kControllerStart, kMinimised };

// What the editor needs of its instance: queries that answer with values, and commands that
// change the instance and mark what they changed themselves. No reference to the instance's
// records leaves it, so every change goes through a command that reports it.
class EditorHost {
public:
    // ---- Queries ----
    virtual model::InstanceOptions options() const = 0;
    virtual model::ArticulationCore articulation(int slot) const = 0;
    virtual model::KeyNamesSource keyNames(int slot) const = 0;
    // Whether the articulation menu of `slot` shows `command` (Paste: the clipboard is full).
    virtual bool articulationMenuShows(int slot, int command) const = 0;
    virtual model::Controller controller(int c) const = 0;
    virtual int32_t controllerStart() const = 0;  // as stored: read through model::shownController
    virtual std::string pageName(int page) const = 0;
    virtual Facts facts() const = 0;
    virtual bool nkiImporterPresent() const = 0;  // looks for the importer's files
    // The name an articulation called `current` takes when `icon` is picked for it, and the icon
    // one renamed to `name` takes.
    virtual std::string nameForPickedIcon(const std::string& current, int icon) const = 0;
    virtual int32_t iconForRename(const std::string& name, int32_t icon) const = 0;
    // The HTTP API's address on this machine, as a URL.
    virtual std::string httpApiAddress() const = 0;
    // The host's own entries for parameter `parameter` (request 18), identifiers from 1024: from
    // this instance's host or, with `nonGhosted`, from the last other instance on this port and
    // channel that does not ghost, its entries then marked " (non-ghosted)"; this host's when
    // there is no such instance.
    virtual std::vector<platform::MenuEntry> hostParameterMenu(int parameter, bool nonGhosted) const = 0;
    // Draws the records with the editor's paint, for `state`, onto `canvas`.
    virtual void paint(const EditorState& state, platform::Canvas& canvas) const = 0;

    // ---- Commands on the records ----
    virtual void setArticulation(int slot, const model::ArticulationCore& fields) = 0;  // request 48
    virtual void setController(int c, const model::Controller& controller, Report report) = 0;
    // A controller value as automation would set it: ParameterEvent (flags 17), then the host's
    // parameter-changed call, both under `parameterIndex`.
    virtual void setControllerValue(int parameterIndex, int value) = 0;
    // Port and channel: what was last sent on the old ones no longer counts; request 48.
    virtual void setRouting(int32_t port, int32_t channel) = 0;
    virtual void setPageName(int page, const std::string& name) = 0;  // request 48
    virtual void setView(ViewField field, int32_t value) = 0;
    virtual void setStoredScale(float stored) = 0;  // `uiscale`
    // An option's check box: flips its stored value (the instance's, or the process-wide one) and
    // carries out what the option changes.
    virtual void toggleOption(const model::OptionInfo& option) = 0;
    // The articulation menu's commands 1..9, the bank menu's operations, the key-names commands.
    virtual void articulationCommand(int slot, int command) = 0;
    virtual void bankCommand(BankCommand command) = 0;
    virtual void keyNamesCommand(int slot, model::KeyNamesCommand command) = 0;
    // The process-wide controller clipboard: filled from controller `c`, or pasted into it
    // (requests 3 and 48).
    virtual void copyController(int c) = 0;
    virtual void pasteController(int c) = 0;

    // ---- Commands on the engine and the process ----
    // While a drag holds a keyswitch or mode field, played notes fill it in.
    virtual void setNoteLearn(engine::NoteLearn learn) = 0;
    virtual void muteClicked(bool ctrl) = 0;  // refused while the transport plays
    virtual void selectBank(int bank) = 0;    // the engine's current bank, and request 3 with 2
    virtual void toggleHttpApi() = 0;
    virtual void showOptionsTab(int tab) = 0;
    virtual void toggleDebugLog() = 0;
    virtual void pianoRollPick(int cell) = 0;  // the piano-roll automation's part of a Ctrl-click
    virtual void sendMidi(uint32_t message) = 0;
    // A chosen host entry handed back (request 0), as hostParameterMenu found its host.
    virtual void runHostParameterEntry(int parameter, int entry, bool nonGhosted) = 0;

    // ---- The host's windows ----
    virtual void editorResized(Report report) = 0;      // request 2, then what `report` tells
    virtual void renameInstance(const char* name) = 0;  // request 10
    virtual void showHint(const char* text) = 0;        // the host's hint bar
    virtual void statusText(const char* text) = 0;      // request 22
    virtual void traceLine(const char* text) = 0;       // only while the debug log is on
    // The host's text prompt pre-filled with `text`; true and the answer when confirmed.
    virtual bool prompt(const char* caption, std::string& text) = 0;
    // A message box (request 19); the answer, 6 for Yes.
    virtual intptr_t messageBox(const char* text, intptr_t flags) = 0;

protected:
    ~EditorHost() = default;
};

// The values a right click lets the user type.
enum class TypedField {
    kIconId,
    kKeyswitchVelocity,
    kKeyswitch,
    kSecondKeyswitch,
    kCcValue,
    kVelocity,
    kCcNumber,
    kProgram,
    kPort,
    kChannel,
    kArticulationName,
    kPageName,
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
    // resized and the host told (and, from the corner, told of a change of state).
    void stepScale(bool up, Report report = Report::kNothing);
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
    bool dragging() const override { return state_.cursorAnchor.x != -1 || state_.cursorAnchor.y != -1; }

    // The hint for the last point, sent when its region changed. [ui]
    void updateHint();
    // Resets the controller under the last point to its default. [ui]
    void resetControllerToDefault();
    // The parameter index under which controller `c` is automated.
    int controllerParameter(int c) const;
    // Controller k (0..5) of the shown page, or -1 past the last one.
    int shownController(int k) const;

    // Menus and prompts (menus.cpp), wheel and keys (keys.cpp). [ui]
    void rightClick();
    void modeMenu();
    void bankMenu();
    void pageMenu();
    void controllerMenu(int c, bool promptOnly);
    void renameController(int c);
    void manualEntry(TypedField field);
    void wheel(int delta);
    void key(int code);

private:
    // Gestures (gestures.cpp).
    void press(Point at);
    void mouseMove(Point at);
    void dragStep();
    void applyDrag();
    void endDrag();
    void click(Point at);
    // The first region of the shown panel under `at` that takes `gesture` (regions.h).
    const Region* regionAt(Point at, Gesture gesture) const;
    void clickOption(const OptionRow& row);
    void clickController(const Region& region);
    // False for the single-editor option before version 12, which has no say there.
    bool optionLive(const OptionRow& row) const;
    std::string hintText(const Region& region) const;  // hints.cpp
    bool held(platform::HeldKey key) const { return platform::editorPlatform().held(key); }
    void status(const char* format, int a, int b);
    int choose(const std::vector<platform::MenuEntry>& entries);
    void assignController(int c);
    void articulationMenu(int index);
    void fitWindow();
    void storeScale(float stored);

    EditorHost& host_;
    EditorState state_;
    std::unique_ptr<platform::EditorWindow> window_;
};

}  // namespace editor
