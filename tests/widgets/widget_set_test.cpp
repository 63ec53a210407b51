// What the panel needs of every control: change signals, accessibility, safe drawing; the
// two-state button and LED, and the keyed status bar. Names and descriptions are checked on
// the whole panel (tests/app/accessibility_test.cpp).
#include "src/widgets/graph.h"
#include "src/widgets/keyed_status_bar.h"
#include "src/widgets/two_state_button.h"

#include "tests/widgets/helpers.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace tracely::widgets;
using namespace tracely::test;

namespace {

QImage render(QWidget& w, QSize size) {
    w.resize(size);
    return w.grab().toImage();
}

QColor centre(QWidget& w) {
    return render(w, {24, 24}).pixelColor(12, 12);
}

} // namespace

// The panel handlers cascade on change signals: a change from code raises exactly one, with
// the new value; a set that leaves the value as it was (or is refused) raises nothing.
TEST(EveryControl, ChangeSignalsFireOnChangeFromCodeAndNeverOnAnUnchangedSet) {
    const double nan = std::nan("");
    Knob knob, lab;
    levelKnob(knob);
    sixLabels(lab);
    Slide slide, marks;
    slide.setRange(-4, 4);
    slide.setStep(0.5);
    markerSlide(marks);
    TwoStateButton button;
    TwoStateButton led(TwoStateButton::Look::Led);
    const struct {
        QObject* widget;
        std::vector<double> unchanged; // values that leave the widget as it is
        double change;
        QVariantList carried;
        std::function<void(double)> set;
    } rows[] = {
        {&knob, {128, 130, nan}, 144, {0, 144.0}, [&](double v) { knob.setValue(v); }},
        {&lab, {1, 0, 7}, 3, {0, 3.0}, [&](double v) { lab.setSelectedLabel(int(v)); }},
        {&slide, {0.2, nan}, 1.2, {0, 1.0}, [&](double v) { slide.setValue(v); }},
        {&marks, {-4, nan}, 1.5, {3, 1.5}, [&](double v) { marks.setPointerValue("CHb_Zero", v); }},
        {&button, {0}, 1, {true}, [&](double v) { button.setValue(v != 0); }},
        {&led, {0}, 1, {true}, [&](double v) { led.setValueText(v != 0 ? "true" : "False"); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.widget->metaObject()->className());
        QSignalSpy spy(row.widget, qobject_cast<ScaleWidget*>(row.widget) != nullptr
                                       ? SIGNAL(valueChanged(int, double))
                                       : SIGNAL(valueChanged(bool)));
        for (const double v : row.unchanged) {
            row.set(v);
        }
        EXPECT_EQ(spy.count(), 0);
        row.set(row.change);
        row.set(row.change);
        ASSERT_EQ(spy.count(), 1);
        EXPECT_EQ(spy.last(), row.carried);
    }
    EXPECT_EQ(marks.value(), 0); // named pointers leave the main one alone
}

// Roles, and values set through the accessibility interface go through the control's own rules.
TEST(EveryControl, AccessibleValuesAndActionsFollowTheControlsRules) {
    Knob k;
    levelKnob(k);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&k);
    EXPECT_EQ(a->role(), QAccessible::Dial);
    a->valueInterface()->setCurrentValue(200.0);
    EXPECT_EQ(k.value(), 208);
    k.setStep(0); // the labelled positions become the grid
    sixLabels(k);
    k.setSelectedLabel(2);
    EXPECT_EQ(a->text(QAccessible::Value), "20"); // the selected label's text

    Slide s;
    s.setValue(1.5);
    a = QAccessible::queryAccessibleInterface(&s);
    EXPECT_EQ(a->role(), QAccessible::Slider);
    EXPECT_FALSE(a->state().readOnly);
    s.setMainPointerVisible(false); // a marker slide is read-only
    EXPECT_TRUE(a->state().readOnly);
    a->valueInterface()->setCurrentValue(3.0);
    EXPECT_EQ(s.value(), 1.5);

    TwoStateButton b;
    TwoStateButton led(TwoStateButton::Look::Led);
    led.setValue(true);
    for (TwoStateButton* t : {&b, &led}) {
        a = QAccessible::queryAccessibleInterface(t);
        a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        EXPECT_TRUE(a->state().checkable && a->state().checked); // the LED ignores the user
        EXPECT_EQ(a->state().readOnly, t == &led);
    }
    EXPECT_EQ(a->role(), QAccessible::Indicator);
}

// Odd sizes and scales must draw without fault (the sanitizer build watches).
TEST(EveryControl, DrawsInDegenerateStates) {
    Knob knob, jog;
    jog.setWrapping(true);
    for (int i = 0; i < 40; ++i) {
        jog.setLabelText(jog.appendLabel(), QStringLiteral("%1 ").arg(i));
    }
    Slide slide;
    slide.addPointer("m", Qt::red);
    slide.setPointerValue("m", -1e300);
    TwoStateButton button;
    button.setCaption("A very long caption for a tiny button");
    TwoStateButton led(TwoStateButton::Look::Led);
    Graph graph;
    graph.addPlot("CHa", Qt::yellow);
    graph.plotY("CHa", {1, std::nan(""), -3, 1e6}, 0, 1);
    for (const QSize size : {QSize(1, 1), QSize(12, 300), QSize(300, 12), QSize(160, 160)}) {
        for (const double span : {0.0, 1e300}) {
            knob.setRange(-span, span);
            knob.setValue(span / 10);
            jog.setRange(-span, span);
            jog.setSelectedLabel(40);
            slide.setRange(-span, span);
            slide.setOrientation(slide.orientation() == Qt::Vertical ? Qt::Horizontal
                                                                     : Qt::Vertical);
            led.setValue(span > 0);
            for (QWidget* w :
                 std::initializer_list<QWidget*>{&knob, &jog, &slide, &button, &led, &graph}) {
                EXPECT_FALSE(render(*w, size).isNull());
            }
        }
    }
}

TEST(TwoStateButton, TrueOrFalseTextBgrColourClicksAndMomentaryPresses) {
    TwoStateButton b;
    EXPECT_TRUE(b.setValueText("TRUE"));
    EXPECT_EQ(b.valueText(), "True");
    for (const char* bad : {"yes", "-1", ""}) {
        EXPECT_FALSE(b.setValueText(bad)) << bad;
    }
    EXPECT_TRUE(b.setValueText(" false "));
    b.resize(80, 40);
    QTest::mouseClick(&b, Qt::LeftButton);
    EXPECT_EQ(b.valueText(), "True");
    QTest::mouseClick(&b, Qt::LeftButton);
    EXPECT_FALSE(b.value());
    b.setMomentary(true); // on while held
    QSignalSpy spy(&b, &TwoStateButton::valueChanged);
    press(&b, QPointF(40, 20));
    EXPECT_TRUE(b.value());
    release(&b, QPointF(40, 20));
    EXPECT_FALSE(b.value());
    EXPECT_EQ(spy.count(), 2);

    // The LED: red in the low byte, shown only when lit, deaf to the user.
    EXPECT_EQ(colourFromBgr(65535), QColor(255, 255, 0));
    TwoStateButton led(TwoStateButton::Look::Led);
    led.setColour(0xFF0000FFu); // the top byte is not part of the colour
    EXPECT_EQ(led.colour(), 255u);
    EXPECT_LT(centre(led).red(), 100);
    led.setValue(true);
    EXPECT_GT(centre(led).red(), 200);
    EXPECT_LT(centre(led).green(), 120);
    led.setColour(16711680);
    EXPECT_GT(centre(led).blue(), 200);
    EXPECT_LT(centre(led).red(), 120);
    led.setValue(false);
    QTest::mouseClick(&led, Qt::LeftButton);
    QTest::keyClick(&led, Qt::Key_Space);
    EXPECT_FALSE(led.value());
}

TEST(KeyedStatusBar, SunkenPanelsAreAddressedByKey) {
    KeyedStatusBar bar;
    bar.addPanel("sbrFirmWare", "Firmware: ");
    QLabel* com = bar.addPanel("sbrComPort", "Com: ", 2);
    bar.setPanelText("sbrFirmWare", "Firmware: BC000112");
    EXPECT_EQ(bar.panelText("sbrFirmWare"), "Firmware: BC000112");
    EXPECT_EQ(bar.panel("sbrFirmWare")->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(bar.panel("sbrFirmWare")->accessibleDescription(), "sbrFirmWare");
    // An existing key takes the new text; unknown and empty keys are refused.
    EXPECT_EQ(bar.addPanel("sbrComPort", "Com: 1", -4), com);
    EXPECT_EQ(bar.addPanel("", "x"), nullptr);
    bar.setPanelText("sbrNope", "x");
    EXPECT_EQ(bar.panel("sbrNope"), nullptr);
    EXPECT_EQ(bar.panelCount(), 2);
    bar.showMessage("busy"); // temporary messages leave the panels alone
    EXPECT_EQ(bar.panelText("sbrComPort"), "Com: 1");
}
