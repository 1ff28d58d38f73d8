// The MIDI side of one instance: the single send routine, channel-level controllers, transport
// handling and the automation rule. It knows nothing of the host SDK; the plugin hands it a
// SessionHost that reaches the host.
#pragma once

#include <array>
#include <cstdarg>
#include <cstdint>

#include "engine/shared_tables.h"
#include "engine/voice_table.h"
#include "model/records.h"

namespace engine {

// What the engine needs from the host. Called from the note path: implementations must not
// allocate or lock. [audio]
class SessionHost {
public:
    virtual void midiOut(uint32_t message) = 0;
    virtual intptr_t voiceQuery(intptr_t hostVoice, intptr_t code, intptr_t value) = 0;
    virtual void voiceDone(intptr_t hostVoice) = 0;
    virtual void debugLine(const char* text) = 0;  // one finished trace line
    virtual void repaintEditor() = 0;
    virtual void stateChanged() = 0;  // stored data changed (request 48 and a repaint)
    // Whether the user Shift-clicks a piano-roll key as this note starts. [audio]
    virtual bool pianoRollShiftClick() = 0;

protected:
    ~SessionHost() = default;
};

// ChannelEvent kinds, as the host numbers them.
enum ChannelEventKind : int { kEventPan = 2, kEventVolume = 3, kEventPitch = 4 };

// SessionHost::voiceQuery codes, as the host numbers them.
enum VoiceQuery : intptr_t { kVoiceColour = 2, kVoiceReleaseVelocity = 4, kVoiceInfo = 7 };

// The field of the edited articulation that an incoming note fills while the editor holds a
// drag on it (note learn).
enum class NoteLearn { kNone, kKeyswitchVelocity, kKeyswitch, kSecondValue };

// SendChannelControllers modes.
enum ChannelControllerMode : int {
    kSendAll = 0,
    kSendPan = 2,
    kSendVolume = 3,
    kSendPitch = 4,
    kSendControllerValues = 5,
};

class Session {
public:
    Session(model::InstanceRecords& records, SessionHost& host, SharedTables& shared, const void* traceId);

    // The one way out for every message: mute, MIDI Extend, then the host, by the instance's
    // route as it is now. [audio]
    void send(uint32_t message);

    // The instance's port, channel setting and MIDI Extend option, each read once: the UI
    // thread may change them while a note is on its way. [audio][ui]
    Route route() const;

    // Pan (CC 10), volume (CC 7), pitch bend and controller values of the instance. [audio][ui]
    void SendChannelControllers(int mode, int controller = -1);

    // Host channel pan / volume / pitch. [audio]
    void ChannelEvent(int kind, int value);

    // Host transport: 1 playing, other non-zero started, 0 stopped. [ui]
    void transportChanged(intptr_t value);

    // A host parameter standing for controller number `c` took value `v`. `plainController` is
    // the controller number sent when no controller matches, or -1 for none. [audio][ui]
    void automateControllerNumber(int c, int v, int plainController);

    // A note starts: `levels` is the host's block of ten floats. Returns the voice handle (the
    // record's address), or 0 when the table is full. [audio]
    intptr_t TriggerVoice(const float* levels, intptr_t hostVoice);
    // The note's key is let go: its note-off, unless another note holds the key. [audio]
    void Voice_Release(intptr_t voice);
    // The host discards the voice. [audio]
    void Voice_Kill(intptr_t voice);
    // Empties the record's slot. [audio]
    void Session_FreeVoice(VoiceRecord* record);
    // Host clock: held keyswitches and delayed notes. [audio]
    void NewTick();
    // Back to no voices, no held keyswitches, nothing delayed (construction). [ui]
    void clearVoices();

    // Switches the receiver to articulation `index` (0..63), sending only what differs from
    // what was last sent on this port and channel. Returns 0 when nothing was sent, 2 when a
    // controller change was sent, 1 when only keyswitches or a program change were. [audio][ui]
    int Session_CheckArticulation(int index);

    // Forget what was last sent on this instance's port and channel. [ui]
    void forgetSwitches();
    // The reset's view of the switch state: only this instance's copy, not the shared entry.
    void clearSwitchState();

    // Kills every voice at the host (transport stop, destruction). [audio][ui]
    void killAllVoices();

    // Trace line through the host, only while the debug-log flag is set.
    void trace(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Trace line sent whatever the debug-log flag says.
    void traceAlways(const char* format, ...) __attribute__((format(printf, 2, 3)));

    int32_t port() const { return records_.options.port; }
    int32_t channel() const { return records_.options.channel; }
    SharedTables& shared() { return shared_; }

    // Channel-level values as last reported by the host.
    uint8_t pan = 0;
    uint8_t volume = 0;
    int32_t pitch = 0;
    bool playing = false;
    float tickLength = 0.0f;
    bool debugLog = false;

    CurrentArticulationState current;
    int currentArticulation = 0;  // last switched to; the editor highlights it
    int currentBank = 0;          // from the last note's property; names follow it
    // The articulation parameter: 0 = by voice colour, 1..64 = that articulation for all notes.
    int articulationParameter = 0;

    NoteLearn learn = NoteLearn::kNone;
    // The piano-roll key last Shift-clicked (-1 none) and the articulation slot of its colour;
    // the periodic call asks for the key's name.
    int lastClickedKey = -1;
    int lastClickedColour = 0;
    // Set when a switch sent a controller change with the Kontakt timing fix on: notes wait
    // five ticks so the sampler has switched before they arrive.
    bool delayNotes = false;
    bool pendingNotes = false;  // some voice waits for its note-on

    const VoiceTable& voices() const { return voices_; }

private:
    void vtrace(const char* format, va_list args);
    void send(uint32_t message, Route route);
    int checkArticulation(int index, Route route);
    void learnFrom(uint8_t key, int velocity);
    void sendNoteOn(VoiceRecord& r);
    void sendNoteOff(VoiceRecord& r);
    void sendKeyswitch(Route route, int channel, int key, int velocity, bool off);
    uint8_t releaseVelocity(intptr_t hostVoice);

    static constexpr int kHoldKeys = 256;
    VoiceTable voices_;
    std::array<float, kHoldKeys> holdTimer_{};  // `KsHoldTimer`; running while >= 0.0001
    // The channel and route of each held keyswitch's note-on, where its note-off goes.
    std::array<uint8_t, kHoldKeys> holdChannel_{};
    std::array<Route, kHoldKeys> holdRoute_{};

    model::InstanceRecords& records_;
    SessionHost& host_;
    SharedTables& shared_;
    const void* traceId_;
};

}  // namespace engine
