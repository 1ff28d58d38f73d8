// The editor's drawing surface: exactly what painting needs and nothing of a graphics API.
// Coordinates are logical pixels of the 240 x 237 design canvas; a canvas maps them onto its
// device (GDI on Windows composes at logical size and stretches once; cairo draws at the scale).
#pragma once

#include <cstdint>

namespace platform {

// The artwork sheets, by their resource numbers.
enum class Sheet : int {
    kSkin = 101,        // backgrounds and small sprites, 480 x 720
    kKnob = 103,        // 64 frames of 34 x 34, stacked vertically
    kMiniControl = 104, // 64 frames of 56 x 24
    kSwitch = 105,      // 2 frames of 34 x 34 (off, on)
    kIconStrip = 106,   // icon k at x = 32k; lit row y = 0, dim row y = 28
    kFader = 107,       // 64 frames of 34 x 34
    kPicture = 109,     // loaded with the rest, never drawn
    kBankIndicator = 110, // 4 frames of 6 x 89 side by side
};

inline constexpr Sheet kAllSheets[] = {Sheet::kSkin,      Sheet::kKnob,  Sheet::kMiniControl,
                                       Sheet::kSwitch,    Sheet::kIconStrip, Sheet::kFader,
                                       Sheet::kPicture,   Sheet::kBankIndicator};

// A rectangle given by its corner and size.
struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect& o) const { return x == o.x && y == o.y && width == o.width && height == o.height; }
};

// A box given by its corners, right and bottom excluded (as text boxes are written).
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Box& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// How text sits in its box.
enum class TextFormat {
    kCentred,          // centred both ways, not clipped
    kLabel,            // centred horizontally, at the top
    kEllipsis,         // left, at the top, shortened with an ellipsis at a word
    kMiddleEllipsis,   // left, centred vertically, not clipped, shortened at a word
    kCentredEllipsis,  // centred both ways, not clipped, shortened at a word
    kPlain,            // left, at the top, not clipped
    kLine,             // left, at the top
    kWordWrap,         // left, at the top, wrapped at words over several lines
};

using Colour = uint32_t;  // 0xRRGGBB

// Where Cuprum is missing, the editor sets its text in Roboto Condensed (the snapshots' face, and
// the one the Windows module carries), which runs wider: narrowed by this much, labels keep to
// their boxes.
inline constexpr double kStandInNarrowing = 0.8;

class Canvas {
public:
    // Copies `source` of a sheet to (x, y) at the same size; parts outside the sheet draw nothing.
    virtual void copy(Sheet sheet, Rect source, int x, int y) = 0;
    virtual void fill(Box box, Colour colour) = 0;
    // The face for every text: "Cuprum", or its substitute where it is missing. `height` is the
    // character cell height in logical pixels.
    virtual void setFont(int height) = 0;
    virtual void setTextColour(Colour colour) = 0;
    // UTF-8 text in a box, in the current font and text colour; transparent background.
    virtual void text(const char* utf8, Box box, TextFormat format) = 0;

protected:
    ~Canvas() = default;
};

}  // namespace platform
