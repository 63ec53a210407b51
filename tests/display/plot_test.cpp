#include "tests/display/panel_fixture.h"

#include <QCheckBox>

using tracely::test::PanelTest;

namespace {
using Plots = PanelTest;
constexpr float kStep = 4e-08f * 1000000.0f; // start-up sample time and time scale
} // namespace

TEST_F(Plots, NothingToShowClearsThePlotsAndKeepsThePlotBase) {
    panel.CWBCHaEnable->setValue(true);
    panel.CWBCHbEnable->setValue(true);
    panel.CWGraph1->plotY("CHa", {1, 2}, 0, 1);
    panel.CWGraph1->plotY("CHb", {1, 2}, 0, 1);
    panel.CWGLogic->plotY(1, {0, 0.5}, 0, 1);
    display.PlotAnalog(); // before the first capture
    display.PlotLogic();
    EXPECT_EQ(panel.CWGraph1->plotCount("CHa") + panel.CWGraph1->plotCount("CHb"), 0);
    EXPECT_EQ(panel.CWGLogic->plotCount(1), 0);

    captureA({1.0f, 2.0f}, 2);
    state.bytLogicData = {{}, {}};
    display.PlotAnalog();
    display.PlotLogic();
    ASSERT_EQ(panel.CWGraph1->plotCount("Trig"), 1);
    state.blnShowAN = state.blnShowLA = false;
    state.dblPlotBase = 123.0;
    display.PlotAnalog();
    display.PlotLogic();
    EXPECT_EQ(panel.CWGraph1->plotCount("CHa") + panel.CWGraph1->plotCount("Trig"), 0);
    EXPECT_EQ(panel.CWGLogic->plotCount(1), 0);
    EXPECT_EQ(state.dblPlotBase, 123.0);
}

TEST_F(Plots, ChannelADrawnWithItsMarkerOnTheTriggerPoint) {
    captureA({0.1f, 0.2f, 0.3f}, 3);
    state.sngCHaScale = 10.0f;
    panel.CWGraph1->setPlotVisible("Trig", false);
    display.PlotAnalog();
    const auto a = xy(panel.CWGraph1, "CHa");
    ASSERT_EQ(a.size(), 3u);
    EXPECT_DOUBLE_EQ(state.dblPlotBase, 5.0 - 2.0 * kStep);
    EXPECT_DOUBLE_EQ(a[2].first, 5.0);
    EXPECT_DOUBLE_EQ(a[2].first - a[1].first, kStep);
    EXPECT_NEAR(a[1].second, 2.0, 1e-6);
    EXPECT_EQ(xy(panel.CWGraph1, "Trig"), (std::vector{a[2]}));
    EXPECT_TRUE(panel.CWGraph1->plotVisible("Trig"));
    EXPECT_EQ(panel.CWGraph1->pointStyle("CHa"), 0);

    state.intTrigIndex = 1; // the first point sits at the trigger position
    state.blnPlotPoints = true;
    display.PlotAnalog();
    EXPECT_EQ(state.dblPlotBase, 5.0);
    EXPECT_EQ(xy(panel.CWGraph1, "Trig")[0].first, 5.0);
    EXPECT_EQ(panel.CWGraph1->pointStyle("CHa"), 3);
}

TEST_F(Plots, OneMarkerOnThePrimaryAndNoneWithALogicTrigger) {
    captureA({0.1f, 0.1f}, 2);
    panel.CWBCHbEnable->setValue(true);
    state.sngCHbData = {-0.3f, -0.3f, -0.3f};
    state.sngCHaScale = state.sngCHbScale = 1.0f;
    panel.CWBPriChan->setValue(true); // B primary
    display.PlotAnalog();
    EXPECT_EQ(panel.CWGraph1->plotCount("CHa"), 2);
    EXPECT_EQ(panel.CWGraph1->plotCount("CHb"), 3);
    ASSERT_EQ(panel.CWGraph1->plotCount("Trig"), 1);
    EXPECT_NEAR(xy(panel.CWGraph1, "Trig")[0].second, -0.3, 1e-6);

    panel.chkTrigSource->setChecked(true);
    display.PlotAnalog();
    EXPECT_EQ(panel.CWGraph1->plotCount("Trig"), 0);
    EXPECT_EQ(panel.CWGraph1->plotCount("CHb"), 3);
}

TEST_F(Plots, TriggerOutsideThePointsStopsBeforeThatChannel) {
    captureA({1.0f, 2.0f}, 1);
    display.PlotAnalog();
    const auto before = xy(panel.CWGraph1, "CHa");
    state.sngCHaData = {5.0f, 6.0f, 7.0f};
    for (const int index : {4, 0, -3}) {
        state.intTrigIndex = static_cast<std::int16_t>(index);
        display.PlotAnalog();
        EXPECT_EQ(xy(panel.CWGraph1, "CHa"), before) << index;
        EXPECT_EQ(panel.CWGraph1->plotCount("Trig"), 0) << index;
    }
    state.blnPlotTrig = false; // no marker to place: the points are drawn
    display.PlotAnalog();
    EXPECT_EQ(panel.CWGraph1->plotCount("CHa"), 3);
}

TEST_F(Plots, LogicLinesStackOnTheSameTriggerPosition) {
    state.blnCaptureDone = true;
    state.intTrigIndex = 2;
    state.bytLogicData = {{}, {1, 0, 0, 0, 0, 0, 0, 1}, {}}; // 0x81 at the trigger point
    display.PlotLogic();
    for (int k = 1; k <= 8; ++k) {
        const auto line = xy(panel.CWGLogic, k);
        ASSERT_EQ(line.size(), 3u);
        EXPECT_EQ(line[1], std::pair(5.0, (k == 1 || k == 8) ? k - 0.5 : k - 1.0)) << k;
    }
}
