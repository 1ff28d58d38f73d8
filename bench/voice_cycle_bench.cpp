// One note's voice cycle (trigger with an articulation switch, release, kill) while many voices
// already sound: the plugin through its entry slots, beside a reference that keeps the voices in
// a flat table of record pointers and walks it from the start for every search. Both talk to the
// same host, which answers queries and throws the rest away, so only the voice handling differs.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <cstdint>
#include <cstring>

#include "hostkit/recording_host.h"
#include "plugin/fruity_abi.h"
#include "http/http_api.h"
#include "plugin/process_wide.h"
#include "plugin/voxtrane_plug.h"

extern "C" TFruityPlug* CreatePlugInstance(TFruityPlugHost* host, TPluginTag tag) noexcept;

namespace {

constexpr int kSlots = 20480;
// Host voices of the measured notes: kCycleVoice answers colour 0, kCycleVoice + 1 colour 1.
// Every voice below it (the ones already sounding) answers colour 0.
constexpr intptr_t kCycleVoice = intptr_t{1} << 20;

// Answers the voice queries and counts everything else instead of keeping it.
class DiscardHost : public hostkit::RecordingHost {
public:
    uint64_t midiSum = 0;
    uint64_t midiCount = 0;
    uint64_t doneCount = 0;

    intptr_t FRUITY_STDCALL Dispatcher(TPluginTag, intptr_t id, intptr_t, intptr_t) override {
        if (id == fruity::kReqGetPath) return reinterpret_cast<intptr_t>(programPath.c_str());
        if (id == fruity::kReqMainWindow) return mainWindow;
        return 0;
    }
    int FRUITY_STDCALL Voice_ProcessEvent(intptr_t hostVoice, intptr_t code, intptr_t, intptr_t) override {
        if (code == 2) return hostVoice >= kCycleVoice ? static_cast<int>(hostVoice & 1) : 0;
        if (code != 4) return 0;
        const float release = 0.5f;
        int32_t bits;
        std::memcpy(&bits, &release, sizeof bits);
        return bits;
    }
    void FRUITY_STDCALL Voice_Kill(intptr_t, BOOL) override { ++doneCount; }
    void FRUITY_STDCALL MIDIOut_Delayed(TPluginTag, intptr_t msg) override {
        midiSum += static_cast<uint32_t>(msg);
        ++midiCount;
    }
    void FRUITY_STDCALL MIDIOut(TPluginTag sender, intptr_t msg) override { MIDIOut_Delayed(sender, msg); }
};

TVoiceParams middleC() {
    TVoiceParams p{};
    p.InitLevels.Vol = 1.0f;
    p.InitLevels.Pitch = p.FinalLevels.Pitch = 0.0f;
    return p;
}

// Colours 0 and 1 play articulations with different keyswitches, so each measured note switches.
constexpr int kKeyswitch[2] = {24, 25};

void reportPerCycle(benchmark::State& state, const DiscardHost& host, uint64_t midiBefore, uint64_t doneBefore) {
    const double cycles = static_cast<double>(state.iterations());
    state.counters["midi"] = static_cast<double>(host.midiCount - midiBefore) / cycles;
    state.counters["done"] = static_cast<double>(host.doneCount - doneBefore) / cycles;
    benchmark::DoNotOptimize(host.midiSum);
}

// The user-interface thread at work meanwhile, as in FL Studio with the editor open and the
// HTTP API serving: periodic calls (repaints, server polls) without rest.
class BusyInterface {
public:
    BusyInterface(TFruityPlug* plug, bool busy) : plug_(plug) {
        if (!busy) return;
        plug->Dispatcher(fruity::kMsgShowEditor, 0, 1);
        http::HttpApi_Start(instanceDirectory(), processWide().programFolder, 0);
        thread_ = std::thread([this] {
            while (!stop_.load(std::memory_order_relaxed)) plug_->Idle_Public();
        });
    }
    ~BusyInterface() {
        if (!thread_.joinable()) return;
        stop_ = true;
        thread_.join();
        http::HttpApi_Stop(0);
    }

private:
    TFruityPlug* plug_;
    // On a line of its own: the object sits in the measuring thread's frame, beside what the
    // measured loop writes, and the other thread reads the flag all the time.
    alignas(64) std::atomic<bool> stop_{false};
    char pad_[63] = {};
    std::thread thread_;
};

void BM_VoiceCycle(benchmark::State& state) {
    DiscardHost host;
    // Made on a thread of its own, as FL Studio makes instances on its user-interface thread and
    // plays them on its audio thread: the notes here take the audio thread's way.
    TFruityPlug* plug = nullptr;
    std::thread([&] { plug = CreatePlugInstance(&host, 1); }).join();
    model::InstanceRecords& records = static_cast<KRYLVSTExprPlug*>(plug)->core().records();
    records.options.port = 0;
    records.options.channel = 0;
    for (int i = 0; i < 2; ++i) {
        records.articulations.note[i] = kKeyswitch[i];
        records.articulations.notevel[i] = 100;
    }
    plug->Idle_Public();  // the periodic call hands the bank to the notes
    TVoiceParams params = middleC();
    for (intptr_t v = 1; v <= state.range(0); ++v) {
        if (!plug->TriggerVoice(&params, v)) {
            state.SkipWithError("table full too early");
            plug->DestroyObject();
            return;
        }
    }
    const uint64_t midiBefore = host.midiCount, doneBefore = host.doneCount;
    intptr_t colour = 1;
    // The live monitor on: every message copied into the ring. The UI thread empties it in its
    // periodic call; here it is emptied every 1024 cycles outside the timing, so the figure is
    // the note path's own cost.
    const bool monitor = state.range(2) != 0;
    engine::Monitor& ring = static_cast<KRYLVSTExprPlug*>(plug)->core().session().monitor();
    {
        BusyInterface interface(plug, state.range(1) != 0);  // stops before the instance goes
        processWide().engineTables->monitoring = monitor;      // the server would switch it on
        int cycles = 0;
        for (auto _ : state) {
            const intptr_t voice = plug->TriggerVoice(&params, kCycleVoice + colour);
            plug->Voice_Release(voice);
            plug->Voice_Kill(voice);
            colour ^= 1;
            if (monitor && (++cycles & 1023) == 0) {
                state.PauseTiming();
                ring.drain();
                state.ResumeTiming();
            }
        }
    }
    processWide().engineTables->monitoring = false;
    reportPerCycle(state, host, midiBefore, doneBefore);
    plug->DestroyObject();
}

// ---------------------------------------------------------------------------------------------
// The yardstick: the voice rules carried out literally on a flat table, with the same switching
// comparison and the same host calls.

struct ReferenceRecord {
    uint8_t status, key, velocity, port;
    intptr_t hostVoice;
    int32_t state;
    uint8_t released;
};

class ReferenceInstance {
public:
    explicit ReferenceInstance(TFruityPlugHost& host) : host_(host) {
        for (int i = 0; i < 2; ++i) {
            note_[i] = kKeyswitch[i];
            notevel_[i] = 100;
        }
    }
    ~ReferenceInstance() {
        for (ReferenceRecord*& r : slots_) {
            delete r;
            r = nullptr;
        }
    }

    ReferenceRecord* trigger(const TVoiceParams& params, intptr_t hostVoice) {
        int slot = 0;
        while (slot < kSlots && slots_[slot]) ++slot;
        if (slot == kSlots) return nullptr;
        auto* r = new ReferenceRecord{};
        slots_[slot] = r;
        r->hostVoice = hostVoice;
        unsigned char scratch[48] = {};
        host_.Voice_ProcessEvent(hostVoice, 7, reinterpret_cast<intptr_t>(scratch), 0);
        r->port = 0;
        r->status = 0x90;
        const uint32_t cents = static_cast<uint32_t>(static_cast<int32_t>(params.FinalLevels.Pitch));
        r->key = static_cast<uint8_t>((cents + 6000u) / 100u);
        float v = 127.0f * std::log(1.0f + 10.0f * params.InitLevels.Vol) / std::log(21.0f);
        if (v > 127.0f) v = 127.0f;
        r->velocity = static_cast<uint8_t>(static_cast<int>(v) == 0 ? 1 : static_cast<int>(v));
        const int index = host_.Voice_ProcessEvent(hostVoice, 2, 0, 0) & 15;
        checkArticulation(index);
        r->state = -1;
        send(message(*r));
        return r;
    }

    void release(ReferenceRecord* voice) {
        ReferenceRecord* r = find(voice);
        if (!r) return;
        if (r->state == -1) noteOff(*r);
        r->released = 1;
        if (r->state == -1) host_.Voice_Kill(r->hostVoice, 1);
    }

    void kill(ReferenceRecord* voice) {
        ReferenceRecord* r = find(voice);
        if (!r) return;
        if (r->state == -1 && !r->released) noteOff(*r);
        for (ReferenceRecord*& s : slots_)
            if (s == r) s = nullptr;
        delete r;
    }

private:
    ReferenceRecord* find(ReferenceRecord* voice) {
        for (ReferenceRecord* s : slots_)
            if (s && s == voice) return s;
        return nullptr;
    }

    int checkArticulation(int index) {
        const int note = note_[index], notevel = notevel_[index], prog = prog_[index];
        const int modw = modw_[index], modc = modc_[index];
        int result = 0;
        if (prog != -1 && prog != last_[2]) {
            last_[2] = prog;
            last_[0] = last_[1] = last_[3] = 255;
            result = 1;
            send(0xC0u | uint32_t(prog & 0xFF) << 8);
        }
        if (note != -1 && (note != last_[0] || notevel != last_[1])) {
            result = 1;
            last_[0] = note;
            last_[1] = notevel;
            send(0x90u | uint32_t(note & 0xFF) << 8 | uint32_t(notevel & 0xFF) << 16);
            send(0x80u | uint32_t(note & 0xFF) << 8);
            if (modc == -2) last_[3] = 255;
        }
        if (modw != -1 && modw != last_[3] && modc >= 0) {
            last_[3] = modw;
            result = 2;
            send(0xB0u | uint32_t(modc & 0xFF) << 8 | uint32_t(modw & 0xFF) << 16);
        }
        if (modw >= 0 && modc == -2 && modw != last_[3]) {
            result = 1;
            last_[3] = modw;
            send(0x90u | uint32_t(modw & 0xFF) << 8 | 127u << 16);
            send(0x80u | uint32_t(modw & 0xFF) << 8);
        }
        return result;
    }

    void noteOff(ReferenceRecord& r) {
        r.status = static_cast<uint8_t>(0x80 | (r.status & 0x0F));
        const uint32_t bits = static_cast<uint32_t>(host_.Voice_ProcessEvent(r.hostVoice, 4, 0, 0));
        float v;
        std::memcpy(&v, &bits, sizeof v);
        r.velocity = static_cast<uint8_t>(static_cast<int32_t>(v * 127.0f));
        send(message(r));
    }
    static uint32_t message(const ReferenceRecord& r) {
        return uint32_t(r.status) | uint32_t(r.key) << 8 | uint32_t(r.velocity) << 16 | uint32_t(r.port) << 24;
    }
    void send(uint32_t m) { host_.MIDIOut_Delayed(1, static_cast<intptr_t>(m)); }

    TFruityPlugHost& host_;
    ReferenceRecord* slots_[kSlots] = {};
    int note_[16] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    int notevel_[16] = {127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 127};
    int prog_[16] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    int modw_[16] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    int modc_[16] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    int last_[4] = {255, 255, 255, 255};  // KS1 note, KS1 velocity, program, modw
};

void BM_VoiceCycleReference(benchmark::State& state) {
    DiscardHost host;
    auto* reference = new ReferenceInstance(host);
    const TVoiceParams params = middleC();
    for (intptr_t v = 1; v <= state.range(0); ++v) reference->trigger(params, v);
    const uint64_t midiBefore = host.midiCount, doneBefore = host.doneCount;
    intptr_t colour = 1;
    for (auto _ : state) {
        ReferenceRecord* voice = reference->trigger(params, kCycleVoice + colour);
        reference->release(voice);
        reference->kill(voice);
        colour ^= 1;
    }
    reportPerCycle(state, host, midiBefore, doneBefore);
    delete reference;
}

}  // namespace

// Ours and the reference side by side for each number of voices already sounding.
int main(int argc, char** argv) {
    for (int sounding : {0, 1000, kSlots - 1}) {
        benchmark::RegisterBenchmark("BM_VoiceCycle", BM_VoiceCycle)->Args({sounding, 0, 0});
        benchmark::RegisterBenchmark("BM_VoiceCycleReference", BM_VoiceCycleReference)->Args({sounding, 0});
    }
    // The same cycle while the editor is open and the HTTP server is polled on another thread.
    for (int sounding : {0, 1000}) {
        benchmark::RegisterBenchmark("BM_VoiceCycle", BM_VoiceCycle)->Args({sounding, 0, 0});
        benchmark::RegisterBenchmark("BM_VoiceCycleWithEditorAndServer", BM_VoiceCycle)->Args({sounding, 1, 0});
    }
    // The live monitor off and on, side by side.
    benchmark::RegisterBenchmark("BM_VoiceCycle", BM_VoiceCycle)->Args({0, 0, 0});
    benchmark::RegisterBenchmark("BM_VoiceCycleWithMonitor", BM_VoiceCycle)->Args({0, 0, 1});
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
