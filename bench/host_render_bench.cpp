// voxtrane-host's render path on a song of 100,000 notes: the staged module loaded as the host
// loads it, four instances with the shipped banks, the song played tick by tick, and the MIDI
// the instances sent written out. Reported as notes per second, for the whole render and for
// its parts (reading the file, playing, writing the result).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "host_session.h"
#include "hostkit/module_loader.h"
#include "render.h"
#include "serve.h"
#include "smf/smf.h"

namespace {

constexpr int kNotes = 100000;
constexpr int kTracks = 4;
const char* const kBanks[kTracks] = {"Strings.krylvox", "Spitfire UACC.krylvox", "Brass.krylvox", "Strings.krylvox"};

// Four parts in sixteenth notes at 96 ticks per quarter and 132 bpm, each changing articulation
// (note colour) every bar and velocity every note, with a tempo change every 64 bars.
std::vector<uint8_t> songBytes() {
    smf::Song song;
    song.ticksPerQuarter = 96;
    const int perTrack = kNotes / kTracks;
    const uint64_t sixteenth = 24;
    for (uint64_t bar = 0; bar * 16 < uint64_t(perTrack); bar += 64)
        song.tempos.push_back({bar * 16 * sixteenth, bar % 128 ? 454545u : 500000u});
    song.signatures.push_back({0, 4, 4});
    std::vector<smf::OutTrack> tracks(kTracks);
    for (int t = 0; t < kTracks; ++t) {
        for (int n = 0; n < perTrack; ++n) {
            const uint8_t colour = uint8_t((n / 16 + t) % 4);
            const uint8_t key = uint8_t(48 + 12 * (t % 2) + n * 7 % 24);
            const uint8_t velocity = uint8_t(40 + (n * 13 + t) % 80);
            tracks[size_t(t)].events.push_back({uint64_t(n) * sixteenth, t, uint8_t(0x90 | colour), key, velocity});
            tracks[size_t(t)].events.push_back(
                {uint64_t(n + 1) * sixteenth - 4, t, uint8_t(0x80 | colour), key, 0});
        }
    }
    return smf::write(song.ticksPerQuarter, song.tempos, song.signatures, tracks);
}

// The module, loaded once for the process, with the plugin's HTTP API kept off.
struct Module {
    hostkit::PluginModule module;
    bool loaded = false;
    Module() {
        std::string error;
        loaded = voxhost::prepareApiSettings(false, 8000, error) && module.load(VOXTRANE_BENCH_MODULE);
        if (!loaded) std::fprintf(stderr, "%s\n", error.empty() ? module.error().c_str() : error.c_str());
    }
    ~Module() { voxhost::restoreApiSettings(); }
};

Module& theModule() {
    static Module m;
    return m;
}

smf::Song parsed(const std::vector<uint8_t>& bytes) {
    smf::Song song;
    std::string error;
    smf::parse(bytes.data(), bytes.size(), song, error);
    return song;
}

// Keeps the instances' "name:" lines out of the benchmark's table.
class QuietStdout {
public:
    QuietStdout() {
        std::fflush(stdout);
        saved_ = dup(1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(null);
    }
    ~QuietStdout() {
        std::fflush(stdout);
        dup2(saved_, 1);
        close(saved_);
    }

private:
    int saved_;
};

// Instances with their banks, as `render --bank` makes them.
bool addInstances(voxhost::HostSession& session) {
    QuietStdout quiet;
    for (const char* bank : kBanks)
        if (!session.addInstance() || !session.dropFile(session.instanceCount() - 1, std::string(VOXTRANE_BENCH_BANKS "/") + bank))
            return false;
    return true;
}

void reportNotes(benchmark::State& state) {
    state.counters["notes_per_second"] =
        benchmark::Counter(double(kNotes), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Render(benchmark::State& state) {
    Module& m = theModule();
    if (!m.loaded) return state.SkipWithError("the staged module did not load");
    const std::vector<uint8_t> bytes = songBytes();
    size_t sent = 0;
    for (auto _ : state) {
        const smf::Song song = parsed(bytes);
        voxhost::HostSession session(m.module, false);
        if (!addInstances(session)) return state.SkipWithError("a bank did not load");
        voxhost::playSong(session, song);
        const std::vector<uint8_t> out = voxhost::renderedFile(song, session.sent());
        benchmark::DoNotOptimize(out.data());
        sent = session.sent().size();
    }
    reportNotes(state);
    state.counters["messages"] = double(sent);
}

void BM_ReadSong(benchmark::State& state) {
    const std::vector<uint8_t> bytes = songBytes();
    for (auto _ : state) {
        const smf::Song song = parsed(bytes);
        benchmark::DoNotOptimize(song.events.data());
    }
    reportNotes(state);
}

void BM_PlaySong(benchmark::State& state) {
    Module& m = theModule();
    if (!m.loaded) return state.SkipWithError("the staged module did not load");
    const smf::Song song = parsed(songBytes());
    for (auto _ : state) {
        state.PauseTiming();
        auto* session = new voxhost::HostSession(m.module, false);
        const bool ready = addInstances(*session);
        state.ResumeTiming();
        if (!ready) return state.SkipWithError("a bank did not load");
        voxhost::playSong(*session, song);
        state.PauseTiming();
        delete session;
        state.ResumeTiming();
    }
    reportNotes(state);
}

// The fixed cost of a render: the instances with their banks, and their destruction.
void BM_Instances(benchmark::State& state) {
    Module& m = theModule();
    if (!m.loaded) return state.SkipWithError("the staged module did not load");
    for (auto _ : state) {
        voxhost::HostSession session(m.module, false);
        if (!addInstances(session)) return state.SkipWithError("a bank did not load");
    }
}

void BM_WriteResult(benchmark::State& state) {
    Module& m = theModule();
    if (!m.loaded) return state.SkipWithError("the staged module did not load");
    const smf::Song song = parsed(songBytes());
    voxhost::HostSession session(m.module, false);
    if (!addInstances(session)) return state.SkipWithError("a bank did not load");
    voxhost::playSong(session, song);
    for (auto _ : state) {
        const std::vector<uint8_t> out = voxhost::renderedFile(song, session.sent());
        benchmark::DoNotOptimize(out.data());
    }
    reportNotes(state);
}

}  // namespace

BENCHMARK(BM_Render)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSong)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlaySong)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteResult)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Instances)->Unit(benchmark::kMillisecond);
