// The cairo canvas paints what the layout says: sprites copied pixel for pixel, texts in their
// colours, at every scale the window takes.
#ifdef VOXTRANE_HAVE_CAIRO
#include <gtest/gtest.h>

#include "editor/paint.h"
#include "model/defaults.h"
#include "platform/cairo/cairo_canvas.h"
#include "support/layout_probe.h"

namespace {

TEST(CairoSnapshot, AgreesWithTheLayoutAndScales) {
    const platform::CairoSheets sheets(VOXTRANE_ARTWORK_DIR, "");
    const platform::Image skin = platform::readBmp(std::string(VOXTRANE_ARTWORK_DIR) + "/101-skin.bmp");
    ASSERT_FALSE(skin.empty());
    model::InstanceRecords r;
    model::resetRecords(r, 1, true);
    r.options.page = editor::kArticulationPanel;
    engine::NoteNameTable names{};
    engine::buildNoteNames(false, names);
    editor::PaintFacts facts;
    facts.noteNames = &names;

    platform::CairoCanvas canvas(sheets, editor::kCanvasWidth, editor::kCanvasHeight, 1.0f);
    editor::Paint(r, editor::EditorState{}, facts, canvas);
    testing_support::expectArticulationPanelLayout(canvas.image(), skin);

    // At scale 2 every logical pixel of a sprite is a block of four.
    platform::CairoCanvas doubled(sheets, editor::kCanvasWidth, editor::kCanvasHeight, 2.0f);
    editor::Paint(r, editor::EditorState{}, facts, doubled);
    const platform::Image big = doubled.image();
    ASSERT_EQ(big.width, 480);
    ASSERT_EQ(big.height, 474);
    const editor::Point tag = editor::gridTag(3);
    const platform::Rect source = editor::sheet::tag(3, 0);
    for (int y = 0; y < source.height * 2; ++y)
        for (int x = 0; x < source.width * 2; ++x)
            ASSERT_EQ(big.at(2 * tag.x + x, 2 * tag.y + y), skin.at(source.x + x / 2, source.y + y / 2)) << x << "," << y;
}

}  // namespace
#endif
