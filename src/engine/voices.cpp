// Notes: voices in, note-on and note-off out, paired through the voice table.
#include <cinttypes>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/midi_message.h"
#include "engine/session.h"

namespace engine {

namespace {

inline constexpr float kHoldRunning = 0.0001f;  // a hold timer at or above this is running

// 127 x ln(1 + 10 L) / ln 21 in 32-bit floats: level 1.0 gives 100, 0.5 gives 74.
float velocityCurve(float level) {
    if (!(level > 0.0f)) level = 0.0f;  // negative or NaN levels count as silence
    return 127.0f * std::log(1.0f + 10.0f * level) / std::log(21.0f);
}

uint8_t noteVelocity(float level) {
    float v = velocityCurve(level);
    if (v > 127.0f) v = 127.0f;
    const int velocity = static_cast<int>(v);
    return static_cast<uint8_t>(velocity == 0 ? 1 : velocity);
}

// Cents from the host (0 = key 60) to a key, in unsigned arithmetic as the host's own mapping.
uint8_t noteKey(float cents) {
    if (!(cents > -2.0e9f && cents < 2.0e9f)) cents = 0.0f;
    const uint32_t c = static_cast<uint32_t>(static_cast<int32_t>(cents));
    return static_cast<uint8_t>((c + 6000u) / 100u);
}

// The bank from the note's property: the host's centre value 0 is bank 0; otherwise
// trunc((e + 1) x 2). The top of the range, exactly +1.0, would compute to a fifth bank that
// does not exist: it is clamped to the last bank, the one a user dragging the property all the
// way up means. Values outside -1..1 are clamped the same way.
int noteBank(float property) {
    const double e = property;
    if (e >= -0.000001 && e <= 0.000001) return 0;
    const double bank = std::trunc((e + 1.0) * 0.5 * 4.0);
    if (!(bank > 0.0)) return 0;
    return bank >= 3.0 ? 3 : static_cast<int>(bank);
}

}  // namespace

intptr_t Session::TriggerVoice(const float* levels, intptr_t hostVoice) {
    // Everything of this note (release CC, switches, note-on and later its note-off) takes one
    // view of the records and one route, whatever the UI thread changes meanwhile.
    const NoteRead read(*this);
    const NoteOptions& o = read.options();
    const Route route = o.route;
    const float level = levels[1];
    const uint8_t key = noteKey(levels[7]);
    uint8_t velocity = noteVelocity(level);

    if (learn() != NoteLearn::kNone) {
        const float curve = velocityCurve(level);
        learnFrom(key, curve < 1.0e6f ? static_cast<int>(curve) : 1000000);
    }
    trace("TriggerVoice(%p, %" PRIdPTR ")", static_cast<const void*>(levels), hostVoice);
    if (host_.pianoRollShiftClick()) {
        lastClickedColour = static_cast<int>(host_.voiceQuery(hostVoice, kVoiceColour, 0)) +
                            (o.articbanks ? model::kBankSize * currentBank : 0);
        lastClickedKey = key;
    }

    VoiceRecord* r = voices_.add(hostVoice, key);
    if (!r) {
        trace("ERROR: KRYL Instance out of voices");
        return 0;
    }
    if (o.releasecc17)
        send(controlChange(route.port, route.channel(), 17, releaseVelocity(hostVoice)), route,
             {Why::kReleaseController, -1, key});
    unsigned char scratch[48] = {};
    host_.voiceQuery(hostVoice, kVoiceInfo, reinterpret_cast<intptr_t>(scratch));

    r->port = route.port;
    r->slot = route.slot;
    r->midixtend = route.midixtend;
    r->status = static_cast<uint8_t>(channelStatus(0x90, route.channel()));
    r->velocity = velocity;

    if (articulationParameter == 0) {
        int index = static_cast<int>(host_.voiceQuery(hostVoice, kVoiceColour, 0)) & 15;
        if (o.articbanks) {
            currentBank = noteBank(levels[3]);
            index += model::kBankSize * currentBank;
        }
        if (route.perColour()) r->status = static_cast<uint8_t>(channelStatus(0x90, index));
        const int result = checkArticulation(index, read, key);
        if (result != 0) {
            if (o.cctimerfix && result == 2) delayNotes = true;
            currentArticulation = index;
            markRepaint();
        }
        const SlotSwitches s = read.slot(index);
        if (s.modw >= 0 && s.modc == model::kModPlayVelocity) r->velocity = static_cast<uint8_t>(s.modw);
    }

    if (!delayNotes) {
        voices_.setState(r, kVoiceSounding);
        sendNoteOn(*r);
    } else {
        pendingNotes = true;
    }
    return reinterpret_cast<intptr_t>(r);
}

void Session::learnFrom(uint8_t key, int velocity) {
    const uint32_t learning = learn_.load(std::memory_order_relaxed);
    const int i = static_cast<int>(learning >> 8);
    if (i < 0 || i >= model::kArticulationCount) return;
    if (!traces_.onOwnerThread()) {
        // The records belong to the UI thread: it writes the note in at its next periodic call.
        const uint32_t value = learn() == NoteLearn::kKeyswitch || learn() == NoteLearn::kSecondValue ? key : 0;
        const uint32_t v = static_cast<uint32_t>(std::min(velocity, 0xFFFF)) << 16;
        learnt_.store((learning & 0xFFFF) | (learn() == NoteLearn::kKeyswitchVelocity ? v : value << 16) | 0x80u,
                      std::memory_order_release);
        return;
    }
    learnInto(learning, key, velocity);
}

bool Session::applyLearntNote() {
    // Read before taking: a write at every periodic call would share the note path's cache line.
    if (!learnt_.load(std::memory_order_relaxed)) return false;
    const uint32_t learnt = learnt_.exchange(0, std::memory_order_acquire);
    const uint32_t value = learnt >> 16;
    return learnInto(learnt & 0xFF7F, static_cast<uint8_t>(value), static_cast<int>(value));
}

bool Session::learnInto(uint32_t learning, uint8_t key, int velocity) {
    model::Articulations& a = records_.articulations;
    const size_t i = (learning >> 8) & 0xFF;
    if (i >= size_t(model::kArticulationCount)) return false;
    switch (static_cast<NoteLearn>(learning & 0x7F)) {
    case NoteLearn::kKeyswitchVelocity: a.notevel[i] = velocity; break;
    case NoteLearn::kKeyswitch: a.note[i] = key; break;
    case NoteLearn::kSecondValue:
        if (a.modc[i] == model::kModSecondKeyswitch) a.modw[i] = key;
        else if (a.modc[i] == model::kModPlayVelocity) a.modw[i] = velocity;
        else return false;
        break;
    case NoteLearn::kNone: return false;
    }
    host_.stateChanged();
    return true;
}

void Session::Voice_Release(intptr_t voice) {
    VoiceRecord* r = voices_.find(voice);
    if (!r) return;
    // With overlapping notes allowed, a key another note still holds keeps sounding.
    const bool keyShared = NoteRead(*this, false).options().overlapping && voices_.recordsWithKey(r->key) > 1;
    if (!keyShared && r->state == kVoiceSounding) sendNoteOff(*r);
    r->released = 1;
    if (r->state == kVoiceSounding) host_.voiceDone(r->hostVoice);
}

void Session::Voice_Kill(intptr_t voice) {
    VoiceRecord* r = voices_.find(voice);
    if (!r) return;
    // A delayed note played after its release would otherwise hang until the next tick that
    // never comes for it.
    if ((r->state == kVoiceSounding && !r->released) || (r->state == kVoiceStopAtNextTick && r->noteOn))
        sendNoteOff(*r);
    Session_FreeVoice(r);
}

void Session::Session_FreeVoice(VoiceRecord* r) {
    trace("Session_FreeVoice(%p) freed note %p", static_cast<void*>(r), static_cast<void*>(r));
    voices_.remove(r);
}

void Session::sendNoteOn(VoiceRecord& r) {
    r.noteOn = 1;
    send(r.message(), r.route(), {Why::kNoteOn, -1, r.key});
}

void Session::sendNoteOff(VoiceRecord& r) {
    r.status = static_cast<uint8_t>(0x80 | (r.status & 0x0F));
    r.velocity = releaseVelocity(r.hostVoice);
    r.noteOn = 0;
    send(r.message(), r.route(), {Why::kNoteOff, -1, r.key});
}

uint8_t Session::releaseVelocity(intptr_t hostVoice) {
    const uint32_t bits = static_cast<uint32_t>(host_.voiceQuery(hostVoice, kVoiceReleaseVelocity, 0));
    float v;
    std::memcpy(&v, &bits, sizeof v);
    const float scaled = v * 127.0f;
    if (!(scaled > -2.0e9f && scaled < 2.0e9f)) return 0;
    return static_cast<uint8_t>(static_cast<int32_t>(scaled));
}

void Session::killAllVoices() {
    for (int slot = voices_.used().next(0); slot >= 0; slot = voices_.used().next(slot + 1))
        host_.voiceDone(voices_.at(slot).hostVoice);
}

void Session::clearVoices() {
    voices_.clear();
    holdTimer_.fill(0.0f);
    holdChannel_.fill(0);
    holdRoute_.fill(Route{});
    delayNotes = false;
    pendingNotes = false;
}

void Session::NewTick() {
    ticks_ = ticks_ + 1;
    const NoteRead read(*this, false);
    const NoteOptions& o = read.options();
    if (o.holdkeyswitch) {
        for (int key = 0; key < kHoldKeys; ++key) {
            float& timer = holdTimer_[key];
            if (!(timer >= kHoldRunning)) continue;
            timer -= tickLength;
            if (timer >= kHoldRunning) {
                traceAlways("Waiting on KS trigger (%i, %i) %f till release", key, holdChannel_[key],
                            static_cast<double>(timer));
                continue;
            }
            trace("Releasing KS trigger (%i, %i)", key, holdChannel_[key]);
            sendKeyswitch(holdRoute_[key], holdChannel_[key], key, 0, true, {Why::kHeldKeyswitchOff});
            timer = 0.0f;
        }
    }
    if (!pendingNotes || !o.cctimerfix) return;
    pendingNotes = false;
    const SlotSet& waiting = voices_.waiting();
    for (int slot = waiting.next(0); slot >= 0; slot = waiting.next(slot + 1)) {
        VoiceRecord& r = voices_.at(slot);
        if (r.state == kVoiceStopAtNextTick) {
            sendNoteOff(r);
            host_.voiceDone(r.hostVoice);
            continue;
        }
        pendingNotes = true;
        if (++r.state < kVoiceDelayTicks) continue;
        voices_.setState(&r, r.released ? kVoiceStopAtNextTick : kVoiceSounding);
        sendNoteOn(r);
    }
    delayNotes = false;
}

}  // namespace engine
