// The controller strips (knob, fader, switch, mini control), the bank indicator and the page
// picture. Each frame is painted over the strip it lands on, since frames are blitted opaquely.
#include <cmath>

#include "editor/layout.h"
#include "painter.h"
#include "sheets.h"

namespace artwork {
namespace {

using editor::Point;
namespace sheet = editor::sheet;
namespace pal = palette;

constexpr double kArcStart = kPi * 0.75;  // knob travel: 270 degrees from lower left
constexpr double kArcSweep = kPi * 1.5;

// Paints `frames` frames of `width` x `height` stacked downwards (or side by side), each over
// the canvas background at `at`.
template <class Paint>
platform::Image frames(editor::Point size, int count, bool sideBySide, Point at, void (*background)(cairo_t*),
                       Paint paint) {
    const Backdrop backdrop(background);
    Surface surface(size.x, size.y);
    cairo_t* cr = surface.cr();
    const int w = sideBySide ? size.x / count : size.x, h = sideBySide ? size.y : size.y / count;
    for (int f = 0; f < count; ++f) {
        const int x = sideBySide ? w * f : 0, y = sideBySide ? 0 : h * f;
        cairo_save(cr);
        cairo_rectangle(cr, x, y, w, h);
        cairo_clip(cr);
        cairo_translate(cr, x - at.x, y - at.y);
        backdrop.lay(cr);
        cairo_translate(cr, at.x, at.y);
        paint(cr, f);
        cairo_restore(cr);
    }
    return surface.image();
}

double position(int frame) { return frame / double(sheet::kControlFrames - 1); }

void radial(cairo_t* cr, double cx, double cy, double r, uint32_t inner, uint32_t outer) {
    cairo_pattern_t* g = cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.45, r * 0.1, cx, cy, r);
    const Rgb a = rgb(inner), b = rgb(outer);
    cairo_pattern_add_color_stop_rgb(g, 0, a.r, a.g, a.b);
    cairo_pattern_add_color_stop_rgb(g, 1, b.r, b.g, b.b);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

void knob(cairo_t* cr, int frame) {
    const double c = sheet::kControlSize / 2.0, v = position(frame);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 2.6);
    cairo_arc(cr, c, c, 14.5, kArcStart, kArcStart + kArcSweep);
    setColour(cr, rgb(pal::kShadow));
    cairo_stroke(cr);
    if (frame > 0) {
        cairo_arc(cr, c, c, 14.5, kArcStart, kArcStart + kArcSweep * v);
        setColour(cr, rgb(pal::kValue));
        cairo_stroke(cr);
    }
    cairo_arc(cr, c, c + 0.8, 10.8, 0, 2 * kPi);
    setColour(cr, rgb(pal::kShadow), 0.8);
    cairo_fill(cr);
    radial(cr, c, c, 10.2, 0x4A5560, 0x262E35);
    cairo_arc(cr, c, c, 10.2, kPi * 1.1, kPi * 1.9);
    setColour(cr, rgb(0xFFFFFF), 0.12);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    const double a = kArcStart + kArcSweep * v;
    cairo_move_to(cr, c + 3.5 * std::cos(a), c + 3.5 * std::sin(a));
    cairo_line_to(cr, c + 8.6 * std::cos(a), c + 8.6 * std::sin(a));
    setColour(cr, rgb(0xEDE6D8));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
}

void fader(cairo_t* cr, int frame) {
    const double c = sheet::kControlSize / 2.0, v = position(frame);
    const double top = 5, bottom = 29, capY = bottom - (bottom - top) * v;
    for (int i = 0; i <= 4; ++i) {  // scale ticks left of the slot
        const double y = std::floor(bottom - (bottom - top) * i / 4.0) + 0.5;
        cairo_move_to(cr, c - 11, y);
        cairo_line_to(cr, c - (i % 2 ? 8.5 : 7.5), y);
    }
    setColour(cr, rgb(0x56606A));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    roundRect(cr, c - 2, top - 2, 4, bottom - top + 4, 2);
    setColour(cr, rgb(pal::kShadow));
    cairo_fill(cr);
    if (frame > 0) {
        roundRect(cr, c - 1.2, capY, 2.4, bottom + 1 - capY, 1.2);
        setColour(cr, rgb(pal::kValue), 0.9);
        cairo_fill(cr);
    }
    plate(cr, c - 7, capY - 3.5, 14, 7, 2, 0x45505A);
    cairo_move_to(cr, c - 5, std::floor(capY) + 0.5);
    cairo_line_to(cr, c + 5, std::floor(capY) + 0.5);
    setColour(cr, rgb(0xEDE6D8));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void toggle(cairo_t* cr, int frame) {
    const double c = sheet::kControlSize / 2.0;
    const bool on = frame == 1;
    well(cr, c - 7, 6, 14, 24, 7, on ? 0x3A3226 : pal::kField);
    const double y = on ? 13 : 23;
    cairo_arc(cr, c, y + 1, 5.6, 0, 2 * kPi);
    setColour(cr, rgb(pal::kShadow), 0.8);
    cairo_fill(cr);
    radial(cr, c, y, 5.3, on ? 0xF0CF98 : 0x56626C, on ? 0xB08A55 : 0x2C343B);
    if (on) {  // the lamp above the toggle
        cairo_arc(cr, c, 2.8, 1.6, 0, 2 * kPi);
        setColour(cr, rgb(pal::kValue));
        cairo_fill(cr);
    }
}

void miniControl(cairo_t* cr, int frame) {
    const double v = position(frame);
    // Rows 22..23 stay plain strip: the controls below overwrite them.
    const double x = 3, y = 7, w = sheet::kMiniWidth - 6, h = 9;
    well(cr, x, y, w, h, 3, pal::kField);
    const double fill = (w - 4) * v;
    if (frame > 0) {
        roundRect(cr, x + 2, y + 2, fill, h - 4, 1.5);
        setColour(cr, rgb(pal::kValue), 0.85);
        cairo_fill(cr);
    }
    cairo_move_to(cr, std::round(x + 2 + fill) + 0.5, y - 1);
    cairo_line_to(cr, std::round(x + 2 + fill) + 0.5, y + h + 1);
    setColour(cr, rgb(0xEDE6D8));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

void bank(cairo_t* cr, int frame) {
    const editor::Rect r = sheet::bankFrame(0);
    const double segment = (r.height - 1) / 4.0;
    for (int q = 0; q < 4; ++q) {
        roundRect(cr, 1.5, 1 + segment * q + 0.5, 3, segment - 2, 1.5);
        setColour(cr, q == frame ? rgb(pal::kValue) : rgb(0x2E373F));
        cairo_fill(cr);
    }
}

void noBackground(cairo_t* cr) { fillRect(cr, -1000, -1000, 4000, 4000, pal::kBase); }

}  // namespace

platform::Image paintKnob() {
    return frames(sheet::size(platform::Sheet::kKnob), sheet::kControlFrames, false, editor::control(1),
                  paintControllerStrip, knob);
}

platform::Image paintFader() {
    return frames(sheet::size(platform::Sheet::kFader), sheet::kControlFrames, false, editor::control(1),
                  paintControllerStrip, fader);
}

platform::Image paintSwitch() {
    return frames(sheet::size(platform::Sheet::kSwitch), 2, false, editor::control(1), paintControllerStrip, toggle);
}

platform::Image paintMiniControl() {
    return frames(sheet::size(platform::Sheet::kMiniControl), sheet::kControlFrames, false, editor::kMiniControl,
                  paintControllerStrip, miniControl);
}

platform::Image paintBankIndicator() {
    return frames(sheet::size(platform::Sheet::kBankIndicator), 4, true, editor::kBankIndicator, paintPanelBackground, bank);
}

platform::Image paintPicture() {
    const editor::Point size = sheet::size(platform::Sheet::kPicture);
    return frames(size, 1, false, {0, 0}, noBackground, [&](cairo_t* cr, int) {
        cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, size.x, size.y);
        cairo_pattern_add_color_stop_rgb(g, 0, 0x23 / 255.0, 0x2B / 255.0, 0x33 / 255.0);
        cairo_pattern_add_color_stop_rgb(g, 1, 0x15 / 255.0, 0x1A / 255.0, 0x1F / 255.0);
        cairo_rectangle(cr, 0, 0, size.x, size.y);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        // A stave with a few marked notes, fading to the right behind the name.
        const double staff = 7, top = 26;
        for (int i = 0; i < 5; ++i) {
            cairo_move_to(cr, 12, top + staff * i + 0.5);
            cairo_line_to(cr, size.x - 12, top + staff * i + 0.5);
        }
        cairo_pattern_t* fade = cairo_pattern_create_linear(12, 0, size.x - 12, 0);
        cairo_pattern_add_color_stop_rgba(fade, 0, 0.74, 0.73, 0.71, 0.45);
        cairo_pattern_add_color_stop_rgba(fade, 1, 0.74, 0.73, 0.71, 0.05);
        cairo_set_source(cr, fade);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        cairo_pattern_destroy(fade);
        const Rgb ink = mix(rgb(pal::kText), rgb(pal::kBase), 0.25);
        glyph(cr, "clefs.G", staff * 4, 26, top + staff * 2.4, ink);
        const struct {
            double x, step;
            const char* mark;
        } notes[] = {{52, 3, "scripts.staccato"}, {70, 2, "scripts.tenuto"}, {88, 1, "scripts.sforzato"},
                     {106, 2, "scripts.umarcato"}};
        for (const auto& n : notes) {
            const double y = top + staff * 4 - staff / 2 * n.step;
            glyph(cr, "noteheads.s2", staff * 4, n.x, y, ink);
            glyph(cr, n.mark, staff * 4, n.x, top - 6, rgb(pal::kValue));
        }
        text(cr, Face::kCondensedBold, 30, "KRYL Voxtrane", 136, 38, rgb(pal::kText), Align::kLeft);
        text(cr, Face::kCondensedItalic, 13, "articulations & controllers", 138, 62, rgb(pal::kValue), Align::kLeft);
    });
}

}  // namespace artwork
