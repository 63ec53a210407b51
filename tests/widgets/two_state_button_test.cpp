#include "src/widgets/two_state_button.h"

#include "tests/widgets/mouse.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using tracely::widgets::colourFromBgr;
using tracely::widgets::TwoStateButton;

TEST(TwoStateButton, SignalsChangesOnlyFromCode) {
    TwoStateButton b;
    QSignalSpy spy(&b, &TwoStateButton::valueChanged);
    b.setValue(false);
    EXPECT_EQ(spy.count(), 0);
    b.setValue(true);
    b.setValue(true);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_TRUE(spy.last().at(0).toBool());
}

TEST(TwoStateButton, AcceptsTrueAndFalseTextOnly) {
    TwoStateButton b;
    EXPECT_TRUE(b.setValueText("TRUE"));
    EXPECT_TRUE(b.value());
    EXPECT_EQ(b.valueText(), "True");
    EXPECT_FALSE(b.setValueText("yes"));
    EXPECT_FALSE(b.setValueText("-1"));
    EXPECT_FALSE(b.setValueText(""));
    EXPECT_TRUE(b.value());
    EXPECT_TRUE(b.setValueText(" false "));
    EXPECT_FALSE(b.value());
    EXPECT_EQ(b.valueText(), "False");
}

TEST(TwoStateButton, ColourIsRedInTheLowByte) {
    EXPECT_EQ(colourFromBgr(255), QColor(255, 0, 0));
    EXPECT_EQ(colourFromBgr(65535), QColor(255, 255, 0));
    EXPECT_EQ(colourFromBgr(16711680), QColor(0, 0, 255));
    TwoStateButton led(TwoStateButton::Look::Led);
    led.setColour(0xFF0000FFu); // the top byte is not part of the colour
    EXPECT_EQ(led.colour(), 255u);
    EXPECT_EQ(led.litColour(), QColor(Qt::red));
}

TEST(TwoStateButton, ClickTogglesAButton) {
    TwoStateButton b;
    b.setCaption("Acquire");
    b.resize(80, 40);
    QSignalSpy spy(&b, &TwoStateButton::valueChanged);
    QTest::mouseClick(&b, Qt::LeftButton);
    EXPECT_TRUE(b.value());
    QTest::mouseClick(&b, Qt::LeftButton);
    EXPECT_FALSE(b.value());
    EXPECT_EQ(spy.count(), 2);
    QTest::keyClick(&b, Qt::Key_Space);
    EXPECT_TRUE(b.value());

    b.setEnabled(false);
    QTest::mouseClick(&b, Qt::LeftButton);
    EXPECT_TRUE(b.value());
}

TEST(TwoStateButton, MomentaryButtonIsOnWhileHeld) {
    TwoStateButton b;
    b.setMomentary(true);
    b.resize(80, 40);
    QSignalSpy spy(&b, &TwoStateButton::valueChanged);
    tracely::test::press(&b, QPointF(40, 20));
    EXPECT_TRUE(b.value());
    tracely::test::release(&b, QPointF(40, 20));
    EXPECT_FALSE(b.value());
    ASSERT_EQ(spy.count(), 2);
    EXPECT_TRUE(spy.at(0).at(0).toBool());
    EXPECT_FALSE(spy.at(1).at(0).toBool());
}

TEST(TwoStateButton, LedIgnoresTheUser) {
    TwoStateButton led(TwoStateButton::Look::Led);
    led.resize(20, 20);
    QSignalSpy spy(&led, &TwoStateButton::valueChanged);
    QTest::mouseClick(&led, Qt::LeftButton);
    QTest::keyClick(&led, Qt::Key_Space);
    EXPECT_FALSE(led.value());
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(led.focusPolicy(), Qt::NoFocus);
    led.setValue(true);
    EXPECT_EQ(spy.count(), 1);
}
