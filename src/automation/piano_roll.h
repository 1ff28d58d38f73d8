// Reaching into FL Studio's own windows where it offers no interface: picking a note colour in
// the piano roll, noticing a Shift-click on one of its keys, following its colour popup, keeping
// the single editor's window in one place and the settle click of small old editor windows.
// Everything goes through the WindowSystem port and does nothing when the windows are absent.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window_system.h"

namespace automation {

using platform::WindowSystem;

// The host's window classes and titles.
inline constexpr const char* kMainFormClass = "TFruityLoopsMainForm";
inline constexpr const char* kPanelClass = "TWPControl";
inline constexpr const char* kPianoRollTitle = "Piano roll -";  // matched whole, any case
inline constexpr const char* kPluginFormClass = "TPluginForm";
inline constexpr const char* kVectorSheetClass = "TVectorSheet";
inline constexpr const char* kPopupClass = "TQuickPopupMenuWindow";

inline constexpr int32_t kNoPlace = -99999;

// Calls `visit(panel)` for every host panel: the TWPControl children of the main window, then
// of each later main form, until `visit` returns true (then true). No allocation. [audio][ui]
template <typename Visit>
bool walkPanels(const WindowSystem& ws, intptr_t mainWindow, Visit visit) {
    for (intptr_t form = mainWindow; form; form = ws.findTopLevel(form, kMainFormClass, nullptr))
        for (intptr_t panel = ws.findChild(form, 0, kPanelClass, nullptr); panel;
             panel = ws.findChild(form, panel, kPanelClass, nullptr))
            if (visit(panel)) return true;
    return false;
}

// Picks the note colour of grid cell 0..15 in the first piano roll that takes the click; false,
// with nothing sent, when there is none. Hosts before 12 lay the colours out in four columns at
// another place. [ui]
bool SelectPianoRollColour(WindowSystem& ws, intptr_t mainWindow, bool hostBefore12, int cell);

// Where the Shift-click test writes its eleven trace lines per colour list.
class TraceLines {
public:
    virtual void write(const char* line) = 0;

protected:
    ~TraceLines() = default;
};

// Whether the user is Shift-clicking a key of a piano roll right now; its trace goes to `trace`
// (the instance queues it when on the audio thread: a debugger output call waits while a
// debugger or an output viewer listens). Runs at every note start on the audio thread, so it
// makes only these window-system calls, none of which sends a message or waits for another
// thread: FindWindowEx (compares class names and the title the window manager keeps for each
// window, in the window manager itself: no WM_GETTEXT reaches the window), GetWindowRect,
// GetCursorPos, GetAsyncKeyState and GetKeyState (read state the window manager already holds).
// No allocation. [audio]
bool IsPianoRollShiftClick(WindowSystem& ws, intptr_t mainWindow, TraceLines& trace);
// The same with the trace on the debugger output at once. [ui]
bool IsPianoRollShiftClick(WindowSystem& ws, intptr_t mainWindow);

// The prompt's caption for renaming piano-roll key `key` of an articulation named `name`:
// "Rename note Legato C#", "Rename note C5".
std::string renameKeyCaption(const std::string& name, int key, bool altMiddleC);
// The key-name list entry of piano-roll key `key` (the list runs from the highest key down).
inline constexpr int keyNameEntry(int key) { return 131 - key; }

// Moves every host form that holds an instance's editor (`isEditor(window)`) to the remembered
// place, unless the place is unset. [ui]
template <typename IsEditor>
void MovePluginFormsToPlace(WindowSystem& ws, intptr_t mainWindow, int32_t x, int32_t y, IsEditor isEditor);
// Remembers where the host form holding `editorWindow` stands, in its parent's client area.
// False when no form holds it. [ui]
bool RememberPluginFormPlace(WindowSystem& ws, intptr_t mainWindow, intptr_t editorWindow, int32_t& x, int32_t& y);

// The piano roll's colour popup, followed per instance, and the host's key-name query that
// tells which articulation a pick in the popup selects. [ui]
struct ColourPopupState {
    intptr_t followed = 0;
    bool measured = false;
    int queried = -1;         // the articulation of the last key-name query (0..127), -1 never asked
    intptr_t queryEditor = 0;  // this instance's editor window at that query
    int pendingPick = -1;     // the query's articulation until a pick takes it, -1

    // The host's query reported by the instance, with its editor window at the time.
    void keyNamesQueried(int articulation, intptr_t editorWindow) {
        queried = pendingPick = articulation;
        queryEditor = editorWindow;
    }
    // Only the instance that answered the query, with the same editor, follows the popup.
    bool queriedFrom(intptr_t editorWindow) const { return queried >= 0 && queryEditor == editorWindow; }
    int takePendingPick() {
        const int pick = pendingPick;
        pendingPick = -1;
        return pick;
    }
};
// Follows the popup: finds it near a piano roll, measures it by its marker pixel, forgets it
// when it is gone. A newly followed popup drops the pending pick of the host's key-name query. [ui]
void FollowColourPopup(WindowSystem& ws, intptr_t mainWindow, ColourPopupState& state);
inline constexpr int kPopupHeight = 164;
inline constexpr uint32_t kPopupMarker = 0x9ED1A5;  // RGB, on the popup's row 2

// One left click 5 pixels left of and 60 above the editor's top-left corner, the cursor put
// back after. [ui]
void SettleClick(WindowSystem& ws, intptr_t editorWindow);

// The first child of `form`'s first TVectorSheet child, 0 when there is none.
intptr_t formContent(const WindowSystem& ws, intptr_t form);

template <typename IsEditor>
void MovePluginFormsToPlace(WindowSystem& ws, intptr_t mainWindow, int32_t x, int32_t y, IsEditor isEditor) {
    if (x == kNoPlace || y == kNoPlace) return;
    walkPanels(ws, mainWindow, [&](intptr_t panel) {
        for (intptr_t form = ws.findChild(panel, 0, kPluginFormClass, nullptr); form;
             form = ws.findChild(panel, form, kPluginFormClass, nullptr)) {
            const intptr_t sheet = ws.findChild(form, 0, kVectorSheetClass, nullptr);
            if (!sheet) break;
            const intptr_t content = ws.findChild(sheet, 0, nullptr, nullptr);
            if (content && isEditor(content)) ws.move(form, x, y);
        }
        return false;
    });
}

}  // namespace automation
