#include "tests/acquire/scope.h"
#include "tests/data/tables.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <string>

using namespace tracely;
using tracely::test::Scope;
using tracely::test::simOptions;
using tracely::test::waitUntil;

// The program's timebase against the simulator, which takes its own from the typed-in table:
// at every rate, speed and knob position the trigger sample lands on the row the table says.
namespace {

using Row = tables::TimebaseRow;
constexpr const auto& kRows = tables::kTimebase;

// The instrument knows only its registers: rows that program the same ones share the
// samples it keeps after the trigger, those of the first such row.
int triggerRow(const Row& r) {
    for (const Row& f : kRows) {
        if (f.baud == r.baud && f.r8Bit1 == r.r8Bit1 && f.r11 == r.r11 && f.r12 == r.r12 &&
            f.r13 == r.r13 && f.r20 == r.r20) {
            const int post = f.dumpOffset - f.trigStart + 1;
            return r.dumpOffset - post + 1;
        }
    }
    return -1;
}

} // namespace

TEST(TimebaseEndToEnd, TheTriggerLandsWhereTheTableSaysAtEveryRow) {
    for (std::size_t first = 0; first < std::size(kRows); first += 21) {
        const Row& r0 = kRows[first];
        // Two hundred samples a period, on a rising edge at mid scale.
        const double dt =
            static_cast<float>(r0.timeAdj) / (r0.r8Bit1 != 0 ? (r0.baud == 115200 ? 10 : 20) : 1);
        sim::Options o = simOptions();
        o.bauds = {r0.baud};
        o.cha = sim::Waveform{sim::WaveKind::Sine, 1.0 / (200.0 * dt), 1.5, 0.0};
        Scope scope(o);
        FrontPanelState& s = scope.state;
        s.strSampleRate = r0.rate;
        s.bytREG_R5 = 128;
        s.bytREG_R6 = 127;
        s.bytREG_R7 = 0x23;
        for (std::size_t i = first; i < first + 21; ++i) {
            const Row& r = kRows[i];
            const std::string row = std::string(r.rate) + " " + std::to_string(r.baud) + " " +
                                    std::to_string(r.position);
            scope.engine.setTimeRange(r.position);
            s.blnTimeChanged = true;
            const int before = scope.rec.captures;
            scope.engine.acquireClicked();
            ASSERT_TRUE(waitUntil([&] { return scope.rec.captures == before + 1; }, 15000)) << row;
            EXPECT_EQ(s.intCaptureLen, r.capture) << row;
            // The rising edge is on the row the table says, where the search finds it.
            const int t = triggerRow(r);
            ASSERT_GT(t, 1) << row;
            ASSERT_LE(t, static_cast<int>(s.bytSampleBuf.size())) << row;
            EXPECT_GE(s.bytSampleBuf[static_cast<std::size_t>(t - 1)].analog, 128) << row;
            EXPECT_LT(s.bytSampleBuf[static_cast<std::size_t>(t - 2)].analog, 128) << row;
            if (r.r8Bit1 == 0) { // undecimated: the index is still the row itself
                EXPECT_EQ(s.intTrigIndex, t) << row;
            }
            int blocks = 0;
            for (const auto& b : scope.sim.blocks()) {
                blocks += b.trace == before + 1;
            }
            EXPECT_EQ(blocks, r.chunks) << row;
        }
    }
}
