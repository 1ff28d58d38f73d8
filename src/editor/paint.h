// The whole editor drawn in one pass onto a canvas: a function of the records, the editor state
// and a few facts of the process, so the window, the snapshot tool and the tests draw alike.
#pragma once

#include "editor/editor_state.h"
#include "model/records.h"
#include "platform/canvas.h"
#include "voxtrane_version.h"

namespace editor {

// The version line of the options panel.
inline constexpr const char* kVersionLine = "KRYL Voxtrane v" VOXTRANE_VERSION;

// Draws the panel `records.options.page` in full, background first. [ui]
void Paint(const model::InstanceRecords& records, const EditorState& state, const PaintFacts& facts,
           platform::Canvas& canvas);

// The build's time stamp as the options panel shows it ("Mon Apr 12 15:39:44 2021").
const char* buildStamp();

}  // namespace editor
