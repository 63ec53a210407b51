#include "src/link/wire.h"
#include "tests/support/line_client.h"
#include "tests/support/sim_host.h"

#include <benchmark/benchmark.h>

#include <chrono>

using namespace std::chrono_literals;
using tracely::test::LineClient;
using tracely::test::SimHost;

// Wall time of one 60-block dump ("M" and its 513 bytes, sixty times, one after another as the
// program asks for them) from the paced simulator, against the wire time 513 x 60 x 10 / speed.
static void BM_SixtyBlockDump(benchmark::State& state) {
    const int baud = static_cast<int>(state.range(0));
    tracely::sim::Options o;
    o.pace = true;
    SimHost sim(o);
    LineClient line(sim.path(), baud);
    if (!line.ok()) {
        state.SkipWithError("cannot open the simulator's line");
        return;
    }
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::size_t got = 0;
        for (int block = 0; block < 60; ++block) {
            line.write("M");
            got += line.readN(513, 5000ms).size();
        }
        const auto elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
        state.SetIterationTime(elapsed.count());
        if (got != 60u * 513u) {
            state.SkipWithError("short dump");
            return;
        }
    }
    const double wire = 513.0 * 60.0 * 10.0 / baud;
    state.counters["wire_s"] = wire;
    state.counters["bytes"] =
        benchmark::Counter(60.0 * 513.0, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SixtyBlockDump)
    ->Arg(57600)
    ->Arg(115200)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

BENCHMARK_MAIN();
