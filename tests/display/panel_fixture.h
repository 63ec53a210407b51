#pragma once

#include "src/core/front_panel.h"
#include "src/core/front_panel_state.h"
#include "src/core/panel_routines.h"
#include "src/display/display.h"
#include "src/widgets/graph.h"
#include "src/widgets/two_state_button.h"

#include <qcustomplot.h>

#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tracely::test {

// Stands in for the main window: forwards the display routines to the Display under test and
// records every call in order.
class FakeRoutines : public PanelRoutines {
public:
    Display* d = nullptr;
    std::vector<std::string> calls;
    std::function<void()> onCofigTime = [] {};

    void PlotAnalog() override { note("PlotAnalog").PlotAnalog(); }
    void PlotLogic() override { note("PlotLogic").PlotLogic(); }
    void SetCHaScale() override { note("SetCHaScale").SetCHaScale(); }
    void SetCHbScale() override { note("SetCHbScale").SetCHbScale(); }
    void DisplayCursorData() override { note("DisplayCursorData").DisplayCursorData(); }
    void PlaceMarkers() override { note("PlaceMarkers"); }
    void primaryChannelChanged() override { note("primaryChannelChanged"); }
    void Update() override { note("Update"); }
    void CofigTime() override {
        note("CofigTime");
        onCofigTime();
    }

private:
    Display& note(const char* routine) {
        calls.emplace_back(routine);
        return *d;
    }
};

// A real front panel, the shared state and a Display wired to both.
class PanelTest : public ::testing::Test {
protected:
    PanelTest() { routines.d = &display; }

    // A processed capture of channel A with the trigger on point `trigIndex`.
    void captureA(std::vector<float> volts, int trigIndex) {
        panel.CWBCHaEnable->setValue(true);
        state.sngCHaData = std::move(volts);
        state.intTrigIndex = static_cast<std::int16_t>(trigIndex);
        state.blnCaptureDone = true;
    }
    // The (x, y) points a plot holds.
    static std::vector<std::pair<double, double>> xy(widgets::Graph* g,
                                                     const widgets::GraphKey& plot) {
        std::vector<std::pair<double, double>> out;
        for (const QCPGraphData& p : *g->plotGraph(plot)->data()) {
            out.emplace_back(p.key, p.value);
        }
        return out;
    }

    QWidget host;
    FrontPanel panel = buildFrontPanel(&host);
    FrontPanelState state;
    FakeRoutines routines;
    Display display{state, panel, routines};
};

} // namespace tracely::test
