#include "src/acquire/display_points.h"

#include "src/instrument/decimation.h"
#include "src/instrument/trigger_codes.h"

#include <algorithm>

namespace tracely {

RowWalk chooseRowWalk(FrontPanelState& s) {
    RowWalk w;
    if (!regs::decimates(s.bytS_REG_R8)) {
        return w;
    }
    w.step = regs::decimationStep(true, s.lngBaudRate);
    const int trig = s.intTrigIndex;
    const int q = trig / w.step; // truncates towards zero
    int r = trig - q * w.step;
    s.intTrigIndex = static_cast<std::int16_t>(q + 1);
    if (r == 0) {
        r = 1;
    }
    w.first = r;
    return w;
}

namespace {

template <class Point, class Fill>
void walk(const FrontPanelState& s, const RowWalk& w, std::vector<Point>& out, int len, Fill fill) {
    out.assign(static_cast<std::size_t>(std::max(len, 0)), Point{});
    const int rows = std::min<int>(s.intCaptureLen, static_cast<int>(s.bytSampleBuf.size()));
    std::size_t p = 0;
    // A negative first row (a trigger index from a capture gone wrong) starts at row 1.
    for (int row = std::max(w.first, 1); row <= rows && p < out.size(); row += w.step, ++p) {
        fill(out[p], s.bytSampleBuf[static_cast<std::size_t>(row - 1)]);
    }
}

} // namespace

void buildDisplayPoints(FrontPanelState& s, bool chAEnabled, bool chBEnabled) {
    const RowWalk w = chooseRowWalk(s);
    const auto volts = [](float adj) {
        return [adj](float& point, const SampleRow& row) {
            point = static_cast<float>(static_cast<int>(row.analog) - 128) * adj;
        };
    };
    if (chAEnabled && !chBEnabled) {
        walk(s, w, s.sngCHaData, s.intCHaLen, volts(s.sngCHaAdj));
    }
    if (chBEnabled && !chAEnabled) {
        walk(s, w, s.sngCHbData, s.intCHbLen, volts(s.sngCHbAdj));
    }
    walk(s, w, s.bytLogicData, s.intLogicLen, [](LogicPoint& point, const SampleRow& row) {
        for (int k = 0; k < 8; ++k) {
            point[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>((row.logic >> k) & 1);
        }
    });
}

} // namespace tracely
