#pragma once

namespace tracely {
struct FrontPanelState;
}

namespace tracely::timebase {

// CofigTime: applies the timebase tables to the shared state. An unknown position changes
// nothing; an unknown rate text changes only the time scale.
void CofigTime(FrontPanelState& s, double timeRangeKnobValue);

} // namespace tracely::timebase
