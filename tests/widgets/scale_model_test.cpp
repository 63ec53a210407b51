#include "src/widgets/scale_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using tracely::widgets::ScaleModel;

namespace {

ScaleModel model(double min, double max, double step, bool wrap = false, int labels = 0) {
    ScaleModel m;
    m.setRange(min, max);
    m.setStep(step);
    m.setWrapping(wrap);
    m.setLabelPositions(labels);
    return m;
}

} // namespace

TEST(ScaleModel, SnapsOntoStepGridAndClamps) {
    const ScaleModel level = model(16, 240, 16);
    for (double v = 16; v <= 240; v += 16) {
        EXPECT_EQ(level.snap(v), v);
    }
    EXPECT_EQ(level.snap(17), 16);
    EXPECT_EQ(level.snap(24), 32); // halfway rounds up
    EXPECT_EQ(level.snap(239), 240);
    EXPECT_EQ(level.snap(0), 16);
    EXPECT_EQ(level.snap(1000), 240);
    EXPECT_EQ(level.gridCount(), 15);

    const ScaleModel edge = model(64, 192, 64);
    EXPECT_EQ(edge.gridCount(), 3);
    EXPECT_EQ(edge.snap(20), 64);
    EXPECT_EQ(edge.snap(100), 128);
    EXPECT_EQ(edge.snap(170), 192);
    EXPECT_EQ(edge.snap(500), 192);
}

TEST(ScaleModel, GridThatDoesNotReachTheMaximumStopsAtItsLastPosition) {
    const ScaleModel m = model(0, 10, 3);
    EXPECT_EQ(m.snap(10), 9);
    EXPECT_EQ(m.stepFrom(9, 1), 9);
    // Spans that are whole steps only up to rounding still reach their end.
    EXPECT_DOUBLE_EQ(model(0, 0.3, 0.1).snap(0.3), 0.3);
}

TEST(ScaleModel, WithoutStepSnapsToLabelledPositionsOrMovesFreely) {
    EXPECT_EQ(model(1, 6, 0, false, 6).snap(2.4), 2);
    EXPECT_EQ(model(1, 6, 0).snap(2.4), 2.4);
    EXPECT_EQ(model(1, 6, 0, false, 1).snap(2.4), 2.4); // one label is no grid
    // A grid far finer than anything visible behaves as a free pointer.
    EXPECT_EQ(model(0, 1, 1e-12).spacing(), 0);
}

TEST(ScaleModel, RefusesBadRangesAndSteps) {
    ScaleModel m = model(0, 10, 1);
    EXPECT_TRUE(m.setRange(5, -5));
    EXPECT_EQ(m.minimum(), -5);
    EXPECT_EQ(m.maximum(), 5);
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(m.setRange(std::nan(""), 1));
    EXPECT_FALSE(m.setRange(0, inf));
    EXPECT_FALSE(m.setRange(-1e308, 1e308)); // the span itself overflows
    EXPECT_EQ(m.maximum(), 5);
    EXPECT_FALSE(m.setStep(-1));
    EXPECT_FALSE(m.setStep(inf));
    EXPECT_EQ(m.step(), 1);
    EXPECT_EQ(m.snap(std::nan("")), -5);
}

TEST(ScaleModel, SteppingClampsOrWraps) {
    const ScaleModel pan = model(1, 10, 1, true);
    EXPECT_EQ(pan.stepFrom(10, 1), 1);
    EXPECT_EQ(pan.stepFrom(1, -1), 10);
    EXPECT_EQ(pan.stepFrom(9, 3), 2);
    EXPECT_EQ(pan.stepFrom(2, -25), 7);
    const ScaleModel plain = model(1, 10, 1);
    EXPECT_EQ(plain.stepFrom(10, 1), 10);
    EXPECT_EQ(plain.stepFrom(1, -3), 1);
    // Free pointer: hundredths of the range.
    EXPECT_DOUBLE_EQ(model(0, 200, 0).stepFrom(50, 3), 56);
    EXPECT_DOUBLE_EQ(model(0, 200, 0, true).stepFrom(199, 1), 1);
}

TEST(ScaleModel, CircleOfAWrappingDialPutsTheLastPositionNextToTheFirst) {
    const ScaleModel pan = model(1, 10, 1, true);
    EXPECT_EQ(pan.circleSpan(), 10);
    EXPECT_EQ(pan.snapOnCircle(10.6), 1);
    EXPECT_EQ(pan.snapOnCircle(0.6), 1);
    EXPECT_EQ(pan.snapOnCircle(0.4), 10);
    EXPECT_EQ(pan.snapOnCircle(-25.2), 5);
    EXPECT_DOUBLE_EQ(pan.wrapOnCircle(11.5), 1.5);
}

TEST(ScaleModel, PageStepIsAboutATenthOfTheScale) {
    EXPECT_EQ(model(1, 6, 0, false, 6).pageSteps(), 1);
    EXPECT_EQ(model(16, 240, 16).pageSteps(), 2);
    EXPECT_EQ(model(0, 1000, 1).pageSteps(), 100);
}

TEST(ScaleModel, LabelledPositionsAreEquallySpaced) {
    const ScaleModel time = model(1, 21, 0, false, 21);
    EXPECT_EQ(time.labelValue(1, 21), 1);
    EXPECT_EQ(time.labelValue(10, 21), 10);
    EXPECT_EQ(time.labelValue(21, 21), 21);
    EXPECT_EQ(time.nearestLabel(10.4, 21), 10);
    EXPECT_EQ(time.nearestLabel(10.6, 21), 11);
    EXPECT_EQ(time.nearestLabel(99, 21), 21);

    const ScaleModel wide = model(0, 100, 0);
    EXPECT_EQ(wide.labelValue(2, 6), 20);
    EXPECT_EQ(wide.nearestLabel(29, 6), 2);
    EXPECT_EQ(wide.nearestLabel(31, 6), 3);
    EXPECT_EQ(wide.nearestLabel(31, 0), 0);
    EXPECT_EQ(wide.nearestLabel(31, 1), 1);
    EXPECT_EQ(wide.labelValue(7, 1), 0);
}

TEST(ScaleModel, NumericLabelsAreRoundOrOnTheGrid) {
    const std::vector<double> offset = model(-4, 4, 0).niceTicks(9);
    ASSERT_EQ(offset.size(), 9u);
    EXPECT_EQ(offset.front(), -4);
    EXPECT_EQ(offset[4], 0);
    EXPECT_FALSE(std::signbit(offset[4]));
    EXPECT_EQ(offset.back(), 4);

    const std::vector<double> level = model(16, 240, 16).niceTicks(8);
    ASSERT_EQ(level.size(), 8u);
    EXPECT_EQ(level.front(), 16);
    EXPECT_EQ(level[1], 48);
    EXPECT_EQ(level.back(), 240);

    for (const double v : model(-5500, 5500, 0).niceTicks(6)) {
        EXPECT_EQ(std::fmod(v, 2500), 0) << v;
    }
    EXPECT_EQ(model(3, 3, 0).niceTicks(5), std::vector<double>{3});
}
