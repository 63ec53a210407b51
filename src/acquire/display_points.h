#pragma once

#include "src/core/front_panel_state.h"

namespace tracely {

// Which rows of the capture become display points: every row at the fast rate, every 10th
// (115200) or 20th row when the instrument decimates, chosen so that the trigger row falls
// on a point. Updates intTrigIndex to the trigger's point number.
struct RowWalk {
    int first = 1;
    int step = 1;
};
RowWalk chooseRowWalk(FrontPanelState& s);

// Rebuilds the display points of the one enabled analog channel (none when both or neither
// are enabled) and of the eight logic lines from the raw capture.
void buildDisplayPoints(FrontPanelState& s, bool chAEnabled, bool chBEnabled);

} // namespace tracely
