#include "platform/cairo/cairo_canvas.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace platform {
namespace {

size_t sheetIndex(Sheet sheet) {
    return static_cast<size_t>(std::find(std::begin(kAllSheets), std::end(kAllSheets), sheet) - std::begin(kAllSheets));
}

cairo_surface_t* surfaceFromImage(const Image& image) {
    if (image.empty()) return nullptr;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < image.height; ++y)
        std::memcpy(data + size_t(y) * size_t(stride), &image.pixels[size_t(y) * size_t(image.width)],
                    size_t(image.width) * 4);
    cairo_surface_mark_dirty(s);
    return s;
}

bool fallback = false;

// The face for "Cuprum", or the condensed face that stands in for it.
cairo_font_face_t* editorFace() {
    static cairo_font_face_t* face = [] {
        FcInit();
        FcPattern* wanted = FcNameParse(reinterpret_cast<const FcChar8*>("Cuprum"));
        FcConfigSubstitute(nullptr, wanted, FcMatchPattern);
        FcDefaultSubstitute(wanted);
        FcResult result;
        FcPattern* match = FcFontMatch(nullptr, wanted, &result);
        FcChar8* family = nullptr;
        const bool cuprum = match && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
                            std::strcmp(reinterpret_cast<const char*>(family), "Cuprum") == 0;
        FcPatternDestroy(wanted);
        if (match) FcPatternDestroy(match);
        fallback = !cuprum;
        return cairo_toy_font_face_create(cuprum ? "Cuprum" : "Roboto Condensed", CAIRO_FONT_SLANT_NORMAL,
                                          CAIRO_FONT_WEIGHT_NORMAL);
    }();
    return face;
}

// The longest start of `text` that ends on a character boundary and fits `width` with an ellipsis.
std::string shortened(cairo_t* cr, const std::string& text, double width) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    if (e.x_advance <= width) return text;
    std::string cut = text;
    while (!cut.empty()) {
        do cut.pop_back();
        while (!cut.empty() && (static_cast<unsigned char>(cut.back()) & 0xC0) == 0x80);
        const std::string candidate = cut + "...";
        cairo_text_extents(cr, candidate.c_str(), &e);
        if (e.x_advance <= width) return candidate;
    }
    return "...";
}

}  // namespace

CairoSheets::CairoSheets(const std::string& folder, const std::string& notationFile) {
    for (const Sheet sheet : kAllSheets) {
        Image image;
        if (sheet == Sheet::kIconStrip && !notationFile.empty()) image = readBmp(notationFile);
        if (image.empty()) image = readBmp(folder + "/" + fileName(sheet));
        surfaces_[sheetIndex(sheet)] = surfaceFromImage(image);
    }
}

CairoSheets::~CairoSheets() {
    for (cairo_surface_t* s : surfaces_)
        if (s) cairo_surface_destroy(s);
}

cairo_surface_t* CairoSheets::surface(Sheet sheet) const { return surfaces_[sheetIndex(sheet)]; }
int CairoSheets::width(Sheet sheet) const {
    cairo_surface_t* s = surface(sheet);
    return s ? cairo_image_surface_get_width(s) : 0;
}
int CairoSheets::height(Sheet sheet) const {
    cairo_surface_t* s = surface(sheet);
    return s ? cairo_image_surface_get_height(s) : 0;
}

std::string CairoSheets::fileName(Sheet sheet) {
    switch (sheet) {
    case Sheet::kSkin: return "101-skin.bmp";
    case Sheet::kKnob: return "103-knob.bmp";
    case Sheet::kMiniControl: return "104-mini-control.bmp";
    case Sheet::kSwitch: return "105-switch.bmp";
    case Sheet::kIconStrip: return "106-icons.bmp";
    case Sheet::kFader: return "107-fader.bmp";
    case Sheet::kPicture: return "109-picture.bmp";
    case Sheet::kBankIndicator: return "110-bank-indicator.bmp";
    }
    return {};
}

CairoCanvas::CairoCanvas(const CairoSheets& sheets, int width, int height, float scale)
    : sheets_(sheets), scale_(scale) {
    target_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(width * scale),
                                         static_cast<int>(height * scale));
    cr_ = cairo_create(target_);
    cairo_scale(cr_, scale, scale);
    face_ = editorFace();
    cairo_set_font_face(cr_, face_);
    setFont(16);
}

CairoCanvas::~CairoCanvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(target_);
}

void CairoCanvas::copy(Sheet sheet, Rect source, int x, int y) {
    cairo_surface_t* s = sheets_.surface(sheet);
    if (!s) return;
    // Only the part of the source inside the sheet draws.
    const int left = std::max(source.x, 0), top = std::max(source.y, 0);
    const int right = std::min(source.x + source.width, sheets_.width(sheet));
    const int bottom = std::min(source.y + source.height, sheets_.height(sheet));
    if (right <= left || bottom <= top) return;
    cairo_save(cr_);
    cairo_set_source_surface(cr_, s, x - source.x, y - source.y);
    const bool whole = std::fabs(scale_ - std::round(scale_)) < 0.001f;
    cairo_pattern_set_filter(cairo_get_source(cr_), whole ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    cairo_pattern_set_extend(cairo_get_source(cr_), CAIRO_EXTEND_PAD);
    cairo_rectangle(cr_, x + left - source.x, y + top - source.y, right - left, bottom - top);
    cairo_fill(cr_);
    cairo_restore(cr_);
}

void CairoCanvas::fill(Box box, Colour colour) {
    cairo_set_source_rgb(cr_, (colour >> 16 & 0xFF) / 255.0, (colour >> 8 & 0xFF) / 255.0, (colour & 0xFF) / 255.0);
    cairo_rectangle(cr_, box.left, box.top, box.right - box.left, box.bottom - box.top);
    cairo_fill(cr_);
}

void CairoCanvas::setFont(int height) {
    // A character cell of `height` pixels, as the Windows font mapper takes a positive height.
    cairo_set_font_size(cr_, height);
    cairo_font_extents_t e;
    cairo_font_extents(cr_, &e);
    const double cell = e.ascent + e.descent;
    const double size = cell > 0 ? height * height / cell : height;
    cairo_matrix_t matrix;
    cairo_matrix_init_scale(&matrix, fallback ? size * kStandInNarrowing : size, size);
    cairo_set_font_matrix(cr_, &matrix);
    cairo_font_extents(cr_, &e);
    ascent_ = e.ascent;
    descent_ = e.descent;
}

void CairoCanvas::setTextColour(Colour colour) { textColour_ = colour; }

void CairoCanvas::text(const char* utf8, Box box, TextFormat format) {
    if (!utf8 || !*utf8) return;
    const double width = box.right - box.left, height = box.bottom - box.top, cell = ascent_ + descent_;
    const bool clipped = format == TextFormat::kEllipsis || format == TextFormat::kLine ||
                         format == TextFormat::kLabel || format == TextFormat::kWordWrap;
    const bool ellipsis = format == TextFormat::kEllipsis || format == TextFormat::kMiddleEllipsis ||
                          format == TextFormat::kCentredEllipsis;
    const bool centreX = format == TextFormat::kCentred || format == TextFormat::kLabel ||
                         format == TextFormat::kCentredEllipsis;
    const bool centreY = format == TextFormat::kCentred || format == TextFormat::kMiddleEllipsis ||
                         format == TextFormat::kCentredEllipsis;

    std::vector<std::string> lines;
    if (format == TextFormat::kWordWrap) {
        std::string line, word;
        const std::string all = std::string(utf8) + " ";
        for (const char ch : all) {
            if (ch != ' ' && ch != '\n') {
                word += ch;
                continue;
            }
            const std::string tried = line.empty() ? word : line + " " + word;
            cairo_text_extents_t e;
            cairo_text_extents(cr_, tried.c_str(), &e);
            if (e.x_advance > width && !line.empty()) {
                lines.push_back(line);
                line = word;
            } else {
                line = tried;
            }
            word.clear();
            if (ch == '\n') {
                lines.push_back(line);
                line.clear();
            }
        }
        if (!line.empty()) lines.push_back(line);
    } else {
        lines.push_back(ellipsis ? shortened(cr_, utf8, width) : std::string(utf8));
    }

    cairo_save(cr_);
    if (clipped) {
        cairo_rectangle(cr_, box.left, box.top, width, height);
        cairo_clip(cr_);
    }
    cairo_set_source_rgb(cr_, (textColour_ >> 16 & 0xFF) / 255.0, (textColour_ >> 8 & 0xFF) / 255.0,
                         (textColour_ & 0xFF) / 255.0);
    double baseline = box.top + ascent_ + (centreY ? (height - cell) / 2 : 0);
    for (const std::string& line : lines) {
        cairo_text_extents_t e;
        cairo_text_extents(cr_, line.c_str(), &e);
        const double x = centreX ? box.left + (width - e.x_advance) / 2 : box.left;
        cairo_move_to(cr_, x, baseline);
        cairo_show_text(cr_, line.c_str());
        baseline += cell;
    }
    cairo_restore(cr_);
}

Image CairoCanvas::image() const {
    cairo_surface_flush(target_);
    const int w = cairo_image_surface_get_width(target_), h = cairo_image_surface_get_height(target_);
    const int stride = cairo_image_surface_get_stride(target_);
    const unsigned char* data = cairo_image_surface_get_data(target_);
    Image out(w, h);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < w; ++x) out.at(x, y) = row[x] & 0xFFFFFF;
    }
    return out;
}

}  // namespace platform
