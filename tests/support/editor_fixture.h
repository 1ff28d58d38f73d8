// An instance with its editor shown, driven the way the window drives it: input events in
// window pixels, a scripted cursor and keys, scripted menus, and the recording host.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "editor/layout.h"
#include "support/fake_editor_platform.h"
#include "support/fake_menu.h"
#include "support/plugin_fixture.h"

namespace testing_support {

using editor::Editor;
using editor::Hit;
using editor::Point;
using platform::InputEvent;

class EditorFixture : public PluginTest {
protected:
    void SetUp() override {
        plug = create();
        plug->Dispatcher(0, 0, 0x1000);  // shown
        host.clear();
    }
    Editor& ed() { return impl(plug).editor(); }
    model::InstanceRecords& r() { return impl(plug).records(); }
    void send(InputEvent::Kind kind, Point at, int button = InputEvent::kLeft) {
        InputEvent e;
        e.kind = kind;
        e.x = at.x;
        e.y = at.y;
        e.button = button;
        ed().input(e);
    }
    // The hand presses at `at`, travels `dy` screen pixels per move (up is negative) and lets go.
    // Each move is followed by the move that the editor's own return of the cursor causes.
    void drag(Point at, std::vector<int> dys, int dx = 0) {
        send(InputEvent::Kind::kButtonDown, at);
        for (const int dy : dys) {
            os.cursor.x += dx;
            os.cursor.y += dy;
            send(InputEvent::Kind::kMouseMove, at);
            send(InputEvent::Kind::kMouseMove, at);
        }
        send(InputEvent::Kind::kButtonUp, at);
    }
    void click(Point at) {
        send(InputEvent::Kind::kButtonDown, at);
        send(InputEvent::Kind::kButtonUp, at);
    }
    std::vector<std::string> statuses() {
        std::vector<std::string> out;
        for (const auto& d : host.dispatchesWithCode(22)) out.push_back(d.text);
        return out;
    }
    std::vector<intptr_t> values(intptr_t code) {
        std::vector<intptr_t> out;
        for (const auto& d : host.dispatchesWithCode(code)) out.push_back(d.value);
        return out;
    }
    static Point in(Hit h) { return {(h.left + h.right) / 2, (h.top + h.bottom) / 2}; }

    FakeEditorPlatform os;
    FakeMenu menus;
    TFruityPlug* plug = nullptr;
};

}  // namespace testing_support
