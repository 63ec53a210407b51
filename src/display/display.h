#pragma once

#include "src/core/front_panel_state.h"
#include "src/core/panel_routines.h"
#include "src/panel/front_panel.h"

#include <QObject>

#include <cstdint>
#include <vector>

namespace tracely {

// The display side of the front panel: both plots, the channels' vertical scales, the cursor
// readout, and the horizontal window (pan and time range). Works on the shared state and the
// panel's widgets; calls the controls and the link through their own routines.
class Display : public QObject, public DisplayRoutines {
    Q_OBJECT
public:
    // The peers follow through connectPeers, once, before any handler runs.
    Display(FrontPanelState& state, const FrontPanel& panel, QObject* parent = nullptr);
    void connectPeers(ControlRoutines& controls, LinkRoutines& link);

    // --- Shared routines.
    // Draws channels A and B and the trigger marker from the display points; fixes dblPlotBase.
    void PlotAnalog() override;
    // Draws the eight logic lines, stacked, on the same time axis as the analog graph, and
    // keeps the pan slide within the points' extent.
    void PlotLogic() override;
    // Relabels a channel's volts-per-division knob and takes range, adjustment, scale and
    // offset from the knob, the x10 button, the input source and the offset slide.
    void SetCHaScale() override;
    void SetCHbScale() override;
    // Shows the measurement between the two cursors in lblCursorData.
    void DisplayCursorData() override;
    // Applies varPanStart to both graphs: a window of ten divisions from there.
    void SetXAxis();

    // Connects the cursor, pan and time-range controls to the handlers below. Once only.
    void connectHandlers();

    // --- Handlers, public so that a settings load can run them as the widgets would.
    void cursorsChanged(bool on);
    void analogCursorMoved(); // keeps the logic graph's cursors at the same x
    void logicCursorMoved();  // and the other way round
    void panKnobChanged(double value);
    void panSlideChanged(double value);
    void rePanChanged(bool on);
    void panGrabbed();
    void panReleased();
    void timeRangeChanged();

signals:
    // After every DisplayCursorData, whether or not the readout changed.
    void readoutShown();

private:
    struct AnalogChannel {
        widgets::TwoStateButton* enable;
        widgets::TwoStateButton* invert;
        const std::vector<float>& volts;
        float scale;
        float offset;
        const char* plot;
        bool primary;
    };
    struct ScaleControls {
        widgets::TwoStateButton* x10;
        widgets::TwoStateButton* x10Led;
        widgets::Knob* knob;
        widgets::Slide* offsetSlide;
        std::uint8_t& range;
        float& adj;
        float& scale;
        float& offset;
    };

    void drawLogic();
    void showCursorData();
    // False when the channel cannot be drawn and the whole plot must stop there.
    bool plotChannel(const AnalogChannel& channel, float step);
    void setScale(const ScaleControls& controls);
    void copyCursorX(widgets::Graph* from, widgets::Graph* to);
    static void showCursors(widgets::Graph* g, bool visible);

    FrontPanelState& s_;
    FrontPanel p_;
    ControlRoutines* controls_ = nullptr;
    LinkRoutines* link_ = nullptr;
    bool syncingCursors_ = false;
    bool connected_ = false;
};

} // namespace tracely
