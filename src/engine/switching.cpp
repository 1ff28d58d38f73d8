// Articulation switching: only what differs from what was last sent on the port and channel,
// by any instance, goes out.
#include "engine/midi_message.h"
#include "engine/session.h"

namespace engine {

namespace {
inline constexpr float kHoldLength = 400.0f;  // in the host's tick-length unit
inline constexpr float kHoldRunning = 0.0001f;
}

void Session::sendKeyswitch(Route route, int channel, int key, int velocity, bool off, Cause cause) {
    trace("MIDI out %i %i %i %i (%i)", route.port, channel, key, velocity, off ? 1 : 0);
    send(off ? noteOff(route.port, channel, key, velocity) : noteOn(route.port, channel, key, velocity), route, cause);
}

int Session::Session_CheckArticulation(int index) { return checkArticulation(index, NoteRead(*this)); }

int Session::checkArticulation(int index, const NoteRead& read, int playedKey) {
    if (index < 0 || index >= model::kArticulationCount) return 0;
    const NoteOptions& o = read.options();
    const Route route = o.route;
    const SlotSwitches s = read.slot(index);
    const int32_t note = s.note, notevel = s.notevel, prog = s.prog, modw = s.modw, modc = s.modc;
    // Program and controller changes go to the channel setting; for the per-colour setting
    // that is channel 0. Keyswitches of the per-colour setting go to the colour's channel.
    const int channel = route.channel();
    const int ksChannel = route.perColour() ? index % model::kBankSize : channel;
    const int port = route.port;
    CurrentArticulationState& shared = shared_.portChannelState[route.index()];
    current = shared;
    int result = 0;
    const auto why = [&](Why w, int32_t from) {
        return Cause(w, index, playedKey, from);
    };

    if (prog != -1 && prog != current.program) {
        trace("Session_CheckArticulation(%i) : PROG changed from %i to %i", index, current.program.load(), prog);
        const Cause cause = why(Why::kProgram, current.program);
        current.program = prog;
        // A new program forgets the sampler's articulation: everything follows again.
        current.ks1Note = current.ks1Velocity = current.modw = kUnknownSwitch;
        result = 1;
        send(programChange(port, channel, prog), route, cause);
    }
    if (note != -1 && (note != current.ks1Note || notevel != current.ks1Velocity)) {
        trace("Session_CheckArticulation(%i) : KS1 changed from %i:%i to %i:%i", index, current.ks1Note.load(),
              current.ks1Velocity.load(), note, notevel);
        result = 1;
        const Cause cause = why(Why::kKeyswitch, current.ks1Note);
        current.ks1Note = note;
        current.ks1Velocity = notevel;
        sendKeyswitch(route, ksChannel, note, notevel, false, cause);
        if (o.holdkeyswitch) {
            const int key = note & 0xFF;
            float& timer = holdTimer_[key];
            // One timer per key: when the key is still held on another channel (per-colour
            // channels, or the instance moved meanwhile), that one gets its note-off now, or it
            // would never get one.
            if (timer >= kHoldRunning && (holdChannel_[key] != ksChannel || holdRoute_[key] != route))
                sendKeyswitch(holdRoute_[key], holdChannel_[key], note, 0, true, why(Why::kHeldKeyswitchOff, -1));
            timer = kHoldLength;
            holdChannel_[key] = static_cast<uint8_t>(ksChannel);
            holdRoute_[key] = route;
        } else {
            sendKeyswitch(route, ksChannel, note, 0, true, why(Why::kKeyswitchOff, -1));
        }
        // The second keyswitch always follows a first one that was sent.
        if (modc == model::kModSecondKeyswitch) current.modw = kUnknownSwitch;
    }
    if (modw != -1 && modw != current.modw && modc >= 0) {
        trace("Session_CheckArticulation(%i) : CC%i changed from %i to %i", index, modc, current.modw.load(), modw);
        const Cause cause = why(Why::kController, current.modw);
        current.modw = modw;
        result = 2;
        send(controlChange(port, channel, modc, modw), route, cause);
    }
    if (modw >= 0 && modc == model::kModSecondKeyswitch && modw != current.modw) {
        trace("Session_CheckArticulation(%i) : KS2 changed from %i to %i", index, current.modw.load(), modw);
        result = 1;
        const Cause cause = why(Why::kSecondKeyswitch, current.modw);
        current.modw = modw;
        sendKeyswitch(route, ksChannel, modw, 127, false, cause);
        sendKeyswitch(route, ksChannel, modw, 0, true, why(Why::kKeyswitchOff, -1));
    }
    if (result == 0) return 0;
    if (o.changeanyrule) {
        // "Reset state on switch": a kind of switch this articulation does not use is sent
        // again by the next articulation that does.
        if (note == -1) current.ks1Note = -1;
        if (notevel == -1) current.ks1Velocity = -1;
        if (prog == -1) current.program = -1;
        if (modw == -1) current.modw = -1;
    }
    shared = current;
    return result;
}

}  // namespace engine
