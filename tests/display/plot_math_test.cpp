#include "src/display/plot_math.h"

#include <gtest/gtest.h>

using namespace tracely::display;

TEST(PlotMath, TriggerPointLandsOnTrigPos) {
    const float step = plotStep(4e-08f, 1000000);
    EXPECT_EQ(step, 4e-08f * 1000000.0f); // single precision
    EXPECT_EQ(plotBase(5.0f, 1, step), 5.0);
    EXPECT_DOUBLE_EQ(plotBase(5.0f, 11, step) + 10.0 * step, 5.0);
}

TEST(PlotMath, AnalogYIsVoltsTimesScaleNegatedWhenInvertedPlusOffset) {
    const float adj = 0.047058824f;
    const std::vector<double> y = analogY({0.0f, adj}, 0.1f, true, 2.0f); // bytes 128, 129
    EXPECT_EQ(y, (std::vector<double>{2.0, 2.0f - adj * 0.1f}));
    EXPECT_EQ(analogY({adj}, 0.1f, false, 2.0f)[0], double(adj * 0.1f + 2.0f));
    // Byte 255 at ".01" volts per division: 0.12949 V, 12.949 divisions up.
    EXPECT_NEAR(analogY({127 * 0.0010196069f}, 100.0f, false, 0.0f)[0], 12.949, 1e-3);
}

TEST(PlotMath, LogicMatrixStacksTheLinesRowMajor) {
    // 0x81 at point 1; point 2 all low.
    const std::vector<double> y = logicMatrix({{1, 0, 0, 0, 0, 0, 0, 1}, {}});
    EXPECT_EQ(y, (std::vector<double>{0.5, 1, 2, 3, 4, 5, 6, 7.5, 0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(PlotMath, PanStepIsOneQuarterPerEventAndReadsTheWrapAsOneStep) {
    EXPECT_EQ(panStep(10, 1), 0.25);  // wrapped past the top
    EXPECT_EQ(panStep(1, 10), -0.25); // wrapped past the bottom
    EXPECT_EQ(panStep(3, 7), 0.25);   // a big jump is still one quarter
    EXPECT_EQ(panStep(7, 3), -0.25);
    EXPECT_EQ(panStep(5, 5), 0.0);
}
