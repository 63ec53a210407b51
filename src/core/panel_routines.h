#pragma once

namespace tracely {

// The shared routines the front-panel handlers call on each other. Display, controls and link
// each implement their own; the main window ties them together, so no part needs to know
// where another part's routine lives.
class PanelRoutines {
public:
    virtual ~PanelRoutines() = default;

    virtual void PlotAnalog() = 0;
    virtual void PlotLogic() = 0;
    virtual void SetCHaScale() = 0;
    virtual void SetCHbScale() = 0;
    virtual void DisplayCursorData() = 0;
    virtual void PlaceMarkers() = 0;
    // The primary-channel button's handler, run with the button's current value.
    virtual void primaryChannelChanged() = 0;
    // Registers to the instrument and a trace request.
    virtual void Update() = 0;
    virtual void CofigTime() = 0;
};

} // namespace tracely
