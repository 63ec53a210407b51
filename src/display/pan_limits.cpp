#include "src/display/pan_limits.h"

#include "src/core/front_panel_state.h"
#include "src/display/plot_math.h"
#include "src/display/units.h"
#include "src/widgets/slide.h"

#include <algorithm>

namespace tracely {

void limitPan(const MainWindowMembers& s, widgets::Slide* pan) {
    if (pan == nullptr || !s.blnCaptureDone) {
        return;
    }
    const std::size_t points = std::max(s.sngCHaData.size(), s.bytLogicData.size());
    const auto range =
        units::panRange(s.dblPlotBase, display::plotStep(s.sngTimeAdj, s.lngTimeScale),
                        static_cast<int>(std::min<std::size_t>(points, 1u << 20)));
    pan->setRange(range.minimum, range.maximum);
    // A capture no wider than the window leaves nothing to pan over.
    pan->setEnabled(range.minimum != range.maximum);
}

} // namespace tracely
