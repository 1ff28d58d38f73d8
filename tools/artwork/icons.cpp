// Paints the icon strip from the recipes of icon_table.cpp, and the catalogue that lets users
// pick icon numbers.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "editor/layout.h"
#include "painter.h"
#include "sheets.h"

namespace artwork {
namespace {

namespace sheet = editor::sheet;

constexpr double kGlyphSize = 27;  // Emmentaler at 6.75 pixels per staff space
constexpr double kTextSize = 11;
constexpr double kMaxTextWidth = 25;

struct Inks {
    Rgb ink, words, badge;
};

struct Token {
    char kind = 0;
    std::string arg;
    std::vector<double> at;
    double scale = 1;
};

Token parse(const std::string& word) {
    Token t;
    t.kind = word[0];
    const size_t colon = word.find(':');
    const size_t atSign = word.find('@');
    const size_t star = word.find('*', atSign == std::string::npos ? 0 : atSign);
    t.arg = word.substr(colon + 1, (atSign == std::string::npos ? word.size() : atSign) - colon - 1);
    if (atSign != std::string::npos) {
        std::stringstream numbers(word.substr(atSign + 1, star == std::string::npos ? std::string::npos : star - atSign - 1));
        std::string n;
        while (std::getline(numbers, n, ',')) t.at.push_back(std::atof(n.c_str()));
    }
    if (star != std::string::npos) t.scale = std::atof(word.c_str() + star + 1);
    for (char& c : t.arg)
        if (c == '_') c = ' ';
    return t;
}

double param(const Token& t, size_t i, double fallback = 0) { return i < t.at.size() ? t.at[i] : fallback; }

// A cubic between two points whose middle stands `bend` pixels off the chord (positive: to the
// chord's right-hand side, which is downwards for a left-to-right chord).
void bentPath(cairo_t* cr, double x0, double y0, double x1, double y1, double bend) {
    const double dx = x1 - x0, dy = y1 - y0, len = std::hypot(dx, dy);
    const double nx = -dy / len, ny = dx / len, k = bend / 0.75;
    cairo_move_to(cr, x0, y0);
    cairo_curve_to(cr, x0 + dx / 3 + nx * k, y0 + dy / 3 + ny * k, x0 + 2 * dx / 3 + nx * k, y0 + 2 * dy / 3 + ny * k,
                   x1, y1);
}

void arrowHead(cairo_t* cr, double fromX, double fromY, double x, double y) {
    const double dx = x - fromX, dy = y - fromY, len = std::hypot(dx, dy);
    const double ux = dx / len, uy = dy / len;
    cairo_move_to(cr, x + ux * 1.5, y + uy * 1.5);
    cairo_line_to(cr, x - ux * 4 - uy * 2.6, y - uy * 4 + ux * 2.6);
    cairo_line_to(cr, x - ux * 4 + uy * 2.6, y - uy * 4 - ux * 2.6);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void stroke(cairo_t* cr, double width) {
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

void waveOrZig(cairo_t* cr, const Token& t, bool zig) {
    const double x0 = param(t, 0), y0 = param(t, 1), x1 = param(t, 2), y1 = param(t, 3, y0);
    const double len = std::hypot(x1 - x0, y1 - y0), ux = (x1 - x0) / len, uy = (y1 - y0) / len;
    const double amplitude = (zig ? 2.2 : 1.6) * t.scale, period = zig ? 4.4 : 4.8;
    const double step = zig ? period / 2 : 0.25;
    for (double s = 0; s <= len + 1e-6; s += step) {
        const double off = zig ? ((int(std::lround(s / step)) % 2) ? amplitude : -amplitude)
                               : amplitude * std::sin(2 * kPi * s / period);
        const double x = x0 + ux * s - uy * off, y = y0 + uy * s + ux * off;
        if (s == 0) cairo_move_to(cr, x, y);
        else cairo_line_to(cr, x, y);
    }
    stroke(cr, zig ? 1.2 : 1.3);
}

void stem(cairo_t* cr, double x, double y, double length) {
    cairo_move_to(cr, x + 3.35, y - 0.6);
    cairo_line_to(cr, x + 3.35, y - length);
    cairo_set_line_width(cr, 1.1);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_stroke(cr);
}

void shape(cairo_t* cr, const Token& t, Rgb ink) {
    const std::string& s = t.arg;
    auto p = [&](size_t i) { return param(t, i); };
    setColour(cr, ink);
    if (s == "line" || s == "arrow" || s == "dashline") {
        cairo_move_to(cr, p(0), p(1));
        cairo_line_to(cr, p(2), p(3));
        if (s == "dashline") {
            const double dash[] = {2.5, 2};
            cairo_set_dash(cr, dash, 2, 0);
        }
        stroke(cr, 1.2);
        cairo_set_dash(cr, nullptr, 0, 0);
        if (s == "arrow") arrowHead(cr, p(0), p(1), p(2), p(3));
    } else if (s == "head") {
        arrowHead(cr, p(0), p(1), p(2), p(3));
    } else if (s == "wave" || s == "zig") {
        waveOrZig(cr, t, s == "zig");
    } else if (s == "slur") {
        const double arch = param(t, 4, -std::max(3.0, std::fabs(p(2) - p(0)) * 0.2));
        const double thick = arch < 0 ? 1.5 : -1.5;
        bentPath(cr, p(0), p(1), p(2), p(3), arch);
        const double dx = p(2) - p(0), dy = p(3) - p(1), len = std::hypot(dx, dy);
        const double nx = -dy / len, ny = dx / len, k = (arch + thick) / 0.75;
        cairo_curve_to(cr, p(0) + 2 * dx / 3 + nx * k, p(1) + 2 * dy / 3 + ny * k, p(0) + dx / 3 + nx * k,
                       p(1) + dy / 3 + ny * k, p(0), p(1));
        cairo_fill_preserve(cr);
        stroke(cr, 0.6);
    } else if (s == "curve" || s == "arrowcurve") {
        bentPath(cr, p(0), p(1), p(2), p(3), p(4));
        stroke(cr, 1.3);
        if (s == "arrowcurve") {
            const double dx = p(2) - p(0), dy = p(3) - p(1), len = std::hypot(dx, dy);
            const double k = p(4) / 0.75;
            arrowHead(cr, p(0) + 2 * dx / 3 - dy / len * k, p(1) + 2 * dy / 3 + dx / len * k, p(2), p(3));
        }
    } else if (s == "cresc" || s == "dim" || s == "swell") {
        const double x0 = p(0), y = p(1), x1 = p(2), h = p(3) / 2, mid = (x0 + x1) / 2;
        if (s == "cresc" || s == "swell") {
            const double end = s == "swell" ? mid - 1 : x1;
            cairo_move_to(cr, end, y - h);
            cairo_line_to(cr, x0, y);
            cairo_line_to(cr, end, y + h);
        }
        if (s == "dim" || s == "swell") {
            const double start = s == "swell" ? mid + 1 : x0;
            cairo_move_to(cr, start, y - h);
            cairo_line_to(cr, x1, y);
            cairo_line_to(cr, start, y + h);
        }
        stroke(cr, 1.25);
    } else if (s == "stem") {
        stem(cr, p(0), p(1), p(2));
    } else if (s == "trem") {
        stem(cr, p(0), p(1), p(3));
        const double x = p(0) + 3.35, top = p(1) - p(3) + 3;
        for (int i = 0; i < int(p(2)); ++i) {
            const double y = top + 3.3 * i;
            cairo_move_to(cr, x - 3.5, y + 1.6);
            cairo_line_to(cr, x + 3.5, y - 1.0);
            stroke(cr, 1.6);
        }
    } else if (s == "grace") {
        const int notes = p(2) == 2 ? 2 : 1;
        for (int n = 0; n < notes; ++n) {
            const double x = p(0) + 5.5 * n;
            glyph(cr, "noteheads.s2", kGlyphSize * 0.62, x, p(1), ink);
            setColour(cr, ink);
            cairo_move_to(cr, x + 2.1, p(1) - 0.5);
            cairo_line_to(cr, x + 2.1, p(1) - 11);
            stroke(cr, 0.9);
        }
        setColour(cr, ink);
        if (notes == 2) {
            cairo_move_to(cr, p(0) + 2.1, p(1) - 11);
            cairo_line_to(cr, p(0) + 7.6, p(1) - 11);
            stroke(cr, 1.4);
        } else {
            cairo_move_to(cr, p(0) + 2.1, p(1) - 11);
            cairo_curve_to(cr, p(0) + 3, p(1) - 8, p(0) + 6.5, p(1) - 7.5, p(0) + 5.5, p(1) - 4);
            stroke(cr, 0.9);
            if (p(2) == 1) {
                cairo_move_to(cr, p(0) - 1, p(1) - 4.5);
                cairo_line_to(cr, p(0) + 5.5, p(1) - 9.5);
                stroke(cr, 0.9);
            }
        }
    } else if (s == "circle" || s == "softhead") {
        cairo_arc(cr, p(0), p(1), p(2), 0, 2 * kPi);
        if (s == "softhead") {
            setColour(cr, ink, 0.35);
            cairo_fill_preserve(cr);
            setColour(cr, ink);
        }
        stroke(cr, 1.2);
    } else if (s == "disc") {
        cairo_arc(cr, p(0), p(1), p(2), 0, 2 * kPi);
        cairo_fill(cr);
    } else if (s == "dashbox") {
        roundRect(cr, p(0) + 0.5, p(1) + 0.5, p(2), p(3), 3);
        const double dash[] = {2, 2};
        cairo_set_dash(cr, dash, 2, 0);
        setColour(cr, ink, 0.75);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0);
    } else if (s == "cluster") {
        roundRect(cr, p(0), p(1), p(2), p(3), 2.5);
        cairo_fill(cr);
    } else if (s == "brush") {
        // A tapering stroke: wide at the start, lifted at the end.
        const double x0 = p(0), y0 = p(1), x1 = p(2), y1 = p(3);
        cairo_move_to(cr, x0, y0 + 2.2);
        cairo_curve_to(cr, x0 + 7, y0 + 1, x1 - 6, y1 + 6, x1, y1);
        cairo_curve_to(cr, x1 - 7, y1 + 3, x0 + 6, y0 - 3, x0, y0 - 2.2);
        cairo_close_path(cr);
        cairo_fill(cr);
    } else if (s == "brushes") {
        cairo_move_to(cr, p(0), p(1));
        cairo_line_to(cr, p(0), p(1) - 8);
        stroke(cr, 2);
        for (int i = 0; i < 5; ++i) {
            cairo_move_to(cr, p(0), p(1) - 8);
            cairo_line_to(cr, p(0) - 7 + 3.5 * i, 3);
        }
        stroke(cr, 0.8);
    } else if (s == "bow") {
        cairo_move_to(cr, p(0), p(1));
        cairo_curve_to(cr, p(0) + 7, p(1) - 3, p(2) - 7, p(1) - 3, p(2), p(1) - 1);
        stroke(cr, 1.2);
        cairo_move_to(cr, p(0) + 2, p(1) + 3);
        cairo_line_to(cr, p(2), p(1) + 3);
        stroke(cr, 0.7);
        cairo_rectangle(cr, p(0), p(1), 3, 4);
        cairo_fill(cr);
    } else {
        std::fprintf(stderr, "voxtrane-artwork: unknown shape \"%s\"\n", s.c_str());
        std::exit(1);
    }
}

void draw(cairo_t* cr, const std::string& recipe, const Inks& inks) {
    std::stringstream words(recipe);
    std::string word;
    while (words >> word) {
        const Token t = parse(word);
        cairo_save(cr);
        switch (t.kind) {
        case 'g': glyph(cr, t.arg.c_str(), kGlyphSize * t.scale, param(t, 0), param(t, 1), inks.ink); break;
        case 'y': text(cr, Face::kMusic, kGlyphSize * t.scale, t.arg, param(t, 0), param(t, 1), inks.ink); break;
        case 't':
        case 'u':
        case 'B': {
            const Face face = t.kind == 't' ? Face::kCondensedItalic : t.kind == 'u' ? Face::kCondensed : Face::kCondensedBold;
            text(cr, face, kTextSize * t.scale, t.arg, param(t, 0), param(t, 1), inks.words, Align::kCentre, kMaxTextWidth);
            break;
        }
        case 'b': text(cr, Face::kCondensedBold, 9, t.arg, 24.5, 23.5, inks.badge); break;
        case 's': shape(cr, t, inks.ink); break;
        default: std::fprintf(stderr, "voxtrane-artwork: bad icon token \"%s\"\n", word.c_str()); std::exit(1);
        }
        cairo_restore(cr);
    }
}

void tile(cairo_t* cr, double x, double y, bool lit) {
    if (!lit) {
        fillRect(cr, x, y, 28, 28, 0x1A2025);
        return;
    }
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + 28);
    cairo_pattern_add_color_stop_rgb(g, 0, 0x37 / 255.0, 0x43 / 255.0, 0x4E / 255.0);
    cairo_pattern_add_color_stop_rgb(g, 1, 0x28 / 255.0, 0x32 / 255.0, 0x3B / 255.0);
    cairo_rectangle(cr, x, y, 28, 28);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

}  // namespace

platform::Image paintIcons() {
    const auto& table = iconTable();
    if (int(table.size()) != sheet::kIconCount) {
        std::fprintf(stderr, "voxtrane-artwork: %zu icons in the table, the strip holds %d\n", table.size(), sheet::kIconCount);
        std::exit(1);
    }
    const editor::Point size = sheet::size(platform::Sheet::kIconStrip);
    Surface surface(size.x, size.y);
    cairo_t* cr = surface.cr();
    fillRect(cr, 0, 0, size.x, size.y, palette::kShadow);
    const Inks lit{rgb(palette::kInk), mix(rgb(palette::kValue), rgb(0xFFFFFF), 0.2), rgb(palette::kValue)};
    const Inks dim{rgb(palette::kDimInk), mix(rgb(palette::kDimInk), rgb(palette::kValue), 0.15),
                   mix(rgb(palette::kDimInk), rgb(palette::kValue), 0.3)};
    for (int k = 0; k < sheet::kIconCount; ++k) {
        if (table[size_t(k)].id != k) {
            std::fprintf(stderr, "voxtrane-artwork: icon table out of order at %d\n", k);
            std::exit(1);
        }
        for (const bool isLit : {true, false}) {
            const editor::Rect r = sheet::icon(k, isLit);
            tile(cr, r.x, r.y, isLit);
            cairo_save(cr);
            cairo_rectangle(cr, r.x, r.y, 28, 28);
            cairo_clip(cr);
            cairo_translate(cr, r.x, r.y);
            draw(cr, table[size_t(k)].recipe, isLit ? lit : dim);
            cairo_restore(cr);
        }
    }
    return surface.image();
}

bool writeCatalogue(const std::string& docsFolder, const std::string& templatePath) {
    // Which template names use each icon, in the template's own order.
    std::map<int, std::vector<std::string>> names;
    std::ifstream in(templatePath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "voxtrane-artwork: cannot read %s\n", templatePath.c_str());
        return false;
    }
    const std::string json((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::regex entry("\"([^\"]+)\"\\s*:\\s*([0-9]+)");
    for (std::sregex_iterator m(json.begin(), json.end(), entry), end; m != end; ++m)
        names[std::atoi((*m)[2].str().c_str())].push_back((*m)[1].str());

    const auto& table = iconTable();
    std::ostringstream md;
    md << "# Articulation icons\n\n"
          "Each articulation shows one of these " << table.size() << " icons; choose it by its number (the icon\n"
          "field on the articulation panel, or the `articulationicons` table of\n"
          "`articulations.kryltemplate`). [icons.png](icons.png) shows them all. Generated by\n"
          "`voxtrane-artwork` with the artwork; do not edit by hand.\n\n"
          "| Icon | Shows | Template names |\n|---:|---|---|\n";
    for (const IconSpec& icon : table) {
        std::string used;
        for (const std::string& n : names[icon.id]) used += (used.empty() ? "" : ", ") + n;
        md << "| " << icon.id << " | " << icon.shows << " | " << used << " |\n";
    }
    std::ofstream(docsFolder + "/icons.md", std::ios::binary) << md.str();

    // The contact sheet: every lit icon three times enlarged, pixel for pixel, with its number.
    constexpr int kColumns = 12, kCellWidth = 100, kCellHeight = 112, kZoom = 3;
    const int rows = (int(table.size()) + kColumns - 1) / kColumns;
    platform::Image strip = paintIcons();
    cairo_surface_t* stripSurface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, strip.width, strip.height);
    cairo_surface_flush(stripSurface);
    auto* data = cairo_image_surface_get_data(stripSurface);
    const int stride = cairo_image_surface_get_stride(stripSurface);
    for (int y = 0; y < strip.height; ++y)
        for (int x = 0; x < strip.width; ++x) reinterpret_cast<uint32_t*>(data + y * stride)[x] = strip.at(x, y);
    cairo_surface_mark_dirty(stripSurface);

    Surface sheetSurface(kColumns * kCellWidth, rows * kCellHeight);
    cairo_t* cr = sheetSurface.cr();
    fillRect(cr, 0, 0, kColumns * kCellWidth, rows * kCellHeight, palette::kBase);
    for (const IconSpec& icon : table) {
        const int cx = (icon.id % kColumns) * kCellWidth, cy = (icon.id / kColumns) * kCellHeight;
        const editor::Rect r = sheet::fieldIcon(icon.id);
        const double left = cx + (kCellWidth - r.width * kZoom) / 2.0, top = cy + 6;
        cairo_save(cr);
        cairo_rectangle(cr, left, top, r.width * kZoom, r.height * kZoom);
        cairo_clip(cr);
        cairo_translate(cr, left, top);
        cairo_scale(cr, kZoom, kZoom);
        cairo_set_source_surface(cr, stripSurface, -r.x, -r.y);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        cairo_paint(cr);
        cairo_restore(cr);
        text(cr, Face::kCondensedBold, 14, std::to_string(icon.id), cx + kCellWidth / 2.0, cy + 100, rgb(palette::kValue));
    }
    cairo_surface_destroy(stripSurface);
    return cairo_surface_write_to_png(sheetSurface.surface(), (docsFolder + "/icons.png").c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace artwork
