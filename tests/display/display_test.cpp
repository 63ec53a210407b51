#include "src/core/front_panel_state.h"
#include "src/core/panel_routines.h"
#include "src/display/cursor_readout.h"
#include "src/display/display.h"
#include "src/display/plot_math.h"
#include "src/panel/front_panel.h"
#include "src/widgets/graph.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"

#include <qcustomplot.h>

#include <QCheckBox>
#include <QLabel>
#include <QWidget>

#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <functional>
#include <tuple>
#include <vector>

namespace tracely {
namespace {

using display::CursorSpan;
using widgets::Graph;
using Points = std::vector<std::pair<double, double>>;

// Stands in for the controls and the link: counts the calls a channel scale must make.
struct FakeRoutines : PanelRoutines {
    Display* d = nullptr;
    int primary = 0, readouts = 0;
    std::function<void()> onCofigTime = [] {};
    void PlotAnalog() override { d->PlotAnalog(); }
    void PlotLogic() override { d->PlotLogic(); }
    void SetCHaScale() override { d->SetCHaScale(); }
    void SetCHbScale() override { d->SetCHbScale(); }
    void DisplayCursorData() override { d->DisplayCursorData(); }
    void PlaceMarkers() override {}
    void primaryChannelChanged() override { ++primary; }
    void Update() override {}
    void CofigTime() override { onCofigTime(); }
};

// A real front panel, the shared state, and a Display wired to both with its handlers.
class DisplayTest : public ::testing::Test {
protected:
    DisplayTest() {
        display.connectPeers(routines, routines);
        routines.d = &display;
        QObject::connect(&display, &Display::readoutShown, [this] { ++routines.readouts; });
        display.connectHandlers();
    }
    static Points xy(Graph* g, const widgets::GraphKey& plot) {
        Points out;
        for (const QCPGraphData& p : *g->plotGraph(plot)->data()) {
            out.emplace_back(p.key, p.value);
        }
        return out;
    }
    int count(const char* plot) const { return panel.CWGraph1->plotCount(plot); }
    QString readout() const { return panel.lblCursorData->text(); }
    // The user drags a cursor of `g`, which reports the move.
    static void drag(Graph* g, int cursor, double x, double y) {
        g->setCursorPosition(cursor, x, y);
        emit g->cursorChanged(cursor, x, y);
    }

    QWidget host;
    FrontPanel panel = buildFrontPanel(&host);
    FrontPanelState state;
    FakeRoutines routines;
    Display display{state, panel};
};

TEST_F(DisplayTest, PlotsDrawBothChannelsWithOneMarkerOnThePrimarysTriggerPoint) {
    constexpr double kStep = 4e-08f * 1000000.0f; // start-up sample time and time scale
    panel.CWBCHaEnable->setValue(true);
    panel.CWBCHbEnable->setValue(true);
    state.sngCHaData = {0.25f, 0.5f, 0.75f};
    state.sngCHbData = {-0.5f, -0.5f};
    state.bytLogicData = {{}, {}, {}, {}};
    state.sngCHaScale = 4.0f;
    state.sngCHbScale = 1.0f;
    const struct {
        int trig;
        bool bPrimary, logicTrigger, plotTrig, captured, shown;
        int a, b;     // points shown; 1: the old plot kept
        double trigY; // 0: no marker
    } cases[] = {
        {2, false, false, true, false, true, 0, 0, 0.0}, // before the first capture
        {2, false, false, true, true, false, 0, 0, 0.0}, // displays off
        {1, false, false, true, true, true, 3, 2, 1.0},  // first point on the trigger position
        {3, false, false, true, true, true, 3, 2, 3.0},
        {2, true, false, true, true, true, 3, 2, -0.5},
        {2, true, true, true, true, true, 3, 2, 0.0},  // a logic trigger: no level to mark
        {3, true, false, true, true, true, 3, 1, 0.0}, // beyond B's points: stop before B
        {4, false, false, true, true, true, 1, 1, 0.0},
        {0, false, false, true, true, true, 1, 1, 0.0},
        {-3, false, false, true, true, true, 1, 1, 0.0},
        {4, false, false, false, true, true, 3, 2, 0.0}, // no marker to place
    };
    for (const auto& c : cases) {
        state.intTrigIndex = static_cast<std::int16_t>(c.trig);
        panel.CWBPriChan->setValue(c.bPrimary);
        panel.chkTrigSource->setChecked(c.logicTrigger);
        state.blnPlotTrig = c.plotTrig;
        state.blnCaptureDone = c.captured;
        state.blnShowAN = state.blnShowLA = c.shown;
        state.dblPlotBase = 123.0;
        for (const char* plot : {"CHa", "CHb", "Trig"}) {
            panel.CWGraph1->plotY(plot, {9}, 0, 1);
        }
        panel.CWGLogic->plotY(1, {9}, 0, 1);
        panel.CWGraph1->setPlotVisible("Trig", false); // as the channel handlers leave it
        display.PlotAnalog();
        display.PlotLogic();
        EXPECT_EQ(std::pair(count("CHa"), count("CHb")), std::pair(c.a, c.b)) << c.trig;
        EXPECT_DOUBLE_EQ(state.dblPlotBase, c.shown ? 5.0 - (c.trig - 1) * kStep : 123.0);
        EXPECT_EQ(panel.CWGLogic->plotCount(1), c.captured && c.shown ? 4 : 0) << c.trig;
        const Points trig = xy(panel.CWGraph1, "Trig");
        ASSERT_EQ(trig.size(), c.trigY != 0.0 ? 1u : 0u) << c.trig;
        EXPECT_EQ(panel.CWGraph1->plotVisible("Trig"), !trig.empty());
        if (!trig.empty()) {
            EXPECT_DOUBLE_EQ(trig[0].first, 5.0);
            EXPECT_EQ(trig[0].second, c.trigY) << c.trig;
        }
    }
    EXPECT_EQ(panel.CWGraph1->pointStyle("CHa"), 0);
    state.blnPlotPoints = true;
    display.PlotAnalog();
    EXPECT_EQ(panel.CWGraph1->pointStyle("CHa"), 3);
}

TEST_F(DisplayTest, ScaleFollowsSourceProbeAndKnobPosition) {
    const struct {
        bool b, pod, x10, led;
        int select, range; // select 0: the knob stays where it is
        float adj, scale;
        const char* label;
    } rows[] = {
        {false, false, true, true, 3, 1, 0.047058824f, 0.1f, "10 "},
        {false, false, false, false, 0, 1, 0.0047058822f, 10.0f, ".1 "},
        // Byte 255 here: 127 counts x 0.0010196069 V x 100 = 12.949 divisions up.
        {false, false, false, false, 6, 0, 0.0010196069f, 100.0f, ".01 "},
        {true, true, false, true, 1, 3, 0.123921566f, 0.2f, "5 "}, // pod: the LED stays on
    };
    panel.CWBCHBx10Led->setValue(true);
    panel.CWSCHaOffset->setValue(1.5);
    for (const auto& r : rows) {
        widgets::Knob* knob = r.b ? panel.CWKChbLvl : panel.CWKChaLvl;
        const float other = r.b ? state.sngCHaScale : state.sngCHbScale;
        const auto set = [&] { r.b ? display.SetCHbScale() : display.SetCHaScale(); };
        panel.chkAsource->setChecked(r.pod);
        (r.b ? panel.CWBCHBx10 : panel.CWBCHAx10)->setValue(r.x10);
        set(); // relabels the knob, which keeps its position
        knob->setSelectedLabel(r.select);
        set();
        EXPECT_EQ(knob->labelText(knob->selectedLabel()), r.label);
        EXPECT_EQ(r.b ? std::tuple(state.bytCHbRange, state.sngCHbAdj, state.sngCHbScale)
                      : std::tuple(state.bytCHaRange, state.sngCHaAdj, state.sngCHaScale),
                  std::tuple(std::uint8_t(r.range), r.adj, r.scale))
            << r.label;
        EXPECT_EQ((r.b ? panel.CWBCHBx10Led : panel.CWBCHAx10Led)->value(), r.led) << r.label;
        EXPECT_EQ(r.b ? state.sngCHaScale : state.sngCHbScale, other) << r.label;
    }
    EXPECT_EQ(state.sngCHaOffset, 1.5f);
    // Every recompute updates the primary channel's register and the cursor readout.
    EXPECT_EQ(std::pair(routines.primary, routines.readouts), std::pair(8, 8));
}

TEST_F(DisplayTest, CursorsComeWithTheButtonAndTheReadoutFollowsEitherGraph) {
    state.varPanStart = 2.0;
    display.SetXAxis();
    panel.CWBCursors->setValue(true); // one division into the window, one apart
    for (Graph* g : {panel.CWGraph1, panel.CWGLogic}) {
        EXPECT_EQ(
            std::tuple(g->cursorX(1), g->cursorX(2), g->cursorVisible(2), g->interactionMode()),
            std::tuple(3.0, 4.0, true, Graph::DragCursors));
    }
    EXPECT_EQ(std::pair(readout(), *state.varCursorDif), std::pair(QString("1.000 uSec"), 1.0));
    drag(panel.CWGLogic, 1, 3.5, 0.0); // the logic graph's cursors lead the analog ones too
    EXPECT_EQ(std::pair(panel.CWGraph1->cursorX(1), readout()),
              std::pair(3.5, QString("500.00 nSec")));
    panel.CWBCursors->setValue(false);
    EXPECT_EQ(readout(), "");
    for (Graph* g : {panel.CWGraph1, panel.CWGLogic}) {
        EXPECT_FALSE(g->cursorVisible(1) || g->cursorVisible(2));
    }

    // Every unit range is checked on the readout itself, from the typed-in table; here the
    // window's part: the label, the number kept, and the logic graph following.
    const auto dx = [](double d) { return CursorSpan{.x1 = 3.0, .x2 = 3.0 + d}; };
    const auto dy = [](double d) { return CursorSpan{.y1 = -1.0, .y2 = -1.0 + d}; };
    const struct {
        CursorSpan span;
        int type, group;
        std::int32_t timeScale;
        float scale;           // divisions per volt of the channel the readout is on
        const char *on, *text; // text nullptr: the previous reading stays
    } cases[] = {
        {dx(0.5), 1, 1, 1000000, 1, "CH A", "500.00 nSec"},
        {dx(4.0), 3, 1, 1000, 1, "CH A", "250.0 Hz"},
        {dx(0.0), 3, 1, 1000, 1, "CH A", nullptr}, // no period
        {dy(3.0), 2, 1, 1000, 0.02f, "CH B", "150.0 V"},
        {dx(1), 4, 1, 1000, 1, "CH A", ""}, // no such readout
    };
    panel.CWBCursors->setValue(true);
    for (const auto& c : cases) {
        const QString text = c.text ? QString(c.text) : readout();
        const double dif = state.varCursorDif.value_or(-1);
        state.intCursorType = static_cast<std::int16_t>(c.type);
        state.intTimeBase = static_cast<std::int16_t>(c.group);
        state.lngTimeScale = c.timeScale;
        state.sngCHaScale = state.sngCHbScale = 1000.0f; // the other channel's must not count
        (std::strcmp(c.on, "CH B") == 0 ? state.sngCHbScale : state.sngCHaScale) = c.scale;
        state.strCursorsOn = c.on;
        panel.CWGraph1->setCursorPosition(1, c.span.x1, c.span.y1);
        drag(panel.CWGraph1, 2, c.span.x2, c.span.y2);
        EXPECT_EQ(readout(), text);
        // varCursorDif keeps the number shown, in the unit shown, and nothing else.
        double shown = dif;
        std::from_chars(c.text, c.text + (c.text ? std::strlen(c.text) : 0), shown);
        EXPECT_NEAR(state.varCursorDif.value_or(-1), shown, 1e-4) << text.toStdString();
        EXPECT_EQ(std::pair(panel.CWGLogic->cursorX(1), panel.CWGLogic->cursorX(2)),
                  std::pair(c.span.x1, c.span.x2));
        if (c.type <= 3) { // the logic graph has no volts
            EXPECT_EQ(panel.CWGLogic->cursorVisible(1), c.type != 2);
        }
    }
}

TEST_F(DisplayTest, PanKnobSlideAndResetMoveBothWindows) {
    enum Control { Knob, Slide, Reset };
    const struct {
        Control control;
        double value, start;
    } steps[] = {
        {Knob, 10, -0.25},                 // from 1: wrapped past the bottom
        {Knob, 1, 0.0},                    // from 10: wrapped past the top
        {Knob, 3, 0.25},   {Knob, 7, 0.5}, // a big jump is still one quarter
        {Slide, 8, 2.0},   {Knob, 8, 2.25}, {Reset, 1, 0.0},
        {Slide, 8, 2.0},   {Reset, 0, 2.0}, // letting go of the reset does nothing
    };
    for (const auto& st : steps) {
        if (st.control == Reset) {
            panel.CWBRePan->setValue(st.value != 0);
        } else if (st.control == Knob) {
            panel.CWKPan->setValue(st.value);
        } else {
            panel.CWSPan->setValue(st.value);
        }
        EXPECT_EQ(std::tuple(state.varPanStart, state.dblPanPos, panel.CWSPan->value()),
                  std::tuple(st.start, st.start + 1.0, st.start / 0.25))
            << st.control << " " << st.value;
        for (Graph* g : {panel.CWGraph1, panel.CWGLogic}) {
            EXPECT_EQ(std::pair(g->axisMinimum("XAxis"), g->axisMaximum("XAxis")),
                      std::pair(st.start, st.start + 10.0));
        }
    }
    emit panel.CWKPan->pointerGrabbed();
    EXPECT_TRUE(panel.CWBPanLED->value());
    emit panel.CWKPan->pointerReleased();
    EXPECT_FALSE(panel.CWBPanLED->value());
}

TEST_F(DisplayTest, TimeRangeChangeRedrawsBothGraphsAroundTheTrigger) {
    panel.CWBCHaEnable->setValue(true);
    state.sngCHaData = {1.0f, 2.0f, 3.0f, 4.0f};
    state.intTrigIndex = 3;
    state.blnCaptureDone = true;
    state.bytLogicData = {{}, {}, {1, 0, 0, 0, 0, 0, 0, 1}, {}}; // 0x81 at the trigger point
    panel.CWBCursors->setValue(true);
    display.PlotAnalog();
    display.PlotLogic();
    const Points before = xy(panel.CWGLogic, 1);
    routines.onCofigTime = [this] { state.lngTimeScale = 2000000; };

    panel.CWKTimeRange->setValue(panel.CWKTimeRange->value() + 1);
    EXPECT_TRUE(state.blnTimeChanged);
    for (std::size_t i = 0; i < 4; ++i) { // both graphs share one time axis
        EXPECT_DOUBLE_EQ(xy(panel.CWGraph1, "CHa").at(i).first, xy(panel.CWGLogic, 1).at(i).first);
    }
    for (int k = 1; k <= 8; ++k) {
        const Points line = xy(panel.CWGLogic, k);
        ASSERT_EQ(line.size(), 4u);
        EXPECT_EQ(line[2], std::pair(5.0, (k == 1 || k == 8) ? k - 0.5 : k - 1.0)) << k;
        EXPECT_DOUBLE_EQ(line[2].first - line[0].first, 2 * (before[2].first - before[0].first));
    }
    EXPECT_EQ(readout(), "500.00 nSec"); // the same cursors now span half the time
}

TEST(PlotMath, AnalogYIsVoltsTimesScaleNegatedWhenInvertedPlusOffset) {
    const float adj = 0.047058824f; // one count at "10 " x10
    EXPECT_NEAR(display::analogY({0.0f, adj}, 0.1f, true, 2.0f).at(1), 2.0 - adj * 0.1, 1e-6);
    EXPECT_NEAR(display::analogY({adj}, 0.1f, false, 2.0f).at(0), 2.0 + adj * 0.1, 1e-6);
    // Byte 255 at ".01": 0.12949 V.
    EXPECT_NEAR(display::analogY({127 * 0.0010196069f}, 100.0f, false, 0.0f).at(0), 12.949, 1e-4);
}

} // namespace
} // namespace tracely
