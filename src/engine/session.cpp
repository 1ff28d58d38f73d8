#include "engine/session.h"

#include <cstdio>

#include "engine/midi_message.h"

namespace engine {

using model::kControllerCount;

namespace {
// One read the compiler may not repeat: the UI thread writes these fields without a lock.
int32_t readOnce(const int32_t& field) { return __atomic_load_n(&field, __ATOMIC_RELAXED); }
}  // namespace

Session::Session(model::InstanceRecords& records, SessionHost& host, SharedTables& shared, const void* traceId)
    : monitor_(shared.monitorNumbering), records_(records), host_(host), shared_(shared), traceId_(traceId) {}

Session::NoteRead::NoteRead(const Session& s, bool slots) : records_(s.records_) {
    if (s.traces_.onOwnerThread()) {
        options_ = noteOptions(records_.options);
    } else if (!slots) {
        options_ = s.view_.options();
    } else {
        reader_.emplace(s.view_);
        options_ = (*reader_)->options;
    }
}

Route Session::route() const {
    const model::InstanceOptions& o = records_.options;
    return Route{static_cast<uint8_t>(readOnce(o.port)), static_cast<uint8_t>(channelSlot(readOnce(o.channel))),
                 static_cast<uint8_t>(readOnce(o.midixtend) != 0)};
}

void Session::send(uint32_t message, Cause cause) { send(message, route(), cause); }

void Session::send(uint32_t message, Route r, Cause cause) {
    if (shared_.muteTable[r.index()] != 0) return;
    if (r.midixtend) message = MidiExtendEncoding(message, r.slot);
    if (shared_.monitoring) monitor_.record({message, ticks_, cause});
    host_.midiOut(message);
}

void Session::SendChannelControllers(int mode, int controller) {
    const Route r = route();
    const model::Controllers& c = records_.controllers;
    int first = r.channel();
    int last = first;
    if (r.perColour()) last = records_.options.allchannelomni ? 15 : 0;
    for (int ch = first; ch <= last; ++ch) {
        const Cause why{Why::kChannelController};
        if (mode == kSendAll || mode == kSendPan) send(controlChange(r.port, ch, 10, pan), r, why);
        if (mode == kSendAll || mode == kSendVolume) send(controlChange(r.port, ch, 7, volume), r, why);
        if (mode == kSendAll || mode == kSendPitch) send(pitchBend(r.port, ch, pitchToBend(pitch)), r, why);
        if (mode != kSendAll && mode != kSendControllerValues) continue;
        for (int i = 0; i < kControllerCount; ++i) {
            if (c.cc[i] == model::kUnassignedCc || !c.on[i]) continue;
            if (controller != -1 && c.cc[i] != controller) continue;
            if (c.cc[i] == model::kProgramChangeCc) send(programChange(r.port, ch, c.value[i]), r, why);
            else send(controlChange(r.port, ch, c.cc[i], c.value[i]), r, why);
        }
    }
}

void Session::ChannelEvent(int kind, int value) {
    int mode;
    switch (kind) {
    case kEventPan: pan = static_cast<uint8_t>(value); mode = kSendPan; break;
    case kEventVolume: volume = static_cast<uint8_t>(value); mode = kSendVolume; break;
    case kEventPitch: pitch = value; mode = kSendPitch; break;
    default: return;
    }
    // A ghosting instance leaves channel-level controllers to the others on its port and
    // channel, except during playback when "Only Ghost transport" is on.
    const model::InstanceOptions& o = records_.options;
    const bool heldBack = o.ghost && (!playing || !o.ghosttransport);
    if (!heldBack) SendChannelControllers(mode);
}

void Session::transportChanged(intptr_t value) {
    playing = value == 1;
    model::InstanceOptions& o = records_.options;
    model::Controllers& c = records_.controllers;
    if (value == 0) {
        killAllVoices();
        if (o.ghost || !o.cc64release) return;
        bool sent = false;
        for (int i = 0; i < kControllerCount; ++i) {
            if (c.cc[i] != 64 || c.value[i] < 64) continue;
            c.value[i] = 0;
            markRepaint();
            if (!sent) send(controlChange(o.port, o.channel, 64, 0), {Why::kChannelController});
            sent = true;
        }
        return;
    }
    if (!o.ghost) SendChannelControllers(kSendAll);
    forgetSwitches();
    for (int n = 0; n < kControllerNumbers; ++n) shared_.setLastController(o.port, o.channel, n, kUnknownController);
}

void Session::automateControllerNumber(int c, int v, int plainController) {
    model::InstanceOptions& o = records_.options;
    model::Controllers& ctl = records_.controllers;
    int matched = 0;
    bool realChange = false;
    // Controller number 0 stands for no controller here.
    for (int i = 0; c != 0 && i < kControllerCount; ++i) {
        if (ctl.lock[i] || ctl.cc[i] != c) continue;
        if (c == model::kProgramChangeCc) {
            send(programChange(o.port, o.channel, v));
            return;
        }
        ++matched;
        if (c >= 0 && c < kControllerNumbers) {
            realChange = realChange || shared_.lastController(o.port, o.channel, c) != v;
            shared_.setLastController(o.port, o.channel, c, v);
        }
        ctl.value[i] = v;
    }
    // While playing, a value that another instance on this port and channel already sent for
    // this controller is not sent again.
    if (o.optimiseautomation && playing && !realChange) return;
    if (matched > 0) SendChannelControllers(kSendControllerValues, c);
    else if (plainController >= 0) send(controlChange(o.port, o.channel, plainController, v));
}

void Session::forgetSwitches() {
    current = CurrentArticulationState{};
    const model::InstanceOptions& o = records_.options;
    shared_.portChannelState[portChannelIndex(o.port, o.channel)] = current;
}

void Session::clearSwitchState() {
    current = CurrentArticulationState{};
    currentArticulation = 0;
    currentBank = 0;
}

void Session::trace(const char* format, ...) {
    if (!debugLog) return;
    va_list args;
    va_start(args, format);
    vtrace(format, args);
    va_end(args);
}

void Session::traceAlways(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vtrace(format, args);
    va_end(args);
}

void Session::vtrace(const char* format, va_list args) {
    char line[512];
    const int prefix = std::snprintf(line, sizeof line, "KRYL Voxtrane [%p] : ", traceId_);
    if (prefix < 0 || prefix >= static_cast<int>(sizeof line)) return;
    std::vsnprintf(line + prefix, sizeof line - static_cast<size_t>(prefix), format, args);
    // The host's log request may take the host's locks: the audio thread leaves its lines to
    // the UI thread.
    if (traces_.onOwnerThread()) host_.debugLine(line);
    else traces_.push(TraceQueue::Sink::kHostLog, line);
}

}  // namespace engine
