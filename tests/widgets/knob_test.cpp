#include "src/widgets/knob.h"

#include "tests/widgets/mouse.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using tracely::widgets::Knob;

namespace {

double lastValue(const QSignalSpy& spy) {
    return spy.last().at(1).toDouble();
}

// The trigger-level knob as the panel sets it up at start-up.
void levelKnob(Knob& k) {
    k.setRange(16, 240);
    k.setStep(16);
    k.setValue(128);
}

void sixLabels(Knob& k) {
    k.setRange(1, 6);
    const char* texts[] = {"50 ", "20 ", "10 ", "5 ", "2 ", "1 "};
    const double values[] = {50, 20, 10, 5, 2, 1};
    k.clearLabels();
    for (int i = 0; i < 6; ++i) {
        const int n = k.appendLabel();
        k.setLabelText(n, QString::fromLatin1(texts[i]));
        k.setLabelValue(n, values[i]);
    }
}

// A point on the dial at an angle (degrees clockwise from twelve o'clock).
QPointF onDial(const Knob& k, double angle, double radius = 60) {
    const double a = angle * std::numbers::pi / 180.0;
    return QRectF(k.rect()).center() + QPointF(radius * std::sin(a), -radius * std::cos(a));
}

void dragAround(Knob& k, double fromAngle, double toAngle, int steps = 12) {
    tracely::test::press(&k, onDial(k, fromAngle));
    for (int i = 1; i <= steps; ++i) {
        tracely::test::moveHeld(&k, onDial(k, fromAngle + (toAngle - fromAngle) * i / steps));
    }
    tracely::test::release(&k, onDial(k, toAngle));
}

} // namespace

TEST(Knob, SignalsChangesFromCodeButNotUnchangedSets) {
    Knob k;
    levelKnob(k);
    QSignalSpy spy(&k, &Knob::valueChanged);
    k.setValue(128);
    k.setValue(130); // snaps back onto 128
    EXPECT_EQ(spy.count(), 0);
    k.setValue(144);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.last().at(0).toInt(), 0);
    EXPECT_EQ(lastValue(spy), 144);
}

TEST(Knob, SnapsAndClampsIntoItsScale) {
    Knob k;
    levelKnob(k);
    k.setValue(1000);
    EXPECT_EQ(k.value(), 240);
    k.setValue(-5);
    EXPECT_EQ(k.value(), 16);
    k.setValue(57);
    EXPECT_EQ(k.value(), 64);
}

TEST(Knob, IgnoresNaNAndInfinity) {
    Knob k;
    levelKnob(k);
    QSignalSpy spy(&k, &Knob::valueChanged);
    k.setValue(std::nan(""));
    k.setValue(std::numeric_limits<double>::infinity());
    k.setRange(std::nan(""), 5);
    k.setStep(-std::numeric_limits<double>::infinity());
    EXPECT_EQ(k.value(), 128);
    EXPECT_EQ(k.minimum(), 16);
    EXPECT_EQ(k.step(), 16);
    EXPECT_EQ(spy.count(), 0);
}

TEST(Knob, ResnapsWhenStepAndRangeChange) {
    // Level to edge mode: step 64 first (on the old range), then the new range.
    Knob k;
    levelKnob(k);
    QSignalSpy spy(&k, &Knob::valueChanged);
    k.setStep(64);
    EXPECT_EQ(k.value(), 144); // 16 + 2 * 64
    k.setRange(64, 192);
    EXPECT_EQ(k.value(), 128);
    EXPECT_EQ(spy.count(), 2);
    k.setRange(64, 192);
    k.setStep(64);
    EXPECT_EQ(spy.count(), 2);
    // Back to level mode keeps an edge position that is on the finer grid.
    k.setValue(192);
    k.setStep(16);
    k.setRange(16, 240);
    EXPECT_EQ(k.value(), 192);
}

TEST(Knob, LabelledPositionsCarryTextAndValue) {
    Knob k;
    sixLabels(k);
    EXPECT_EQ(k.labelCount(), 6);
    EXPECT_EQ(k.labelText(1), "50 ");
    EXPECT_EQ(k.labelValue(4), 5);
    EXPECT_EQ(k.labelPosition(4), 4);
    EXPECT_EQ(k.labelText(0), QString());
    EXPECT_EQ(k.labelText(7), QString());
    EXPECT_EQ(k.labelValue(7), 0);
    k.setLabelValue(2, std::nan(""));
    k.setLabelText(9, "x");
    EXPECT_EQ(k.labelValue(2), 20);

    QSignalSpy spy(&k, &Knob::valueChanged);
    k.setSelectedLabel(3);
    EXPECT_EQ(k.value(), 3);
    EXPECT_EQ(k.selectedLabel(), 3);
    EXPECT_EQ(k.valueText(), "10");
    k.setSelectedLabel(0);
    k.setSelectedLabel(7);
    EXPECT_EQ(k.selectedLabel(), 3);
    EXPECT_EQ(spy.count(), 1);

    // Relabelling (as a probe or source change does) keeps the pointer where it was.
    k.clearLabels();
    EXPECT_EQ(k.labelCount(), 0);
    EXPECT_EQ(k.selectedLabel(), 0);
    sixLabels(k);
    EXPECT_EQ(k.selectedLabel(), 3);
    EXPECT_EQ(spy.count(), 1);
}

TEST(Knob, LabelledPositionsAreTheSnapGridWithoutAStep) {
    Knob k;
    sixLabels(k);
    k.setValue(4.4);
    EXPECT_EQ(k.value(), 4);
    EXPECT_EQ(k.selectedLabel(), 4);
}

TEST(Knob, SelectedLabelIsTheNearestPosition) {
    Knob k;
    k.setRange(1, 21);
    for (int i = 0; i < 21; ++i) {
        k.appendLabel();
    }
    k.setStep(0.1);
    k.setValue(10.4);
    EXPECT_EQ(k.selectedLabel(), 10);
    k.setValue(10.6);
    EXPECT_EQ(k.selectedLabel(), 11);
}

TEST(Knob, KeysMoveByOneStepAndReachTheEnds) {
    Knob k;
    levelKnob(k);
    QTest::keyClick(&k, Qt::Key_Up);
    EXPECT_EQ(k.value(), 144);
    QTest::keyClick(&k, Qt::Key_Left);
    QTest::keyClick(&k, Qt::Key_Down);
    EXPECT_EQ(k.value(), 112);
    QTest::keyClick(&k, Qt::Key_PageUp);
    EXPECT_EQ(k.value(), 144);
    QTest::keyClick(&k, Qt::Key_End);
    EXPECT_EQ(k.value(), 240);
    QSignalSpy spy(&k, &Knob::valueChanged);
    QTest::keyClick(&k, Qt::Key_Up); // clamped: nothing changes, nothing is raised
    EXPECT_EQ(spy.count(), 0);
    QTest::keyClick(&k, Qt::Key_Home);
    EXPECT_EQ(k.value(), 16);
}

TEST(Knob, JogKnobWrapsUnderKeysAndWheel) {
    Knob k;
    k.setRange(1, 10);
    k.setStep(1);
    k.setWrapping(true);
    k.setValue(10);
    QSignalSpy spy(&k, &Knob::valueChanged);
    QTest::keyClick(&k, Qt::Key_Up);
    EXPECT_EQ(k.value(), 1);
    QTest::keyClick(&k, Qt::Key_Down);
    EXPECT_EQ(k.value(), 10);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(1).toDouble(), 1);

    const QPointF centre = QRectF(k.rect()).center();
    QWheelEvent up(centre, k.mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&k, &up);
    EXPECT_EQ(k.value(), 1);
    // Half notches gather into one step.
    QWheelEvent half(centre, k.mapToGlobal(centre), QPoint(), QPoint(0, -60), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&k, &half);
    EXPECT_EQ(k.value(), 1);
    QCoreApplication::sendEvent(&k, &half);
    EXPECT_EQ(k.value(), 10);
}

TEST(Knob, DragTurnsThePointerWithTheMouse) {
    Knob k;
    k.resize(200, 200);
    k.setRange(0, 270); // one unit per degree of the 270-degree dial
    k.setValue(135);    // pointer at twelve o'clock
    QSignalSpy grabbed(&k, &Knob::pointerGrabbed);
    QSignalSpy released(&k, &Knob::pointerReleased);
    QSignalSpy changed(&k, &Knob::valueChanged);
    dragAround(k, 0, 90);
    EXPECT_NEAR(k.value(), 225, 0.5);
    EXPECT_EQ(grabbed.count(), 1);
    EXPECT_EQ(released.count(), 1);
    EXPECT_GT(changed.count(), 1);

    // Past the end the pointer waits at the maximum and answers at once when turned back.
    tracely::test::press(&k, onDial(k, 90));
    for (int a = 100; a <= 200; a += 10) {
        tracely::test::moveHeld(&k, onDial(k, a));
    }
    EXPECT_EQ(k.value(), 270);
    tracely::test::moveHeld(&k, onDial(k, 190));
    EXPECT_NEAR(k.value(), 260, 0.5);
    tracely::test::release(&k, onDial(k, 190));
}

TEST(Knob, DraggingAJogKnobPastTheTopContinuesAtTheBottom) {
    Knob k;
    k.resize(200, 200);
    k.setRange(1, 10);
    k.setStep(1);
    k.setWrapping(true);
    k.setValue(10);
    QSignalSpy changed(&k, &Knob::valueChanged);
    const double start = k.angleOf(10);
    dragAround(k, start, start + 2 * 36.0); // two positions clockwise
    EXPECT_EQ(k.value(), 2);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(0).at(1).toDouble(), 1);
    dragAround(k, 0, -3 * 36.0);
    EXPECT_EQ(k.value(), 9);
}

TEST(Knob, DragEndsWhenTheKnobIsHiddenMidway) {
    Knob k;
    k.resize(200, 200);
    k.show();
    QSignalSpy released(&k, &Knob::pointerReleased);
    tracely::test::press(&k, onDial(k, 0));
    k.hide();
    EXPECT_EQ(released.count(), 1);
    tracely::test::release(&k, onDial(k, 0));
    EXPECT_EQ(released.count(), 1);
}
