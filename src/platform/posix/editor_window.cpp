// The native module has no window: the editor keeps its size and visibility here and paints
// only when a tool asks it to (snapshots).
#include "platform/editor_window.h"

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

void loadEditorArtwork(const std::string&) {}
void releaseEditorArtwork() {}
int editorIconCount() { return 0; }

}  // namespace platform
