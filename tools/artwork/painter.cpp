#include "painter.h"

#include "editor/layout.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <glob.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace artwork {
namespace {

constexpr int kCanvasWidth = editor::kCanvasWidth;
constexpr int kCanvasHeight = editor::kCanvasHeight;
FT_Library library = nullptr;
FT_Face faces[4] = {};
cairo_font_face_t* cairoFaces[4] = {};

// The newest match of a pattern, so that a machine with two LilyPond versions still decides alike.
std::string newest(const char* pattern) {
    glob_t found{};
    std::string path;
    if (glob(pattern, 0, nullptr, &found) == 0 && found.gl_pathc > 0) path = found.gl_pathv[found.gl_pathc - 1];
    globfree(&found);
    return path;
}

}  // namespace

Rgb mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

void setColour(cairo_t* cr, Rgb c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

bool loadFonts(std::string& error) {
    const struct {
        const char* pattern;
        const char* package;
    } files[4] = {
        {"/usr/share/lilypond/*/fonts/otf/emmentaler-20.otf", "lilypond-fonts"},
        {"/usr/share/fonts/truetype/roboto/unhinted/RobotoCondensed-Regular.ttf", "fonts-roboto-unhinted"},
        {"/usr/share/fonts/truetype/roboto/unhinted/RobotoCondensed-Italic.ttf", "fonts-roboto-unhinted"},
        {"/usr/share/fonts/truetype/roboto/unhinted/RobotoCondensed-Bold.ttf", "fonts-roboto-unhinted"},
    };
    if (FT_Init_FreeType(&library) != 0) {
        error = "FreeType does not start";
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        const std::string path = newest(files[i].pattern);
        if (path.empty() || FT_New_Face(library, path.c_str(), 0, &faces[i]) != 0) {
            error = std::string("font not found: ") + files[i].pattern + " (apt-get install " + files[i].package + ")";
            return false;
        }
        // Unhinted outlines: the same pixels whatever the local font configuration says.
        cairoFaces[i] = cairo_ft_font_face_create_for_ft_face(faces[i], FT_LOAD_NO_HINTING);
    }
    return true;
}

void useFace(cairo_t* cr, Face face, double size) {
    cairo_set_font_face(cr, cairoFaces[static_cast<int>(face)]);
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

unsigned long musicGlyph(const char* name) {
    const FT_UInt index = FT_Get_Name_Index(faces[0], name);
    if (index == 0) {
        std::fprintf(stderr, "voxtrane-artwork: Emmentaler has no glyph \"%s\"\n", name);
        std::exit(1);
    }
    return index;
}

Surface::Surface(int width, int height)
    : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)), cr_(cairo_create(surface_)) {
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GRAY);
}

Surface::~Surface() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

platform::Image Surface::image() {
    cairo_surface_flush(surface_);
    const int w = cairo_image_surface_get_width(surface_);
    const int h = cairo_image_surface_get_height(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    platform::Image out(w, h);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < w; ++x) out.at(x, y) = row[x] & 0xFFFFFF;  // every sheet is painted opaque
    }
    return out;
}

Backdrop::Backdrop(void (*paint)(cairo_t*)) : surface_(kCanvasWidth, kCanvasHeight) { paint(surface_.cr()); }

void Backdrop::lay(cairo_t* cr) const {
    cairo_save(cr);
    cairo_set_source_surface(cr, surface_.surface(), 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_restore(cr);
}

void roundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    if (r <= 0) {
        cairo_rectangle(cr, x, y, w, h);
        return;
    }
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void fillRect(cairo_t* cr, double x, double y, double w, double h, uint32_t colour) {
    cairo_rectangle(cr, x, y, w, h);
    setColour(cr, rgb(colour));
    cairo_fill(cr);
}

void well(cairo_t* cr, double x, double y, double w, double h, double r, uint32_t fill) {
    // Lit lower lip, then the dark body one pixel up, then the fill inset by a pixel.
    roundRect(cr, x, y, w, h, r);
    setColour(cr, rgb(palette::kHighlight), 0.55);
    cairo_fill(cr);
    roundRect(cr, x, y, w, h - 1, r);
    setColour(cr, rgb(palette::kShadow));
    cairo_fill(cr);
    roundRect(cr, x + 1, y + 1, w - 2, h - 2, std::max(0.0, r - 1));
    setColour(cr, rgb(fill));
    cairo_fill(cr);
    // A soft inner shadow under the top edge.
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, y + 1, 0, y + 4);
    cairo_pattern_add_color_stop_rgba(shade, 0, 0, 0, 0, 0.35);
    cairo_pattern_add_color_stop_rgba(shade, 1, 0, 0, 0, 0);
    roundRect(cr, x + 1, y + 1, w - 2, h - 2, std::max(0.0, r - 1));
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
}

void plate(cairo_t* cr, double x, double y, double w, double h, double r, uint32_t fill) {
    roundRect(cr, x, y, w, h, r);
    setColour(cr, rgb(palette::kShadow));
    cairo_fill(cr);
    const Rgb body = rgb(fill);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
    const Rgb top = mix(body, rgb(0xFFFFFF), 0.06), bottom = mix(body, rgb(0x000000), 0.12);
    cairo_pattern_add_color_stop_rgb(g, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(g, 1, bottom.r, bottom.g, bottom.b);
    roundRect(cr, x + 1, y + 1, w - 2, h - 2, std::max(0.0, r - 1));
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_move_to(cr, x + r + 0.5, y + 1.5);
    cairo_line_to(cr, x + w - r - 0.5, y + 1.5);
    cairo_set_line_width(cr, 1);
    setColour(cr, rgb(palette::kHighlight), 0.9);
    cairo_stroke(cr);
}

void text(cairo_t* cr, Face face, double size, const std::string& s, double x, double cy, Rgb colour, Align align,
          double maxWidth) {
    useFace(cr, face, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    if (maxWidth > 0 && e.width > maxWidth) {
        useFace(cr, face, size * maxWidth / e.width);
        cairo_text_extents(cr, s.c_str(), &e);
    }
    const double left = align == Align::kCentre ? x - e.width / 2 - e.x_bearing : x - e.x_bearing;
    cairo_move_to(cr, left, cy - e.height / 2 - e.y_bearing);
    setColour(cr, colour);
    cairo_show_text(cr, s.c_str());
}

void glyph(cairo_t* cr, const char* name, double size, double cx, double cy, Rgb colour) {
    useFace(cr, Face::kMusic, size);
    cairo_glyph_t g{musicGlyph(name), 0, 0};
    cairo_text_extents_t e;
    cairo_glyph_extents(cr, &g, 1, &e);
    g.x = cx - e.width / 2 - e.x_bearing;
    g.y = cy - e.height / 2 - e.y_bearing;
    setColour(cr, colour);
    cairo_show_glyphs(cr, &g, 1);
}

}  // namespace artwork
