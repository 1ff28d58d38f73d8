// The skin sheet: the panel backgrounds, the field strips and the small sprites. Everything is
// painted in canvas coordinates and placed on the sheet through `onSheet`, so a sprite carries
// exactly the background it is blitted over (sprites are copied opaquely).
#include <cmath>

#include "editor/layout.h"
#include "painter.h"
#include "sheets.h"

namespace artwork {
namespace {

using editor::Point;
using editor::Rect;
namespace sheet = editor::sheet;
namespace pal = palette;

enum class Mode { kCc, kSecondKeyswitch, kPlayVelocity };

// Paints with canvas coordinates so that canvas point `at` lands on the corner of `source`,
// clipped to it.
template <class Paint>
void onSheet(cairo_t* cr, Rect source, Point at, Paint paint) {
    cairo_save(cr);
    cairo_rectangle(cr, source.x, source.y, source.width, source.height);
    cairo_clip(cr);
    cairo_translate(cr, source.x - at.x, source.y - at.y);
    paint();
    cairo_restore(cr);
}

void hLine(cairo_t* cr, double x0, double x1, double y, uint32_t colour, double alpha = 1) {
    cairo_move_to(cr, x0, y + 0.5);
    cairo_line_to(cr, x1, y + 0.5);
    setColour(cr, rgb(colour), alpha);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void caption(cairo_t* cr, const char* s, double cx, double cy, uint32_t colour = pal::kCaption) {
    text(cr, Face::kCondensed, 9.5, s, cx, cy, rgb(colour));
}

void base(cairo_t* cr) { fillRect(cr, 0, 0, editor::kCanvasWidth, editor::kCanvasHeight, pal::kBase); }

// ---- The grid --------------------------------------------------------------------------------

// Sixteen cells in a recessed tray; the tray's left margin holds the bank indicator.
void grid(cairo_t* cr) {
    well(cr, 1, 5, 238, 92, 4, pal::kWell);
    for (int i = 0; i < editor::kGridCells; ++i) {
        const Point icon = editor::gridIcon(i);
        fillRect(cr, icon.x, icon.y, sheet::kIconSize, 39, pal::kSocket);
        cairo_rectangle(cr, icon.x - 0.5, icon.y - 0.5, sheet::kIconSize + 1, 40);
        setColour(cr, rgb(pal::kFrame));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
}

// Note colour i: sixteen hues around the wheel, soft enough to sit beside the warm text.
Rgb noteColour(int i) {
    const double h = std::fmod(130.0 + 360.0 * i / 16, 360.0) / 60.0, s = 0.58, v = 0.9;
    const double c = v * s, x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1)), m = v - c;
    const double parts[6][3] = {{c, x, 0}, {x, c, 0}, {0, c, x}, {0, x, c}, {x, 0, c}, {c, 0, x}};
    const auto& p = parts[int(h) % 6];
    return {p[0] + m, p[1] + m, p[2] + m};
}

void tag(cairo_t* cr, int cell, int state) {
    const Point at = editor::gridTag(cell);
    const bool playing = state & 1, hovered = state & 2;
    const Rgb colour = noteColour(cell);
    if (playing) {  // a soft glow around the lit tag
        roundRect(cr, at.x + 0.5, at.y + 1.5, 13, 9, 4);
        setColour(cr, colour, 0.3);
        cairo_fill(cr);
    }
    roundRect(cr, at.x + 2, at.y + 3, 10, 6, 3);
    setColour(cr, playing ? mix(colour, rgb(0xFFFFFF), 0.25) : mix(colour, rgb(pal::kSocket), 0.45));
    cairo_fill(cr);
    if (hovered) {
        roundRect(cr, at.x + 1.5, at.y + 2.5, 11, 7, 3.5);
        setColour(cr, rgb(pal::kText), 0.85);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
}

// ---- The bottom bar --------------------------------------------------------------------------

void tabPictogram(cairo_t* cr, int tab, double cx, double cy, Rgb ink) {
    setColour(cr, ink);
    cairo_set_line_width(cr, 1.4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    if (tab == editor::kArticulationPanel) {  // a note with an accent: the articulations
        glyph(cr, "noteheads.s2", 26, cx - 3, cy + 7, ink);
        setColour(cr, ink);
        cairo_move_to(cr, cx + 0.9, cy + 6.5);
        cairo_line_to(cr, cx + 0.9, cy - 9);
        cairo_stroke(cr);
        glyph(cr, "scripts.sforzato", 24, cx + 7, cy - 5, ink);
    } else if (tab == editor::kControllerPanel) {  // a knob on its arc: the controllers
        cairo_arc(cr, cx, cy, 11, kPi * 0.75, kPi * 2.25);
        cairo_stroke(cr);
        cairo_arc(cr, cx, cy, 6.5, 0, 2 * kPi);
        cairo_fill(cr);
        cairo_move_to(cr, cx, cy);
        cairo_line_to(cr, cx + 4.6 * std::cos(-kPi / 3.2), cy + 4.6 * std::sin(-kPi / 3.2));
        setColour(cr, rgb(pal::kBar));
        cairo_set_line_width(cr, 1.6);
        cairo_stroke(cr);
    } else {  // three sliders: the options
        for (int i = 0; i < 3; ++i) {
            const double y = cy - 7 + 7 * i, knob = cx + (i == 1 ? 4 : -4) + (i == 2 ? 7 : 0);
            cairo_move_to(cr, cx - 11, y);
            cairo_line_to(cr, cx + 11, y);
            setColour(cr, ink, 0.7);
            cairo_set_line_width(cr, 1.3);
            cairo_stroke(cr);
            cairo_arc(cr, knob, y, 2.8, 0, 2 * kPi);
            setColour(cr, ink);
            cairo_fill(cr);
        }
    }
}

void tabButton(cairo_t* cr, int tab, bool lit) {
    const Point at = editor::panelTab(tab);
    if (lit) {
        well(cr, at.x + 2, at.y + 2, 41, 41, 6, pal::kTabFill);
        roundRect(cr, at.x + 12, at.y + 38, 21, 2, 1);
        setColour(cr, rgb(pal::kSelected), 0.8);
        cairo_fill(cr);
        tabPictogram(cr, tab, at.x + 22.5, at.y + 21, rgb(pal::kSelected));
    } else {
        plate(cr, at.x + 2, at.y + 2, 41, 41, 6, 0x252D34);
        tabPictogram(cr, tab, at.x + 22.5, at.y + 21, rgb(0x7D868C));
    }
}

void bottomBar(cairo_t* cr) {
    // Below the scroll track's end (y 181), above the tabs (y 185).
    hLine(cr, 0, editor::kCanvasWidth, 182, pal::kShadow);
    hLine(cr, 0, editor::kCanvasWidth, 183, pal::kHighlight, 0.6);
    fillRect(cr, 0, 184, editor::kCanvasWidth, editor::kCanvasHeight - 184, pal::kBar);
    for (int tab = 0; tab < 3; ++tab) tabButton(cr, tab, false);
    // Port and channel: value wells with their labels below, written by the program.
    const editor::Box port = editor::kPortText, channel = editor::kChannelText;
    well(cr, port.left, port.top, port.right - port.left, port.bottom - port.top, 3, pal::kField);
    well(cr, channel.left - 1, channel.top, channel.right - channel.left + 1, channel.bottom - channel.top, 3, pal::kField);
    // The scale grip, kept off column 239 which the first lit tab shares on the sheet.
    for (const auto& d : {Point{237, 233}, Point{237, 235}, Point{235, 235}}) fillRect(cr, d.x, d.y, 1.5, 1.5, 0x5A636A);
}

// ---- The field strips ------------------------------------------------------------------------

void stripPlate(cairo_t* cr) {
    const Point at = editor::kStrip;
    plate(cr, at.x, at.y, sheet::kCcModeStrip.width, sheet::kCcModeStrip.height, 4, pal::kStrip);
}

void fieldWell(cairo_t* cr, editor::Box text, int grow = 1) {
    well(cr, text.left - grow, text.top - grow, text.right - text.left + 2 * grow, text.bottom - text.top + 2 * grow, 3,
         pal::kField);
}

void keyboard(cairo_t* cr, double x, double y, Rgb ink) {
    for (int k = 0; k < 4; ++k) {
        cairo_rectangle(cr, x + 3 * k, y, 2.4, 7);
        setColour(cr, ink);
        cairo_fill(cr);
    }
    for (const double k : {2.0, 5.0, 11.0}) {
        cairo_rectangle(cr, x + k - 0.6, y, 1.8, 4.2);
        setColour(cr, rgb(pal::kShadow));
        cairo_fill(cr);
    }
}

void keyNamesButton(cairo_t* cr, bool present) {
    const Point at = editor::kKeyNamesButton;
    const Rect r = sheet::keyNamesButton(present);
    plate(cr, at.x, at.y, r.width, r.height, 3, 0x2C353D);
    keyboard(cr, at.x + 4, at.y + 3, rgb(0xA9AEB0));
    if (!present) {  // a small menu arrow
        cairo_move_to(cr, at.x + 22, at.y + 5);
        cairo_line_to(cr, at.x + 28, at.y + 5);
        cairo_line_to(cr, at.x + 25, at.y + 8.5);
        cairo_close_path(cr);
        setColour(cr, rgb(0x8E969B));
        cairo_fill(cr);
        return;
    }
    // The clear button: a divider, then an x inside the clear box (x 215..230).
    cairo_move_to(cr, editor::kKeyNamesClearHit.left + 0.5, at.y + 2);
    cairo_line_to(cr, editor::kKeyNamesClearHit.left + 0.5, at.y + r.height - 2);
    setColour(cr, rgb(pal::kShadow));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    const double cx = editor::kKeyNamesClearHit.left + 6.5, cy = at.y + 6.5;
    cairo_move_to(cr, cx - 2.5, cy - 2.5);
    cairo_line_to(cr, cx + 2.5, cy + 2.5);
    cairo_move_to(cr, cx + 2.5, cy - 2.5);
    cairo_line_to(cr, cx - 2.5, cy + 2.5);
    setColour(cr, rgb(0xD98B72));
    cairo_set_line_width(cr, 1.4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

// The keyswitch field shows the keyswitch velocity as a warm fill from the bottom; the strip
// holds the full fill and the velocity bar sprite, blitted over its top, the empty field.
void keyswitchField(cairo_t* cr, bool filled) {
    const Point bar = editor::kVelocityBarAt;
    const int w = sheet::kVelocityBar.width, h = editor::kVelocityBarHeight;
    well(cr, bar.x - 1, bar.y - 1, w + 2, h + 2, 3, pal::kField);
    if (filled) {
        cairo_pattern_t* g = cairo_pattern_create_linear(0, bar.y, 0, bar.y + h);
        const Rgb top = mix(rgb(pal::kField), rgb(pal::kValue), 0.26), bottom = mix(rgb(pal::kField), rgb(pal::kValue), 0.16);
        cairo_pattern_add_color_stop_rgb(g, 0, top.r, top.g, top.b);
        cairo_pattern_add_color_stop_rgb(g, 1, bottom.r, bottom.g, bottom.b);
        cairo_rectangle(cr, bar.x, bar.y, w, h);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    }
    for (int q = 1; q < 4; ++q) {  // quarter ticks at the right edge, on both
        const double y = bar.y + h - h * q / 4.0;
        cairo_move_to(cr, bar.x + w - 3, std::floor(y) + 0.5);
        cairo_line_to(cr, bar.x + w, std::floor(y) + 0.5);
    }
    setColour(cr, rgb(pal::kValue), 0.35);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void modeSelector(cairo_t* cr, Mode mode) {
    const editor::Hit hit = editor::kModeSelectorHit;
    const double width = hit.right - hit.left + 1, segment = width / 3;
    well(cr, hit.left, hit.top, width, hit.bottom - hit.top, 3, pal::kField);
    const char* labels[3] = {"CC", "KS2", "Vel"};
    for (int i = 0; i < 3; ++i) {
        const double x = hit.left + segment * i;
        const bool active = int(mode) == i;
        if (active) {
            roundRect(cr, x + 1.5, hit.top + 1.5, segment - 3, hit.bottom - hit.top - 3, 2);
            setColour(cr, rgb(0x3A3226));
            cairo_fill(cr);
        }
        if (i > 0) {
            cairo_move_to(cr, std::floor(x) + 0.5, hit.top + 3);
            cairo_line_to(cr, std::floor(x) + 0.5, hit.bottom - 2);
            setColour(cr, rgb(pal::kFrame));
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
        }
        caption(cr, labels[i], x + segment / 2, hit.top + 5.5, active ? pal::kValue : 0x5B6369);
    }
}

void articulationStrip(cairo_t* cr, Mode mode, bool velocityFill = true, bool keyNamesPresent = false) {
    stripPlate(cr);
    fieldWell(cr, {editor::kNameHit.left, editor::kNameHit.top, editor::kNameHit.right + 1, editor::kNameHit.bottom}, 0);
    const editor::Hit keyNames = editor::kKeyNamesHit;
    well(cr, keyNames.left, keyNames.top, keyNames.right - keyNames.left + 1, keyNames.bottom - keyNames.top + 2, 3,
         pal::kField);
    keyNamesButton(cr, keyNamesPresent);
    const Point icon = editor::kFieldIcon;
    well(cr, icon.x - 1, icon.y - 1, sheet::fieldIcon(0).width + 2, sheet::kIconSize + 2, 2, pal::kField);
    keyswitchField(cr, velocityFill);
    if (mode == Mode::kCc) {
        fieldWell(cr, {editor::kCcNumberHit.left, editor::kCcNumberText.top, editor::kCcNumberText.right - 1,
                       editor::kCcNumberText.bottom}, 1);
        fieldWell(cr, {editor::kCcValueHit.left, editor::kCcValueText.top, editor::kCcValueText.right - 1,
                       editor::kCcValueText.bottom}, 1);
    } else {
        fieldWell(cr, editor::kModeText, 1);
    }
    fieldWell(cr, editor::kProgramText, 1);
    const double captionY = editor::kModeSelectorHit.top + 5.5;
    caption(cr, "Icon", icon.x + 14, captionY);
    caption(cr, "Keyswitch", (editor::kKeyswitchText.left + editor::kKeyswitchText.right) / 2.0, captionY);
    caption(cr, "Program", (editor::kProgramText.left + editor::kProgramText.right) / 2.0, captionY);
    modeSelector(cr, mode);
}

void controllerStrip(cairo_t* cr) {
    stripPlate(cr);
    const editor::Hit name = editor::kPageNameMenuHit;
    well(cr, name.left, name.top, name.right - name.left + 1, name.bottom - name.top, 3, pal::kField);
    // The page menu's arrow, right of the name's text box.
    const double ax = editor::kPageNameText.right + 3.5, ay = (name.top + name.bottom) / 2.0 - 1;
    cairo_move_to(cr, ax - 3, ay - 1.5);
    cairo_line_to(cr, ax + 3, ay - 1.5);
    cairo_line_to(cr, ax, ay + 2);
    cairo_close_path(cr);
    setColour(cr, rgb(0x8E969B));
    cairo_fill(cr);
}

// ---- The options area and the icon picker -----------------------------------------------------

void optionsArea(cairo_t* cr) {
    base(cr);
    const editor::Box version = editor::kVersionText;
    well(cr, version.left - 3, version.top - 2, version.right - version.left + 6, version.bottom - version.top + 1, 4,
         pal::kWell);
    for (const editor::Box& b : editor::kOptionsTabs) {
        fillRect(cr, b.left, b.top, b.right - b.left, b.bottom - b.top, 0x161B20);
        cairo_rectangle(cr, b.left - 0.5, b.top - 0.5, b.right - b.left + 1, b.bottom - b.top + 1);
        setColour(cr, rgb(pal::kFrame));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    hLine(cr, editor::kOptionsArea.x, editor::kOptionsArea.x + sheet::kOptionsArea.width, editor::kOptionsTabs[0].bottom,
          pal::kFrame);
}

void checkBox(cairo_t* cr, bool on) {
    const Rect r = sheet::checkBox(on);
    fillRect(cr, r.x, r.y, r.width, r.height, pal::kBase);
    well(cr, r.x, r.y, r.width, r.height, 2, pal::kField);
    if (!on) return;
    cairo_move_to(cr, r.x + 2.2, r.y + 5.2);
    cairo_line_to(cr, r.x + 4.2, r.y + 7.4);
    cairo_line_to(cr, r.x + 8, r.y + 2.4);
    setColour(cr, rgb(pal::kValue));
    cairo_set_line_width(cr, 1.6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

void pickerBackground(cairo_t* cr) {
    base(cr);
    const Point first = editor::pickerCell(0), last = editor::pickerCell(editor::kPickerCells - 1);
    well(cr, first.x - 4, first.y - 4, last.x + sheet::kIconSize - first.x + 8, last.y + sheet::kIconSize - first.y + 7, 4,
         pal::kWell);
    for (int n = 0; n < editor::kPickerCells; ++n) {
        const Point c = editor::pickerCell(n);
        fillRect(cr, c.x, c.y, sheet::kIconSize, sheet::kIconSize, pal::kSocket);
    }
    cairo_rectangle(cr, first.x - 0.5, first.y - 0.5, last.x + sheet::kIconSize - first.x + 1,
                    last.y + sheet::kIconSize - first.y + 1);
    setColour(cr, rgb(pal::kFrame));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    // The scroll track: square ends, so the thumb's background matches it anywhere.
    const int x = editor::kScrollThumbX, top = editor::kScrollThumbTop;
    const int bottom = editor::kScrollBarHit.bottom, right = editor::kScrollBarHit.right;
    fillRect(cr, x - 1, top - 1, right - x + 3, bottom - top + 3, pal::kShadow);
    fillRect(cr, x, top, right - x + 1, bottom - top + 1, pal::kField);
    bottomBar(cr);
}

void scrollThumb(cairo_t* cr) {
    const Rect r = sheet::kScrollThumb;
    const Point at{editor::kScrollThumbX, editor::kScrollThumbTop};
    fillRect(cr, at.x, at.y, r.width, r.height, pal::kField);
    plate(cr, at.x + 1, at.y + 1, r.width - 2, r.height - 2, 3, 0x3A444D);
    for (int i = -1; i <= 1; ++i) hLine(cr, at.x + 3, at.x + r.width - 3, at.y + r.height / 2 + 3 * i, 0x1A2026);
}

void panelBackground(cairo_t* cr) {
    base(cr);
    grid(cr);
    bottomBar(cr);
}

}  // namespace

// Also used by the controller sprites, so they sit on the strip they are blitted over.
void paintControllerStrip(cairo_t* cr) {
    base(cr);
    controllerStrip(cr);
}
void paintPanelBackground(cairo_t* cr) { panelBackground(cr); }

platform::Image paintSkin() {
    Surface surface(sheet::kSkinWidth, sheet::kSkinHeight);
    cairo_t* cr = surface.cr();
    fillRect(cr, 0, 0, sheet::kSkinWidth, sheet::kSkinHeight, pal::kBase);
    const Backdrop panel(paintPanelBackground), picker(pickerBackground), options(optionsArea);
    const Backdrop ccStrip([](cairo_t* c) { base(c), articulationStrip(c, Mode::kCc); });
    const Backdrop emptyVelocity([](cairo_t* c) { base(c), articulationStrip(c, Mode::kCc, false); });
    const Backdrop secondKeyswitchStrip([](cairo_t* c) { base(c), articulationStrip(c, Mode::kSecondKeyswitch); });
    const Backdrop playVelocityStrip([](cairo_t* c) { base(c), articulationStrip(c, Mode::kPlayVelocity); });
    const Backdrop keyNamesPresent([](cairo_t* c) { base(c), articulationStrip(c, Mode::kCc, true, true); });
    const Backdrop controller(paintControllerStrip);
    const Point origin{0, 0};
    const auto copy = [&](Rect source, Point at, const Backdrop& from) { onSheet(cr, source, at, [&] { from.lay(cr); }); };
    copy({0, 0, editor::kCanvasWidth, editor::kCanvasHeight}, origin, panel);
    copy({sheet::kIconPickerBackground.x, sheet::kIconPickerBackground.y, editor::kCanvasWidth, editor::kCanvasHeight},
         origin, picker);
    copy(sheet::kOptionsArea, editor::kOptionsArea, options);
    copy(sheet::kCcModeStrip, editor::kStrip, ccStrip);
    copy(sheet::kSecondKeyswitchStrip, editor::kStrip, secondKeyswitchStrip);
    copy(sheet::kPlayVelocityStrip, editor::kStrip, playVelocityStrip);
    copy(sheet::kControllerStrip, editor::kStrip, controller);
    copy(sheet::kVelocityBar, editor::kVelocityBarAt, emptyVelocity);
    for (int cell = 0; cell < editor::kGridCells; ++cell)
        for (int state = 0; state < sheet::kTagStates; ++state)
            onSheet(cr, sheet::tag(cell, state), editor::gridTag(cell), [&] {
                panel.lay(cr);
                tag(cr, cell, state);
            });
    for (int tab = 0; tab < 3; ++tab)
        onSheet(cr, sheet::litTab(tab), editor::panelTab(tab), [&] {
            panel.lay(cr);
            tabButton(cr, tab, true);
        });
    for (const bool on : {false, true}) {
        const Rect r = sheet::checkBox(on);
        onSheet(cr, r, {r.x, r.y}, [&] { checkBox(cr, on); });
    }
    copy(sheet::keyNamesButton(false), editor::kKeyNamesButton, ccStrip);
    copy(sheet::keyNamesButton(true), editor::kKeyNamesButton, keyNamesPresent);
    onSheet(cr, sheet::kScrollThumb, {editor::kScrollThumbX, editor::kScrollThumbTop}, [&] { scrollThumb(cr); });
    return surface.image();
}

}  // namespace artwork
