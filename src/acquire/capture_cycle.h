#pragma once

#include "src/core/front_panel_state.h"

#include <functional>

namespace tracely {

// The front-panel states a capture is turned into display points with.
struct CapturePanel {
    bool chAEnabled = true;
    bool chBEnabled = false;
    bool logicTrigger = false; // the trigger-source box: search the logic byte
};

// Turns a finished dump into display points aligned on the trigger, has them drawn, and in
// repeat mode asks for the next capture at once. Also the Acquire, Store and single/repeat
// controls.
class CaptureCycle {
public:
    struct Hooks {
        std::function<CapturePanel()> panel;
        std::function<void()> plotAnalog;
        std::function<void()> plotLogic;
        std::function<void()> update;
    };

    CaptureCycle(FrontPanelState& state, Hooks hooks);

    void ProcessCapture();
    void acquireClicked();         // "Acquire"
    void storeClicked(bool value); // "Store"
    void sampleModeChanged(bool repeat);

private:
    FrontPanelState& s_;
    Hooks hooks_;
};

} // namespace tracely
