// Playing notes at an instance the way the host does: a voice block, a host voice handle and
// the colour the host will answer for it.
#pragma once

#include "plugin/fruity_abi.h"
#include "support/fake_host.h"

namespace testing_support {

struct Note {
    int key = 60;
    int colour = 0;
    float level = 1.0f;      // velocity 100
    float property = 0.0f;   // "Articulation Bank"
};

inline TVoiceParams voiceParams(const Note& n) {
    TVoiceParams p{};
    p.InitLevels.Vol = n.level;
    p.InitLevels.FCut = n.property;
    p.InitLevels.Pitch = p.FinalLevels.Pitch = static_cast<float>((n.key - 60) * 100);
    return p;
}

inline intptr_t play(TFruityPlug* plug, FakeHost& host, intptr_t hostVoice, const Note& n) {
    host.voiceColour[hostVoice] = n.colour;
    TVoiceParams p = voiceParams(n);
    return plug->TriggerVoice(&p, hostVoice);
}

}  // namespace testing_support
