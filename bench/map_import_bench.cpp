// The REAPER factory bank file (218 banks, 1,426 program lines) read and converted into banks, as
// the import command and the build's ready banks do: the goal is 20 ms or less. Beside it, every
// bank written back in each format, for scale.
#include <benchmark/benchmark.h>

#include <string>

#include "maps/map_import.h"
#include "model/articulation_file.h"
#include "model/articulation_template.h"

namespace {

struct Factory {
    std::string text;
    model::IconNameTable icons;
    Factory() {
        model::readWholeFile(VOXTRANE_FACTORY_REABANK, text);
        model::loadTemplateFile(VOXTRANE_TEMPLATE, icons);
    }
};

const Factory& factory() {
    static const Factory f;
    return f;
}

void FactoryFileReadAndConverted(benchmark::State& state) {
    const Factory& f = factory();
    size_t banks = 0;
    for (auto _ : state) {
        const maps::Import r = maps::importMapText(f.text, maps::MapFormat::kReaBank, "factory", f.icons);
        banks = r.banks.size();
        benchmark::DoNotOptimize(r.banks.data());
    }
    if (banks != 218) state.SkipWithError("the factory file did not give 218 banks");
    state.counters["banks"] = static_cast<double>(banks);
    state.counters["bytes"] = static_cast<double>(f.text.size());
}
BENCHMARK(FactoryFileReadAndConverted)->Unit(benchmark::kMillisecond);

void FactoryBanksWrittenInEveryFormat(benchmark::State& state) {
    const Factory& f = factory();
    const maps::Import r = maps::importMapText(f.text, maps::MapFormat::kReaBank, "factory", f.icons);
    for (auto _ : state) {
        size_t bytes = 0;
        for (const maps::MapFormat format : {maps::MapFormat::kReaBank, maps::MapFormat::kExpressionMap,
                                             maps::MapFormat::kLogicPlist, maps::MapFormat::kDoricoLib})
            for (const maps::Bank& bank : r.banks) bytes += maps::exportBank(bank, format).text.size();
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(FactoryBanksWrittenInEveryFormat)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
