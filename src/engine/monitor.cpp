#include "engine/monitor.h"

namespace engine {

const char* whyText(Why why) {
    switch (why) {
    case Why::kNoteOn: return "note";
    case Why::kNoteOff: return "note end";
    case Why::kProgram: return "program changed";
    case Why::kKeyswitch: return "keyswitch changed";
    case Why::kKeyswitchOff: return "keyswitch released";
    case Why::kHeldKeyswitchOff: return "held keyswitch released";
    case Why::kController: return "controller changed";
    case Why::kSecondKeyswitch: return "second keyswitch changed";
    case Why::kReleaseController: return "release velocity";
    case Why::kChannelController: return "channel controller";
    case Why::kAutomation: return "automation";
    case Why::kOther: break;
    }
    return "editor or API";
}

}  // namespace engine
