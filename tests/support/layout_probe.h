// Whether a picture of the editor at scale 1 agrees with the layout: a few fixed sprites copied
// pixel for pixel from the skin sheet, and text of the right colour in a few boxes. Both the
// cairo snapshot and a capture of the real window under Wine are checked with it; they need not
// be identical pictures, but they must agree on where things are.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "editor/layout.h"
#include "platform/image_files.h"

namespace testing_support {

// True when some pixel of `box` is within 24 of `colour` in every channel (anti-aliased text
// keeps its colour inside the strokes).
inline bool hasColourIn(const platform::Image& shot, platform::Box box, platform::Colour colour) {
    const auto near = [](uint32_t a, uint32_t b, int shift) {
        return std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) <= 24;
    };
    for (int y = box.top; y < box.bottom && y < shot.height; ++y)
        for (int x = box.left; x < box.right && x < shot.width; ++x) {
            const uint32_t p = shot.at(x, y);
            if (near(p, colour, 16) && near(p, colour, 8) && near(p, colour, 0)) return true;
        }
    return false;
}

// `sprite` of the skin sheet lies at `at` in the shot, every pixel.
inline void expectSprite(const platform::Image& shot, const platform::Image& skin, platform::Rect sprite,
                         editor::Point at, const char* what) {
    int wrong = 0;
    for (int y = 0; y < sprite.height; ++y)
        for (int x = 0; x < sprite.width; ++x)
            wrong += shot.at(at.x + x, at.y + y) != skin.at(sprite.x + x, sprite.y + y);
    EXPECT_EQ(wrong, 0) << what << ": pixels that differ from the skin sheet";
}

// The articulation panel of a fresh instance (port 0, channel 1, mouse away); a fresh instance
// counts articulation 0 as the one playing, so cell 0 is left out.
inline void expectArticulationPanelLayout(const platform::Image& shot, const platform::Image& skin) {
    using namespace editor;
    ASSERT_GE(shot.width, kCanvasWidth);
    ASSERT_GE(shot.height, kCanvasHeight);
    for (const int cell : {1, 7, 15}) expectSprite(shot, skin, sheet::tag(cell, 0), gridTag(cell), "grid tag");
    expectSprite(shot, skin, sheet::litTab(kArticulationPanel), panelTab(kArticulationPanel), "lit tab");
    expectSprite(shot, skin, platform::Rect{0, 0, 6, 6}, Point{0, 0}, "background corner");
    EXPECT_TRUE(hasColourIn(shot, kPortText, colour::kValue)) << "port number";
    EXPECT_TRUE(hasColourIn(shot, kChannelText, colour::kValue)) << "channel number";
    EXPECT_FALSE(hasColourIn(shot, kPortLabel, colour::kSoloLabel)) << "port label";
}

}  // namespace testing_support
