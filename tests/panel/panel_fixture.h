#pragma once

#include "src/core/front_panel.h"
#include "src/core/front_panel_state.h"
#include "src/core/panel_routines.h"
#include "src/panel/controls.h"
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

namespace tracely::test {

// Forwards the routines this area owns; counts the others. Like the real channel scales, a
// scale recompute re-runs the primary-channel handler.
struct FakeRoutines : PanelRoutines {
    Controls* controls = nullptr;
    int plotAnalog = 0, scaleA = 0, scaleB = 0, update = 0;
    void PlotAnalog() override { ++plotAnalog; }
    void PlotLogic() override {}
    void SetCHaScale() override {
        ++scaleA;
        controls->primaryChannelChanged();
    }
    void SetCHbScale() override {
        ++scaleB;
        controls->primaryChannelChanged();
    }
    void DisplayCursorData() override {}
    void PlaceMarkers() override { controls->PlaceMarkers(); }
    void primaryChannelChanged() override { controls->primaryChannelChanged(); }
    void Update() override { ++update; }
    void reset() { plotAnalog = scaleA = scaleB = update = 0; }
    void CofigTime() override {}
};

// The panel as the window leaves it after start-up: channel A on and primary, BNC input,
// analog level trigger at 128, the trigger word all "X" and disabled.
class PanelTest : public ::testing::Test {
protected:
    PanelTest() : p(buildFrontPanel(&host)), controls(s, p, routines) {
        routines.controls = &controls;
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
    void plotSomething(const char* plot) { p.CWGraph1->plotY(plot, {1, 2, 3}, 0, 1); }
    QString cursorText() const { return p.StatusBar1->panelText("sbrCursorData"); }
    double marker(const char* name) const { return p.CWSTrigInd->pointerValue(name); }
    int mode() const { return s.bytREG_R7 & 0x30; } // R7 bits 5..4

    QWidget host;
    FrontPanelState s;
    FrontPanel p;
    FakeRoutines routines;
    Controls controls;
};

} // namespace tracely::test
