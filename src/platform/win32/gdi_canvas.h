// The editor's canvas on GDI: the paint composes the logical canvas in a memory device context
// from the artwork bitmaps, and the window stretches it once onto the screen.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <iterator>

#include "platform/canvas.h"

namespace platform {

// The artwork every editor of the process draws from: one bitmap per sheet (null where it did
// not load) with its size, and the two fonts that live as long as the bitmaps.
struct GdiArtwork {
    struct Bitmap {
        HBITMAP handle = nullptr;
        int width = 0;
        int height = 0;
    };
    std::array<Bitmap, std::size(kAllSheets)> sheets{};
    HFONT nameFont = nullptr;  // 16 pixels
    HFONT tabFont = nullptr;   // 15 pixels

    const Bitmap& sheet(Sheet s) const;
    Bitmap& sheet(Sheet s);
};

// [ui] The process's artwork (empty until loadEditorArtwork).
GdiArtwork& gdiArtwork();

// The editor's font of `height` pixels (character cell): Cuprum, or where it is missing the
// carried stand-in, narrowed (useStandInFace).
HFONT makeEditorFont(int height);
// Whether Windows has Cuprum: installed, or added by this process. [ui]
bool cuprumPresent();
// From now on the editor's fonts use the stand-in face, already added to the process. [ui]
void useStandInFace();
// The face the editor's fonts use now. [ui]
const wchar_t* editorFaceName();

// One paint's canvas over `target`, a memory device context holding the picture. Fonts of other
// heights than the artwork's two are made for this paint and deleted with the canvas; the
// target's own objects are selected back. [ui]
class GdiCanvas final : public Canvas {
public:
    GdiCanvas(HDC target, const GdiArtwork& artwork);
    ~GdiCanvas();
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    void copy(Sheet sheet, Rect source, int x, int y) override;
    void fill(Box box, Colour colour) override;
    void setFont(int height) override;
    void setTextColour(Colour colour) override;
    void text(const char* utf8, Box box, TextFormat format) override;

private:
    struct PaintFont {
        int height = 0;
        HFONT font = nullptr;
    };

    HDC target_;
    const GdiArtwork& artwork_;
    HDC sheetDc_ = nullptr;
    // A font of the current face and height narrowed so that `text` fits `width`, for a format
    // that neither shortens nor wraps; null when the text fits as it is.
    HFONT squeezedFont(const std::wstring& text, int width, TextFormat format) const;

    HGDIOBJ targetFont_ = nullptr;
    int fontHeight_ = 0;
    HGDIOBJ sheetBitmap_ = nullptr;  // the sheet context's own bitmap, selected back at the end
    std::array<PaintFont, 6> paintFonts_{};  // more heights than the paint uses
};

}  // namespace platform
