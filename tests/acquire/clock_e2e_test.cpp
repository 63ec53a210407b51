#include "tests/acquire/scope.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tracely;
using tracely::test::Scope;
using tracely::test::simOptions;
using tracely::test::waitUntil;

// The simulator's clock and the program's time per display point agree: a sine of known
// frequency, measured from the drawn points, comes out at that frequency at every sample
// rate and line speed.
namespace {

// Frequency from the rising zero crossings over the whole trace, each placed between its two
// points by linear interpolation.
double measuredFrequency(const std::vector<float>& v, double secondsPerPoint) {
    std::vector<double> crossings;
    for (std::size_t i = 1; i < v.size(); ++i) {
        if (v[i - 1] < 0.0f && v[i] >= 0.0f) {
            const double frac = -v[i - 1] / static_cast<double>(v[i] - v[i - 1]);
            crossings.push_back(static_cast<double>(i - 1) + frac);
        }
    }
    if (crossings.size() < 3) {
        return 0.0;
    }
    const double span = (crossings.back() - crossings.front()) * secondsPerPoint;
    return static_cast<double>(crossings.size() - 1) / span;
}

} // namespace

TEST(Clock, AKnownSineMeasuresWithinHalfAPercentAtEveryRateAndSpeed) {
    struct Case {
        const char* rate;
        int position;
        double frequency; // about ten periods over the trace
    } cases[] = {
        {"10KSa/s", 19, 200.0},
        {"25KSa/s", 19, 500.0},
        {"100KSa/s", 18, 2000.0},
        {"25MSa/s", 14, 25000.0},
    };
    for (const Case& c : cases) {
        for (int baud : {57600, 115200}) {
            sim::Options o = simOptions();
            o.bauds = {baud};
            o.cha = sim::Waveform{sim::WaveKind::Sine, c.frequency, 1.5, 0.0};
            Scope scope(o);
            scope.state.strSampleRate = c.rate;
            scope.engine.setTimeRange(c.position);
            scope.engine.acquireClicked();
            ASSERT_TRUE(waitUntil([&] { return scope.rec.captures == 1; }, 15000))
                << c.rate << " " << baud;
            const double f = measuredFrequency(scope.state.sngCHaData, scope.state.sngTimeAdj);
            EXPECT_NEAR(f / c.frequency, 1.0, 0.005)
                << c.rate << " at " << baud << ": " << f << " Hz from "
                << scope.state.sngCHaData.size() << " points";
        }
    }
}
