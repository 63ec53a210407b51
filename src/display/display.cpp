#include "src/display/display.h"

#include "src/display/cursor_readout.h"
#include "src/display/pan_limits.h"
#include "src/display/plot_math.h"
#include "src/widgets/graph.h"
#include "src/widgets/two_state_button.h"

#include <QCheckBox>
#include <QLabel>

#include <optional>

namespace tracely {

using widgets::Graph;

namespace {

const QString kXAxis = QStringLiteral("XAxis");
constexpr double kWindowDivisions = 10.0;

} // namespace

void Display::showCursors(Graph* g, bool visible) {
    g->setCursorVisible("Cursor1", visible);
    g->setCursorVisible("Cursor2", visible);
}

Display::Display(FrontPanelState& state, const FrontPanel& panel, QObject* parent)
    : QObject(parent), s_(state), p_(panel) {}

void Display::connectPeers(ControlRoutines& controls, LinkRoutines& link) {
    controls_ = &controls;
    link_ = &link;
}

void Display::PlotAnalog() {
    Graph* g = p_.CWGraph1;
    if (!s_.blnShowAN) {
        g->clearAll();
        return;
    }
    g->clearPlot("Trig");
    const float step = display::plotStep(s_.sngTimeAdj, s_.lngTimeScale);
    s_.dblPlotBase = display::plotBase(s_.sngTrigPos, s_.intTrigIndex, step);
    const bool bPrimary = p_.CWBPriChan->value();
    if (!plotChannel({p_.CWBCHaEnable, p_.CWBCHAInv, s_.sngCHaData, s_.sngCHaScale, s_.sngCHaOffset,
                      "CHa", !bPrimary},
                     step)) {
        return;
    }
    if (!plotChannel({p_.CWBCHbEnable, p_.CWBCHBInv, s_.sngCHbData, s_.sngCHbScale, s_.sngCHbOffset,
                      "CHb", bPrimary},
                     step)) {
        return;
    }
    g->redraw();
}

bool Display::plotChannel(const AnalogChannel& c, float step) {
    Graph* g = p_.CWGraph1;
    if (!c.enable->value() || !s_.blnCaptureDone) {
        g->clearPlot(c.plot);
        return true;
    }
    const std::vector<double> y = display::analogY(c.volts, c.scale, c.invert->value(), c.offset);
    if (c.primary && !p_.chkTrigSource->isChecked() && s_.blnPlotTrig) {
        const int t = s_.intTrigIndex;
        // The marker sits on the trigger's own point; without that point there is nothing
        // consistent to draw, so this and the following channel keep what they showed.
        if (t < 1 || static_cast<std::size_t>(t) > y.size()) {
            return false;
        }
        g->plotY("Trig", {y[static_cast<std::size_t>(t - 1)]},
                 s_.dblPlotBase + static_cast<double>(t - 1) * static_cast<double>(step), step);
        g->setPlotVisible("Trig", true);
    }
    g->setPointStyle(c.plot, s_.blnPlotPoints ? Graph::kPointStyleMarks : Graph::kPointStyleLine);
    g->plotY(c.plot, y, s_.dblPlotBase, step);
    return true;
}

void Display::PlotLogic() {
    drawLogic();
    // Both after every capture and after a time-range change: the points' extent moved.
    limitPan(s_, p_.CWSPan);
}

void Display::drawLogic() {
    Graph* g = p_.CWGLogic;
    if (!s_.blnShowLA || !s_.blnCaptureDone) {
        g->clearAll();
        return;
    }
    const std::vector<LogicPoint>& points = s_.bytLogicData;
    if (points.empty()) {
        return; // no points: the lines keep what they showed
    }
    const float step = display::plotStep(s_.sngTimeAdj, s_.lngTimeScale);
    s_.dblPlotBase = display::plotBase(s_.sngTrigPos, s_.intTrigIndex, step);
    g->plotSeries(display::logicMatrix(points), static_cast<int>(points.size()),
                  display::kLogicLines, s_.dblPlotBase, step, false);
}

void Display::DisplayCursorData() {
    showCursorData();
    emit readoutShown();
}

void Display::showCursorData() {
    Graph* a = p_.CWGraph1;
    Graph* l = p_.CWGLogic;
    std::optional<display::Readout> readout = display::Readout{};
    if (p_.CWBCursors->value()) {
        const int type = s_.intCursorType;
        if (type == static_cast<int>(display::CursorType::Voltage)) {
            showCursors(l, false);
        } else if (type == static_cast<int>(display::CursorType::Time) ||
                   type == static_cast<int>(display::CursorType::Frequency)) {
            showCursors(l, true);
        }
        readout = display::cursorReadout({.x1 = a->cursorX("Cursor1"),
                                          .y1 = a->cursorY("Cursor1"),
                                          .x2 = a->cursorX("Cursor2"),
                                          .y2 = a->cursorY("Cursor2")},
                                         {.cursorType = type,
                                          .timeBase = s_.intTimeBase,
                                          .timeScale = s_.lngTimeScale,
                                          .scaleA = s_.sngCHaScale,
                                          .scaleB = s_.sngCHbScale,
                                          .cursorsOn = s_.strCursorsOn});
        if (!readout) {
            return; // no period to measure: the last reading stays
        }
        if (readout->value) {
            s_.varCursorDif = readout->value;
        }
    }
    a->redraw();
    l->redraw();
    p_.lblCursorData->setText(QString::fromStdString(readout->text));
}

void Display::SetXAxis() {
    for (Graph* g : {p_.CWGraph1, p_.CWGLogic}) {
        g->setAxisMinimum(kXAxis, s_.varPanStart);
        g->setAxisMaximum(kXAxis, g->axisMinimum(kXAxis) + kWindowDivisions);
        g->redraw();
    }
}

} // namespace tracely
