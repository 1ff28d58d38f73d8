#include "automation/piano_roll.h"

#include <cstdio>

#include "model/note_letters.h"

namespace automation {
namespace {

using platform::ScreenPoint;
using platform::WindowRect;
namespace vk = platform::vk;

// Where a click selects the piano roll's colour list, in its client area, before and from
// version 12.
constexpr ScreenPoint kColourClickOld{13, 34};
constexpr ScreenPoint kColourClick{28, 50};
constexpr int kOldGridColumns = 4;

void tap(WindowSystem& ws, int key) {
    ws.key(key, false);
    ws.key(key, true);
}

void trace(TraceLines& out, const char* format, int value) {
    char line[96];
    std::snprintf(line, sizeof line, format, value);
    out.write(line);
}

class DebuggerLines final : public TraceLines {
public:
    explicit DebuggerLines(WindowSystem& ws) : ws_(ws) {}
    void write(const char* line) override { ws_.debugOutput(line); }

private:
    WindowSystem& ws_;
};

}  // namespace

bool SelectPianoRollColour(WindowSystem& ws, intptr_t mainWindow, bool hostBefore12, int cell) {
    if (!mainWindow || cell < 0) return false;
    ScreenPoint at{};
    const bool found = walkPanels(ws, mainWindow, [&](intptr_t panel) {
        const intptr_t roll = ws.findChild(panel, 0, nullptr, kPianoRollTitle);
        if (!roll) return false;
        at = ws.clientToScreen(roll, hostBefore12 ? kColourClickOld : kColourClick);
        const intptr_t under = ws.windowAt(at);
        return under && ws.parent(under) == roll;
    });
    if (!found) return false;
    const ScreenPoint before = ws.cursor();
    ws.setCursor(at);
    ws.leftButton(true, false, at);
    ws.leftButton(false, false, at);
    tap(ws, vk::kHome);
    if (hostBefore12) {
        for (int i = 0; i < cell / kOldGridColumns; ++i) tap(ws, vk::kDown);
        for (int i = 0; i < cell % kOldGridColumns; ++i) tap(ws, vk::kRight);
    } else {
        for (int i = 0; i < cell; ++i) tap(ws, vk::kDown);
    }
    tap(ws, vk::kEnter);
    ws.setCursor(before);
    return true;
}

bool IsPianoRollShiftClick(WindowSystem& ws, intptr_t mainWindow) {
    DebuggerLines lines(ws);
    return IsPianoRollShiftClick(ws, mainWindow, lines);
}

bool IsPianoRollShiftClick(WindowSystem& ws, intptr_t mainWindow, TraceLines& out) {
    if (!mainWindow) return false;
    return walkPanels(ws, mainWindow, [&](intptr_t panel) {
        const intptr_t roll = ws.findChild(panel, 0, nullptr, kPianoRollTitle);
        if (!roll) return false;
        for (intptr_t colours = ws.findChild(roll, 0, kPanelClass, nullptr); colours;
             colours = ws.findChild(roll, colours, kPanelClass, nullptr)) {
            WindowRect a, b;
            ws.rect(roll, a);
            ws.rect(colours, b);
            const ScreenPoint p = ws.cursor();
            const int left = ws.keyDown(vk::kLeftButton, false) ? 0x8000 : 0;
            const int leftShift = ws.keyDown(vk::kLeftShift, false) ? 0x8000 : 0;
            const int rightShift = ws.keyDown(vk::kRightShift, false) ? 0x8000 : 0;
            char line[64];
            std::snprintf(line, sizeof line, "Found window %p\n", reinterpret_cast<void*>(colours));
            out.write(line);
            trace(out, "  LBUTTON is %i\n", left);
            trace(out, "  VK_LSHIFT is %i\n", leftShift);
            trace(out, "  VK_RSHIFT is %i\n", rightShift);
            trace(out, "  MousePos.x is %i\n", p.x);
            trace(out, "  MousePos.y is %i\n", p.y);
            trace(out, "  FLPluginColorWindowRect.left  is %i\n", b.left);
            trace(out, "  FLPluginColorWindowRect.right is %i\n", b.right);
            trace(out, "  FLPluginColorWindowRect.top   is %i\n", b.top);
            trace(out, "  FLPluginColorWindowRect.bot   is %i\n", b.bottom);
            trace(out, "  FLPluginWindowRect.bot        is %i\n", a.bottom);
            if (p.x >= b.left && p.x <= b.right && p.y >= b.bottom && p.y <= a.bottom && ws.keyDown(vk::kLeftButton, true) &&
                (ws.keyDown(vk::kLeftShift, true) || ws.keyDown(vk::kRightShift, false))) {
                out.write("  TRIGGERED\n");
                return true;
            }
        }
        return false;
    });
}

std::string renameKeyCaption(const std::string& name, int key, bool altMiddleC) {
    const int pitch = ((key % 12) + 12) % 12;
    std::string caption = "Rename note ";
    if (!name.empty()) caption += name + " ";
    caption += model::kNoteLetters[pitch];
    // The host's own caption: a sharp has no octave, and the octave counts from key 0 as 0.
    if (model::isSharp(pitch)) caption += "#";
    else caption += std::to_string(key / 12 + (altMiddleC ? 1 : 0));
    return caption.size() > 255 ? caption.substr(0, 255) : caption;
}

intptr_t formContent(const WindowSystem& ws, intptr_t form) {
    const intptr_t sheet = ws.findChild(form, 0, kVectorSheetClass, nullptr);
    return sheet ? ws.findChild(sheet, 0, nullptr, nullptr) : 0;
}

bool RememberPluginFormPlace(WindowSystem& ws, intptr_t mainWindow, intptr_t editorWindow, int32_t& x, int32_t& y) {
    if (!mainWindow || !editorWindow) return false;
    bool found = false;
    walkPanels(ws, mainWindow, [&](intptr_t panel) {
        for (intptr_t form = ws.findChild(panel, 0, kPluginFormClass, nullptr); form;
             form = ws.findChild(panel, form, kPluginFormClass, nullptr)) {
            if (formContent(ws, form) != editorWindow) continue;
            WindowRect r;
            if (!ws.rect(form, r)) continue;
            const ScreenPoint place = ws.screenToClient(ws.parent(form), {r.left, r.top});
            x = place.x;
            y = place.y;
            found = true;
        }
        return false;
    });
    return found;
}

void FollowColourPopup(WindowSystem& ws, intptr_t mainWindow, ColourPopupState& state) {
    const intptr_t popup = ws.findTopLevel(0, kPopupClass, nullptr);
    if (!popup) {
        state.followed = 0;
        state.measured = false;
        return;
    }
    // A popup of another moment under the same handle: follow it afresh.
    if (state.followed && state.followed != popup) {
        state.followed = 0;
        state.measured = false;
    }
    if (!state.followed) {
        state.measured = false;
        state.pendingPick = -1;
        WindowRect p;
        if (!ws.rect(popup, p)) return;
        walkPanels(ws, mainWindow, [&](intptr_t panel) {
            const intptr_t roll = ws.findChild(panel, 0, nullptr, kPianoRollTitle);
            WindowRect r;
            if (!roll || !ws.rect(roll, r)) return false;
            if (p.left >= r.left && p.top >= r.top && p.height() == kPopupHeight) state.followed = popup;
            return state.followed != 0;
        });
        return;
    }
    if (state.measured) return;
    WindowRect p;
    // Reading pixels of a window that is gone stalls for a long time: make sure it is there.
    if (!ws.exists(popup) || !ws.rect(popup, p)) return;
    for (int x = 1; x < p.width(); ++x)
        if (ws.pixel(popup, x, 2) == kPopupMarker) {
            state.measured = true;
            return;
        }
}

void SettleClick(WindowSystem& ws, intptr_t editorWindow) {
    WindowRect r;
    if (!editorWindow || !ws.rect(editorWindow, r)) return;
    const ScreenPoint before = ws.cursor();
    const ScreenPoint at{r.left - 5, r.top - 60};
    ws.setCursor(at);
    ws.leftButton(true, true, at);
    ws.leftButton(false, true, at);
    ws.setCursor(before);
}

}  // namespace automation
