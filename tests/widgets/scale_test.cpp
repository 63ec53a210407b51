// The scale arithmetic and the two widgets built on it: knob and slide.
#include "tests/widgets/helpers.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace tracely::widgets;
using namespace tracely::test;

namespace {

ScaleModel model(double min, double max, double step, bool wrap = false, int labels = 0) {
    ScaleModel m;
    m.setRange(min, max);
    m.setStep(step);
    m.setWrapping(wrap);
    m.setLabelPositions(labels);
    return m;
}

// A point on the dial at an angle (degrees clockwise from twelve o'clock).
QPointF onDial(const Knob& k, double angle) {
    const double a = angle * std::numbers::pi / 180.0;
    return QRectF(k.rect()).center() + QPointF(60 * std::sin(a), -60 * std::cos(a));
}

void turn(Knob& k, double from, double to) {
    dragAlong(&k, [&](double t) { return onDial(k, from + (to - from) * t); });
}

void wheel(Knob& k, int delta) {
    const QPointF c = QRectF(k.rect()).center();
    QWheelEvent e(c, k.mapToGlobal(c), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&k, &e);
}

} // namespace

TEST(ScaleModel, SnapsOntoTheGridOrLabelsAndRefusesBadScales) {
    EXPECT_EQ(model(16, 240, 16).snap(24), 32); // halfway rounds up
    EXPECT_EQ(model(0, 10, 3).snap(10), 9);     // a grid short of the maximum stops early...
    EXPECT_DOUBLE_EQ(model(0, 0.3, 0.1).snap(0.3), 0.3); // ...unless short only by rounding
    EXPECT_EQ(model(1, 6, 0, false, 6).snap(2.4), 2);
    EXPECT_EQ(model(1, 6, 0, false, 1).snap(2.4), 2.4); // one label is no grid
    EXPECT_EQ(model(0, 1, 1e-12).spacing(), 0);         // far finer than visible: free

    ScaleModel m = model(0, 10, 1);
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(m.setRange(std::nan(""), 1));
    EXPECT_FALSE(m.setRange(0, inf));
    EXPECT_FALSE(m.setRange(-1e308, 1e308)); // the span itself overflows
    EXPECT_FALSE(m.setStep(-1));
    EXPECT_FALSE(m.setStep(inf));
    EXPECT_EQ(m.step(), 1);
    EXPECT_TRUE(m.setRange(5, -5));
    EXPECT_EQ(m.snap(std::nan("")), -5); // the minimum, after the swap
}

TEST(ScaleModel, WrapsRoundTheCircleAndWritesRoundNumbers) {
    const ScaleModel pan = model(1, 10, 1, true);
    EXPECT_EQ(pan.stepFrom(9, 3), 2);
    EXPECT_EQ(pan.stepFrom(2, -25), 7);
    EXPECT_DOUBLE_EQ(model(0, 200, 0, true).stepFrom(199, 1), 1); // free: hundredths
    EXPECT_EQ(pan.snapOnCircle(10.6), 1); // the last position sits one step before the first
    EXPECT_EQ(pan.snapOnCircle(-25.2), 5);

    EXPECT_FALSE(std::signbit(model(-4, 4, 0).niceTicks(9).at(4))); // "0", never "-0"
    for (const double v : model(-5500, 5500, 0).niceTicks(6)) {
        EXPECT_EQ(std::fmod(v, 2500), 0) << v;
    }
    EXPECT_EQ(model(3, 3, 0).niceTicks(5), std::vector<double>{3});
}

TEST(Knob, SnapsClampsStepsAndResnapsWhenTheScaleChanges) {
    Knob k;
    levelKnob(k);
    for (const auto& [asked, kept] : {std::pair{1000.0, 240.0}, {-5.0, 16.0}, {57.0, 64.0}}) {
        k.setValue(asked);
        EXPECT_EQ(k.value(), kept) << asked;
    }
    QTest::keyClick(&k, Qt::Key_Home);
    QTest::keyClick(&k, Qt::Key_Up);
    EXPECT_EQ(k.value(), 32);
    QTest::keyClick(&k, Qt::Key_PageUp); // about a tenth of the scale
    EXPECT_EQ(k.value(), 64);
    // Level to edge mode: step 64 first (on the old range), then the new range.
    k.setValue(128);
    QSignalSpy spy(&k, &Knob::valueChanged);
    k.setStep(64);
    EXPECT_EQ(k.value(), 144); // 16 + 2 * 64
    k.setRange(64, 192);
    k.setRange(64, 192);
    EXPECT_EQ(k.value(), 128);
    EXPECT_EQ(spy.count(), 2);
    k.setValue(170); // snaps onto 192
    // Back to level mode keeps an edge position that is on the finer grid.
    k.setStep(16);
    k.setRange(16, 240);
    EXPECT_EQ(k.value(), 192);
}

TEST(Knob, LabelledPositionsCarryTextAndValueAndSnapThePointer) {
    Knob k;
    sixLabels(k);
    EXPECT_EQ(k.labelText(1), "50 ");
    EXPECT_EQ(k.labelValue(4), 5);
    EXPECT_EQ(k.labelText(7), QString());
    k.setLabelValue(2, std::nan(""));
    EXPECT_EQ(k.labelValue(2), 20);

    k.setSelectedLabel(3);
    EXPECT_EQ(k.value(), 3);
    EXPECT_EQ(k.valueText(), "10");
    k.setValue(4.4); // without a step the labelled positions are the grid
    EXPECT_EQ(k.value(), 4);
    // Relabelling (as a probe or source change does) keeps the pointer where it was.
    k.clearLabels();
    EXPECT_EQ(k.selectedLabel(), 0);
    sixLabels(k);
    EXPECT_EQ(k.selectedLabel(), 4);

    // With a step finer than the labels, the nearest position is selected.
    k.setRange(1, 21);
    while (k.labelCount() < 21) {
        k.appendLabel();
    }
    k.setStep(0.1);
    k.setValue(10.4);
    EXPECT_EQ(k.selectedLabel(), 10);
    k.setValue(10.6);
    EXPECT_EQ(k.selectedLabel(), 11);
}

TEST(Knob, JogKnobWrapsUnderWheelAndDrag) {
    Knob k;
    k.resize(200, 200);
    k.setRange(1, 10);
    k.setStep(1);
    k.setWrapping(true);
    k.setValue(10);
    wheel(k, 120);
    EXPECT_EQ(k.value(), 1);
    wheel(k, -60); // half notches gather into one step
    EXPECT_EQ(k.value(), 1);
    wheel(k, -60);
    EXPECT_EQ(k.value(), 10);

    QSignalSpy spy(&k, &Knob::valueChanged);
    const double start = k.angleOf(10);
    turn(k, start, start + 2 * 36.0); // two positions clockwise, through the top
    EXPECT_EQ(k.value(), 2);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(1).toDouble(), 1);
    turn(k, 0, -3 * 36.0);
    EXPECT_EQ(k.value(), 9);
}

TEST(Knob, DragTurnsThePointerBetweenGrabAndRelease) {
    Knob k;
    k.resize(200, 200);
    k.setRange(0, 270); // one unit per degree of the 270-degree dial
    k.setValue(135);    // pointer at twelve o'clock
    k.show();
    QSignalSpy grabbed(&k, &Knob::pointerGrabbed);
    QSignalSpy released(&k, &Knob::pointerReleased);
    turn(k, 0, 90);
    EXPECT_NEAR(k.value(), 225, 0.5);
    EXPECT_EQ(grabbed.count(), 1);
    EXPECT_EQ(released.count(), 1);

    // Past the end the pointer waits at the maximum and answers at once when turned back.
    press(&k, onDial(k, 90));
    for (int a = 100; a <= 200; a += 10) {
        moveHeld(&k, onDial(k, a));
    }
    EXPECT_EQ(k.value(), 270);
    moveHeld(&k, onDial(k, 190));
    EXPECT_NEAR(k.value(), 260, 0.5);
    release(&k, onDial(k, 190));

    // Hidden mid-drag: released once, and the late mouse release adds nothing.
    press(&k, onDial(k, 0));
    k.hide();
    EXPECT_EQ(released.count(), 3);
    release(&k, onDial(k, 0));
    EXPECT_EQ(released.count(), 3);
    EXPECT_EQ(grabbed.count(), 3);
}

TEST(Slide, UserDragsTheMainPointerAndOnlyCodeMovesNamedPointers) {
    Slide s;
    s.resize(60, 220);
    s.setRange(-4, 4);
    drag(&s, QPointF(30, 110), QPointF(30, -50));
    EXPECT_EQ(s.value(), 4); // vertical slides grow upwards, and stop at the end
    drag(&s, QPointF(30, 20), QPointF(30, 400));
    EXPECT_EQ(s.value(), -4);

    markerSlide(s); // named pointers only now: the user moves nothing
    QSignalSpy spy(&s, &Slide::valueChanged);
    drag(&s, QPointF(30, 200), QPointF(30, 10));
    QTest::keyClick(&s, Qt::Key_Up);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(s.addPointer("TrigLvl", Qt::red), 1); // recoloured, not duplicated
    EXPECT_EQ(s.addPointer("", Qt::red), 0);
    s.setPointerValue("TrigLvl", 5.25);
    EXPECT_EQ(s.pointerValue("TrigLvl"), 5.25); // kept off the scale
    EXPECT_EQ(s.pointerValue("nope"), 0);
    s.setPointerVisible("CHb_Zero", false);
    s.setPointerVisible("nope", true);
    EXPECT_FALSE(s.pointerVisible("CHb_Zero"));
    EXPECT_TRUE(s.pointerVisible("CHa_Zero"));
    EXPECT_FALSE(s.pointerVisible("nope"));
}
