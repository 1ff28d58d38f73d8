// The host's windows on Windows. Titles and classes are converted into stack buffers: the
// note-start test calls in here on the audio thread and must not allocate.
#include <windows.h>

#include "platform/window_system.h"

namespace platform {
namespace {

constexpr int kNameLength = 256;

// UTF-8 into a fixed wide buffer; null stays null (matches any).
const wchar_t* wide(const char* text, wchar_t (&buffer)[kNameLength]) {
    if (!text) return nullptr;
    if (!MultiByteToWideChar(CP_UTF8, 0, text, -1, buffer, kNameLength)) buffer[0] = L'\0';
    return buffer;
}

HWND window(intptr_t h) { return reinterpret_cast<HWND>(h); }
intptr_t handle(HWND h) { return reinterpret_cast<intptr_t>(h); }

class Win32WindowSystem final : public WindowSystem {
public:
    intptr_t findChild(intptr_t parent, intptr_t after, const char* className, const char* title) const override {
        if (!parent) return 0;
        wchar_t cls[kNameLength], text[kNameLength];
        return handle(FindWindowExW(window(parent), window(after), wide(className, cls), wide(title, text)));
    }
    intptr_t findTopLevel(intptr_t after, const char* className, const char* title) const override {
        wchar_t cls[kNameLength], text[kNameLength];
        return handle(FindWindowExW(nullptr, window(after), wide(className, cls), wide(title, text)));
    }
    bool exists(intptr_t h) const override { return h && IsWindow(window(h)); }
    bool rect(intptr_t h, WindowRect& out) const override {
        RECT r{};
        if (!h || !GetWindowRect(window(h), &r)) return false;
        out = {r.left, r.top, r.right, r.bottom};
        return true;
    }
    ScreenPoint clientToScreen(intptr_t h, ScreenPoint p) const override {
        POINT q{p.x, p.y};
        if (h) ClientToScreen(window(h), &q);
        return {q.x, q.y};
    }
    ScreenPoint screenToClient(intptr_t h, ScreenPoint p) const override {
        POINT q{p.x, p.y};
        if (h) ScreenToClient(window(h), &q);
        return {q.x, q.y};
    }
    intptr_t parent(intptr_t h) const override { return h ? handle(GetParent(window(h))) : 0; }
    intptr_t windowAt(ScreenPoint p) const override { return handle(WindowFromPoint(POINT{p.x, p.y})); }
    ScreenPoint cursor() const override {
        POINT p{};
        GetCursorPos(&p);
        return {p.x, p.y};
    }
    void setCursor(ScreenPoint p) override { SetCursorPos(p.x, p.y); }
    void leftButton(bool down, bool absolute, ScreenPoint p) override {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP) | (absolute ? MOUSEEVENTF_ABSOLUTE : 0);
        if (absolute) {
            input.mi.dx = p.x;
            input.mi.dy = p.y;
        }
        SendInput(1, &input, sizeof input);
    }
    void key(int virtualKey, bool up) override {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(virtualKey);
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        SendInput(1, &input, sizeof input);
    }
    bool keyDown(int virtualKey, bool async) const override {
        return ((async ? GetAsyncKeyState(virtualKey) : GetKeyState(virtualKey)) & 0x8000) != 0;
    }
    uint32_t pixel(intptr_t h, int x, int y) const override {
        HDC dc = GetDC(window(h));
        if (!dc) return 0;
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(window(h), dc);
        if (c == CLR_INVALID) return 0;
        return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
    }
    void move(intptr_t h, int left, int top) override {
        SetWindowPos(window(h), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void debugOutput(const char* text) override { OutputDebugStringA(text); }
};

}  // namespace

WindowSystem& systemWindowSystem() {
    static Win32WindowSystem system;
    return system;
}

}  // namespace platform
