#include "src/widgets/slide.h"

#include "tests/widgets/mouse.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using tracely::widgets::Slide;

namespace {

// The marker slide beside the analog graph.
void markerSlide(Slide& s) {
    s.setRange(-4, 4);
    s.setMainPointerVisible(false);
    s.addPointer("TrigLvl", Qt::yellow);
    s.addPointer("CHa_Zero", Qt::green);
    s.addPointer("CHb_Zero", Qt::cyan);
}

} // namespace

TEST(Slide, MainPointerSignalsChangesOnlyAndStaysOnItsScale) {
    Slide s;
    s.setRange(-4, 4);
    s.setStep(0.5);
    QSignalSpy spy(&s, &Slide::valueChanged);
    s.setValue(1.2);
    EXPECT_EQ(s.value(), 1.0);
    s.setValue(1.1);
    s.setValue(std::nan(""));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.last().at(0).toInt(), 0);
    s.setValue(99);
    EXPECT_EQ(s.value(), 4);
    s.setRange(-2, 2); // the value follows the narrower range
    EXPECT_EQ(s.value(), 2);
    EXPECT_EQ(spy.count(), 3);
}

TEST(Slide, NamedPointersAreAddressedByName) {
    Slide s;
    markerSlide(s);
    EXPECT_EQ(s.pointerCount(), 3);
    EXPECT_EQ(s.pointerIndex("CHa_Zero"), 2);
    EXPECT_EQ(s.pointerIndex("nope"), 0);
    EXPECT_EQ(s.addPointer("TrigLvl", Qt::red), 1); // recoloured, not duplicated
    EXPECT_EQ(s.addPointer("", Qt::red), 0);
    EXPECT_EQ(s.pointerCount(), 3);

    QSignalSpy spy(&s, &Slide::valueChanged);
    s.setPointerValue("CHb_Zero", 1.5f);
    EXPECT_EQ(s.pointerValue("CHb_Zero"), 1.5);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.last().at(0).toInt(), 3);
    EXPECT_EQ(spy.last().at(1).toDouble(), 1.5);
    s.setPointerValue("CHb_Zero", 1.5);
    s.setPointerValue("nope", 2);
    s.setPointerValue("TrigLvl", std::nan(""));
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(s.pointerValue("nope"), 0);
    // The main pointer is not touched by markers.
    EXPECT_EQ(s.value(), 0);
}

TEST(Slide, NamedPointerKeepsAValueOffTheScale) {
    Slide s;
    markerSlide(s);
    s.setPointerValue("TrigLvl", 5.25);
    EXPECT_EQ(s.pointerValue("TrigLvl"), 5.25);
}

TEST(Slide, NamedPointersShowAndHide) {
    Slide s;
    markerSlide(s);
    EXPECT_TRUE(s.pointerVisible("CHb_Zero"));
    s.setPointerVisible("CHb_Zero", false);
    EXPECT_FALSE(s.pointerVisible("CHb_Zero"));
    EXPECT_TRUE(s.pointerVisible("CHa_Zero"));
    s.setPointerVisible("nope", true);
    EXPECT_FALSE(s.pointerVisible("nope"));
}

TEST(Slide, UserDragsTheMainPointer) {
    Slide s;
    s.resize(60, 220);
    s.setRange(-4, 4);
    QSignalSpy spy(&s, &Slide::valueChanged);
    tracely::test::drag(&s, QPointF(30, 110), QPointF(30, -50));
    EXPECT_EQ(s.value(), 4); // vertical slides grow upwards, and stop at the end
    EXPECT_GT(spy.count(), 0);
    tracely::test::drag(&s, QPointF(30, 20), QPointF(30, 400));
    EXPECT_EQ(s.value(), -4);

    s.setOrientation(Qt::Horizontal);
    s.resize(220, 50);
    tracely::test::drag(&s, QPointF(110, 25), QPointF(500, 25));
    EXPECT_EQ(s.value(), 4);
}

TEST(Slide, MarkerSlideTakesNoUserInput) {
    Slide s;
    s.resize(60, 220);
    markerSlide(s);
    QSignalSpy spy(&s, &Slide::valueChanged);
    tracely::test::drag(&s, QPointF(30, 200), QPointF(30, 10));
    QTest::keyClick(&s, Qt::Key_Up);
    EXPECT_EQ(s.value(), 0);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(s.focusPolicy(), Qt::NoFocus);
}
