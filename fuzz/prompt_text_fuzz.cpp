// Arbitrary text typed into every prompt of the editor, through right clicks as the window
// delivers them. Beyond not crashing: every value lands inside its field's range.
#include <cstddef>
#include <cstdint>
#include <string>

#include "editor/layout.h"
#include "hostkit/quiet_host.h"
#include "plugin/instance_core.h"

namespace {

void check(bool condition) {
    if (!condition) __builtin_trap();
}

// A host whose every prompt is answered with the fuzzer's text.
class TypingHost final : public hostkit::QuietHost {
public:
    std::string answer;
    bool prompt(const char*, std::string& text) override {
        text = answer;
        return true;
    }
};

void rightClick(editor::Editor& e, editor::Hit box) {
    platform::InputEvent ev;
    ev.x = (box.left + box.right) / 2;
    ev.y = (box.top + box.bottom) / 2;
    ev.button = platform::InputEvent::kRight;
    ev.kind = platform::InputEvent::Kind::kButtonDown;
    e.input(ev);
    ev.kind = platform::InputEvent::Kind::kButtonUp;
    e.input(ev);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TypingHost host;
    static InstanceCore core(host, host);
    host.answer.assign(reinterpret_cast<const char*>(data), size);
    model::InstanceRecords& r = core.records();
    editor::Editor& e = core.editor();
    e.applyScale(1.0f);
    using namespace editor;
    for (const int modc : {model::kModCcUnset, model::kModSecondKeyswitch, model::kModPlayVelocity}) {
        r.options.page = kArticulationPanel;
        r.articulations.modc[0] = modc;
        for (const Hit box : {kKeyswitchHit, kModeHit, kCcNumberHit, kCcValueHit, kProgramHit, kNameHit,
                              kPortHit, kChannelHit})
            rightClick(e, box);
        check(r.articulations.note[0] >= -1 && r.articulations.note[0] <= 127);  // -1: cleared
        if (modc != model::kModPlayVelocity && modc != model::kModSecondKeyswitch)
            check(r.articulations.modc[0] >= 0 && r.articulations.modc[0] <= 127);
        check(r.options.port >= 0 && r.options.port <= 255);
        check((r.options.channel >= 0 && r.options.channel <= 15) || r.options.channel == model::kPerColourChannel);
    }
    r.options.page = kControllerPanel;
    rightClick(e, kPageNameMenuHit);
    rightClick(e, controlNameHit(1));
    return 0;
}
