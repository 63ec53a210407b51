#include "src/core/front_panel_state.h"
#include "src/link/timebase.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tracely;
using namespace tracely::timebase;

namespace {
FrontPanelState configured(const char* rate, int baud, double position) {
    FrontPanelState s;
    s.strSampleRate = rate;
    s.lngBaudRate = baud;
    CofigTime(s, position);
    return s;
}
} // namespace

TEST(Timebase, StartUpStateOnceFoundAt57600) {
    const FrontPanelState s = configured("25MSa/s", 57600, 10);
    EXPECT_EQ(s.lngTimeScale, 1000000);
    EXPECT_EQ(s.intTimeBase, 1);
    EXPECT_FLOAT_EQ(s.sngTimeAdj, 4e-08f);
    EXPECT_EQ(s.intCHaLenNext, 500);
    EXPECT_EQ(s.intCHbLenNext, 500);
    EXPECT_EQ(s.intLogicLenNext, 500);
    EXPECT_EQ(s.intChunksNext, 2);
    EXPECT_EQ(s.intCaptureLenNext, 500);
    EXPECT_EQ(s.intTrigStartNext, 250);
    EXPECT_EQ(s.intDumpOffsetNext, 530);
    EXPECT_EQ(s.bytREG_R11, 0);
    EXPECT_EQ(s.bytREG_R12, 0);
    EXPECT_EQ(s.bytREG_R13, 1);
    EXPECT_EQ(s.bytREG_R20, 3);
    EXPECT_EQ(s.bytREG_R8 & 2, 0);
}

TEST(Timebase, TimeScaleEnds) {
    EXPECT_EQ(timeScaleFor(1)->lngTimeScale, 1000000000);
    EXPECT_STREQ(timeScaleFor(9)->label, "500n");
    EXPECT_EQ(timeScaleFor(9)->intTimeBase, 0);
    EXPECT_EQ(timeScaleFor(18)->intTimeBase, 1);
    EXPECT_EQ(timeScaleFor(19)->intTimeBase, 2);
    EXPECT_EQ(timeScaleFor(21)->lngTimeScale, 200);
    EXPECT_FALSE(timeScaleFor(0));
    EXPECT_FALSE(timeScaleFor(22));
    // R8 keeps its other bits when the rate sets or clears bit 1.
    FrontPanelState s;
    s.strSampleRate = "10KSa/s";
    CofigTime(s, 10);
    EXPECT_EQ(s.bytREG_R8, 3);
    s.strSampleRate = "25MSa/s";
    CofigTime(s, 10);
    EXPECT_EQ(s.bytREG_R8, 1);
}

TEST(Timebase, Position16StartsTheSearchTenRowsLater) {
    for (int baud : {57600, 115200}) {
        const auto g15 = captureGeometry(Rate::R25M, baud, 15);
        const auto g16 = captureGeometry(Rate::R25M, baud, 16);
        const auto g17 = captureGeometry(Rate::R25M, baud, 17);
        EXPECT_EQ(g15.trigStart, 7490);
        EXPECT_EQ(g16.trigStart, 7500);
        EXPECT_EQ(g17.trigStart, 7490);
        EXPECT_EQ(g16.dumpOffset, g15.dumpOffset);
        EXPECT_EQ(g16.r11, g17.r11);
        EXPECT_EQ(g16.r13, g17.r13);
        EXPECT_EQ(g16.r20, g17.r20);
        EXPECT_EQ(g16.capture, g15.capture);
    }
    EXPECT_EQ(captureGeometry(Rate::R25M, 57600, 16).r13, 2);
    EXPECT_EQ(captureGeometry(Rate::R25M, 115200, 16).r13, 1);
    EXPECT_EQ(captureGeometry(Rate::R25M, 115200, 21).r20, 119);
}

TEST(Timebase, SlowRatesIgnoreTheKnobButForTheScale) {
    for (const char* rate : {"10KSa/s", "25KSa/s"}) {
        for (int baud : {57600, 115200}) {
            const FrontPanelState a = configured(rate, baud, 1);
            for (int p = 2; p <= 21; ++p) {
                const FrontPanelState b = configured(rate, baud, p);
                EXPECT_EQ(b.intCaptureLenNext, a.intCaptureLenNext);
                EXPECT_EQ(b.intDumpOffsetNext, a.intDumpOffsetNext);
                EXPECT_EQ(b.bytREG_R13, a.bytREG_R13);
                EXPECT_FLOAT_EQ(b.sngTimeAdj, a.sngTimeAdj);
                EXPECT_NE(b.lngTimeScale, a.lngTimeScale);
            }
            EXPECT_EQ(a.bytREG_R8 & 2, 2);
        }
    }
    EXPECT_EQ(configured("10KSa/s", 57600, 5).bytREG_R13, 76);
    EXPECT_EQ(configured("10KSa/s", 115200, 5).bytREG_R13, 159);
    EXPECT_EQ(configured("25KSa/s", 115200, 5).bytREG_R13, 59);
    EXPECT_FLOAT_EQ(configured("25KSa/s", 115200, 5).sngTimeAdj, 3.98e-05f);
    EXPECT_EQ(configured("10KSa/s", 115200, 5).intChunksNext, 20);
}

TEST(Timebase, HundredKiloSampleRows) {
    // Positions 1..13 share one row; the point counts differ by speed.
    const auto slow = captureGeometry(Rate::R100K, 57600, 7);
    const auto fast = captureGeometry(Rate::R100K, 115200, 13);
    EXPECT_EQ(slow.points, 20);
    EXPECT_EQ(fast.points, 21);
    EXPECT_EQ(slow.chunks, 2);
    EXPECT_EQ(fast.chunks, 1);
    EXPECT_EQ(slow.r13, 1);
    EXPECT_EQ(fast.r13, 9);
    EXPECT_EQ(captureGeometry(Rate::R100K, 115200, 14).points, 41);
    EXPECT_EQ(captureGeometry(Rate::R100K, 57600, 17).r11, 201);
    EXPECT_EQ(captureGeometry(Rate::R100K, 115200, 17).dumpOffset, 4040);
    EXPECT_EQ(captureGeometry(Rate::R100K, 57600, 18).dumpOffset, 10060);
    EXPECT_FLOAT_EQ(captureGeometry(Rate::R100K, 115200, 18).sngTimeAdj, 9.8e-06f);
}

TEST(Timebase, ChunksAlwaysCoverTheCapture) {
    for (auto rate : {Rate::R10K, Rate::R25K, Rate::R100K, Rate::R25M}) {
        for (int baud : {57600, 115200}) {
            for (int p = 1; p <= 21; ++p) {
                const auto g = captureGeometry(rate, baud, p);
                EXPECT_GE(g.chunks * 256, g.capture) << rateText(rate) << " " << baud << " " << p;
                EXPECT_LT(g.trigStart, g.capture);
                EXPECT_GT(g.dumpOffset, g.trigStart);
            }
        }
    }
}

TEST(Timebase, UnknownInputsChangeOnlyWhatTheyMay) {
    // Unknown rate: the time scale follows the knob, nothing else moves.
    FrontPanelState s;
    s.strSampleRate = "1GSa/s";
    s.bytREG_R8 = 3;
    CofigTime(s, 19);
    EXPECT_EQ(s.lngTimeScale, 1000);
    EXPECT_EQ(s.intTimeBase, 2);
    EXPECT_EQ(s.bytREG_R8, 3);
    EXPECT_EQ(s.intCaptureLenNext, 0);
    EXPECT_FLOAT_EQ(s.sngTimeAdj, 4e-08f);

    // Case matters in the rate text.
    FrontPanelState c;
    c.strSampleRate = "25msa/s";
    CofigTime(c, 12);
    EXPECT_EQ(c.intCaptureLenNext, 0);

    // Positions off the scale, however far, change nothing at all.
    for (double p : {0.0, 22.0, -1e300, 1e300, std::numeric_limits<double>::quiet_NaN()}) {
        FrontPanelState t;
        CofigTime(t, p);
        EXPECT_EQ(t.lngTimeScale, 1000000);
        EXPECT_EQ(t.intCaptureLenNext, 0);
    }
    // Knob values round to the nearest position.
    EXPECT_EQ(configured("25MSa/s", 57600, 10.6).intCaptureLenNext, 1000);
}
