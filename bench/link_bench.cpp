#include "src/core/front_panel_state.h"
#include "src/instrument/timebase.h"
#include "src/link/time_config.h"
#include "src/link/wire.h"

#include <benchmark/benchmark.h>

// The register programming text and the timebase recomputation run on every capture in
// repeat mode; they must stay negligible beside the line time.
static void BM_UpdateSequence(benchmark::State& state) {
    tracely::wire::RegisterImage img{128, 0, 3, 1, 0, 0, 1, 175, 0, 3};
    for (auto _ : state) {
        img.r5 = static_cast<std::uint8_t>(img.r5 + 1);
        benchmark::DoNotOptimize(tracely::wire::updateSequence(img));
    }
}
BENCHMARK(BM_UpdateSequence);

static void BM_CofigTime(benchmark::State& state) {
    tracely::FrontPanelState s;
    int p = 1;
    for (auto _ : state) {
        tracely::timebase::CofigTime(s, p);
        p = p % 21 + 1;
        benchmark::DoNotOptimize(s.intCaptureLenNext);
    }
}
BENCHMARK(BM_CofigTime);

BENCHMARK_MAIN();
