// Capture rate against the paced simulator: the reference client now, the program's acquisition
// engine beside it later, each against the line's own limit.
#include "bench/reference_client.h"
#include "sim/options.h"
#include "tests/support/sim_host.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

using tracely::bench::CapturePlan;
using tracely::timebase::Rate;

namespace {

struct Config {
    Rate rate;
    int position;
    int baud;
};

constexpr Config kConfigs[] = {
    {Rate::R25M, 10, 115200}, {Rate::R25M, 10, 57600},   {Rate::R25M, 15, 115200},
    {Rate::R25M, 15, 57600},  {Rate::R100K, 13, 115200}, {Rate::R100K, 13, 57600},
};

// ---------------------------------------------------------------------------------------------
// THE PROGRAM'S ACQUISITION ENGINE: its measurement goes here. Run it over the same line with
// the same plan (the identical register image) and return its captures per second; nothing
// until it is written, and the table then shows "-".
std::optional<double> measureEngineCaptures(const CapturePlan& /*plan*/,
                                            const std::string& /*ptyPath*/, int /*captures*/) {
    return std::nullopt;
}
// ---------------------------------------------------------------------------------------------

// Enough captures for about the target time, from the bytes a capture receives at the longest
// dump request, with a margin for the per-character turn-rounds.
int capturesFor(const CapturePlan& plan, double targetSeconds) {
    constexpr std::size_t kArmAndTrigger = 1 + 7; // ">" echoed; "T" echoed and answered
    const std::size_t bytes = tracely::wire::updateSequence(plan.image).size() + kArmAndTrigger +
                              tracely::wire::dumpRequestSequence(0xFF, 0xFF, plan.dumpMode).size() +
                              static_cast<std::size_t>(std::max<int>(plan.geometry.chunks, 0)) *
                                  tracely::wire::kDumpBlockBytes;
    const double estimate = 1.1 * static_cast<double>(bytes) * 10.0 / plan.baud;
    return std::clamp(static_cast<int>(std::lround(targetSeconds / estimate)), 1, 10000);
}

void usage() {
    std::puts("usage: bench_capture_rate [--seconds S]\n"
              "  S: rough timed length of each configuration (default 2.5)");
}

} // namespace

int main(int argc, char** argv) {
    double target = 2.5;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--seconds" && i + 1 < argc) {
            char* end = nullptr;
            target = std::strtod(argv[++i], &end);
            if (end == argv[i] || *end != '\0' || !(target > 0.0 && target < 3600.0)) {
                usage();
                return 2;
            }
        } else {
            usage();
            return a == "--help" || a == "-h" ? 0 : 2;
        }
    }

    std::puts("Reference client on the paced simulator; limit = 1 / (bytes x 10 / baud + "
              "trigger wait)");
    std::printf("%-9s %3s %6s %5s %10s %9s %6s %8s %9s %9s\n", "rate", "pos", "baud", "caps",
                "captures/s", "limit/s", "ratio", "bytes", "trig ms", "engine/s");
    int failures = 0;
    for (const Config& c : kConfigs) {
        const CapturePlan plan = tracely::bench::planFor(c.rate, c.baud, c.position);
        const int captures = capturesFor(plan, target);
        // A fresh instrument for each configuration, so that nothing left over from the last
        // one can reach this one's line.
        tracely::test::SimHost sim(tracely::sim::Options{});
        const tracely::bench::ReferenceStats r =
            tracely::bench::runReferenceCaptures(sim.path(), plan, captures);
        const std::optional<double> engine = measureEngineCaptures(plan, sim.path(), captures);
        char engineText[32] = "-";
        if (engine) {
            std::snprintf(engineText, sizeof engineText, "%.3f", *engine);
        }
        std::printf("%-9s %3d %6d %5d %10.3f %9.3f %6.3f %8.1f %9.3f %9s\n",
                    tracely::timebase::rateText(c.rate), c.position, c.baud, r.captures,
                    r.capturesPerSecond, r.lineLimit, r.ratio, r.bytesPerCapture,
                    r.triggerWait * 1e3, engineText);
        if (r.staleBytes > 0) {
            std::printf("    %zu stale bytes discarded\n", r.staleBytes);
        }
        if (!r.error.empty()) {
            std::printf("    error: %s\n", r.error.c_str());
            ++failures;
        }
        std::fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
}
