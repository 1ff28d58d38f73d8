// The note path allocates nothing once the instance exists: notes, releases, kills, ticks,
// switches and the MIDI they send, all with a counting operator new watching.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

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
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

using testing_support::Note;

// The host keeps its own books in strings; trace lines are dropped here so that only the
// plugin's allocations are counted.
class QuietHost : public hostkit::RecordingHost {
public:
    intptr_t FRUITY_STDCALL Dispatcher(TPluginTag sender, intptr_t id, intptr_t index, intptr_t value) override {
        return id == fruity::kReqDebugLog ? 0 : RecordingHost::Dispatcher(sender, id, index, value);
    }
};

TEST(RealTime, TheNotePathAllocatesNothing) {
    QuietHost host;
    TFruityPlug* plug = CreatePlugInstance(&host, 1);
    auto& impl = static_cast<KRYLVSTExprPlug*>(plug)->core();
    model::InstanceRecords& r = impl.records();
    r.options.cctimerfix = 1;
    r.options.holdkeyswitch = 1;
    r.options.releasecc17 = 1;
    r.options.overlapping = 1;
    for (int i = 0; i < 16; ++i) {
        r.articulations.note[i] = 24 + i;
        r.articulations.modc[i] = i % 2 ? 32 : -2;
        r.articulations.modw[i] = 40 + i;
        r.articulations.prog[i] = i % 3;
    }
    float tick = 50.0f;
    uint32_t bits;
    std::memcpy(&bits, &tick, 4);
    plug->Dispatcher(20, 0, bits);
    // Let the fake host's vectors grow before counting: the host is not under test.
    host.midi.reserve(100000);
    host.voicesDone.reserve(100000);
    host.voiceQueries.reserve(100000);
    host.voiceColour.clear();

    std::vector<TVoiceParams> params;
    for (int i = 0; i < 64; ++i) params.push_back(testing_support::voiceParams(Note{40 + i % 30, i % 16}));
    std::vector<intptr_t> voices(64);

    gAllocations = 0;
    gCounting = true;
    for (int round = 0; round < 20; ++round) {
        for (int i = 0; i < 64; ++i) voices[i] = plug->TriggerVoice(&params[i], i + 1);
        for (int t = 0; t < 7; ++t) plug->NewTick();
        for (int i = 0; i < 64; ++i) plug->Voice_Release(voices[i]);
        plug->NewTick();
        for (int i = 0; i < 64; ++i) plug->Voice_Kill(voices[i]);
        plug->ProcessEvent(2, round, 0);
    }
    gCounting = false;
    EXPECT_EQ(gAllocations.load(), 0);
    EXPECT_GT(host.midi.size(), 2000u);
    plug->DestroyObject();
}

}  // namespace
