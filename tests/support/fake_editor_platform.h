// A scripted operating system for the editor's gestures: a cursor that the test (the user's
// hand) moves, keys it holds, and a record of what the editor did to the cursor. Like Wine's, a
// synthesised absolute move lands one pixel short of its target. Installed for its lifetime.
#pragma once

#include <set>

#include "platform/editor_platform.h"

namespace testing_support {

class FakeEditorPlatform final : public platform::EditorPlatform {
public:
    FakeEditorPlatform() { platform::setEditorPlatform(this); }
    ~FakeEditorPlatform() { platform::setEditorPlatform(nullptr); }

    platform::ScreenPoint cursorPosition() const override { return cursor; }
    void moveCursor(platform::ScreenPoint to) override {
        cursor = {to.x - 1, to.y - 1};
        ++warps;
    }
    intptr_t hideCursor() override {
        hidden = true;
        return 77;
    }
    void restoreCursor(intptr_t saved) override { hidden = saved != 77; }
    void confineCursor(int, int, int, int) override { confined = true; }
    void freeCursor() override { confined = false; }
    bool held(platform::HeldKey key) const override {
        if (key == platform::HeldKey::kCtrl)
            return keys.count(platform::HeldKey::kLeftCtrl) || keys.count(platform::HeldKey::kRightCtrl) ||
                   keys.count(key);
        return keys.count(key) != 0;
    }
    void focus(intptr_t, intptr_t) override {}
    void activate(intptr_t) override {}

    platform::ScreenPoint cursor{500, 400};
    std::set<platform::HeldKey> keys;
    bool hidden = false;
    bool confined = false;
    int warps = 0;
};

}  // namespace testing_support
