// Every control of the panel through Qt's accessibility interface: its name says its role and
// what it shows now, its description is its object name, and changes are announced.
#include "src/app/main_window.h"
#include "src/instrument/lamp_colours.h"
#include "src/ui/panel_words.h"
#include "src/widgets/described.h"
#include "src/widgets/graph.h"
#include "src/widgets/keyed_status_bar.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"
#include "tests/support/sim_host.h"
#include "tests/support/test_window.h"
#include "tests/support/wait.h"

#include <QAccessible>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <tuple>

// Readable failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

using namespace tracely;
using tracely::test::waitUntil;

namespace {

using Window = test::TestWindow;

// What the handlers post is drawn before the test looks.
void settle() {
    QCoreApplication::processEvents();
}

QString name(QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name) : QStringLiteral("<no interface>");
}

QString value(QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Value) : QString();
}

std::vector<QWidget*> controls(const FrontPanel& p) {
    std::vector<QWidget*> all = {
        p.CWBCHaEnable,  p.CWChaLed,     p.CWKChaLvl,    p.CWBCHAx10,     p.CWBCHAx10Led,
        p.CWBCHAInv,     p.CWBCHAInvLed, p.CWSCHaOffset, p.CWBCHaCal,     p.CWBChaCalLed,
        p.CWBCHbEnable,  p.CWChbLed,     p.CWKChbLvl,    p.CWBCHBx10,     p.CWBCHBx10Led,
        p.CWBCHBInv,     p.CWBCHBInvLed, p.CWSCHbOffset, p.CWBCHbCal,     p.CWBChbCalLed,
        p.CWBPriChan,    p.chkAsource,   p.CWSTrigInd,   p.CWKTimeRange,  p.CWKPan,
        p.CWSPan,        p.CWBRePan,     p.CWBPanLED,    p.chkTrigSource, p.optTrigRE,
        p.optTrigFE,     p.optTrigLVL,   p.CWKTrigLvl,   p.cmdCapture,    p.cmdStore,
        p.CWBSampleMode, p.CWBTrigLed,   p.CWBCursors,   p.lblCursorData, p.CWBMenu,
        p.CWBHelp,       p.prgDump};
    for (QPushButton* b : p.cmdTrigB) {
        all.push_back(b);
    }
    return all;
}

TEST(Accessibility, EveryControlSaysItsRoleAndStateAndKeepsItsObjectName) {
    Window win;
    for (QWidget* c : controls(win.w.panel())) {
        SCOPED_TRACE(c->objectName().toStdString());
        const widgets::Describer* d = widgets::describerOf(c);
        ASSERT_NE(d, nullptr);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(QAccessible::Name), d->role() + QStringLiteral(": ") + d->state());
        EXPECT_FALSE(d->state().isEmpty());
        // The lamp adds its health after its name.
        EXPECT_TRUE(a->text(QAccessible::Description).startsWith(c->objectName()));
        // No tooltip over the traces.
        EXPECT_TRUE(qobject_cast<widgets::Graph*>(c) != nullptr || !c->toolTip().isEmpty());
        // Knobs and slides give their value and range.
        if (auto* s = qobject_cast<widgets::ScaleWidget*>(c)) {
            QAccessibleValueInterface* v = a->valueInterface();
            ASSERT_NE(v, nullptr);
            EXPECT_EQ(std::tuple(v->currentValue().toDouble(), v->minimumValue().toDouble(),
                                 v->maximumValue().toDouble()),
                      std::tuple(s->value(), s->minimum(), s->maximum()));
        }
    }
}

TEST(Accessibility, NamesCarryTheStateInUnitsAndFollowIt) {
    Window win;
    const FrontPanel& p = win.w.panel();
    // The start-up panel: x10 at 50 V a division, 1 us a division, level at mid-scale.
    EXPECT_EQ(name(p.CWKChaLvl), "CH A volts per division: 50 V/div");
    EXPECT_EQ(name(p.CWKTimeRange), "time per division: 1 us/div");
    EXPECT_EQ(name(p.CWKTrigLvl), "trigger level: 0 V (CH A)");
    EXPECT_EQ(name(p.chkTrigSource), "trigger source: A");
    EXPECT_EQ(name(p.CWBTrigLed), "COND lamp: off, idle");
    EXPECT_EQ(name(p.CWBSampleMode), "sample mode: single");
    EXPECT_EQ(name(p.CWBCHaEnable), "CH A enable: on");
    EXPECT_EQ(name(p.optTrigLVL), "level: Level, selected");
    EXPECT_EQ(name(p.CWGraph1), "analog graph: CH A at 50 V/div, 1 us/div, -5 us to 5 us from "
                                "the trigger, no capture yet");

    // x10 off: the knob's first position reads 500 mV, the level knob's top 240 counts
    // 112 x 0.028784312 V.
    p.CWBCHAx10->setValue(false);
    p.CWKTrigLvl->setValue(240);
    settle();
    EXPECT_EQ(name(p.CWKChaLvl), "CH A volts per division: 500 mV/div");
    EXPECT_EQ(name(p.CWKTrigLvl), "trigger level: 3.22 V (CH A)");
    EXPECT_TRUE(p.CWKTrigLvl->toolTip().contains(QStringLiteral("3.22 V")));

    p.chkTrigSource->setChecked(true);
    p.cmdTrigB[3]->click();
    settle();
    EXPECT_EQ(name(p.chkTrigSource), "trigger source: D");
    EXPECT_EQ(name(p.cmdTrigB[3]), "trigger word bit 3: 1");
    EXPECT_EQ(value(p.cmdTrigB[3]), "1");
    EXPECT_EQ(name(p.cmdTrigB[2]), "trigger word bit 2: X");
    EXPECT_EQ(name(p.optTrigRE), "rising edge: F=>T, not selected");

    emit win.w.engine().lightChanged(colour::kYellow, true);
    EXPECT_EQ(name(p.CWBTrigLed), "COND lamp: yellow, waiting for trigger");
}

TEST(Accessibility, ReadoutsAndStatusExposeTheirTextAndAnnounceChanges) {
    Window win;
    const FrontPanel& p = win.w.panel();
    QLabel* banner = win.w.words().banner();
    EXPECT_EQ(name(banner), "instrument status: No instrument — press Acquire to search");

    // What each readout announced (the offscreen platform has no assistive technology to
    // receive the accessibility events themselves).
    QStringList events;
    for (QWidget* w : std::initializer_list<QWidget*>{
             p.lblCursorData, banner, p.StatusBar1->panel(QStringLiteral("sbrLink"))}) {
        QObject::connect(widgets::describerOf(w), &widgets::Describer::announced,
                         [&events](const QString& n) { events << n; });
    }
    const auto announced = [&](const QString& n) { return events.contains(n); };

    p.CWBCursors->setValue(true); // time cursors one division apart at 1 us a division
    EXPECT_EQ(p.lblCursorData->text(), "1.000 uSec");
    EXPECT_EQ(name(p.lblCursorData), "cursor readout: 1.000 uSec");
    EXPECT_EQ(value(p.lblCursorData), "1.000 uSec");
    EXPECT_TRUE(announced("cursor readout: 1.000 uSec"));

    events.clear();
    emit win.w.engine().phaseChanged(LinkPhase::Searching, QStringLiteral("COM1…COM8"));
    EXPECT_EQ(name(banner), "instrument status: Searching COM1…COM8");
    EXPECT_TRUE(announced("instrument status: Searching COM1…COM8"));
    emit win.w.engine().progressChanged(3, 60, 4.0);
    EXPECT_EQ(name(banner), "instrument status: Receiving 3 / 60");
    EXPECT_TRUE(banner->isVisibleTo(&win.w));
    emit win.w.engine().phaseChanged(LinkPhase::Captured, {});
    EXPECT_FALSE(banner->isVisibleTo(&win.w));
    p.cmdStore->click();
    EXPECT_EQ(name(banner), "instrument status: Stored");

    events.clear();
    p.StatusBar1->setPanelText(QStringLiteral("sbrLink"), QStringLiteral("Capture complete"));
    EXPECT_EQ(name(p.StatusBar1->panel(QStringLiteral("sbrLink"))),
              "link status: Capture complete");
    EXPECT_TRUE(announced("link status: Capture complete"));
}

TEST(PanelUnits, CaptionsAndGraphLabelsReadInUnits) {
    Window win;
    const FrontPanel& p = win.w.panel();
    const auto caption = [&](const char* id) {
        return win.w.findChild<QLabel*>(QString::fromLatin1(id))->accessibleName();
    };
    EXPECT_EQ(caption("lblBScaleA"), "V-SCALE: 50 V/div");
    EXPECT_EQ(caption("lblHScale"), "H-SCALE: 1 us/div");
    // Voltage cursors start two divisions apart: 50 V a division (x10, first position).
    win.w.state().intCursorType = 2;
    p.CWBCursors->setValue(true);
    EXPECT_EQ(p.lblCursorData->text(), "100.0 V");
    p.CWKTimeRange->setValue(19);
    p.CWKChaLvl->setSelectedLabel(3);
    settle();
    EXPECT_EQ(caption("lblHScale"), "H-SCALE: 1 ms/div");
    EXPECT_EQ(caption("lblBScaleA"), "V-SCALE: 10 V/div");
    EXPECT_TRUE(win.w.findChild<QLabel*>(QStringLiteral("lblHScale"))->text().contains("1 ms/div"));
}

TEST(PanelUnits, PanStopsWhereTheCapturesPointsEnd) {
    Window win;
    FrontPanelState& s = win.w.state();
    const FrontPanel& p = win.w.panel();
    // 500 points 0.04 divisions apart (1 us a division at 25 MSa/s), the trigger on point 250:
    // points from 5 - 249 x 0.04 = -4.96 to 14.96 divisions.
    s.sngCHaData.assign(500, 0.0f);
    s.bytLogicData.assign(500, LogicPoint{});
    s.intTrigIndex = 250;
    s.blnCaptureDone = true;
    emit win.w.engine().captureReady();
    EXPECT_EQ(p.CWSPan->minimum(), -20); // quarter divisions: -4.96 rounded outwards
    EXPECT_EQ(p.CWSPan->maximum(), 20);
    p.CWSPan->setValue(5000);
    EXPECT_DOUBLE_EQ(s.varPanStart, 5.0);
    for (int i = 0; i < 8; ++i) {
        p.CWKPan->setValue(i % 10 + 1); // turning on: the window stays at the last points
    }
    EXPECT_DOUBLE_EQ(s.varPanStart, 5.0);
    EXPECT_DOUBLE_EQ(p.CWGraph1->axisMinimum(QStringLiteral("XAxis")), 5.0);
}

} // namespace

namespace {

// Against the simulator on a real pseudo-terminal.
using test::portsOnly;

TEST(StatusInWords, AnInstrumentThatNeverTriggersIsSaidToBeWaiting) {
    sim::Options o;
    o.pace = false;
    o.noTrigger = true;
    test::SimHost sim(o);
    Window win(portsOnly(sim.path(), 2));
    win.w.engine().setTimeouts(LinkTimeouts{}, 0); // the hint at once, not after half a second
    QLabel* banner = win.w.words().banner();
    win.w.panel().cmdCapture->click();
    EXPECT_EQ(banner->text(), QStringLiteral("Searching COM1…COM8"));
    ASSERT_TRUE(waitUntil([&] { return banner->text() == QStringLiteral("Waiting for trigger"); }));
    EXPECT_TRUE(banner->isVisibleTo(&win.w));
    EXPECT_EQ(name(win.w.panel().CWBTrigLed), "COND lamp: yellow, waiting for trigger");
}

TEST(StatusInWords, ASilentPortIsNamedWithTheSpeedsTried) {
    sim::Options o;
    o.pace = false;
    o.faults.silent = true;
    test::SimHost sim(o);
    Window win(portsOnly(sim.path(), 2));
    win.w.panel().cmdCapture->click();
    const QString tried = QStringLiteral("tried COM2 (%1) at 115200 and 57600 baud")
                              .arg(QString::fromStdString(sim.path()));
    ASSERT_TRUE(waitUntil(
        [&] {
            return win.w.panel().StatusBar1->panelText(QStringLiteral("sbrLink")).endsWith(tried);
        },
        20000));
    EXPECT_EQ(win.w.words().banner()->text(),
              QStringLiteral("No instrument — press Acquire to search\n") + tried);
    EXPECT_EQ(name(win.w.words().banner()),
              QStringLiteral("instrument status: No instrument — press Acquire to search; ") +
                  tried);
    EXPECT_EQ(win.w.words().banner()->toolTip(), tried);
    // Once per Acquire (the engine's test counts them).
    EXPECT_TRUE(waitUntil([&] { return !win.messages.isEmpty(); }));
    EXPECT_EQ(win.messages, QStringList{"Tracely Comm Error: Unable to Communicate with Bitscope - "
                                        "Check Comm Port Connection!"});
}

} // namespace
