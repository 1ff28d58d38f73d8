// The editor window where there is no display (the native module, or Windows without a
// screen): it keeps the size the editor gives it, and nothing is shown or drawn.
#pragma once

#include "platform/editor_window.h"

namespace platform {

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

}  // namespace platform
