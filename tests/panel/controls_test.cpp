#include "src/core/front_panel_state.h"
#include "src/core/panel_routines.h"
#include "src/panel/controls.h"
#include "src/panel/front_panel.h"
#include "src/widgets/graph.h"
#include "src/widgets/keyed_status_bar.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace tracely {
namespace {

using widgets::TwoStateButton;
using Mode = QRadioButton* FrontPanel::*;

// Forwards the routines this area owns and counts Updates. Like the real channel scales, a
// scale recompute re-runs the primary-channel handler.
struct FakeRoutines : PanelRoutines {
    Controls* c = nullptr;
    int updates = 0;
    void PlotAnalog() override {}
    void PlotLogic() override {}
    void SetCHaScale() override { c->primaryChannelChanged(); }
    void SetCHbScale() override { c->primaryChannelChanged(); }
    void DisplayCursorData() override {}
    void PlaceMarkers() override { c->PlaceMarkers(); }
    void primaryChannelChanged() override { c->primaryChannelChanged(); }
    void Update() override { ++updates; }
    void CofigTime() override {}
};

// The panel as the window leaves it after start-up: channel A on and primary, BNC input with
// both x10 probes on, analog level trigger at 128, the trigger word all "X" and disabled.
class PanelTest : public ::testing::Test {
protected:
    PanelTest() : p(buildFrontPanel(&host)), controls(s, p) {
        controls.connectPeers(routines, routines);
        routines.c = &controls;
        for (QPushButton* b : p.cmdTrigB) {
            b->setEnabled(false);
        }
        p.CWKTrigLvl->setStep(16);
        p.CWKTrigLvl->setRange(16, 240);
        p.CWKTrigLvl->setValue(128);
        p.optTrigLVL->setChecked(true);
        for (auto* b : {p.CWBCHaEnable, p.CWChaLed, p.CWBCHAx10, p.CWBCHAx10Led, p.CWBCHBx10,
                        p.CWBCHBx10Led}) {
            b->setValue(true);
        }
        p.CWSTrigInd->setPointerVisible("CHb_Zero", false);
        controls.connectHandlers();
    }
    double marker(const char* name) const { return p.CWSTrigInd->pointerValue(name); }
    int mode() const { return s.bytREG_R7 & 0x30; } // R7 bits 5..4
    QStringList captions() const {
        QStringList out{p.chkTrigSource->text(), p.optTrigRE->text(), p.optTrigFE->text(),
                        p.optTrigLVL->text()};
        for (QPushButton* b : p.cmdTrigB) {
            out << b->text();
        }
        return out;
    }

    QWidget host;
    FrontPanelState s;
    FrontPanel p;
    FakeRoutines routines;
    Controls controls;
};

TEST_F(PanelTest, OneChannelAtATimeAndThePrimaryFollowsTheEnabledOne) {
    s.bytCHaRange = 2;
    s.bytCHbRange = 1;
    s.bytREG_R8 = 0;
    const struct {
        TwoStateButton* FrontPanel::*button;
        bool set, aOn, bOn, bPrimary;
        const char* cursorsOn;
        int r14;
        const char* cleared; // the plot taken off the graph
    } steps[] = {
        // 2*16 | 1 | 0xC8 = 0xE9 with one channel off: low nibble copied up.
        {&FrontPanel::CWBCHbEnable, true, false, true, true, "CH B", 0x99, "CHa"},
        {&FrontPanel::CWBPriChan, false, false, true, true, "CH B", 0x99, "CHa"}, // only B on
        // 1*16 | 2 | 0x8C = 0x9E.
        {&FrontPanel::CWBCHaEnable, true, true, false, false, "CH A", 0xEE, "CHb"},
        {&FrontPanel::CWBPriChan, true, true, false, false, "CH A", 0xEE, "CHb"}, // B is off
        // Switching the only channel off keeps the primary channel and the cursor text.
        {&FrontPanel::CWBCHaEnable, false, false, false, false, "CH A", 0xEE, "CHa"},
        {&FrontPanel::CWBCHbEnable, true, false, true, true, "CH B", 0x99, nullptr},
        {&FrontPanel::CWBCHbEnable, false, false, false, true, "CH B", 0x99, "CHb"},
    };
    for (const auto& st : steps) {
        for (const char* plot : {"CHa", "CHb"}) {
            p.CWGraph1->plotY(plot, {1, 2, 3}, 0, 1);
        }
        p.CWGraph1->setPlotVisible("Trig", true);
        (p.*st.button)->setValue(st.set);
        EXPECT_EQ(std::tuple(p.CWBCHaEnable->value(), p.CWChaLed->value(),
                             p.CWSTrigInd->pointerVisible("CHa_Zero")),
                  std::tuple(st.aOn, st.aOn, st.aOn));
        EXPECT_EQ(std::tuple(p.CWBCHbEnable->value(), p.CWChbLed->value(),
                             p.CWSTrigInd->pointerVisible("CHb_Zero")),
                  std::tuple(st.bOn, st.bOn, st.bOn));
        EXPECT_EQ(p.CWBPriChan->value(), st.bPrimary);
        EXPECT_EQ(p.StatusBar1->panelText("sbrCursorData"), QString("Cursors On: ") + st.cursorsOn);
        EXPECT_EQ(std::pair(s.bytREG_R14, s.bytREG_R8 & 1), std::pair(std::uint8_t(st.r14), 1));
        EXPECT_TRUE(st.cleared == nullptr || p.CWGraph1->plotCount(st.cleared) == 0);
        EXPECT_FALSE(p.CWGraph1->plotVisible("Trig"));
    }
}

TEST_F(PanelTest, PodInputOffsetSlideAndCal) {
    for (const bool pod : {true, false}) {
        p.chkAsource->setChecked(pod);
        EXPECT_EQ(p.chkAsource->text(), pod ? "POD" : "BNC");
        EXPECT_EQ(s.bytREG_R7 & 8, pod ? 8 : 0);
        EXPECT_FALSE(p.CWBCHAx10->value() || p.CWBCHBx10->value() || p.CWBCHAx10Led->value());
        EXPECT_EQ(std::pair(p.CWBCHAx10->isEnabled(), p.CWBCHBx10->isEnabled()),
                  std::pair(!pod, !pod));
    }
    // Switching a channel on gives its x10 button back, whatever the input.
    p.chkAsource->setChecked(true);
    p.CWBCHbEnable->setValue(true);
    p.CWBCHaEnable->setValue(true);
    EXPECT_EQ(std::pair(p.CWBCHAx10->isEnabled(), p.CWBCHBx10->isEnabled()), std::pair(true, true));
    p.chkAsource->setChecked(false);
    const std::tuple<widgets::Slide*, TwoStateButton*, float*, const char*, double> moves[] = {
        {p.CWSCHbOffset, p.CWBChbCalLed, &s.sngCHbOffset, "CHb_Zero", 1.5},
        {p.CWSCHbOffset, p.CWBChbCalLed, &s.sngCHbOffset, "CHb_Zero", 0.0},
        {p.CWSCHaOffset, p.CWBChaCalLed, &s.sngCHaOffset, "CHa_Zero", -0.25},
    };
    for (const auto& [slide, calLed, offset, zero, v] : moves) {
        slide->setValue(v);
        EXPECT_EQ(std::tuple(*offset, calLed->value(), marker(zero)),
                  std::tuple(float(v), v != 0.0, v));
    }
    p.CWBCHaCal->setValue(true);
    EXPECT_EQ(std::pair(s.sngCHaOffset, p.CWBChaCalLed->value()), std::pair(0.0f, false));
}

TEST_F(PanelTest, LogicSourceClearsTheWordAndAnalogRestoresTheLevelScale) {
    p.optTrigRE->setChecked(true); // the knob goes onto the edge scale
    p.chkTrigSource->setChecked(true);
    EXPECT_EQ(std::tuple(s.bytREG_R5, s.bytREG_R6, s.bytREG_R7 & 0x31), std::tuple(0, 255, 0));
    EXPECT_EQ(captions(), QStringList({"D", "F=>T", "T=>F", "<=>"}) + QStringList(8, "X"));
    EXPECT_EQ(std::tuple(p.cmdTrigB[0]->isEnabled(), p.cmdTrigB[7]->isEnabled(),
                         p.optTrigRE->isEnabled(), p.optTrigFE->isEnabled(),
                         p.CWKTrigLvl->isEnabled(), p.optTrigLVL->isChecked()),
              std::tuple(true, true, false, false, false, true));
    EXPECT_EQ(p.CWKTrigLvl->value(), p.CWKTrigLvl->minimum()); // 0 asked, clamped
    EXPECT_FALSE(p.CWGraph1->plotVisible("Trig"));
    EXPECT_FALSE(p.CWSTrigInd->pointerVisible("TrigLvl")); // a word has no level on the trace
    p.CWSCHaOffset->setValue(2);
    p.CWSCHbOffset->setValue(-1.25);
    EXPECT_EQ(std::pair(marker("CHa_Zero"), marker("CHb_Zero")), std::pair(2.0, -1.25));

    p.cmdTrigB[0]->click();
    p.chkTrigSource->setChecked(false); // the word goes back to all "X"
    EXPECT_EQ(captions(), QStringList({"A", "+", "-", "Level"}) + QStringList(8, "X"));
    EXPECT_EQ(std::tuple(p.cmdTrigB[0]->isEnabled(), p.optTrigRE->isEnabled(),
                         p.CWKTrigLvl->isEnabled(), p.CWSTrigInd->pointerVisible("TrigLvl")),
              std::tuple(false, true, true, true));
    EXPECT_EQ(std::tuple(p.CWKTrigLvl->minimum(), p.CWKTrigLvl->step(), p.CWKTrigLvl->value()),
              std::tuple(16.0, 16.0, 16.0));
    EXPECT_EQ(std::tuple(s.bytREG_R5, s.bytREG_R6, s.bytREG_R7 & 1), std::tuple(16, 0, 1));
}

TEST_F(PanelTest, WordButtonCyclesAndAnEdgeNeedsACaredBit) {
    p.chkTrigSource->setChecked(true);
    const struct {
        const char* caption;
        int r5, r6;
        bool edges;
    } clicks[] = {{"1", 8, 255 - 8, true}, {"0", 0, 255 - 8, true}, {"X", 0, 255, false}};
    for (const auto& c : clicks) {
        p.cmdTrigB[3]->click();
        EXPECT_EQ(std::tuple(p.cmdTrigB[3]->text(), s.bytREG_R5, s.bytREG_R6),
                  std::tuple(QString(c.caption), c.r5, c.r6));
        EXPECT_EQ(std::pair(p.optTrigRE->isEnabled(), p.optTrigFE->isEnabled()),
                  std::pair(c.edges, c.edges));
        if (c.edges) {
            p.optTrigFE->setChecked(true); // an edge on the word: the word stays
            EXPECT_EQ(std::tuple(s.bytREG_R5, s.bytREG_R6, mode()), std::tuple(c.r5, c.r6, 0x30));
        }
    }
    EXPECT_EQ(std::pair(p.optTrigLVL->isChecked(), mode()), std::pair(true, 0));
    controls.CycleTrigBit(8); // no such bit
    EXPECT_EQ(s.bytREG_R6, 255);
}

TEST_F(PanelTest, AnalogModesSetRegistersKnobAndLevelMarker) {
    const float adj = 0.047058824f, scale = 0.1f, offset = 0.5f;
    s.sngCHaAdj = adj;
    s.sngCHaScale = scale;
    p.CWSCHaOffset->setValue(offset);
    const Mode LVL = &FrontPanel::optTrigLVL, RE = &FrontPanel::optTrigRE,
               FE = &FrontPanel::optTrigFE;
    const struct {
        Mode mode;
        double knob, knobAfter; // knob 0: left alone
        int r5, r6, code, d;    // R7 bits 5..4; the marker's distance from mid-scale
    } steps[] = {
        {LVL, 176, 176, 176, 0, 0x00, 48}, {RE, 0, 128, 128, 127, 0x20, 0}, // to the middle one
        {RE, 192, 192, 192, 63, 0x20, 64}, {RE, 64, 64, 0, 63, 0x30, -64},
        {FE, 0, 64, 0, 63, 0x20, -64}, // a threshold already: kept
        {FE, 192, 192, 192, 63, 0x30, 64}, {LVL, 0, 16, 16, 0, 0x00, -112}, // 192: to the bottom
        {LVL, 128, 128, 128, 0, 0x00, 0},  {RE, 0, 128, 128, 127, 0x20, 0},
        {LVL, 0, 128, 128, 0, 0x00, 0},                                     // 128 stays
        {RE, 64, 64, 0, 63, 0x30, -64},    {LVL, 0, 16, 16, 0, 0x00, -112}, // 64: to the bottom
        {LVL, 192, 192, 192, 0, 0x00, 64},
    };
    for (const auto& st : steps) {
        (p.*st.mode)->setChecked(true);
        if (st.knob != 0) {
            p.CWKTrigLvl->setValue(st.knob);
        }
        EXPECT_EQ(std::tuple(p.CWKTrigLvl->value(), s.bytREG_R5, s.bytREG_R6, mode()),
                  std::tuple(st.knobAfter, st.r5, st.r6, st.code))
            << st.knob << " " << st.knobAfter;
        EXPECT_FLOAT_EQ(marker("TrigLvl"), float(st.d) * adj * scale + offset) << st.knobAfter;
    }
    p.CWBCHAInv->setValue(true);
    EXPECT_FLOAT_EQ(marker("TrigLvl"), -(64 * adj * scale) + offset);
    s.sngCHbAdj = 0.0094117643f;
    s.sngCHbScale = 5.0f;
    p.CWSCHbOffset->setValue(-1.25);
    p.CWBCHbEnable->setValue(true); // B primary: its scale and offset, not A's inversion
    EXPECT_FLOAT_EQ(marker("TrigLvl"), 64 * 0.0094117643f * 5.0f - 1.25f);
}

TEST_F(PanelTest, TriggerHandlersUpdateOncePerActionAndOnlyWhileArmed) {
    const std::function<void()> actions[] = {
        [&] { p.chkTrigSource->setChecked(true); },
        [&] { p.cmdTrigB[5]->click(); },
        [&] { p.cmdTrigB[5]->click(); },
        [&] { controls.SetTrigRegisters(); },
        [&] { p.chkTrigSource->setChecked(false); },
        [&] { p.optTrigFE->setChecked(true); },
        [&] { p.CWKTrigLvl->setValue(p.CWKTrigLvl->value() == 64 ? 192 : 64); },
        [&] { p.optTrigLVL->setChecked(true); }, // the next source switch finds level mode
    };
    for (const bool armed : {false, true}) {
        s.blnArmed = armed;
        for (const auto& action : actions) {
            routines.updates = 0;
            action();
            EXPECT_EQ(routines.updates, armed ? 1 : 0);
        }
        routines.updates = 0;
        p.CWBCHbEnable->setValue(!p.CWBCHbEnable->value()); // channels never send
        EXPECT_EQ(routines.updates, 0);
    }
}

} // namespace
} // namespace tracely
