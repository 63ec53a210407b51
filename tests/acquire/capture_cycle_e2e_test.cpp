#include "tests/acquire/scope.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tracely;
using tracely::test::waitUntil;

// Whole captures against the simulator on a real pseudo-terminal: identification, register
// programming, trigger answer, dump, trigger search and display points. The line's faults and
// both speeds are the fault matrix's.
using tracely::test::Scope;
using tracely::test::simOptions;

TEST(Capture, OneTraceAtTheStartUpPanel) {
    Scope scope(simOptions());
    FrontPanelState& s = scope.state;
    scope.engine.acquireClicked();
    ASSERT_TRUE(waitUntil([&] { return scope.rec.captures == 1; }, 10000));
    EXPECT_TRUE(s.blnConnected);
    EXPECT_TRUE(s.blnCaptureDone);
    EXPECT_FALSE(s.blnArmed);
    EXPECT_EQ(s.intWriteIdx, 501); // two blocks, 500 rows kept
    EXPECT_FALSE(scope.rec.lit);
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
    ASSERT_EQ(s.bytLogicData.size(), 500u);
    EXPECT_EQ(scope.misaligned(), 0);
    EXPECT_EQ(scope.rec.progressReports, 0); // a short dump shows no progress
}

TEST(Capture, ALongDumpShowsItsProgressAndAcquireDuringItStartsAfresh) {
    // 20 blocks at 115200 take most of a second: blocks and time left are shown as they come.
    sim::Options o = simOptions();
    o.pace = true;
    o.bauds = {115200};
    Scope scope(o);
    scope.engine.setTimeRange(13);
    std::vector<int> seen;
    QObject::connect(&scope.engine, &AcquisitionEngine::progressChanged, &scope.rec.ctx,
                     [&](int done, int total, double left) {
                         if (total > 0) {
                             EXPECT_EQ(total, 20);
                             EXPECT_NEAR(left, (20 - done) * 513 * 10.0 / 115200, 1e-9);
                             seen.push_back(done);
                         }
                     });
    scope.engine.acquireClicked();
    ASSERT_TRUE(waitUntil([&] { return scope.rec.lastProgress >= 5; }, 10000));
    ASSERT_GE(seen.size(), 2u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.front(), 0);
    scope.engine.acquireClicked();
    ASSERT_TRUE(waitUntil([&] { return scope.rec.captures == 1; }, 20000));
    // The first dump was left after the block under way; the second capture was drawn from
    // its own trace, and nothing counts as a fault.
    const std::string sent = scope.sim.received();
    const std::size_t second = sent.find("[5]@", sent.find("[5]@") + 1);
    ASSERT_NE(second, std::string::npos);
    const auto firstDumpBlocks = std::count(sent.begin(), sent.begin() + second, 'M');
    EXPECT_GE(firstDumpBlocks, 5);
    EXPECT_LT(firstDumpBlocks, 20);
    EXPECT_EQ(std::count(sent.begin() + second, sent.end(), 'M'), 20);
    EXPECT_EQ(scope.misaligned(), 0);
    EXPECT_EQ(scope.engine.health().discarded, 0u);
    EXPECT_EQ(scope.engine.health().line.echoMismatches, 0u);
    EXPECT_EQ(scope.engine.health().line.strayBytes, 0u);
}
