// Plays music through plugin instances the way FL Studio does: notes become voices, voices the
// plugin reports done are killed, the clock ticks at the song's tick rate with the periodic
// call beside it, and every MIDI message the instances send is kept with the tick it left at.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "hostkit/module_loader.h"
#include "hostkit/recording_host.h"

namespace voxhost {

// FL Studio's clock: 96 ticks per quarter note.
inline constexpr int kHostTicksPerQuarter = 96;

struct SentMessage {
    uint64_t tick;          // in the song's ticks
    int instance;           // index into the session's instances
    uint32_t raw;           // status, data 1, data 2, port from the lowest byte
    const char* cause;      // the articulation whose switch this is; "" for notes and the rest. The
                            // text belongs to the session (a song sends hundreds of thousands).
};

class HostSession {
public:
    HostSession(hostkit::PluginModule& module, bool verbose, double sampleRate = 44100.0);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // A new instance; null (with `error()` set) when the factory refuses.
    TFruityPlug* addInstance();
    int instanceCount() const { return static_cast<int>(plugs_.size()); }
    TFruityPlug* instance(int i) const { return plugs_[static_cast<size_t>(i)]; }

    // A file dropped on the instance. False when the plugin answered with an error box.
    bool dropFile(int instance, const std::string& path);
    // The instance's saved state in and out (slot 3).
    void loadState(int instance, const std::vector<uint8_t>& bytes);
    std::vector<uint8_t> saveState(int instance);

    // Song position in the song's own ticks; messages sent from now on carry it.
    void setClock(uint64_t songTick) { host_.clock = songTick; }
    // Tempo in quarter notes per minute: message 20 with the samples per host tick.
    void setTempo(double bpm);
    void transport(intptr_t state);  // message 12: 1 playing, 0 stopped

    // A note starts or ends. `velocity` 1..127 becomes the level the plugin's curve turns back
    // into the same velocity.
    void noteOn(int instance, int track, int colour, int key, int velocity);
    void noteOff(int instance, int track, int colour, int key, int velocity = 0);
    // Ends every note still held, in the order of (instance, track, colour, key); with a track,
    // only that track's notes.
    void releaseAll(int track = -1);

    void tick();      // NewTick on every instance
    void periodic();  // the periodic call on every instance

    const std::vector<SentMessage>& sent() const { return sent_; }
    void expectMessages(size_t count) { sent_.reserve(sent_.size() + count); }
    hostkit::RecordingHost& host() { return host_; }
    const std::string& error() const { return error_; }

    // The level whose velocity the plugin computes as `velocity` (within one step).
    static float levelForVelocity(int velocity);

private:
    struct Voice {
        int instance;
        intptr_t handle;
    };
    void collect(int instance, const char* cause = "", bool lastIsTheNote = false);
    const char* keep(const std::string& cause);
    void killDoneVoices();
    void report();
    std::string articulationName(int instance, int colour);

    hostkit::PluginModule& module_;
    hostkit::RecordingHost host_;
    bool verbose_;
    double sampleRate_;
    std::vector<TFruityPlug*> plugs_;
    std::unordered_map<intptr_t, Voice> voices_;            // host voice -> plugin voice
    std::unordered_map<uint64_t, std::vector<intptr_t>> held_;  // (instance, track, channel, key) -> voices
    intptr_t nextHostVoice_ = 1;
    size_t midiSeen_ = 0;
    size_t doneSeen_ = 0;
    size_t dispatchSeen_ = 0;
    size_t hintsSeen_ = 0;
    std::vector<SentMessage> sent_;
    std::set<std::string> causes_;  // the texts that sent_ points at
    std::string error_;
};

}  // namespace voxhost
