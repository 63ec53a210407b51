#include "src/acquire/capture_cycle.h"
#include "src/acquire/receiver.h"
#include "src/link/instrument_link.h"
#include "tests/support/recorders.h"
#include "tests/support/sim_host.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace tracely;
using tracely::test::RecordingLight;
using tracely::test::RecordingReporter;
using tracely::test::SimHost;
using tracely::test::waitUntil;

// Whole captures against the simulator on a real pseudo-terminal: identification, register
// programming, trigger answer, dump, trigger search and display points.
namespace {

sim::Options simOptions() {
    sim::Options o;
    o.pace = false;
    o.cha = sim::Waveform{sim::WaveKind::Sine, 100000.0, 1.5, 0.0};
    return o;
}

struct Scope {
    explicit Scope(sim::Options o) : sim(std::move(o)) {
        // Channel A primary on range code 3 with one channel enabled, so the level trigger at
        // 128 sees the sine (the start-up image has R14 0 until the panel computes it).
        state.bytREG_R14 = 0xFF;
    }

    SimHost sim;
    FrontPanelState state;
    RecordingLight light;
    RecordingReporter reporter;
    double timeRange = 10;
    int plots = 0;
    ConfiguredPort configured = [this](int n) {
        return n == 1 ? QString::fromStdString(sim.path()) : QStringLiteral("/dev/null-port");
    };
    SerialPort port{[this](int n) { return configured(n); }};
    InstrumentLink link{state, port, light, reporter, configured, [this] { return timeRange; }};
    CaptureCycle cycle{state,
                       CaptureCycle::Hooks{[] { return CapturePanel{}; }, [this] { ++plots; },
                                           [] {}, [this] { link.Update(); }}};
    Receiver rx{state,
                port,
                light,
                reporter,
                [this] { link.RequestDump(); },
                [this] { cycle.ProcessCapture(); }};
};

} // namespace

TEST(Capture, OneTraceAtTheStartUpPanel) {
    Scope scope(simOptions());
    FrontPanelState& s = scope.state;
    scope.cycle.acquireClicked();
    ASSERT_TRUE(s.blnConnected);
    ASSERT_TRUE(waitUntil([&] { return scope.plots == 1; }, 10000));
    EXPECT_TRUE(s.blnCaptureDone);
    EXPECT_FALSE(s.blnArmed);
    EXPECT_EQ(s.intWriteIdx, 501); // two blocks, 500 rows kept
    EXPECT_FALSE(scope.light.lit);
    ASSERT_EQ(s.sngCHaData.size(), 500u);
    // The level trigger at 128 is found near where the search begins, and the trace there
    // sits at zero volts.
    EXPECT_GE(s.intTrigIndex, 170);
    EXPECT_LT(s.intTrigIndex, 330);
    EXPECT_NEAR(s.sngCHaData[static_cast<std::size_t>(s.intTrigIndex - 1)], 0.0f, 0.3f);
    // A 100 kHz sine over 20 us: two periods of a 1.5 V swing seen through the x10 scale.
    const auto [lo, hi] = std::minmax_element(s.sngCHaData.begin(), s.sngCHaData.end());
    EXPECT_NEAR(*hi, 15.0f, 1.0f);
    EXPECT_NEAR(*lo, -15.0f, 1.0f);
    // The logic counter reached the display too.
    ASSERT_EQ(s.bytLogicData.size(), 500u);
}

TEST(Capture, SlowRateDecimatesOntoTheTrigger) {
    sim::Options o = simOptions();
    o.cha = sim::Waveform{sim::WaveKind::Sine, 1000.0, 1.5, 0.0};
    o.bauds = {57600};
    Scope scope(o);
    FrontPanelState& s = scope.state;
    s.strSampleRate = "10KSa/s";
    scope.timeRange = 19;
    // A rising edge at 128.
    s.bytREG_R5 = 128;
    s.bytREG_R6 = 127;
    s.bytREG_R7 = 0x23;
    scope.cycle.acquireClicked();
    ASSERT_TRUE(waitUntil([&] { return scope.plots == 1; }, 15000));
    EXPECT_EQ(s.lngBaudRate, 57600);
    EXPECT_EQ(s.intCaptureLen, 10000);
    EXPECT_EQ(s.intWriteIdx, 10001);
    // Every 20th row: the trigger row 5000 is display point 251 (row 5001).
    EXPECT_EQ(s.intTrigIndex, 251);
    ASSERT_EQ(s.sngCHaData.size(), 500u);
    const float atTrigger = s.sngCHaData[250];
    const float before = s.sngCHaData[249];
    EXPECT_GE(atTrigger, 0.0f);
    EXPECT_LT(before, atTrigger); // rising through zero
    // 1 kHz at 100 us a point: one period every ten points.
    EXPECT_NEAR(s.sngCHaData[260], atTrigger, 1.0f);
}

TEST(Capture, HangUpMidDumpTakesTheLinkDown) {
    sim::Options o = simOptions();
    o.faults.hangUpInBlock = 2;
    Scope scope(o);
    scope.cycle.acquireClicked();
    ASSERT_TRUE(waitUntil([&] { return !scope.state.blnConnected; }, 5000));
    EXPECT_EQ(scope.light.colour(), colour::kRed);
    EXPECT_TRUE(scope.light.lit);
    EXPECT_EQ(scope.reporter.panels["sbrFirmWare"], "Firmware: ");
    EXPECT_EQ(scope.plots, 0);
}

TEST(Capture, AShortBlockEndsInTheReadTimeOut) {
    sim::Options o = simOptions();
    o.faults.shortBlock = 1;
    Scope scope(o);
    scope.cycle.acquireClicked();
    ASSERT_TRUE(scope.state.blnConnected);
    ASSERT_TRUE(waitUntil([&] { return !scope.state.blnConnected; }, 8000));
    EXPECT_EQ(scope.plots, 0);
    EXPECT_EQ(scope.light.colour(), colour::kRed);
}

TEST(Capture, AWrongEchoSuppressesTheTrace) {
    sim::Options o = simOptions();
    o.faults.wrongEchoAt = 5; // a character of the register programming
    Scope scope(o);
    scope.cycle.acquireClicked();
    EXPECT_TRUE(scope.state.blnConnected);
    EXPECT_TRUE(scope.state.blnSendFailed);
    EXPECT_FALSE(scope.state.blnArmed);
    EXPECT_EQ(scope.light.colour(), colour::kRed);
    EXPECT_FALSE(waitUntil([&] { return scope.plots > 0; }, 300));
}

TEST(Capture, PacedLineAtEachSpeed) {
    // At the real line's pace: identification within its 10 ms, echoes within 500 ms, and the
    // dump block by block.
    for (int baud : {115200, 57600}) {
        sim::Options o = simOptions();
        o.pace = true;
        o.bauds = {baud};
        Scope scope(o);
        scope.cycle.acquireClicked();
        ASSERT_TRUE(scope.state.blnConnected) << baud;
        EXPECT_EQ(scope.state.lngBaudRate, baud);
        EXPECT_TRUE(waitUntil([&] { return scope.plots == 1; }, 10000)) << baud;
        EXPECT_EQ(scope.state.intWriteIdx, 501);
    }
}
