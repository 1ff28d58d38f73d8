// The editor's canvas on cairo, for the native build: snapshots of the panels as pictures, drawn
// by the same paint code the Windows window uses. Text is set in "Cuprum" when fontconfig knows
// it, else in a free condensed face of the same build (Roboto Condensed).
#pragma once

#include <array>
#include <memory>
#include <string>

#include "platform/canvas.h"
#include "platform/image_files.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_font_face cairo_font_face_t;

namespace platform {

// The artwork sheets as cairo surfaces, read from the bitmap files of a folder ("101-skin.bmp"
// ...); the icon strip from `notationFile` instead when that opens. A missing file leaves its
// sheet empty (nothing drawn from it).
class CairoSheets {
public:
    CairoSheets(const std::string& folder, const std::string& notationFile);
    ~CairoSheets();
    CairoSheets(const CairoSheets&) = delete;
    CairoSheets& operator=(const CairoSheets&) = delete;

    cairo_surface_t* surface(Sheet sheet) const;
    int width(Sheet sheet) const;
    int height(Sheet sheet) const;

    // The file name of a sheet in the artwork folder.
    static std::string fileName(Sheet sheet);

private:
    std::array<cairo_surface_t*, std::size(kAllSheets)> surfaces_{};
};

class CairoCanvas final : public Canvas {
public:
    // A canvas of `width` x `height` logical pixels drawn at `scale`.
    CairoCanvas(const CairoSheets& sheets, int width, int height, float scale);
    ~CairoCanvas();
    CairoCanvas(const CairoCanvas&) = delete;
    CairoCanvas& operator=(const CairoCanvas&) = delete;

    void copy(Sheet sheet, Rect source, int x, int y) override;
    void fill(Box box, Colour colour) override;
    void setFont(int height) override;
    void setTextColour(Colour colour) override;
    void text(const char* utf8, Box box, TextFormat format) override;

    // The picture so far, in window pixels.
    Image image() const;

private:
    const CairoSheets& sheets_;
    float scale_;
    cairo_surface_t* target_ = nullptr;
    cairo_t* cr_ = nullptr;
    cairo_font_face_t* face_ = nullptr;
    Colour textColour_ = 0;
    double ascent_ = 0;
    double descent_ = 0;
};

}  // namespace platform
