#include "tests/display/panel_fixture.h"

#include "src/widgets/knob.h"
#include "src/widgets/slide.h"

#include <QLabel>

using tracely::widgets::Graph;

namespace {

class Handlers : public tracely::test::PanelTest {
protected:
    Handlers() { display.connectHandlers(); }

    QString readout() const { return panel.lblCursorData->text(); }
    // The user drags a cursor of `g`, which reports the move.
    void drag(Graph* g, int cursor, double x, double y) {
        g->setCursorPosition(cursor, x, y);
        emit g->cursorChanged(cursor, x, y);
    }
    void expectWindow(double min) {
        for (Graph* g : {panel.CWGraph1, panel.CWGLogic}) {
            EXPECT_DOUBLE_EQ(g->axisMinimum("XAxis"), min);
            EXPECT_DOUBLE_EQ(g->axisMaximum("XAxis"), min + 10.0);
        }
    }
};

} // namespace

TEST_F(Handlers, CursorsButtonPlacesShowsAndHidesTheCursors) {
    state.varPanStart = 2.0;
    display.SetXAxis();
    panel.CWBCursors->setValue(true);
    for (Graph* g : {panel.CWGraph1, panel.CWGLogic}) {
        EXPECT_EQ(std::pair(g->cursorX(1), g->cursorX(2)), std::pair(3.0, 4.0));
        EXPECT_TRUE(g->cursorVisible(1) && g->cursorVisible(2));
        EXPECT_EQ(g->interactionMode(), Graph::DragCursors);
    }
    EXPECT_EQ(readout(), "1.000 uSec");
    EXPECT_EQ(state.varCursorDif, 1.0);

    panel.CWBCursors->setValue(false);
    EXPECT_EQ(readout(), "");
    for (Graph* g : {panel.CWGraph1, panel.CWGLogic}) {
        EXPECT_FALSE(g->cursorVisible(1) || g->cursorVisible(2));
    }
}

TEST_F(Handlers, CursorMovesKeepBothGraphsAtTheSameXAndUpdateTheReadout) {
    panel.CWBCursors->setValue(true);
    drag(panel.CWGraph1, 2, 1.5, 0.0);
    EXPECT_EQ(panel.CWGLogic->cursorX(2), 1.5);
    EXPECT_EQ(readout(), "500.00 nSec");
    drag(panel.CWGLogic, 1, 3.5, 0.0);
    EXPECT_EQ(panel.CWGraph1->cursorX(1), 3.5);
    EXPECT_EQ(readout(), "2.000 uSec");

    state.intCursorType = 2;
    state.sngCHaScale = 2.0f;
    drag(panel.CWGraph1, 1, 3.5, 3.0);
    EXPECT_EQ(readout(), "1.50 V");
    EXPECT_FALSE(panel.CWGLogic->cursorVisible(1)); // the logic graph has no volts

    state.intCursorType = 3;
    drag(panel.CWGraph1, 2, 3.5, 0.0);
    EXPECT_EQ(readout(), "1.50 V"); // no period: the old reading stays
    EXPECT_TRUE(panel.CWGLogic->cursorVisible(1));
}

TEST_F(Handlers, PanKnobStepsAQuarterPerEventAndLightsItsLedWhileHeld) {
    panel.CWKPan->setValue(10); // from 1: wrapped past the bottom
    EXPECT_EQ(state.dblPanPos, 0.75);
    panel.CWKPan->setValue(1); // from 10: wrapped past the top
    EXPECT_EQ(state.dblPanPos, 1.0);
    panel.CWKPan->setValue(3);
    panel.CWKPan->setValue(7);
    EXPECT_EQ(state.dblPanPos, 1.5);
    EXPECT_EQ(panel.CWSPan->value(), 2.0);
    expectWindow(0.5);

    emit panel.CWKPan->pointerGrabbed();
    EXPECT_TRUE(panel.CWBPanLED->value());
    emit panel.CWKPan->pointerReleased();
    EXPECT_FALSE(panel.CWBPanLED->value());
}

TEST_F(Handlers, PanSlideThenKnobThenReset) {
    captureA({1.0f, 2.0f, 3.0f}, 2);
    display.PlotAnalog();
    panel.CWSPan->setValue(8);
    EXPECT_EQ(state.dblPanPos, 3.0);
    expectWindow(2.0);

    panel.CWKPan->setValue(2);
    EXPECT_EQ(state.varPanStart, 2.25);
    EXPECT_EQ(panel.CWSPan->value(), 9.0);
    expectWindow(2.25);

    panel.CWBRePan->setValue(true);
    EXPECT_EQ(state.dblPanPos, 1.0);
    EXPECT_EQ(std::pair(panel.CWKPan->value(), panel.CWSPan->value()), std::pair(1.0, 0.0));
    expectWindow(0.0);
    EXPECT_DOUBLE_EQ(xy(panel.CWGraph1, "Trig")[0].first, 5.0); // mid-window

    panel.CWSPan->setValue(8);
    panel.CWBRePan->setValue(false); // letting go of the reset does nothing
    EXPECT_EQ(state.dblPanPos, 3.0);
    expectWindow(2.0);
}

TEST_F(Handlers, TimeRangeChangeSpreadsThePointsAroundTheTrigger) {
    captureA({1.0f, 2.0f, 3.0f, 4.0f}, 3);
    state.bytLogicData.assign(4, tracely::LogicPoint{});
    panel.CWBCursors->setValue(true);
    display.PlotAnalog();
    const auto before = xy(panel.CWGraph1, "CHa");
    routines.onCofigTime = [this] { state.lngTimeScale = 2000000; };
    routines.calls.clear();

    panel.CWKTimeRange->setValue(panel.CWKTimeRange->value() + 1);
    EXPECT_TRUE(state.blnTimeChanged);
    EXPECT_EQ(routines.calls, (std::vector<std::string>{"CofigTime", "PlotAnalog", "PlotLogic",
                                                        "DisplayCursorData"}));
    const auto after = xy(panel.CWGraph1, "CHa");
    ASSERT_EQ(after.size(), 4u);
    EXPECT_DOUBLE_EQ(after[2].first, 5.0);
    EXPECT_DOUBLE_EQ(after[2].first - after[0].first, 2.0 * (before[2].first - before[0].first));
    EXPECT_DOUBLE_EQ(xy(panel.CWGLogic, 1)[2].first, 5.0);
    EXPECT_EQ(readout(), "500.00 nSec"); // the same cursors now span half the time
}
