#include "platform/win32/gdi_canvas.h"

#include <algorithm>
#include <string>

namespace platform {
namespace {

COLORREF colourRef(Colour c) { return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }

UINT drawTextFlags(TextFormat format) {
    switch (format) {
    case TextFormat::kCentred: return DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP;
    case TextFormat::kLabel: return DT_CENTER | DT_TOP | DT_SINGLELINE;
    case TextFormat::kEllipsis: return DT_LEFT | DT_TOP | DT_SINGLELINE | DT_WORD_ELLIPSIS;
    case TextFormat::kMiddleEllipsis: return DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_WORD_ELLIPSIS;
    case TextFormat::kCentredEllipsis: return DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_WORD_ELLIPSIS;
    case TextFormat::kPlain: return DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOCLIP;
    case TextFormat::kLine: return DT_LEFT | DT_TOP | DT_SINGLELINE;
    case TextFormat::kWordWrap: return DT_LEFT | DT_TOP | DT_WORDBREAK;
    }
    return DT_LEFT | DT_TOP | DT_SINGLELINE;
}

// Names typed or imported may hold broken UTF-8: draw what can be read, with replacement
// characters for the rest, rather than nothing.
std::wstring readableWide(const char* utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (n <= 1) return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &out[0], n);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

size_t sheetIndex(Sheet s) {
    return static_cast<size_t>(std::find(std::begin(kAllSheets), std::end(kAllSheets), s) - std::begin(kAllSheets));
}

}  // namespace

const GdiArtwork::Bitmap& GdiArtwork::sheet(Sheet s) const { return sheets[sheetIndex(s)]; }
GdiArtwork::Bitmap& GdiArtwork::sheet(Sheet s) { return sheets[sheetIndex(s)]; }

GdiArtwork& gdiArtwork() {
    static GdiArtwork artwork;
    return artwork;
}

HFONT makeEditorFont(int height) {
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_OUTLINE_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, VARIABLE_PITCH, L"Cuprum");
}

GdiCanvas::GdiCanvas(HDC target, const GdiArtwork& artwork)
    : target_(target), artwork_(artwork), sheetDc_(CreateCompatibleDC(target)) {
    SetBkMode(target_, TRANSPARENT);
    targetFont_ = GetCurrentObject(target_, OBJ_FONT);
}

GdiCanvas::~GdiCanvas() {
    SelectObject(target_, targetFont_);
    if (sheetDc_) {
        if (sheetBitmap_) SelectObject(sheetDc_, sheetBitmap_);
        DeleteDC(sheetDc_);
    }
    for (PaintFont& f : paintFonts_)
        if (f.font) DeleteObject(f.font);
}

void GdiCanvas::copy(Sheet sheet, Rect source, int x, int y) {
    const GdiArtwork::Bitmap& bitmap = artwork_.sheet(sheet);
    if (!bitmap.handle || !sheetDc_) return;
    // Only the part of the source inside the sheet is drawn, at its own place.
    const int left = std::max(source.x, 0);
    const int top = std::max(source.y, 0);
    const int right = std::min(source.x + source.width, bitmap.width);
    const int bottom = std::min(source.y + source.height, bitmap.height);
    if (right <= left || bottom <= top) return;
    HGDIOBJ previous = SelectObject(sheetDc_, bitmap.handle);
    if (!sheetBitmap_) sheetBitmap_ = previous;
    BitBlt(target_, x + (left - source.x), y + (top - source.y), right - left, bottom - top, sheetDc_, left, top,
           SRCCOPY);
}

void GdiCanvas::fill(Box box, Colour colour) {
    HBRUSH brush = CreateSolidBrush(colourRef(colour));
    if (!brush) return;
    const RECT r{box.left, box.top, box.right, box.bottom};
    FillRect(target_, &r, brush);
    DeleteObject(brush);
}

void GdiCanvas::setFont(int height) {
    HFONT font = height == 16 ? artwork_.nameFont : height == 15 ? artwork_.tabFont : nullptr;
    for (size_t i = 0; !font && i < paintFonts_.size(); ++i) {
        PaintFont& f = paintFonts_[i];
        if (!f.font) f = {height, makeEditorFont(height)};
        if (f.height == height) font = f.font;
    }
    if (font) SelectObject(target_, font);
}

void GdiCanvas::setTextColour(Colour colour) { SetTextColor(target_, colourRef(colour)); }

void GdiCanvas::text(const char* utf8, Box box, TextFormat format) {
    if (!utf8 || !*utf8) return;
    const std::wstring wide = readableWide(utf8);
    RECT r{box.left, box.top, box.right, box.bottom};
    DrawTextW(target_, wide.c_str(), static_cast<int>(wide.size()), &r, drawTextFlags(format));
}

}  // namespace platform
