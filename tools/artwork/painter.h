// Drawing helpers shared by every sheet of the artwork: fonts, colours, cairo surfaces that turn
// into bitmaps, and the few shapes (wells, raised plates, text) the sheets are made of.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

#include "platform/image_files.h"

namespace artwork {

inline constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r = 0, g = 0, b = 0;
};
constexpr Rgb rgb(uint32_t c) { return {((c >> 16) & 255) / 255.0, ((c >> 8) & 255) / 255.0, (c & 255) / 255.0}; }
Rgb mix(Rgb a, Rgb b, double t);
void setColour(cairo_t* cr, Rgb c, double alpha = 1.0);

// The palette: dark blue-grey panels, warm values, the editor's own text colours.
namespace palette {
inline constexpr uint32_t kBase = 0x1B2127;       // panel background
inline constexpr uint32_t kWell = 0x13181C;       // recessed areas: the grid, fields
inline constexpr uint32_t kSocket = 0x181E23;     // one grid cell
inline constexpr uint32_t kFrame = 0x2B343C;      // thin frames
inline constexpr uint32_t kShadow = 0x0C0F12;     // inner edge of a well
inline constexpr uint32_t kHighlight = 0x323C45;  // lit edge of a plate
inline constexpr uint32_t kStrip = 0x222A31;      // the field strip under the grid
inline constexpr uint32_t kField = 0x111519;      // value fields
inline constexpr uint32_t kBar = 0x171C21;        // bottom bar
inline constexpr uint32_t kCaption = 0x6C747A;    // captions baked into the artwork
inline constexpr uint32_t kText = 0xBCBBB6;
inline constexpr uint32_t kValue = 0xD9B27C;
inline constexpr uint32_t kSelected = 0x85EA78;
inline constexpr uint32_t kTabFill = 0x21272B;
inline constexpr uint32_t kInk = 0xECE5D6;      // lit pictograms
inline constexpr uint32_t kDimInk = 0x7C8183;   // dim pictograms
}  // namespace palette

enum class Face { kMusic, kCondensed, kCondensedItalic, kCondensedBold };

// Finds and opens the fonts (fixed Debian paths); false with a message when one is missing.
bool loadFonts(std::string& error);
void useFace(cairo_t* cr, Face face, double size);
// The glyph index of an Emmentaler glyph name; exits with a message when the font lacks it.
unsigned long musicGlyph(const char* name);

// An ARGB surface with its context, read back as an opaque bitmap.
class Surface {
public:
    Surface(int width, int height);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }
    platform::Image image();

private:
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// A picture of the whole 240 x 237 canvas, painted once: sprites copy their background from
// it, so they match the sheet they are blitted over pixel for pixel (painting the same shapes
// again under another clip may round differently).
class Backdrop {
public:
    explicit Backdrop(void (*paint)(cairo_t*));
    // Copies the picture with canvas point (0, 0) at the current origin.
    void lay(cairo_t* cr) const;

private:
    Surface surface_;
};

// Paths and plates. Coordinates are pixel edges: (x, y, w, h) covers pixels x .. x + w - 1.
void roundRect(cairo_t* cr, double x, double y, double w, double h, double r);
void fillRect(cairo_t* cr, double x, double y, double w, double h, uint32_t colour);
// A recessed field: dark fill, a shadowed top edge and a faint lit bottom edge.
void well(cairo_t* cr, double x, double y, double w, double h, double r, uint32_t fill);
// A raised plate: a soft top-lit gradient, a lit top edge and a dark outline.
void plate(cairo_t* cr, double x, double y, double w, double h, double r, uint32_t fill);

enum class Align { kLeft, kCentre };
// Text with its ink box centred vertically on `cy`; shrunk to fit `maxWidth` when given.
void text(cairo_t* cr, Face face, double size, const std::string& s, double x, double cy, Rgb colour,
          Align align = Align::kCentre, double maxWidth = 0);
// One Emmentaler glyph with its ink box centred on (cx, cy); `size` is the font size (4 staff spaces).
void glyph(cairo_t* cr, const char* name, double size, double cx, double cy, Rgb colour);

}  // namespace artwork
