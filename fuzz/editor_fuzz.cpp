// A damaged project opened and handled: arbitrary bytes as a saved state (format 10 or older),
// then every panel painted and a script of presses, drags, releases, right and middle clicks,
// wheel turns, keys, held modifiers, menu choices and typed prompt answers delivered to the
// editor as its window delivers them, with the plugin made by the factory on the recording
// host. Then the state is saved and loaded again. Nothing may crash or reach outside an array.
//
// Input: uint16 n, n bytes of state, then steps of four bytes (what, x, y, extra); a typed
// answer takes `extra` more bytes as its text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/layout.h"
#include "editor/paint.h"
#include "hostkit/memory_stream.h"
#include "plugin/voxtrane_plug.h"
#include "support/fake_editor_platform.h"
#include "support/fake_host.h"
#include "support/fake_menu.h"
#include "support/fake_settings.h"
#include "support/fake_sockets.h"
#include "support/recording_canvas.h"

extern "C" TFruityPlug* CreatePlugInstance(TFruityPlugHost* host, TPluginTag tag) noexcept;

namespace {

using platform::HeldKey;
using platform::InputEvent;

struct World {
    testing_support::FakeSettings settings;
    testing_support::FakeSockets sockets;  // the options panel may switch the server on
    testing_support::FakeEditorPlatform os;
    testing_support::FakeMenu menus;
    testing_support::FakeHost host;
};

void deliver(editor::Editor& e, InputEvent::Kind kind, int x, int y, int button = InputEvent::kLeft, int key = 0,
             int wheel = 0) {
    InputEvent ev;
    ev.kind = kind;
    ev.x = x;
    ev.y = y;
    ev.button = button;
    ev.key = key;
    ev.wheelDelta = wheel;
    e.input(ev);
}

void paintEveryPanel(InstanceCore& core) {
    model::InstanceRecords& r = core.records();
    const int32_t stored = r.options.page;
    testing_support::RecordingCanvas canvas;
    editor::Paint(r, core.editor().state(), core.paintFacts(), canvas);  // as loaded
    for (int page = 0; page < model::kPanelCount; ++page) {
        r.options.page = page;
        editor::Paint(r, core.editor().state(), core.paintFacts(), canvas);
    }
    r.options.page = stored;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static World* world = new World;  // lives as long as the process, like the host
    World& w = *world;
    if (size < 2) return 0;
    const size_t n = std::min<size_t>(size - 2, data[0] | data[1] << 8);
    w.host.clear();
    w.host.promptConfirms = true;
    w.menus.answers.clear();
    w.menus.shown.clear();
    w.os.keys.clear();

    TFruityPlug* plug = CreatePlugInstance(&w.host, 101);
    if (!plug) return 0;
    InstanceCore& core = static_cast<KRYLVSTExprPlug*>(plug)->core();
    editor::Editor& e = core.editor();
    hostkit::MemoryStream state(std::vector<uint8_t>(data + 2, data + 2 + n));
    plug->SaveRestoreState(&state, 0);
    paintEveryPanel(core);

    const float scale = e.currentScale() > 0.0f ? e.currentScale() : 1.0f;
    for (size_t i = 2 + n; i + 4 <= size; i += 4) {
        const uint8_t what = data[i], extra = data[i + 3];
        // Logical points across the whole canvas and a little beyond, in window pixels.
        const int x = static_cast<int>(data[i + 1] * scale), y = static_cast<int>(data[i + 2] * scale);
        switch (what % 11) {
        case 0: deliver(e, InputEvent::Kind::kButtonDown, x, y); break;
        case 1:  // the hand moves while a button may be held
            w.os.cursor.x += static_cast<int8_t>(extra);
            w.os.cursor.y += static_cast<int8_t>(data[i + 1]);
            deliver(e, InputEvent::Kind::kMouseMove, x, y);
            break;
        case 2: deliver(e, InputEvent::Kind::kButtonUp, x, y); break;
        case 3:
        case 4: {
            const int button = what % 11 == 3 ? InputEvent::kRight : InputEvent::kMiddle;
            deliver(e, InputEvent::Kind::kButtonDown, x, y, button);
            deliver(e, InputEvent::Kind::kButtonUp, x, y, button);
            break;
        }
        case 5: deliver(e, InputEvent::Kind::kWheel, x, y, 0, 0, (static_cast<int8_t>(extra) / 32) * 120); break;
        case 6: deliver(e, InputEvent::Kind::kKeyDown, x, y, 0, extra); break;
        case 7: {  // held modifiers
            const HeldKey keys[] = {HeldKey::kCtrl, HeldKey::kShift, HeldKey::kAlt, HeldKey::kLeftCtrl};
            w.os.keys.clear();
            for (int k = 0; k < 4; ++k)
                if (extra & (1 << k)) w.os.keys.insert(keys[k]);
            break;
        }
        case 8: w.menus.answers.push_back(extra); break;
        case 9: {  // the next prompts' answer
            const size_t length = std::min<size_t>(extra, size - i - 4);
            w.host.promptAnswer.assign(reinterpret_cast<const char*>(data + i + 4), length);
            i += length;
            break;
        }
        default: paintEveryPanel(core); break;
        }
        if (w.host.midi.size() > 4096) w.host.clear();
    }
    paintEveryPanel(core);
    plug->Idle_Public();

    hostkit::MemoryStream saved;
    plug->SaveRestoreState(&saved, 1);
    saved.position = 0;
    plug->SaveRestoreState(&saved, 0);
    paintEveryPanel(core);
    plug->DestroyObject();
    return 0;
}
