// Long random runs of notes, releases, kills and ticks on two instances, played through the
// host's slots and checked message for message against a plain model of the note and switching
// rules. At the end of every run nothing may sound, and the note path allocated nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <new>
#include <vector>

#include "engine/midi_message.h"
#include "support/notes.h"
#include "support/plugin_fixture.h"

namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
}  // namespace

// GCC pairs the malloc inside operator new with these frees and warns; they are the matching pair.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    if (gCounting) ++gAllocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
// Every form that the deletes below free must come from here too, or a sanitizer sees memory
// from its own allocator given back to malloc's.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (gCounting) ++gAllocations;
    return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

// One call into the plugin with allocations counted.
template <typename Fn>
void counted(Fn&& fn) {
    gCounting = true;
    fn();
    gCounting = false;
}

// What the instances do at the host, in one ordered stream: a MIDI message with its sender, or
// (sender 0) a host voice reported done.
using Event = std::pair<TPluginTag, int64_t>;

std::vector<std::string> describe(const std::vector<Event>& events) {
    std::vector<std::string> out;
    for (const auto& [sender, value] : events)
        out.push_back(sender == 0 ? "voice " + std::to_string(value) + " done"
                                  : "[" + std::to_string(sender) + "] " + hostkit::describeMidi(uint32_t(value)));
    return out;
}

// Keeps MIDI and voices done in one stream, and its books from growing while allocations are
// counted. Trace lines are dropped: held keyswitches trace on every tick.
class StreamHost : public hostkit::RecordingHost {
public:
    StreamHost() {
        events.reserve(1 << 16);
        voiceQueries.reserve(1 << 16);
        dispatches.reserve(1 << 16);
    }
    std::vector<Event> events;
    intptr_t FRUITY_STDCALL Dispatcher(TPluginTag sender, intptr_t id, intptr_t index, intptr_t value) override {
        return id == fruity::kReqDebugLog ? 0 : RecordingHost::Dispatcher(sender, id, index, value);
    }
    void FRUITY_STDCALL Voice_Kill(intptr_t hostVoice, BOOL) override { events.push_back({0, hostVoice}); }
    void FRUITY_STDCALL MIDIOut_Delayed(TPluginTag sender, intptr_t msg) override {
        events.push_back({sender, static_cast<uint32_t>(msg)});
    }
};

struct Articulation {
    int note, notevel, prog, modc, modw;
};

// Each kind of switch and how they interact.   note vel prog modc modw
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
    {24, 100, 2, 32, 40},   // 15 program, keyswitch of 0 and controller of 5: the whole wire order
};
// Articulation 0..63: each bank shuffles the colours so that the bank shows in what is sent.
const Articulation& articulation(int index) { return kArticulations[(index + 5 * (index / 16)) % 16]; }

constexpr int kUnknown = 255;  // last value not known: send again
constexpr float kHoldLength = 400.0f;
constexpr float kHoldRunning = 0.0001f;

// What was last sent on a port and channel setting, shared by every instance there.
struct SwitchState {
    int ks1Note = kUnknown, ks1Velocity = kUnknown, program = kUnknown, modw = kUnknown;
};
using SwitchTables = std::map<std::pair<int, int>, SwitchState>;

class ModelInstance {
public:
    // Reads port, channel (0..15, 37 with MIDI Extend, or model::kPerColourChannel) and the note options.
    ModelInstance(TPluginTag tag, const model::InstanceOptions& o, float tick, SwitchTables& shared,
                  std::vector<Event>& out)
        : tag_(tag), o_(o), tickLength_(tick), shared_(shared), out_(out) {}

    // Returns the slot the note takes: the lowest empty one.
    int trigger(intptr_t hostVoice, int key, int colour, int bank, int velocity, int releaseVelocity) {
        const size_t slot = std::find(slots_.begin(), slots_.end(), std::nullopt) - slots_.begin();
        if (slot == slots_.size()) slots_.emplace_back();
        if (o_.releasecc17) send(0xB0 | o_.channel % 16, 17, releaseVelocity);
        const int index = colour + 16 * (o_.articbanks ? bank : 0);
        Record r{hostVoice, 0x90 | (o_.channel == model::kPerColourChannel ? colour : o_.channel % 16), key, velocity,
                 releaseVelocity};
        if (checkArticulation(index) == 2 && o_.cctimerfix) delayNotes_ = true;
        const Articulation& a = articulation(index);
        if (a.modw >= 0 && a.modc == -3) r.velocity = a.modw;
        if (delayNotes_) pending_ = true;
        else noteOn(r, -1);
        slots_[slot] = r;
        return static_cast<int>(slot);
    }

    void release(int slot) {
        Record& r = *slots_[slot];
        // With overlapping notes another record on the key keeps it sounding.
        const auto onKey = std::count_if(slots_.begin(), slots_.end(), [&](auto& s) { return s && s->key == r.key; });
        if (r.state == -1 && !(o_.overlapping && onKey > 1)) noteOff(r);
        r.released = true;
        if (r.state == -1) done(r);
    }

    void kill(int slot) {
        Record& r = *slots_[slot];
        // Also a delayed note played after its release, killed before the tick that would stop it.
        if ((r.state == -1 && !r.released) || (r.state == -2 && r.sounding)) noteOff(r);
        slots_[slot].reset();
    }

    void tick() {
        for (int key = 0; o_.holdkeyswitch && key < 128; ++key) {
            if (!(holdTimer_[key] >= kHoldRunning) || (holdTimer_[key] -= tickLength_) >= kHoldRunning) continue;
            send(0x80 | holdChannel_[key], key, 0);
            holdTimer_[key] = 0.0f;
        }
        if (!pending_ || !o_.cctimerfix) return;
        pending_ = false;
        for (auto& slot : slots_) {
            if (!slot || slot->state == -1) continue;
            if (slot->state == -2) {
                noteOff(*slot);
                done(*slot);
                continue;
            }
            pending_ = true;
            if (++slot->state == 5) noteOn(*slot, slot->released ? -2 : -1);
        }
        delayNotes_ = false;
    }

private:
    struct Record {
        intptr_t hostVoice;
        int status, key, velocity, releaseVelocity;
        int state = 0;  // 0..4 ticks waited; -1 note-on sent; -2 played after its release
        bool released = false;
        bool sounding = false;  // a note-on went out and no note-off since
    };

    int checkArticulation(int index) {
        const Articulation& a = articulation(index);
        SwitchState s = shared_[{o_.port, o_.channel}];
        const int channel = o_.channel % 16;  // program and controller
        const int ksChannel = (o_.channel == model::kPerColourChannel ? index : o_.channel) % 16;
        int result = 0;
        if (a.prog != -1 && a.prog != s.program) {
            s = SwitchState{kUnknown, kUnknown, a.prog, kUnknown};
            result = 1;
            send(0xC0 | channel, a.prog, 0);
        }
        if (a.note != -1 && (a.note != s.ks1Note || a.notevel != s.ks1Velocity)) {
            result = 1;
            std::tie(s.ks1Note, s.ks1Velocity) = std::tie(a.note, a.notevel);
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
        if (result) shared_[{o_.port, o_.channel}] = s;
        return result;
    }

    void noteOn(Record& r, int state) {
        r.state = state;
        r.sounding = true;
        send(r.status, r.key, r.velocity);
    }
    void noteOff(Record& r) {
        r.sounding = false;
        send(0x80 | (r.status & 0x0F), r.key, r.releaseVelocity);
    }
    void done(const Record& r) { out_.push_back({0, r.hostVoice}); }
    void send(int status, int data1, int data2) {
        const uint32_t m = engine::midiMessage(status, data1, data2, o_.port);
        out_.push_back({tag_, o_.midixtend ? engine::MidiExtendEncoding(m, o_.channel) : m});
    }

    TPluginTag tag_;
    model::InstanceOptions o_;
    float tickLength_;
    SwitchTables& shared_;
    std::vector<Event>& out_;
    std::vector<std::optional<Record>> slots_;  // grows as far as the highest slot used
    float holdTimer_[128] = {};
    int holdChannel_[128] = {};
    bool delayNotes_ = false;
    bool pending_ = false;
};

// The driver: plays the same random run at the plugin and at the model, as FL Studio would.

// Host values with what they come to: levels (velocity), release levels (release velocity) and
// note properties (bank).
const std::pair<float, int> kLevels[] = {{1.0f, 100}, {0.5f, 74}, {2.0f, 127}, {50.0f, 127}, {0.0f, 1}, {-3.0f, 1}};
const std::pair<float, int> kReleaseLevels[] = {{0.0f, 0}, {0.25f, 31}, {0.5f, 63}, {0.8f, 101}, {1.0f, 127}};
const std::pair<float, int> kProperties[] = {{0.0f, 0},  {0.0000005f, 0}, {-1.0f, 0}, {-0.6f, 0}, {-0.5f, 1},
                                             {-0.01f, 1}, {0.01f, 2},     {0.49f, 2}, {0.5f, 3},  {0.99f, 3},
                                             {1.0f, 3},   {7.0f, 3},      {-9.0f, 0}};
const int kKeys[] = {0, 64, 127};  // few, so notes collide; the ends of the key range
const float kTickLengths[] = {50.0f, 100.0f, 130.0f, 137.5f, 400.0f, 1000.0f};
const int kChannels[] = {0, 5, 37, model::kPerColourChannel};

class RandomRun {
public:
    explicit RandomRun(uint32_t seed) : rng_(seed), seed_(seed) {}
    ~RandomRun() {
        for (TFruityPlug* p : plugs_) p->DestroyObject();
    }

    // True when the plugin matched the model all the way and left nothing sounding.
    bool run(int steps) {
        setUp();
        for (step_ = 0; step_ < steps; ++step_)
            if (!act([&] { randomStep(); })) return false;
        // The end: every voice killed, then enough ticks for held keyswitches to end.
        while (!voices_.empty())
            if (!act([&] { kill(voices_.begin()->first); })) return false;
        for (int t = 0; t < static_cast<int>(kHoldLength / tickLength_) + 2; ++t)
            if (!act([&] { tick(); })) return false;
        return nothingHeld();
    }

private:
    struct Voice {
        int instance;
        intptr_t handle;  // what the plugin returned
        int slot;         // what the model took
        bool released;
    };

    template <typename T, size_t n>
    const T& pick(const T (&choices)[n]) { return choices[rng_() % n]; }
    bool coin() { return rng_() % 2; }

    void setUp() {
        tickLength_ = pick(kTickLengths);
        const int port = static_cast<int>(rng_() % 3), channel = pick(kChannels);
        // Usually both on one port and channel, sharing what was last sent there.
        const int other = rng_() % 3 ? channel : (channel == 5 ? 9 : 5);
        // Overlapping notes can leave a key sounding by design (see nothingHeld), so they are
        // on in only a third of the runs.
        overlapping_ = rng_() % 3 == 0;
        for (int ch : {channel, other}) {
            const TPluginTag tag = static_cast<TPluginTag>(plugs_.size() + 1);
            plugs_.push_back(CreatePlugInstance(&host_, tag));
            model::InstanceRecords& r = static_cast<KRYLVSTExprPlug*>(plugs_.back())->core().records();
            model::InstanceOptions& o = r.options;
            std::tie(o.port, o.channel, o.midixtend, o.articbanks, o.overlapping, o.cctimerfix, o.holdkeyswitch,
                     o.releasecc17) = std::make_tuple(port, ch, ch == 37, coin(), overlapping_, coin(), coin(), coin());
            model::Articulations& x = r.articulations;
            for (int i = 0; i < 64; ++i) {
                const Articulation& y = articulation(i);
                std::tie(x.note[i], x.notevel[i], x.prog[i], x.modc[i], x.modw[i]) =
                    std::make_tuple(y.note, y.notevel, y.prog, y.modc, y.modw);
            }
            uint32_t bits;
            std::memcpy(&bits, &tickLength_, sizeof bits);
            plugs_.back()->Dispatcher(fruity::kMsgSamplesPerTick, 0, static_cast<intptr_t>(bits));
            models_.emplace_back(tag, o, tickLength_, shared_, expected_);
        }
    }

    void randomStep() {
        const int roll = static_cast<int>(rng_() % 100);
        if (roll < 30) return trigger();
        if (roll < 70 && !voices_.empty()) {
            auto& [hostVoice, v] = *std::next(voices_.begin(), static_cast<long>(rng_() % voices_.size()));
            if (roll >= 50 || v.released) return kill(hostVoice);
            counted([&] { plugs_[v.instance]->Voice_Release(v.handle); });
            models_[v.instance].release(v.slot);
            v.released = true;
            return;
        }
        tick();
    }

    void trigger() {
        const int instance = coin(), key = pick(kKeys), colour = static_cast<int>(rng_() % 16);
        const auto level = pick(kLevels), release = pick(kReleaseLevels), property = pick(kProperties);
        host_.releaseVelocity[nextVoice_] = release.first;
        host_.voiceColour[nextVoice_] = colour;
        TVoiceParams params = testing_support::voiceParams({key, colour, level.first, property.first});
        intptr_t handle;
        counted([&] { handle = plugs_[instance]->TriggerVoice(&params, nextVoice_); });
        const int slot = models_[instance].trigger(nextVoice_, key, colour, property.second, level.second, release.second);
        voices_[nextVoice_++] = {instance, handle, slot, false};
    }

    void kill(intptr_t hostVoice) {
        const Voice& v = voices_.at(hostVoice);
        counted([&] { plugs_[v.instance]->Voice_Kill(v.handle); });
        models_[v.instance].kill(v.slot);
        voices_.erase(hostVoice);
    }

    void tick() {
        for (size_t i = 0; i < plugs_.size(); ++i) {
            counted([&] { plugs_[i]->NewTick(); });
            models_[i].tick();
        }
    }

    // Runs one action at both sides and compares what they sent; the seed and step replay it.
    template <typename Fn>
    bool act(Fn&& fn) {
        host_.clear();
        host_.events.clear();
        expected_.clear();
        fn();
        all_.insert(all_.end(), host_.events.begin(), host_.events.end());
        if (host_.events == expected_) return true;
        EXPECT_EQ(describe(host_.events), describe(expected_)) << "seed " << seed_ << " step " << step_;
        return false;
    }

    // The last word on every port, channel and key of the run must be a note-off. (Counting
    // note-ons against note-offs would not do: a keyswitch switched to again while it is held
    // restarts its hold and gets a single note-off, and so does a key two notes share.)
    bool nothingHeld() {
        std::map<uint32_t, bool> sounding;  // by port, channel and key
        for (const auto& [sender, m] : all_)
            if (sender != 0 && (m & 0xE0) == 0x80) sounding[m & 0xFF007F0F] = (m & 0xF0) == 0x90 && (m & 0x7F0000);
        bool ok = true;
        for (const auto& [where, on] : sounding) {
            // With overlapping notes, releasing a note while another on its key still waits for
            // its kill holds the note-off back for good: left to the user's option.
            if (!on || (overlapping_ && std::count(std::begin(kKeys), std::end(kKeys), int(where >> 8) & 0x7F))) continue;
            ADD_FAILURE() << "seed " << seed_ << ": left sounding: " << hostkit::describeMidi(where | 0x90);
            ok = false;
        }
        return ok;
    }

    std::mt19937 rng_;
    uint32_t seed_;
    int step_ = 0;
    StreamHost host_;
    std::vector<TFruityPlug*> plugs_;
    SwitchTables shared_;
    std::vector<Event> expected_, all_;
    std::vector<ModelInstance> models_;
    std::map<intptr_t, Voice> voices_;  // by host voice
    float tickLength_ = 0.0f;
    intptr_t nextVoice_ = 1;
    bool overlapping_ = false;
};

TEST(RandomNotes, PluginFollowsTheNoteAndSwitchingRulesAndLeavesNothingSounding) {
    for (uint32_t seed = 1; seed <= 20; ++seed)
        if (!RandomRun(seed).run(3000)) break;  // one report is enough to go on
    EXPECT_EQ(gAllocations.load(), 0) << "allocations on the note path";
}

}  // namespace
