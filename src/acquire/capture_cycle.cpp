#include "src/acquire/capture_cycle.h"

#include "src/acquire/display_points.h"
#include "src/acquire/trigger_search.h"

namespace tracely {

CaptureCycle::CaptureCycle(FrontPanelState& state, Hooks hooks)
    : s_(state), hooks_(std::move(hooks)) {}

void CaptureCycle::ProcessCapture() {
    if (s_.blnStored) {
        return; // the display is frozen; in repeat mode too, nothing more is requested
    }
    s_.blnCaptureDone = false;
    const CapturePanel p = hooks_.panel ? hooks_.panel() : CapturePanel{};
    TriggerSearch(s_, s_.intTrigStart, p.logicTrigger);
    buildDisplayPoints(s_, p.chAEnabled, p.chBEnabled);
    s_.blnCaptureDone = true;
    if (hooks_.plotAnalog) {
        hooks_.plotAnalog();
    }
    if (hooks_.plotLogic) {
        hooks_.plotLogic();
    }
    if (s_.blnRepeat && hooks_.update) {
        hooks_.update();
    }
}

void CaptureCycle::acquireClicked() {
    s_.blnStored = false;
    if (hooks_.update) {
        hooks_.update();
    }
}

void CaptureCycle::storeClicked(bool value) {
    if (value) {
        s_.blnStored = true;
    }
}

void CaptureCycle::sampleModeChanged(bool repeat) {
    s_.blnRepeat = repeat;
}

} // namespace tracely
