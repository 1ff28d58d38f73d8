// A full instance's state saved and loaded again, and the editor painted whole on the cairo
// canvas at scale 1 and 2: the goals are 50 us for the state and 1 ms for a paint at scale 1,
// so a project loads quickly and hover repaints never lag.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "editor/layout.h"
#include "hostkit/quiet_host.h"
#include "platform/cairo/cairo_canvas.h"
#include "plugin/instance_core.h"

namespace {

class VectorSink final : public model::ByteSink {
public:
    std::vector<uint8_t> bytes;
    void write(const void* data, size_t count) override {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + count);
    }
};

// Every articulation named, keyswitched and with key names; every controller named and assigned.
void fill(model::InstanceRecords& r) {
    r.options.articbanks = 1;
    for (size_t a = 0; a < model::kArticulationCount; ++a) {
        r.articulations.name[a] = "Articulation with a name " + std::to_string(a);
        r.articulations.note[a] = int32_t(a % 24);
        r.articulations.modc[a] = 1;
        r.articulations.modw[a] = int32_t(a);
        r.articulations.keynames[a] = std::make_unique<model::KeyNameList>();
        for (int k = 0; k < model::kKeyNameCount; ++k) r.articulations.keynames[a]->set(k, "Key " + std::to_string(k));
        r.articulations.keynamestitle[a] = "Strings";
    }
    for (size_t c = 0; c < model::kControllerCount; ++c) {
        r.controllers.name[c] = "Controller " + std::to_string(c);
        r.controllers.cc[c] = int32_t(c % 120);
    }
}

enum StateWork { kSave = 1, kLoad = 2, kSaveAndLoad = 3 };

// A save, a load of the state saved before the loop, or a save and a load of what it wrote.
void BM_State(benchmark::State& state, StateWork work) {
    hostkit::QuietHost host;
    InstanceCore core(host, host);
    fill(core.records());
    VectorSink saved;
    core.saveState(saved);
    state.counters["bytes"] = double(saved.bytes.size());
    for (auto _ : state) {
        VectorSink sink;
        if (work & kSave) core.saveState(sink);
        if (work & kLoad) {
            model::MemorySource source(work & kSave ? sink.bytes : saved.bytes);
            core.restoreState(source);
        }
        benchmark::DoNotOptimize(sink.bytes.data());
    }
}

void BM_EditorPaint(benchmark::State& state) {
    hostkit::QuietHost host;
    InstanceCore core(host, host);
    fill(core.records());
    core.records().options.page = editor::kArticulationPanel;
    const platform::CairoSheets sheets(VOXTRANE_ARTWORK_DIR, "");
    const float scale = static_cast<float>(state.range(0));
    for (auto _ : state) {
        platform::CairoCanvas canvas(sheets, editor::kCanvasWidth, editor::kCanvasHeight, scale);
        core.editor().paintTo(canvas);
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK_CAPTURE(BM_State, save_and_load, kSaveAndLoad)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_State, save, kSave)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_State, load, kLoad)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorPaint)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
