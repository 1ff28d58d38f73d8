// The MIDI side of one instance: the single send routine, channel-level controllers, transport
// handling and the automation rule. It knows nothing of the host SDK; the plugin hands it a
// SessionHost that reaches the host.
#pragma once

#include <array>
#include <cstdarg>
#include <cstdint>
#include <optional>

#include "engine/monitor.h"
#include "engine/note_view.h"
#include "engine/relaxed.h"
#include "engine/shared_tables.h"
#include "engine/trace_queue.h"
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

    // The one way out for every message: mute, MIDI Extend, the monitor, then the host, by the
    // instance's route as it is now. [audio][ui]
    void send(uint32_t message, Cause cause = {Why::kAutomation});
    // What this instance sent lately, and why. [ui]
    Monitor& monitor() { return monitor_; }
    const Monitor& monitor() const { return monitor_; }

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

    // Makes the records' switch fields and note options what the next notes read, as one step. [ui]
    void publishNoteView() { view_.publish(records_); }
    // The same, only when the records differ from what notes read now. [ui]
    void publishChangedNoteView() {
        if (view_.differs(records_)) view_.publish(records_);
    }
    // Counts the repaints the audio thread asked for; the UI thread compares it with the count
    // it last saw. A count only the audio thread writes, where a shared "repaint" flag would be
    // written by both threads for every note that switches. [audio][ui]
    uint32_t repaintsAsked() const { return repaintsAsked_.load(); }
    // A note learnt on another thread: written into the records here, on the UI thread, and
    // reported like any change; true when something changed. [ui]
    bool applyLearntNote();

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
    // Where the lines of other threads wait for the UI thread's periodic call. [audio][ui]
    TraceQueue& traceQueue() { return traces_; }

    int32_t port() const { return records_.options.port; }
    int32_t channel() const { return records_.options.channel; }
    SharedTables& shared() { return shared_; }

    // The fields come in groups, each on cache lines of its own, by which thread writes them:
    // a line that both threads wrote for every note would make each note wait for the other core.

    // Written by the notes (audio thread) for every note that switches; the UI thread reads them
    // in its periodic call (the repaint count) and when it paints.
    alignas(64) CurrentArticulationState current;
    Relaxed<int> currentArticulation = 0;  // last switched to; the editor highlights it
    Relaxed<int> currentBank = 0;          // from the last note's property; names follow it
    // Set when a switch sent a controller change with the Kontakt timing fix on: notes wait
    // five ticks so the sampler has switched before they arrive.
    Relaxed<bool> delayNotes = false;  // cleared by a state load on the UI thread too
    Relaxed<bool> pendingNotes = false;  // some voice waits for its note-on

private:
    Relaxed<uint32_t> repaintsAsked_ = 0;  // on the same line: the UI thread reads one line, not two

public:

    // Written by the UI thread (or by the host's channel events), read by the notes.
    alignas(64) Relaxed<uint8_t> pan = 0;  // channel-level values as last reported by the host
    Relaxed<uint8_t> volume = 0;
    Relaxed<int32_t> pitch = 0;
    Relaxed<bool> playing = false;
    Relaxed<float> tickLength = 0.0f;
    Relaxed<bool> debugLog = false;
    // The articulation parameter: 0 = by voice colour, 1..64 = that articulation for all notes.
    Relaxed<int> articulationParameter = 0;

    // The field a note fills while the editor drags it, and the articulation it belongs to. [ui]
    void setLearn(NoteLearn field, int slot) {
        learn_.store(static_cast<uint32_t>(field) | static_cast<uint32_t>(slot) << 8, std::memory_order_relaxed);
    }
    NoteLearn learn() const { return static_cast<NoteLearn>(learn_.load(std::memory_order_relaxed) & 0xFF); }

    // The piano-roll key last Shift-clicked (-1 none) and the articulation slot of its colour;
    // the periodic call asks for the key's name. Written by a note only on a Shift-click.
    alignas(64) Relaxed<int> lastClickedKey = -1;
    Relaxed<int> lastClickedColour = 0;

    const VoiceTable& voices() const { return voices_; }

private:
    // What a note reads of the records: on the instance's own thread the records themselves
    // (nothing changes them meanwhile), on any other the published view.
    class NoteRead {
    public:
        // `slots`: whether the note reads switches too; without, only the options (one load).
        explicit NoteRead(const Session& s, bool slots = true);
        const NoteOptions& options() const { return options_; }
        SlotSwitches slot(int index) const {
            return reader_ ? (*reader_)->slots[size_t(index)] : slotSwitches(records_.articulations, index);
        }

    private:
        const model::InstanceRecords& records_;
        std::optional<NoteView::Reader> reader_;
        NoteOptions options_;
    };

    void markRepaint() {
        if (traces_.onOwnerThread()) host_.repaintEditor();
        else repaintsAsked_.store(repaintsAsked_.load() + 1);
    }
    void vtrace(const char* format, va_list args);
    void send(uint32_t message, Route route, Cause cause = {});
    int checkArticulation(int index, const NoteRead& read, int key = -1);
    void learnFrom(uint8_t key, int velocity);
    bool learnInto(uint32_t learning, uint8_t key, int velocity);
    void sendNoteOn(VoiceRecord& r);
    void sendNoteOff(VoiceRecord& r);
    void sendKeyswitch(Route route, int channel, int key, int velocity, bool off, Cause cause);
    uint8_t releaseVelocity(intptr_t hostVoice);

    static constexpr int kHoldKeys = 256;
    alignas(64) VoiceTable voices_;  // the notes' own, apart from the fields above
    std::array<float, kHoldKeys> holdTimer_{};  // `KsHoldTimer`; running while >= 0.0001
    // The channel and route of each held keyswitch's note-on, where its note-off goes.
    std::array<uint8_t, kHoldKeys> holdChannel_{};
    std::array<Route, kHoldKeys> holdRoute_{};

    TraceQueue traces_;
    Monitor monitor_;
    Relaxed<uint32_t> ticks_ = 0;  // NewTick calls, the monitor's clock
    NoteView view_;
    std::atomic<uint32_t> learn_{0};
    // A note learnt on the audio thread, for the UI thread: field | slot << 8 | value << 16.
    alignas(64) std::atomic<uint32_t> learnt_{0};
    model::InstanceRecords& records_;
    SessionHost& host_;
    SharedTables& shared_;
    const void* traceId_;
};

}  // namespace engine
