// Capture rate against the paced simulator: the reference client now, the program's acquisition
// engine beside it later, each against the line's own limit.
#include "bench/reference_client.h"
#include "sim/options.h"
#include "src/acquire/acquisition_engine.h"
#include "tests/support/sim_host.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>

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

// The program's acquisition engine over the same line with the same plan: the identical
// register image, in repeat mode, one capture after another as fast as it turns them round.
std::optional<double> measureEngineCaptures(const CapturePlan& plan, const std::string& ptyPath,
                                            int captures) {
    tracely::FrontPanelState s;
    s.bytREG_R5 = plan.image.r5;
    s.bytREG_R6 = plan.image.r6;
    s.bytREG_R7 = plan.image.r7;
    s.bytREG_R8 = 1;
    s.bytREG_R14 = plan.image.r14;
    s.bytREG_R15 = plan.image.r15;
    s.strSampleRate = tracely::timebase::rateText(plan.rate);
    s.blnShowTrigLogic = true;
    const QString path = QString::fromStdString(ptyPath);
    tracely::AcquisitionEngine engine(
        s, [&](int n) { return n == 1 ? path : QStringLiteral("/dev/null-port"); });
    engine.setTimeRange(plan.position);
    int drawn = 0;
    QElapsedTimer clock;
    double seconds = 0.0;
    QObject::connect(&engine, &tracely::AcquisitionEngine::captureReady, [&] {
        ++drawn;
        if (drawn == 1) {
            clock.start(); // the first one carried the identification
        } else if (drawn == captures + 1) {
            seconds = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
            engine.storeClicked(true);
        }
    });
    engine.sampleModeChanged(true);
    engine.acquireClicked();
    QDeadlineTimer limit(600000);
    while (drawn <= captures && !limit.hasExpired() && engine.health().discarded == 0) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    engine.stop();
    if (drawn <= captures || seconds <= 0.0) {
        return std::nullopt;
    }
    return captures / seconds;
}

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
    QCoreApplication app(argc, argv);
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

    std::puts("Captures per second on the paced simulator: the reference client (ref) and the "
              "program's acquisition engine, in turns;\nlimit = 1 / (bytes x 10 / baud + trigger "
              "wait)");
    std::printf("%-9s %3s %6s %5s %10s %9s %6s %8s %9s %9s %6s %6s\n", "rate", "pos", "baud",
                "caps", "ref/s", "limit/s", "ratio", "bytes", "trig ms", "engine/s", "vs ref",
                "vs lim");
    int failures = 0;
    for (const Config& c : kConfigs) {
        const CapturePlan plan = tracely::bench::planFor(c.rate, c.baud, c.position);
        const int captures = capturesFor(plan, target);
        // A fresh instrument for each configuration, answering only at its speed, so that
        // the engine's identification settles where the reference client opens the line.
        tracely::sim::Options o;
        o.bauds = {c.baud};
        tracely::test::SimHost sim(o);
        // Side by side, in turns, so that whatever else the machine does weighs on both.
        tracely::bench::ReferenceStats r;
        double refSeconds = 0.0;
        double engineSeconds = 0.0;
        int refCaptures = 0;
        int engineCaptures = 0;
        bool engineFailed = false;
        for (int round = 0; round < 2; ++round) {
            const tracely::bench::ReferenceStats one =
                tracely::bench::runReferenceCaptures(sim.path(), plan, captures);
            refSeconds += one.seconds;
            refCaptures += one.captures;
            r = one;
            if (!one.error.empty()) {
                break;
            }
            const std::optional<double> e = measureEngineCaptures(plan, sim.path(), captures);
            if (!e) {
                engineFailed = true;
                break;
            }
            engineSeconds += captures / *e;
            engineCaptures += captures;
        }
        r.capturesPerSecond = refSeconds > 0.0 ? refCaptures / refSeconds : 0.0;
        r.ratio = r.lineLimit > 0.0 ? r.capturesPerSecond / r.lineLimit : 0.0;
        const std::optional<double> engine =
            engineFailed || engineSeconds <= 0.0
                ? std::nullopt
                : std::optional<double>(engineCaptures / engineSeconds);
        char engineText[64] = "-";
        if (engine) {
            std::snprintf(engineText, sizeof engineText, "%.3f %6.3f %6.3f", *engine,
                          *engine / r.capturesPerSecond, *engine / r.lineLimit);
        } else {
            ++failures;
        }
        std::printf("%-9s %3d %6d %5d %10.3f %9.3f %6.3f %8.1f %9.3f %s\n",
                    tracely::timebase::rateText(c.rate), c.position, c.baud, refCaptures,
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
