#include "src/widgets/identify.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"

#include <QAccessible>
#include <QAccessibleValueInterface>

#include <gtest/gtest.h>

using namespace tracely::widgets;

namespace {

QAccessibleInterface* accessible(QWidget* w) {
    return QAccessible::queryAccessibleInterface(w);
}

} // namespace

TEST(Accessibility, IdentifySetsNameAndDescriptionTogether) {
    Knob k;
    identify(&k, "CWKTimeRange", "time range knob");
    EXPECT_EQ(k.objectName(), "CWKTimeRange");
    EXPECT_EQ(k.accessibleName(), "time range knob");
    EXPECT_EQ(k.accessibleDescription(), "CWKTimeRange");
    QAccessibleInterface* a = accessible(&k);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(QAccessible::Name), "time range knob");
    EXPECT_EQ(a->text(QAccessible::Description), "CWKTimeRange");
    identify(nullptr, "x", "y"); // harmless
}

TEST(Accessibility, KnobIsADialExposingItsValue) {
    Knob k;
    k.setObjectName("CWKTrigLvl"); // named without identify: the description still follows
    k.setRange(16, 240);
    k.setStep(16);
    k.setValue(128);
    QAccessibleInterface* a = accessible(&k);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::Dial);
    EXPECT_EQ(a->text(QAccessible::Name), "knob");
    EXPECT_EQ(a->text(QAccessible::Description), "CWKTrigLvl");
    QAccessibleValueInterface* v = a->valueInterface();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->currentValue().toDouble(), 128);
    EXPECT_EQ(v->minimumValue().toDouble(), 16);
    EXPECT_EQ(v->maximumValue().toDouble(), 240);
    EXPECT_EQ(v->minimumStepSize().toDouble(), 16);
    v->setCurrentValue(200.0);
    EXPECT_EQ(k.value(), 208);
}

TEST(Accessibility, KnobValueTextIsTheSelectedLabel) {
    Knob k;
    k.setRange(1, 6);
    for (const char* text : {"50 ", "20 ", "10 ", "5 ", "2 ", "1 "}) {
        k.setLabelText(k.appendLabel(), text);
    }
    k.setSelectedLabel(2);
    EXPECT_EQ(accessible(&k)->text(QAccessible::Value), "20");
}

TEST(Accessibility, SlideIsASliderAndMarkerSlideIsReadOnly) {
    Slide s;
    s.setRange(-4, 4);
    s.setValue(1.5);
    QAccessibleInterface* a = accessible(&s);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::Slider);
    EXPECT_EQ(a->text(QAccessible::Name), "slide");
    EXPECT_EQ(a->valueInterface()->currentValue().toDouble(), 1.5);
    EXPECT_FALSE(a->state().readOnly);
    s.setMainPointerVisible(false);
    EXPECT_TRUE(a->state().readOnly);
    a->valueInterface()->setCurrentValue(3.0);
    EXPECT_EQ(s.value(), 1.5);
}

TEST(Accessibility, ButtonNameIsItsCaptionAndItsStateIsChecked) {
    TwoStateButton b;
    b.setCaption("&Acquire");
    QAccessibleInterface* a = accessible(&b);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::Button);
    EXPECT_EQ(a->text(QAccessible::Name), "Acquire");
    EXPECT_TRUE(a->state().checkable);
    EXPECT_FALSE(a->state().checked);
    b.setValue(true);
    EXPECT_TRUE(a->state().checked);
    a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(b.value());
}

TEST(Accessibility, LedIsAnIndicatorNamedByItsRole) {
    TwoStateButton led(TwoStateButton::Look::Led);
    QAccessibleInterface* a = accessible(&led);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::Indicator);
    EXPECT_EQ(a->text(QAccessible::Name), "LED");
    identify(&led, "CWBTrigLed", "trigger LED");
    EXPECT_EQ(a->text(QAccessible::Name), "trigger LED");
    EXPECT_EQ(a->text(QAccessible::Description), "CWBTrigLed");
    led.setValue(true);
    EXPECT_TRUE(a->state().checked);
    EXPECT_TRUE(a->state().readOnly);
    a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(led.value());
}
