// The editor's cursor, keys and popup menus on Windows.
#include <windows.h>

#include "platform/editor_platform.h"
#include "platform/menu.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

// Absolute mouse coordinates span 0..65535 over the primary screen.
constexpr double kAbsoluteSpan = 65534.0;

class Win32EditorPlatform final : public EditorPlatform {
public:
    ScreenPoint cursorPosition() const override {
        POINT p{};
        GetCursorPos(&p);
        return {p.x, p.y};
    }
    void moveCursor(ScreenPoint to) override {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = static_cast<LONG>(to.x * kAbsoluteSpan / GetSystemMetrics(SM_CXSCREEN));
        input.mi.dy = static_cast<LONG>(to.y * kAbsoluteSpan / GetSystemMetrics(SM_CYSCREEN));
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof input);
    }
    intptr_t hideCursor() override { return reinterpret_cast<intptr_t>(SetCursor(nullptr)); }
    void restoreCursor(intptr_t saved) override { SetCursor(reinterpret_cast<HCURSOR>(saved)); }
    void confineCursor(int left, int top, int right, int bottom) override {
        const RECT r{left, top, right, bottom};
        ClipCursor(&r);
    }
    void freeCursor() override { ClipCursor(nullptr); }
    bool held(HeldKey key) const override {
        int code = VK_CONTROL;
        switch (key) {
        case HeldKey::kCtrl: code = VK_CONTROL; break;
        case HeldKey::kLeftCtrl: code = VK_LCONTROL; break;
        case HeldKey::kRightCtrl: code = VK_RCONTROL; break;
        case HeldKey::kAlt: code = VK_MENU; break;
        case HeldKey::kShift: code = VK_SHIFT; break;
        }
        // The message's own key state, or the keyboard's now: synthesised keys show in the latter
        // first.
        return ((GetKeyState(code) | GetAsyncKeyState(code)) & 0x8000) != 0;
    }
    void focus(intptr_t parent, intptr_t window) override {
        if (parent) SetFocus(reinterpret_cast<HWND>(parent));
        if (window) SetFocus(reinterpret_cast<HWND>(window));
    }
    // The editor is a child of the host's window: taking the keyboard focus is its activation,
    // and no top-level window changes in the middle of a gesture.
    void activate(intptr_t window) override {
        if (window) SetFocus(reinterpret_cast<HWND>(window));
    }
};

class Win32Menu final : public Menu {
public:
    int choose(intptr_t window, const std::vector<MenuEntry>& entries) override {
        HMENU menu = CreatePopupMenu();
        if (!menu) return 0;
        for (const MenuEntry& e : entries) {
            if (e.submenu.empty()) {
                append(menu, e);
                continue;
            }
            // Owned by the menu once appended: destroyed with it.
            HMENU sub = CreatePopupMenu();
            if (!sub) continue;
            for (const MenuEntry& inner : e.submenu) append(sub, inner);
            AppendMenuW(menu, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), wideFromUtf8(e.text).c_str());
        }
        POINT at{};
        GetCursorPos(&at);
        HWND owner = window ? reinterpret_cast<HWND>(window) : GetForegroundWindow();
        const int chosen = static_cast<int>(TrackPopupMenu(
            menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, owner,
            nullptr));
        DestroyMenu(menu);
        return chosen;
    }

private:
    static void append(HMENU menu, const MenuEntry& e) {
        if (e.separator) {
            AppendMenuW(menu, MF_SEPARATOR, static_cast<UINT_PTR>(e.id), nullptr);
            return;
        }
        UINT flags = MF_STRING;
        if (e.greyed) flags |= MF_GRAYED;
        if (e.checked) flags |= MF_CHECKED;
        AppendMenuW(menu, flags, static_cast<UINT_PTR>(e.id), wideFromUtf8(e.text).c_str());
    }
};

}  // namespace

EditorPlatform& systemEditorPlatform() {
    static Win32EditorPlatform platform;
    return platform;
}

Menu& systemMenu() {
    static Win32Menu menu;
    return menu;
}

}  // namespace platform
