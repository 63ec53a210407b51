#pragma once

#include "src/core/panel_routines.h"
#include "src/panel/front_panel.h"

#include <QObject>

namespace tracely {

struct FrontPanelState;

enum class Channel { A, B };

// The channel and trigger sections of the front panel, and the markers beside the analog
// graph. Handlers change the shared state and the widgets, and reach the other parts only
// through their routines (the display's and the link's). Widgets signal every change of value,
// including those made here, so one handler may run others (enabling A switches B off and B's
// handler runs). Nothing here talks to the instrument except through Update, and only while a trace
// is armed.
class Controls : public QObject, public ControlRoutines {
public:
    // The peers follow through connectPeers, once, before any handler runs.
    Controls(FrontPanelState& state, const FrontPanel& panel, QObject* parent = nullptr);
    void connectPeers(DisplayRoutines& display, LinkRoutines& link);

    // Connects every channel and trigger control to its handler. Check boxes and option
    // buttons are connected to their toggled signal, so a change made by code (start-up,
    // settings load) runs the handler just as the user's click does; do not call it again.
    // A second call does nothing.
    void connectHandlers();

    // --- Channel controls.
    void channelEnableChanged(Channel ch, bool on);
    // Keeps the primary-channel button on an enabled channel and recomputes R14.
    void primaryChannelChanged() override;
    void voltsPerDivChanged(Channel ch);
    void x10Changed(Channel ch);
    void invertChanged(Channel ch, bool on);
    void offsetChanged(Channel ch, int pointerIndex, double value);
    void calPressed(Channel ch);
    // chkAsource: "POD" when checked, "BNC" when clear.
    void analogSourceChanged();

    // --- Trigger controls.
    // chkTrigSource: logic ("D") when checked, analog ("A") when clear.
    void trigSourceChanged();
    // One press of the trigger-word button of bit n (0..7); other n are ignored.
    void CycleTrigBit(int n);
    void edgeModeSelected();
    void levelModeSelected();
    void trigLevelChanged();
    // R5, R6 and R7 bits 5..4 from the mode buttons and the level knob.
    void SetTrigRegisters();

    // --- Markers: trigger level on the primary channel's scale, and the two zero lines.
    void PlaceMarkers() override;

private:
    struct ChannelWidgets {
        widgets::TwoStateButton* enable;
        widgets::TwoStateButton* led;
        widgets::Knob* knob;
        widgets::TwoStateButton* x10;
        widgets::TwoStateButton* x10Led;
        widgets::TwoStateButton* inv;
        widgets::TwoStateButton* invLed;
        widgets::Slide* offset;
        widgets::TwoStateButton* cal;
        widgets::TwoStateButton* calLed;
        const char* plot;   // its trace on the analog graph
        const char* zero;   // its zero marker
        const char* cursor; // the cursor readout's name for it
    };
    ChannelWidgets widgetsOf(Channel ch) const;
    void setChannelScale(Channel ch);
    void hideTrigPlot();
    void setSourceCaptions(bool logic);
    void setWordButtonsEnabled(bool on);
    // Level trigger on the analog source: sixteen levels, the knob at 16 unless it sits at 128.
    void setLevelKnobScale();

    // A user's action may run several trigger handlers in a cascade, each of which wants the
    // armed trace re-requested. They are gathered and Update runs once, when the outermost
    // handler ends, so the instrument is never asked for two traces back to back.
    class Batch {
    public:
        explicit Batch(Controls& c) : c_(c) { ++c_.depth_; }
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        Controls& c_;
    };
    void requestUpdate();

    FrontPanelState& s_;
    const FrontPanel p_; // a copy: the pointers outlive any caller's struct
    DisplayRoutines* display_ = nullptr;
    LinkRoutines* link_ = nullptr;
    int depth_ = 0;
    bool updatePending_ = false;
    bool connected_ = false;
};

} // namespace tracely
