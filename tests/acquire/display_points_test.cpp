#include "src/acquire/display_points.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace tracely;

namespace {
FrontPanelState capture(int rows, std::uint8_t r8, int baud, int trigIndex, int len) {
    FrontPanelState s;
    s.bytS_REG_R8 = r8;
    s.lngBaudRate = baud;
    s.intTrigIndex = static_cast<std::int16_t>(trigIndex);
    s.intCaptureLen = static_cast<std::int16_t>(rows);
    s.intCHaLen = s.intCHbLen = s.intLogicLen = static_cast<std::int16_t>(len);
    for (int r = 1; r <= rows; ++r) {
        // The analog byte carries the row number's low byte, the logic byte too.
        s.bytSampleBuf.push_back(
            SampleRow{static_cast<std::uint8_t>(r & 0xFF), static_cast<std::uint8_t>(r & 0xFF)});
    }
    return s;
}
} // namespace

TEST(RowWalk, DecimationKeepsTheTriggerOnAPoint) {
    const struct {
        std::uint8_t r8;
        int baud, trigIndex;
        int first, step, trigPoint;
    } cases[] = {
        {3, 115200, 5003, 3, 10, 501}, {3, 57600, 5000, 1, 20, 251}, {1, 57600, 250, 1, 1, 250}};
    for (const auto& c : cases) {
        FrontPanelState s = capture(10, c.r8, c.baud, c.trigIndex, 0);
        const RowWalk w = chooseRowWalk(s);
        EXPECT_EQ(std::tuple(w.first, w.step, static_cast<int>(s.intTrigIndex)),
                  std::tuple(c.first, c.step, c.trigPoint))
            << c.baud << " " << c.trigIndex;
    }
}

TEST(DisplayPoints, VoltsOfTheOneEnabledChannel) {
    FrontPanelState s = capture(600, 1, 57600, 250, 500);
    s.sngCHaAdj = 0.5f;
    s.sngCHbData = {9.0f};
    buildDisplayPoints(s, true, false);
    ASSERT_EQ(s.sngCHaData.size(), 500u);
    EXPECT_FLOAT_EQ(s.sngCHaData[0], (1 - 128) * 0.5f);
    EXPECT_FLOAT_EQ(s.sngCHaData[127], 0.0f);
    EXPECT_EQ(s.sngCHbData, std::vector<float>{9.0f}); // channel B untouched
    ASSERT_EQ(s.bytLogicData.size(), 500u);
    // Row 129 has logic byte 0x81: line 1 and line 8 high.
    const LogicPoint p = s.bytLogicData[128];
    EXPECT_EQ(p[0], 1);
    EXPECT_EQ(p[7], 1);
    for (int k = 1; k < 7; ++k) {
        EXPECT_EQ(p[static_cast<std::size_t>(k)], 0);
    }
}

TEST(DisplayPoints, DecimatedWalkAndShortCaptures) {
    // Decimated at 57600: rows 1, 21, 41 ...; a 100-row capture fills 5 of 500 points.
    FrontPanelState s = capture(100, 3, 57600, 40, 500);
    s.sngCHbAdj = 1.0f;
    buildDisplayPoints(s, false, true);
    ASSERT_EQ(s.sngCHbData.size(), 500u);
    EXPECT_FLOAT_EQ(s.sngCHbData[0], 1 - 128.0f);
    EXPECT_FLOAT_EQ(s.sngCHbData[1], 21 - 128.0f);
    EXPECT_FLOAT_EQ(s.sngCHbData[4], 81 - 128.0f);
    EXPECT_FLOAT_EQ(s.sngCHbData[5], 0.0f); // never reached: stays cleared
    EXPECT_EQ(s.intTrigIndex, 3);
}

TEST(DisplayPoints, BothOrNeitherChannelKeepsTheAnalogPoints) {
    FrontPanelState s = capture(50, 1, 57600, 10, 40);
    s.sngCHaData = {1.0f, 2.0f};
    s.sngCHbData = {3.0f};
    buildDisplayPoints(s, true, true);
    EXPECT_EQ(s.sngCHaData.size(), 2u);
    EXPECT_EQ(s.sngCHbData.size(), 1u);
    EXPECT_EQ(s.bytLogicData.size(), 40u);
    buildDisplayPoints(s, false, false);
    EXPECT_EQ(s.sngCHaData.size(), 2u);
    // Nonsense lengths and trigger rows do no harm.
    s.intLogicLen = -5;
    s.intTrigIndex = -7;
    s.bytS_REG_R8 = 3;
    buildDisplayPoints(s, true, false);
    EXPECT_TRUE(s.bytLogicData.empty());
}
