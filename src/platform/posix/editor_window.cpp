// The native module has no window: the editor keeps its size and visibility here and paints
// only when a tool asks it to (snapshots).
#include "platform/editor_window.h"

#include "platform/image_files.h"
#include "platform/program_folder.h"

namespace platform {
namespace {

class HeadlessEditorWindow final : public EditorWindow {
public:
    intptr_t handle() const override { return 0; }
    void show(intptr_t) override {}
    void hide() override {}
    void resize(int width, int height) override {
        width_ = width;
        height_ = height;
    }
    int width() const override { return width_; }
    int height() const override { return height_; }
    void invalidate(Box) override {}
    void paintNow() override {}
    int clientHeight(intptr_t) const override { return 0; }

private:
    int width_ = 0;
    int height_ = 0;
};

}  // namespace

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
