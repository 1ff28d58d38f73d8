#include "platform/win32/gdi_canvas.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
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

namespace {

constexpr const wchar_t* kCuprum = L"Cuprum";
constexpr const wchar_t* kStandIn = L"Roboto Condensed";
bool standIn = false;  // [ui] process-wide, as the fonts added for it

HFONT createFont(int height, int width, const wchar_t* face) {
    return CreateFontW(height, width, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_OUTLINE_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, VARIABLE_PITCH, face);
}

// The font selected into a screen-compatible context: what `use` learns of it.
template <typename Use>
void withFont(HFONT font, Use use) {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return;
    HGDIOBJ previous = SelectObject(dc, font);
    use(dc);
    SelectObject(dc, previous);
    DeleteDC(dc);
}

}  // namespace

HFONT makeEditorFont(int height) {
    HFONT font = createFont(height, 0, editorFaceName());
    if (!standIn || !font) return font;
    // GDI narrows a face through its average character width, known once the font exists.
    TEXTMETRICW metrics{};
    withFont(font, [&](HDC dc) { GetTextMetricsW(dc, &metrics); });
    if (metrics.tmAveCharWidth <= 0) return font;
    DeleteObject(font);
    return createFont(height, std::max(1, static_cast<int>(std::lround(metrics.tmAveCharWidth * kStandInNarrowing))),
                      kStandIn);
}

// Asked of the fonts Windows lists (the process's private ones among them), not of the font
// it makes: a font made for a missing face is silently another.
bool cuprumPresent() {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return false;
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    std::wcsncpy(wanted.lfFaceName, kCuprum, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(
        dc, &wanted,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM seen) -> int {
            *reinterpret_cast<bool*>(seen) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    DeleteDC(dc);
    return found;
}

void useStandInFace() { standIn = true; }

const wchar_t* editorFaceName() { return standIn ? kStandIn : kCuprum; }

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
    fontHeight_ = height;
}

void GdiCanvas::setTextColour(Colour colour) { SetTextColor(target_, colourRef(colour)); }

void GdiCanvas::text(const char* utf8, Box box, TextFormat format) {
    if (!utf8 || !*utf8) return;
    const std::wstring wide = readableWide(utf8);
    RECT r{box.left, box.top, box.right, box.bottom};
    HFONT squeezed = squeezedFont(wide, box.right - box.left, format);
    HGDIOBJ previous = squeezed ? SelectObject(target_, squeezed) : nullptr;
    DrawTextW(target_, wide.c_str(), static_cast<int>(wide.size()), &r, drawTextFlags(format));
    if (squeezed) {
        SelectObject(target_, previous);
        DeleteObject(squeezed);
    }
}

// A label a little wider than its box in the face at hand (Cuprum's "Allow overlapping notes") is
// set a little narrower rather than run into its neighbour or lose its ends.
HFONT GdiCanvas::squeezedFont(const std::wstring& text, int width, TextFormat format) const {
    if (format != TextFormat::kCentred && format != TextFormat::kLabel && format != TextFormat::kPlain &&
        format != TextFormat::kLine)
        return nullptr;
    SIZE size{};
    if (width <= 0 || !GetTextExtentPoint32W(target_, text.c_str(), static_cast<int>(text.size()), &size) ||
        size.cx <= width)
        return nullptr;
    TEXTMETRICW metrics{};
    wchar_t face[LF_FACESIZE] = {};
    if (!GetTextMetricsW(target_, &metrics) || !GetTextFaceW(target_, LF_FACESIZE, face)) return nullptr;
    // Width and average character width are not exactly proportional: narrow until it fits.
    int average = static_cast<int>(metrics.tmAveCharWidth * static_cast<long>(width) / size.cx);
    for (; average > 0; --average) {
        HFONT font = CreateFontW(fontHeight_, average, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_OUTLINE_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, VARIABLE_PITCH, face);
        if (!font) return nullptr;
        SIZE narrowed{};
        withFont(font, [&](HDC dc) { GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &narrowed); });
        if (narrowed.cx <= width) return font;
        DeleteObject(font);
    }
    return nullptr;
}

}  // namespace platform
