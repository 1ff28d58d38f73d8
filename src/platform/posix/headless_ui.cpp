// The native module has no display: the editor window keeps only its size and visibility (it
// paints on demand, for snapshots), menus are dismissed, the cursor stays put and no host
// windows are ever found.
#include "platform/editor_window.h"

#include "platform/headless_editor_window.h"
#include "platform/image_files.h"
#include "platform/program_folder.h"

namespace platform {

std::unique_ptr<EditorWindow> createEditorWindow(EditorWindowEvents&) {
    return std::make_unique<HeadlessEditorWindow>();
}

namespace {
int iconCount = 0;
}

// Nothing is drawn here, but the icon count follows the strip a window would draw from.
void loadEditorArtwork(const std::string& programFolder) {
    Image strip = readBmp(joinProgramPath(programFolder, kNotationFile));
    if (strip.empty()) strip = readBmp(joinProgramPath(programFolder, kArtworkFolder) + "/106-icons.bmp");
    iconCount = strip.width / 32;
}
void releaseEditorArtwork() { iconCount = 0; }
int editorIconCount() { return iconCount; }

}  // namespace platform

#include "platform/editor_platform.h"

namespace platform {
namespace {

// No display: the cursor stays where it is and no key is ever held.
class HeadlessEditorPlatform final : public EditorPlatform {
public:
    ScreenPoint cursorPosition() const override { return cursor_; }
    void moveCursor(ScreenPoint to) override { cursor_ = to; }
    intptr_t hideCursor() override { return 0; }
    void restoreCursor(intptr_t) override {}
    void confineCursor(int, int, int, int) override {}
    void freeCursor() override {}
    bool held(HeldKey) const override { return false; }
    void focus(intptr_t, intptr_t) override {}
    void activate(intptr_t) override {}

private:
    ScreenPoint cursor_;
};

}  // namespace

EditorPlatform& systemEditorPlatform() {
    static HeadlessEditorPlatform platform;
    return platform;
}

}  // namespace platform

#include "platform/menu.h"

namespace platform {
namespace {
class DismissedMenu final : public Menu {
public:
    int choose(intptr_t, const std::vector<MenuEntry>&) override { return 0; }
};
}  // namespace

Menu& systemMenu() {
    static DismissedMenu none;
    return none;
}

}  // namespace platform

#include "platform/window_system.h"

namespace platform {
namespace {
// No host windows to find: every search comes back empty.
class NoWindows final : public WindowSystem {
public:
    intptr_t findChild(intptr_t, intptr_t, const char*, const char*) const override { return 0; }
    intptr_t findTopLevel(intptr_t, const char*, const char*) const override { return 0; }
    bool exists(intptr_t) const override { return false; }
    bool rect(intptr_t, WindowRect&) const override { return false; }
    ScreenPoint clientToScreen(intptr_t, ScreenPoint p) const override { return p; }
    ScreenPoint screenToClient(intptr_t, ScreenPoint p) const override { return p; }
    intptr_t parent(intptr_t) const override { return 0; }
    intptr_t windowAt(ScreenPoint) const override { return 0; }
    ScreenPoint cursor() const override { return {}; }
    void setCursor(ScreenPoint) override {}
    void leftButton(bool, bool, ScreenPoint) override {}
    void key(int, bool) override {}
    bool keyDown(int, bool) const override { return false; }
    uint32_t pixel(intptr_t, int, int) const override { return 0; }
    void move(intptr_t, int, int) override {}
    void debugOutput(const char*) override {}
};
}  // namespace

WindowSystem& systemWindowSystem() {
    static NoWindows none;
    return none;
}

}  // namespace platform
