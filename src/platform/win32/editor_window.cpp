// The editor's window on Windows: dialog template 100 of the module this code is linked into,
// made a child of the host's window while shown, painted through one off-screen picture per
// paint. Its procedure only turns messages into the editor's events.
#include <windows.h>
#include <windowsx.h>

#include <cmath>
#include <cstdlib>

#include "platform/editor_window.h"
#include "platform/headless_editor_window.h"
#include "platform/program_folder.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

constexpr int kDialogTemplate = 100;
constexpr const char* kCuprumFile = "Artwork\\Fonts\\Cuprum\\Cuprum.ttf";
constexpr int kStandInFont = 120;  // RCDATA: the TrueType file of the face that stands in for Cuprum

// The module holding this code: the plugin's DLL, or a test program that links it directly.
HMODULE thisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&thisModule), &module);
    return module;
}

class Win32EditorWindow final : public EditorWindow {
public:
    explicit Win32EditorWindow(EditorWindowEvents& events) : events_(events) {}

    ~Win32EditorWindow() override {
        if (!window_) return;
        // Messages sent while the window goes away must not reach an editor being destroyed.
        SetWindowLongPtrW(window_, DWLP_USER, 0);
        DestroyWindow(window_);
    }

    // False when the system makes no window (no display, or no template in the module).
    bool create() {
        CreateDialogParamW(thisModule(), MAKEINTRESOURCEW(kDialogTemplate), nullptr, &procedure,
                           reinterpret_cast<LPARAM>(this));
        return window_ != nullptr;
    }

    intptr_t handle() const override { return reinterpret_cast<intptr_t>(window_); }

    void show(intptr_t parent) override {
        HWND host = reinterpret_cast<HWND>(parent);
        if (!IsWindow(host)) return;
        // A child: hiding it again is instant, where a top-level window takes seconds under Wine.
        const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
        SetWindowLongPtrW(window_, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD);
        SetParent(window_, host);
        SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        ShowWindow(window_, SW_SHOW);
    }

    void hide() override {
        ShowWindow(window_, SW_HIDE);
        SetParent(window_, nullptr);
        const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
        SetWindowLongPtrW(window_, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_CHILD)) | WS_POPUP);
    }

    void resize(int width, int height) override {
        width_ = width;
        height_ = height;
        ownResize_ = true;
        SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ownResize_ = false;
    }

    int width() const override { return width_; }
    int height() const override { return height_; }

    void invalidate(Box logical) override {
        if (logical.right <= logical.left || logical.bottom <= logical.top) {
            InvalidateRect(window_, nullptr, FALSE);
            return;
        }
        const float s = scale();
        const RECT r{static_cast<LONG>(std::floor(logical.left * s)), static_cast<LONG>(std::floor(logical.top * s)),
                     static_cast<LONG>(std::ceil(logical.right * s)), static_cast<LONG>(std::ceil(logical.bottom * s))};
        InvalidateRect(window_, &r, FALSE);
    }

    void paintNow() override {
        if (!IsWindowVisible(window_)) return;
        // What is already marked (the grid on a hover) is enough; otherwise all of it.
        if (!GetUpdateRect(window_, nullptr, FALSE)) InvalidateRect(window_, nullptr, FALSE);
        UpdateWindow(window_);
    }

    int clientHeight(intptr_t window) const override {
        RECT r{};
        HWND w = reinterpret_cast<HWND>(window);
        return IsWindow(w) && GetClientRect(w, &r) ? static_cast<int>(r.bottom - r.top) : 0;
    }

private:
    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrW(window, DWLP_USER, lParam);
            reinterpret_cast<Win32EditorWindow*>(lParam)->window_ = window;
            return FALSE;
        }
        auto* self = reinterpret_cast<Win32EditorWindow*>(GetWindowLongPtrW(window, DWLP_USER));
        if (!self) return FALSE;
        // Called from the host's message loop: nothing may escape into it.
        try {
            LRESULT result = 0;
            if (!self->handleMessage(message, wParam, lParam, result)) return FALSE;
            SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
            return TRUE;
        } catch (...) {
            return FALSE;
        }
    }

    // True when the message was answered, with `result` as its answer.
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        using Kind = InputEvent::Kind;
        switch (message) {
        case WM_PAINT: paint(); return true;
        case WM_PRINTCLIENT: {  // a picture of the window asked for (PrintWindow)
            RECT client{};
            GetClientRect(window_, &client);
            if (client.right > 0 && client.bottom > 0) compose(reinterpret_cast<HDC>(wParam), client.right, client.bottom);
            return true;
        }
        case WM_ERASEBKGND: result = 1; return true;  // the paint covers everything: no flicker
        case WM_SIZE: sized(wParam, LOWORD(lParam), HIWORD(lParam)); return true;
        case WM_GETDLGCODE: result = DLGC_WANTALLKEYS; return true;
        case WM_SETCURSOR:
            if (!events_.dragging()) return false;
            result = TRUE;  // the drag keeps the cursor hidden
            return true;
        case WM_MOUSEMOVE:
            if (!tracking_) {
                TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window_, 0};
                tracking_ = TrackMouseEvent(&track) != FALSE;
            }
            return mouse(Kind::kMouseMove, InputEvent::kLeft, lParam);
        case WM_MOUSELEAVE: {
            tracking_ = false;
            InputEvent e;
            e.kind = Kind::kMouseLeave;
            events_.input(e);
            return true;
        }
        case WM_LBUTTONDOWN: return mouse(Kind::kButtonDown, InputEvent::kLeft, lParam);
        case WM_RBUTTONDOWN: return mouse(Kind::kButtonDown, InputEvent::kRight, lParam);
        case WM_MBUTTONDOWN: return mouse(Kind::kButtonDown, InputEvent::kMiddle, lParam);
        case WM_LBUTTONUP: return mouse(Kind::kButtonUp, InputEvent::kLeft, lParam);
        case WM_RBUTTONUP: return mouse(Kind::kButtonUp, InputEvent::kRight, lParam);
        case WM_MBUTTONUP: return mouse(Kind::kButtonUp, InputEvent::kMiddle, lParam);
        case WM_MOUSEWHEEL: {
            // The wheel's position comes in screen coordinates.
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(window_, &p);
            InputEvent e;
            e.kind = Kind::kWheel;
            e.x = p.x;
            e.y = p.y;
            e.wheelDelta = GET_WHEEL_DELTA_WPARAM(wParam);
            events_.input(e);
            return true;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            InputEvent e;
            e.kind = message == WM_KEYDOWN || message == WM_SYSKEYDOWN ? Kind::kKeyDown : Kind::kKeyUp;
            e.key = static_cast<int>(wParam);
            events_.input(e);
            return true;
        }
        case WM_ACTIVATE: {
            InputEvent e;
            e.kind = LOWORD(wParam) == WA_INACTIVE ? Kind::kDeactivate : Kind::kActivate;
            events_.input(e);
            return false;  // the dialog still sets its focus
        }
        default: return false;
        }
    }

    bool mouse(InputEvent::Kind kind, int button, LPARAM lParam) {
        InputEvent e;
        e.kind = kind;
        e.button = button;
        e.x = GET_X_LPARAM(lParam);
        e.y = GET_Y_LPARAM(lParam);
        events_.input(e);
        return true;
    }

    void sized(WPARAM type, int width, int height) {
        // Our own resize, a minimised parent or an empty window is no new scale, and a size equal
        // to the one the window has changes nothing.
        if (ownResize_ || type == SIZE_MINIMIZED || width <= 0 || height <= 0) return;
        if (width == width_ && height == height_) return;
        width_ = width;
        height_ = height;
        events_.hostResized(width, height);
    }

    float scale() const {
        const float s = events_.scale();
        return s > 0.0f ? s : 1.0f;
    }

    void paint() {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window_, &ps);
        if (!dc) return;
        RECT client{};
        GetClientRect(window_, &client);
        if (client.right > 0 && client.bottom > 0) compose(dc, client.right, client.bottom);
        EndPaint(window_, &ps);
    }

    // Draws the logical canvas into a picture of its own size, then stretches it once onto the
    // window.
    void compose(HDC dc, int clientWidth, int clientHeight) {
        const float s = scale();
        const int width = static_cast<int>(std::ceil(clientWidth / s));
        const int height = static_cast<int>(std::ceil(clientHeight / s));
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP picture = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC memory = CreateCompatibleDC(dc);
        if (picture && memory) {
            HGDIOBJ previous = SelectObject(memory, picture);
            try {
                GdiCanvas canvas(memory, gdiArtwork());
                events_.paint(canvas);
            } catch (...) {
            }
            // Whole-number scales repeat pixels exactly; the others are smoothed.
            const bool whole = s == std::floor(s);
            SetStretchBltMode(dc, whole ? COLORONCOLOR : HALFTONE);
            if (!whole) SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, 0, 0, static_cast<int>(std::lround(width * s)), static_cast<int>(std::lround(height * s)),
                       memory, 0, 0, width, height, SRCCOPY);
            SelectObject(memory, previous);
        }
        if (memory) DeleteDC(memory);
        if (picture) DeleteObject(picture);
    }

    EditorWindowEvents& events_;
    HWND window_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    bool ownResize_ = false;
    bool tracking_ = false;  // a mouse-leave notice is asked for
};

HBITMAP loadSheet(HMODULE module, Sheet sheet) {
    // A section keeps the resource's pixels exact, whatever the screen's depth.
    return static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(static_cast<int>(sheet)), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HBITMAP loadBitmapFile(const std::string& utf8Path) {
    std::wstring path;
    if (!wideFromUtf8(utf8Path, path) || path.empty()) return nullptr;
    return static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

// The condensed face carried as a resource, added for this process only.
void addStandInFace(HMODULE module) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(kStandInFont), MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    void* data = loaded ? LockResource(loaded) : nullptr;
    DWORD fonts = 0;
    if (data && AddFontMemResourceEx(data, SizeofResource(module, found), nullptr, &fonts) && fonts > 0)
        useStandInFace();
}

}  // namespace

std::unique_ptr<EditorWindow> createEditorWindow(EditorWindowEvents& events) {
    auto window = std::make_unique<Win32EditorWindow>(events);
    if (window->create()) return window;
    return std::make_unique<HeadlessEditorWindow>();  // no display: the editor runs unseen
}

void loadEditorArtwork(const std::string& programFolder) {
    releaseEditorArtwork();
    // Private fonts stay added for the life of the process: the face is chosen once.
    static bool faceChosen = false;
    if (!faceChosen) {
        faceChosen = true;
        std::wstring font;
        if (wideFromUtf8(joinProgramPath(programFolder, kCuprumFile), font) && !font.empty())
            AddFontResourceExW(font.c_str(), FR_PRIVATE, nullptr);
        // Without Cuprum Windows would substitute a wider face that overflows the labels.
        if (!cuprumPresent()) addStandInFace(thisModule());
    }
    GdiArtwork& artwork = gdiArtwork();
    artwork.nameFont = makeEditorFont(16);
    artwork.tabFont = makeEditorFont(15);
    const HMODULE module = thisModule();
    for (Sheet sheet : kAllSheets) {
        HBITMAP bitmap = nullptr;
        if (sheet == Sheet::kIconStrip) bitmap = loadBitmapFile(joinProgramPath(programFolder, kNotationFile));
        if (!bitmap) bitmap = loadSheet(module, sheet);
        if (!bitmap) continue;
        BITMAP facts{};
        GetObjectW(bitmap, sizeof facts, &facts);
        artwork.sheet(sheet) = {bitmap, static_cast<int>(facts.bmWidth), std::abs(static_cast<int>(facts.bmHeight))};
    }
}

void releaseEditorArtwork() {
    GdiArtwork& artwork = gdiArtwork();
    for (GdiArtwork::Bitmap& b : artwork.sheets)
        if (b.handle) DeleteObject(b.handle);
    if (artwork.nameFont) DeleteObject(artwork.nameFont);
    if (artwork.tabFont) DeleteObject(artwork.tabFont);
    artwork = GdiArtwork{};
}

int editorIconCount() { return gdiArtwork().sheet(Sheet::kIconStrip).width / 32; }

}  // namespace platform
