// Long random runs of notes, releases, kills, ticks and transport changes on two instances,
// checked message for message against a plain model of the note and switching rules: a table
// of slots walked from the start, the last-sent switches per port and channel, hold timers and
// delayed notes. At the end of every run nothing may be left sounding.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "support/notes.h"
#include "support/plugin_fixture.h"

namespace {

// ---------------------------------------------------------------------------------------------
// What the plugin does at the host, as one stream.

struct Event {
    enum Kind { kMidi, kVoiceDone } kind;
    TPluginTag sender;  // kMidi only
    int64_t value;      // the MIDI message, or the host voice
    bool operator==(const Event& o) const { return kind == o.kind && sender == o.sender && value == o.value; }
};

std::string describe(const Event& e) {
    if (e.kind == Event::kVoiceDone) return "voice " + std::to_string(e.value) + " done";
    return "[" + std::to_string(e.sender) + "] " + hostkit::describeMidi(static_cast<uint32_t>(e.value));
}

// Answers colour and release velocity per host voice and keeps MIDI and voice-done reports in
// one ordered stream. Trace lines are dropped: held keyswitches trace on every tick.
class StreamHost : public hostkit::RecordingHost {
public:
    std::vector<Event> events;
    std::vector<int> colour;          // by host voice
    std::vector<float> releaseLevel;  // by host voice

    intptr_t FRUITY_STDCALL Dispatcher(TPluginTag sender, intptr_t id, intptr_t index, intptr_t value) override {
        return id == fruity::kReqDebugLog ? 0 : RecordingHost::Dispatcher(sender, id, index, value);
    }
    int FRUITY_STDCALL Voice_ProcessEvent(intptr_t hostVoice, intptr_t code, intptr_t, intptr_t) override {
        if (code == 2) return colour[static_cast<size_t>(hostVoice)];
        if (code != 4) return 0;
        int32_t bits;
        std::memcpy(&bits, &releaseLevel[static_cast<size_t>(hostVoice)], sizeof bits);
        return bits;
    }
    void FRUITY_STDCALL Voice_Kill(intptr_t hostVoice, BOOL) override {
        events.push_back({Event::kVoiceDone, 0, hostVoice});
    }
    void FRUITY_STDCALL MIDIOut_Delayed(TPluginTag sender, intptr_t msg) override {
        events.push_back({Event::kMidi, sender, static_cast<uint32_t>(msg)});
    }
    void FRUITY_STDCALL MIDIOut(TPluginTag sender, intptr_t msg) override { MIDIOut_Delayed(sender, msg); }
};

// ---------------------------------------------------------------------------------------------
// The model.

struct Articulation {
    int note, notevel, prog, modc, modw;
};

// One articulation per colour, covering each kind of switch and how they interact.
//                                  note vel prog modc modw
const Articulation kArticulations[16] = {
    {24, 100, -1, -1, -1},  // 0  keyswitch
    {25, 90, -1, -1, -1},   // 1  another keyswitch
    {24, 60, -1, -1, -1},   // 2  the first keyswitch at another velocity
    {26, 127, 1, -1, -1},   // 3  program and keyswitch
    {26, 127, 2, -1, -1},   // 4  another program, same keyswitch: sent again after the program
    {-1, 127, -1, 32, 40},  // 5  controller only
    {27, 110, -1, 32, 41},  // 6  keyswitch and controller
    {28, 127, -1, -2, 30},  // 7  keyswitch and second keyswitch
    {29, 127, -1, -2, 30},  // 8  another keyswitch, same second keyswitch
    {-1, 127, -1, -2, 31},  // 9  second keyswitch alone
    {-1, 127, -1, -3, 50},  // 10 play velocity
    {-1, 127, -1, -1, 77},  // 11 a value without a controller: nothing
    {-1, 127, 1, -1, -1},   // 12 program alone
    {-1, 127, -1, -1, -1},  // 13 nothing at all
    {25, 90, -1, 1, 64},    // 14 keyswitch of 1 with a controller
    {24, 100, 2, -1, -1},   // 15 keyswitch of 0 with a program
};

constexpr int kUnknown = 255;  // last value not known: send again
constexpr int kSlots = 20480;
constexpr int kPerColour = 256;
constexpr float kHoldLength = 400.0f;
constexpr float kHoldRunning = 0.0001f;

// What was last sent on a port and channel setting, shared by every instance there.
struct SwitchState {
    int ks1Note = kUnknown, ks1Velocity = kUnknown, program = kUnknown, modw = kUnknown;
};
using SwitchTables = std::map<std::pair<int, int>, SwitchState>;

struct Options {
    int port = 0;
    int channel = 0;  // 0..15 or kPerColour
    bool overlapping = false, cctimerfix = false, holdkeyswitch = false, releasecc17 = false, changeanyrule = false;
};

struct NoteIn {
    intptr_t hostVoice;
    int key, colour;
    int velocity;         // what the host's level comes to
    int releaseVelocity;  // what the host's release answer comes to
};

class ModelInstance {
public:
    ModelInstance(TPluginTag tag, const Options& o, SwitchTables& shared, std::vector<Event>& out)
        : tag_(tag), o_(o), shared_(shared), out_(out) {}

    float tickLength = 0.0f;
    // Held keyswitches (port, channel, key) whose note-off the rules never send.

    // Returns the slot, or -1 when the table is full.
    int trigger(const NoteIn& n) {
        size_t slot = 0;
        while (slot < slots_.size() && slots_[slot]) ++slot;  // the lowest empty slot
        if (slot == static_cast<size_t>(kSlots)) return -1;
        if (slot == slots_.size()) slots_.emplace_back();

        if (o_.releasecc17) send(0xB0 | o_.channel % 16, 17, n.releaseVelocity);
        Record r;
        r.hostVoice = n.hostVoice;
        r.key = n.key;
        r.velocity = n.velocity;
        r.releaseVelocity = n.releaseVelocity;
        const int index = n.colour;
        r.status = 0x90 | (o_.channel == kPerColour ? index : o_.channel) % 16;
        if (checkArticulation(index) == 2 && o_.cctimerfix) delayNotes_ = true;
        const Articulation& a = kArticulations[index];
        if (a.modw >= 0 && a.modc == -3) r.velocity = a.modw;
        if (delayNotes_) {
            pending_ = true;
        } else {
            r.state = -1;
            noteOn(r);
        }
        slots_[slot] = r;
        return static_cast<int>(slot);
    }

    void release(int slot) {
        Record& r = *slots_[slot];
        // With overlapping notes another record on the key keeps it sounding.
        bool keyShared = false;
        for (size_t s = 0; o_.overlapping && s < slots_.size(); ++s)
            if (static_cast<int>(s) != slot && slots_[s] && slots_[s]->key == r.key) keyShared = true;
        if (!keyShared && r.state == -1) noteOff(r);
        r.released = true;
        if (r.state == -1) done(r);
    }

    void kill(int slot) {
        Record& r = *slots_[slot];
        if (r.state == -1 && !r.released) noteOff(r);
        // A delayed note played after its release, killed before the tick that would stop it.
        if (r.state == -2 && r.sounding) noteOff(r);
        slots_[slot].reset();
    }

    void tick() {
        if (o_.holdkeyswitch) {
            for (int key = 0; key < 128; ++key) {
                float& timer = holdTimer_[key];
                if (!(timer >= kHoldRunning)) continue;
                timer -= tickLength;
                if (timer >= kHoldRunning) continue;
                send(0x80 | holdChannel_[key], key, 0);
                timer = 0.0f;
            }
        }
        if (!pending_ || !o_.cctimerfix) return;
        pending_ = false;
        for (auto& slot : slots_) {
            if (!slot || slot->state == -1) continue;
            Record& r = *slot;
            if (r.state == -2) {
                noteOff(r);
                done(r);
                continue;
            }
            pending_ = true;
            if (++r.state < 5) continue;
            r.state = r.released ? -2 : -1;
            noteOn(r);
        }
        delayNotes_ = false;
    }

    void transportStarted() {
        // Pan, volume and pitch of the channel (no controllers are assigned in these runs) ...
        const int first = o_.channel == kPerColour ? 0 : o_.channel;
        const int last = o_.channel == kPerColour ? 15 : o_.channel;
        for (int ch = first; ch <= last; ++ch) {
            send(0xB0 | ch, 10, 0);
            send(0xB0 | ch, 7, 0);
            send(0xE0 | ch, 0, 64);
        }
        // ... and the receiver's articulation is no longer known.
        shared_[{o_.port, o_.channel}] = SwitchState{};
    }

    // Reports every voice done; the host kills them afterwards.
    void transportStopped() {
        for (auto& slot : slots_)
            if (slot) done(*slot);
    }

private:
    struct Record {
        intptr_t hostVoice = 0;
        int status = 0, key = 0, velocity = 0, releaseVelocity = 0;
        int state = 0;  // 0..4 ticks waited; -1 note-on sent; -2 played after its release
        bool released = false;
        bool sounding = false;  // a note-on went out and no note-off since
    };

    int checkArticulation(int index) {
        const Articulation& a = kArticulations[index];
        SwitchState s = shared_[{o_.port, o_.channel}];
        const int channel = o_.channel % 16;  // program and controller
        const int ksChannel = (o_.channel == kPerColour ? index : o_.channel) % 16;
        int result = 0;
        if (a.prog != -1 && a.prog != s.program) {
            s.program = a.prog;
            s.ks1Note = s.ks1Velocity = s.modw = kUnknown;
            result = 1;
            send(0xC0 | channel, a.prog, 0);
        }
        if (a.note != -1 && (a.note != s.ks1Note || a.notevel != s.ks1Velocity)) {
            result = 1;
            s.ks1Note = a.note;
            s.ks1Velocity = a.notevel;
            send(0x90 | ksChannel, a.note, a.notevel);
            if (o_.holdkeyswitch) {
                // One timer per key: a hold of the key on another channel (per-colour channels)
                // is released before the timer is taken over.
                if (holdTimer_[a.note] >= kHoldRunning && holdChannel_[a.note] != ksChannel)
                    send(0x80 | holdChannel_[a.note], a.note, 0);
                holdTimer_[a.note] = kHoldLength;
                holdChannel_[a.note] = ksChannel;
            } else {
                send(0x80 | ksChannel, a.note, 0);
            }
            if (a.modc == -2) s.modw = kUnknown;
        }
        if (a.modw != -1 && a.modw != s.modw && a.modc >= 0) {
            s.modw = a.modw;
            result = 2;
            send(0xB0 | channel, a.modc, a.modw);
        }
        if (a.modw >= 0 && a.modc == -2 && a.modw != s.modw) {
            result = 1;
            s.modw = a.modw;
            send(0x90 | ksChannel, a.modw, 127);
            send(0x80 | ksChannel, a.modw, 0);
        }
        if (result == 0) return 0;
        if (o_.changeanyrule) {
            if (a.note == -1) s.ks1Note = -1;
            if (a.notevel == -1) s.ks1Velocity = -1;
            if (a.prog == -1) s.program = -1;
            if (a.modw == -1) s.modw = -1;
        }
        shared_[{o_.port, o_.channel}] = s;
        return result;
    }

    void noteOn(Record& r) {
        r.sounding = true;
        send(r.status, r.key, r.velocity);
    }
    void noteOff(Record& r) {
        r.status = 0x80 | (r.status & 0x0F);
        r.velocity = r.releaseVelocity;
        r.sounding = false;
        send(r.status, r.key, r.velocity);
    }
    void done(const Record& r) { out_.push_back({Event::kVoiceDone, 0, r.hostVoice}); }
    void send(int status, int data1, int data2) {
        const uint32_t m = uint32_t(status & 0xFF) | uint32_t(data1 & 0xFF) << 8 | uint32_t(data2 & 0xFF) << 16 |
                           uint32_t(o_.port & 0xFF) << 24;
        out_.push_back({Event::kMidi, tag_, m});
    }

    TPluginTag tag_;
    Options o_;
    SwitchTables& shared_;
    std::vector<Event>& out_;
    std::vector<std::optional<Record>> slots_;  // grows as far as the highest slot used
    float holdTimer_[128] = {};
    int holdChannel_[128] = {};
    bool delayNotes_ = false;
    bool pending_ = false;
};

// ---------------------------------------------------------------------------------------------
// The driver: plays the same random run at the plugin and at the model, as FL Studio would.

// Host levels with the velocities they come to, and release levels likewise.
const std::pair<float, int> kLevels[] = {{1.0f, 100}, {0.5f, 74}, {2.0f, 127}, {0.0f, 1}};
const std::pair<float, int> kReleaseLevels[] = {{0.0f, 0}, {0.25f, 31}, {0.5f, 63}, {0.8f, 101}, {1.0f, 127}};
const int kKeys[] = {60, 62, 64};  // few, so notes collide
const float kTickLengths[] = {50.0f, 100.0f, 137.5f, 400.0f, 1000.0f};

class RandomRun {
public:
    explicit RandomRun(uint32_t seed) : rng_(seed), seed_(seed) {}
    ~RandomRun() {
        for (TFruityPlug* p : plugs_) p->DestroyObject();
    }

    // True when the plugin matched the model all the way and left nothing sounding.
    bool run(int steps) {
        setUp();
        for (int step = 0; step < steps; ++step)
            if (!randomStep(step)) return false;
        // The end: every voice killed, then enough ticks for held keyswitches to end.
        while (!voices_.empty()) {
            const Voice v = voices_.back();
            if (!act("kill " + name(v), [&] { kill(v.hostVoice); })) return false;
        }
        for (int t = 0; t < static_cast<int>(kHoldLength / tickLength_) + 2; ++t)
            if (!act("tick", [&] { tick(); })) return false;
        return nothingHeld();
    }

private:
    struct Voice {
        int instance;
        intptr_t hostVoice;
        intptr_t handle;  // what the plugin returned
        int slot;         // what the model took
        bool released;
    };

    bool coin() { return rng_() % 2 == 1; }
    int below(int n) { return static_cast<int>(rng_() % static_cast<uint32_t>(n)); }

    void setUp() {
        const float tick = kTickLengths[below(5)];
        tickLength_ = tick;
        Options a, b;
        a.port = below(3);
        a.channel = std::vector<int>{0, 5, kPerColour}[below(3)];
        // Usually both on one port and channel, sharing what was last sent there.
        b.port = a.port;
        b.channel = below(3) ? a.channel : (a.channel == 5 ? 9 : 5);
        // Overlapping notes can leave a key sounding by design (see nothingHeld), so they are
        // on in only a third of the runs.
        overlapping_ = below(3) == 0;
        for (Options* o : {&a, &b}) {
            o->overlapping = overlapping_;
            o->cctimerfix = coin();
            o->holdkeyswitch = coin();
            o->releasecc17 = coin();
            o->changeanyrule = coin();
        }
        for (const Options& o : {a, b}) {
            const TPluginTag tag = static_cast<TPluginTag>(plugs_.size() + 1);
            TFruityPlug* plug = CreatePlugInstance(&host_, tag);
            plugs_.push_back(plug);
            model::InstanceRecords& r = static_cast<KRYLVSTExprPlug*>(plug)->core().records();
            r.options.port = o.port;
            r.options.channel = o.channel;
            r.options.overlapping = o.overlapping;
            r.options.cctimerfix = o.cctimerfix;
            r.options.holdkeyswitch = o.holdkeyswitch;
            r.options.releasecc17 = o.releasecc17;
            r.options.changeanyrule = o.changeanyrule;
            for (int i = 0; i < 16; ++i) {
                const Articulation& x = kArticulations[i];
                r.articulations.note[i] = x.note;
                r.articulations.notevel[i] = x.notevel;
                r.articulations.prog[i] = x.prog;
                r.articulations.modc[i] = x.modc;
                r.articulations.modw[i] = x.modw;
            }
            for (auto& cc : r.controllers.cc) cc = model::kUnassignedCc;
            uint32_t bits;
            std::memcpy(&bits, &tick, sizeof bits);
            plug->Dispatcher(fruity::kMsgSamplesPerTick, 0, static_cast<intptr_t>(bits));
            models_.emplace_back(tag, o, shared_, expected_);
            models_.back().tickLength = tick;
        }
        std::ostringstream s;
        s << "tick " << tick;
        for (const Options& o : {a, b})
            s << " | port " << o.port << " ch " << o.channel << " overlap " << o.overlapping << " ccfix "
              << o.cctimerfix << " hold " << o.holdkeyswitch << " cc17 " << o.releasecc17 << " anyrule "
              << o.changeanyrule;
        setup_ = s.str();
        host_.events.clear();
        host_.colour.push_back(0);  // host voices count from 1
        host_.releaseLevel.push_back(0.0f);
    }

    bool randomStep(int step) {
        const int roll = below(100);
        if (roll < 30) {
            const int instance = below(2);
            const int key = kKeys[below(3)], colour = below(16);
            const auto level = kLevels[below(4)];
            const auto release = kReleaseLevels[below(5)];
            std::ostringstream s;
            s << "step " << step << ": trigger " << host_.colour.size() << " on " << instance << " key " << key
              << " colour " << colour;
            return act(s.str(), [&] { trigger(instance, key, colour, level, release); });
        }
        if (roll < 50) {
            std::vector<size_t> held;
            for (size_t i = 0; i < voices_.size(); ++i)
                if (!voices_[i].released) held.push_back(i);
            if (held.empty()) return true;
            const Voice v = voices_[held[below(static_cast<int>(held.size()))]];
            return act("step " + std::to_string(step) + ": release " + name(v), [&] { release(v.hostVoice); });
        }
        if (roll < 68) {
            if (voices_.empty()) return true;
            const Voice v = voices_[below(static_cast<int>(voices_.size()))];
            return act("step " + std::to_string(step) + ": kill " + name(v), [&] { kill(v.hostVoice); });
        }
        if (roll < 94) return act("step " + std::to_string(step) + ": tick", [&] { tick(); });
        if (roll < 97) {
            const intptr_t value = 1 + below(2);
            return act("step " + std::to_string(step) + ": transport start " + std::to_string(value), [&] {
                for (size_t i = 0; i < plugs_.size(); ++i) {
                    plugs_[i]->Dispatcher(fruity::kMsgPlayingState, 0, value);
                    models_[i].transportStarted();
                }
            });
        }
        return act("step " + std::to_string(step) + ": transport stop", [&] { stop(); });
    }

    void trigger(int instance, int key, int colour, std::pair<float, int> level, std::pair<float, int> release) {
        const intptr_t hostVoice = static_cast<intptr_t>(host_.colour.size());
        host_.colour.push_back(colour);
        host_.releaseLevel.push_back(release.first);
        const intptr_t handle = testing_support::play(plugs_[instance], host_, hostVoice,
                                                      testing_support::Note{key, colour, level.first});
        const int slot = models_[instance].trigger({hostVoice, key, colour, level.second, release.second});
        if (handle != 0 && slot >= 0) voices_.push_back({instance, hostVoice, handle, slot, false});
        else handleMismatch_ = (handle != 0) != (slot >= 0);
    }

    void release(intptr_t hostVoice) {
        Voice& v = voice(hostVoice);
        plugs_[v.instance]->Voice_Release(v.handle);
        models_[v.instance].release(v.slot);
        v.released = true;
    }

    void kill(intptr_t hostVoice) {
        Voice& v = voice(hostVoice);
        plugs_[v.instance]->Voice_Kill(v.handle);
        models_[v.instance].kill(v.slot);
        voices_.erase(voices_.begin() + (&v - voices_.data()));
    }

    void tick() {
        for (size_t i = 0; i < plugs_.size(); ++i) {
            plugs_[i]->NewTick();
            models_[i].tick();
        }
    }

    // Each instance reports its voices done; the host then kills them in the order reported.
    void stop() {
        for (size_t i = 0; i < plugs_.size(); ++i) {
            plugs_[i]->Dispatcher(fruity::kMsgPlayingState, 0, 0);
            models_[i].transportStopped();
        }
        std::vector<intptr_t> reported;
        for (const Event& e : host_.events)
            if (e.kind == Event::kVoiceDone) reported.push_back(e.value);
        for (intptr_t hostVoice : reported)
            if (hasVoice(hostVoice)) kill(hostVoice);
    }

    // Runs one action at both sides and compares what they sent.
    template <typename Fn>
    bool act(const std::string& what, Fn&& fn) {
        history_.push_back(what);
        if (history_.size() > 12) history_.pop_front();
        host_.clear();
        host_.events.clear();
        expected_.clear();
        fn();
        for (const Event& e : host_.events) all_.push_back(e);
        if (host_.events == expected_ && !handleMismatch_) return true;
        std::ostringstream s;
        s << "seed " << seed_ << " (" << setup_ << ")\nrecent actions:\n";
        for (const std::string& h : history_) s << "  " << h << "\n";
        if (handleMismatch_) s << "the plugin and the model disagree on whether the table was full\n";
        s << "plugin sent:\n";
        for (const Event& e : host_.events) s << "  " << describe(e) << "\n";
        s << "model expects:\n";
        for (const Event& e : expected_) s << "  " << describe(e) << "\n";
        ADD_FAILURE() << s.str();
        return false;
    }

    // The last word on every port, channel and key of the run must be a note-off. (Counting
    // note-ons against note-offs would not do: a keyswitch switched to again while it is held
    // restarts its hold and gets a single note-off, and so does a key two notes share.)
    bool nothingHeld() {
        std::map<std::tuple<int, int, int>, bool> held;
        for (const Event& e : all_) {
            if (e.kind != Event::kMidi) continue;
            const uint32_t m = static_cast<uint32_t>(e.value);
            const int type = m & 0xF0, velocity = (m >> 16) & 0xFF;
            if (type != 0x80 && type != 0x90) continue;
            held[{int(m >> 24), int(m & 0x0F), int((m >> 8) & 0xFF)}] = type == 0x90 && velocity > 0;
        }
        bool ok = true;
        for (const auto& [where, on] : held) {
            if (!on) continue;
            // With overlapping notes, releasing a note while another on its key still waits
            // for its kill holds the note-off back for good: left to the user's option.
            if (overlapping_ && std::get<2>(where) >= 60) continue;
            ADD_FAILURE() << "seed " << seed_ << " (" << setup_ << "): port " << std::get<0>(where) << " ch "
                          << std::get<1>(where) << " key " << std::get<2>(where) << " left sounding";
            ok = false;
        }
        return ok;
    }

    Voice& voice(intptr_t hostVoice) {
        for (Voice& v : voices_)
            if (v.hostVoice == hostVoice) return v;
        throw std::logic_error("unknown host voice");
    }
    bool hasVoice(intptr_t hostVoice) const {
        for (const Voice& v : voices_)
            if (v.hostVoice == hostVoice) return true;
        return false;
    }
    static std::string name(const Voice& v) {
        return std::to_string(v.hostVoice) + " on " + std::to_string(v.instance) + (v.released ? " (released)" : "");
    }

    std::mt19937 rng_;
    uint32_t seed_;
    StreamHost host_;
    std::vector<TFruityPlug*> plugs_;
    SwitchTables shared_;
    std::vector<Event> expected_;
    std::vector<ModelInstance> models_;
    std::vector<Voice> voices_;
    std::vector<Event> all_;
    std::deque<std::string> history_;
    std::string setup_;
    float tickLength_ = 0.0f;
    bool overlapping_ = false;
    bool handleMismatch_ = false;
};

TEST(RandomNotes, PluginFollowsTheNoteAndSwitchingRulesAndLeavesNothingSounding) {
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        RandomRun run(seed);
        if (!run.run(3000)) break;  // one report is enough to go on
    }
}

}  // namespace
