#pragma once

namespace tracely {

// The shared routines the parts of the front panel call on each other, one narrow interface
// per part. Each part implements its own and is handed the others' once, by the composition
// root, so a call goes straight from one part to the other.

// Drawn by the display: both plots, the channels' vertical scales, the cursor readout.
class DisplayRoutines {
public:
    virtual void PlotAnalog() = 0;
    virtual void PlotLogic() = 0;
    virtual void SetCHaScale() = 0;
    virtual void SetCHbScale() = 0;
    virtual void DisplayCursorData() = 0;

protected:
    ~DisplayRoutines() = default;
};

// Kept by the channel and trigger controls.
class ControlRoutines {
public:
    virtual void PlaceMarkers() = 0;
    // The primary-channel button's handler, run with the button's current value.
    virtual void primaryChannelChanged() = 0;

protected:
    ~ControlRoutines() = default;
};

// Sent by the link to the instrument.
class LinkRoutines {
public:
    // Registers to the instrument and a trace request.
    virtual void Update() = 0;
    virtual void CofigTime() = 0;

protected:
    ~LinkRoutines() = default;
};

// One stand-in for every other part at once, as a test of a single part wires it.
class PanelRoutines : public DisplayRoutines, public ControlRoutines, public LinkRoutines {};

} // namespace tracely
