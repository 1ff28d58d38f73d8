// The editor's per-instance state that no project stores (what a project stores, such as the
// shown panel, the selected articulation and the scale, is in the instance's options).
#pragma once

#include <cstdint>
#include <string>

#include "editor/layout.h"
#include "engine/note_names.h"
#include "model/host_facts.h"

namespace editor {

struct EditorState {
    bool visible = false;
    intptr_t parent = 0;
    float scale = 1.0f;  // `UiScale`: window pixels per logical pixel

    Point lastPoint{-1, -1};  // last `LogicalPoint` of the mouse
    Point pressPoint{};       // `LogicalPoint` at the last press
    int32_t hintId = -1;      // `HintId`: region whose hint was sent last
    int32_t dragTarget = -1;  // `DragTarget`: value being dragged
    int32_t dragStartValue = 0;
    float dragTravel[2] = {0.0f, 0.0f};  // horizontal and vertical, in steps
    Point cursorAnchor{-1, -1};
    Point pressCursor{};
    intptr_t savedCursor = 0;
    bool inWarp = false;
    float iconScroll = 0.0f;  // icon picker, 0.0 .. 1.0
    intptr_t pageMenu = 0;
    uint16_t settleCountdown = 0;
    bool repositionRequest = false;
};

// What the editor reads of the process and the host, gathered by the instance when asked.
struct Facts {
    int32_t hostVersion = model::kHostVersion12_5;  // see model/host_facts.h
    bool httpApiEnabled = false;
    int optionsTab = kGeneralTab;       // shared by every editor of the process
    int iconCount = sheet::kIconCount;  // icons in the loaded strip
    bool controllerClipboardFull = false;
    int articulationParameter = model::kControllerNumberArticulationIndex;  // its host parameter
};

// What painting reads beyond the records and the editor state: the facts above, and those of the
// engine and the process gathered for each paint.
struct PaintFacts : Facts {
    int playingArticulation = -1;  // the articulation now playing, -1 none
    bool muted = false;            // this port and channel's mute entry
    bool othersAllMuted = false;   // every other mute entry is set (solo)
    bool debugLog = false;
    bool singleEditor = true;
    const engine::NoteNameTable* noteNames = nullptr;
};

}  // namespace editor
