#include "src/core/front_panel_state.h"
#include "src/instrument/timebase.h"
#include "src/link/time_config.h"
#include "tests/data/tables.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using namespace tracely;
using namespace tracely::timebase;

namespace {

using Row = tables::TimebaseRow;
constexpr const auto& kRows = tables::kTimebase;

} // namespace

TEST(Timebase, EveryRateSpeedAndPositionAsTabled) {
    ASSERT_EQ(std::size(kRows), 4u * 2u * 21u);
    for (const Row& r : kRows) {
        FrontPanelState s;
        s.strSampleRate = r.rate;
        s.lngBaudRate = r.baud;
        s.bytREG_R8 = r.r8Bit1 != 0 ? 0xFD : 0x02; // the other bits stay as they were
        CofigTime(s, r.position);
        const std::string row =
            std::string(r.rate) + " " + std::to_string(r.baud) + " " + std::to_string(r.position);
        EXPECT_STREQ(timeScaleFor(r.position)->label, r.label) << row;
        EXPECT_EQ(s.lngTimeScale, r.timeScale) << row;
        EXPECT_EQ(s.intTimeBase, r.timeBase) << row;
        EXPECT_EQ(s.sngTimeAdj, static_cast<float>(r.timeAdj)) << row;
        EXPECT_EQ(s.bytREG_R8, r.r8Bit1 != 0 ? 0xFF : 0x00) << row;
        for (auto len : {s.intCHaLenNext, s.intCHbLenNext, s.intLogicLenNext}) {
            EXPECT_EQ(len, r.points) << row;
        }
        EXPECT_EQ(s.intChunksNext, r.chunks) << row;
        EXPECT_EQ(s.intCaptureLenNext, r.capture) << row;
        EXPECT_EQ(s.intTrigStartNext, r.trigStart) << row;
        EXPECT_EQ(s.intDumpOffsetNext, r.dumpOffset) << row;
        EXPECT_EQ(s.bytREG_R11, r.r11) << row;
        EXPECT_EQ(s.bytREG_R12, r.r12) << row;
        EXPECT_EQ(s.bytREG_R13, r.r13) << row;
        EXPECT_EQ(s.bytREG_R20, r.r20) << row;
    }
}

TEST(Timebase, UnknownInputsChangeOnlyWhatTheyMay) {
    // An unknown rate (case matters) moves the time scale with the knob and nothing else.
    for (const char* rate : {"1GSa/s", "25msa/s"}) {
        FrontPanelState s;
        s.strSampleRate = rate;
        s.bytREG_R8 = 3;
        CofigTime(s, 19);
        EXPECT_EQ(s.lngTimeScale, 1000);
        EXPECT_EQ(s.intTimeBase, 2);
        EXPECT_EQ(s.bytREG_R8, 3);
        EXPECT_EQ(s.intCaptureLenNext, 0);
    }
    // Positions off the scale, however far, change nothing at all.
    for (double p : {0.0, 22.0, -1e300, 1e300, std::numeric_limits<double>::quiet_NaN()}) {
        FrontPanelState t;
        CofigTime(t, p);
        EXPECT_EQ(t.lngTimeScale, 1000000);
        EXPECT_EQ(t.intCaptureLenNext, 0);
    }
    // Knob values round to the nearest position.
    FrontPanelState s;
    CofigTime(s, 10.6);
    EXPECT_EQ(s.intCaptureLenNext, 1000);
}
