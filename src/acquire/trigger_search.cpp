#include "src/acquire/trigger_search.h"

#include "src/instrument/registers.h"

#include <algorithm>

namespace tracely {

namespace {
constexpr int kWindow = 80; // samples examined per forward search
}

std::int16_t findTriggerRow(std::span<const SampleRow> rows, std::int16_t start,
                            const TriggerSearchInput& in, std::int16_t previous) {
    const regs::TrigCode type = regs::trigCode(in.sentR7);
    if (type == regs::TrigCode::Unused) {
        return previous;
    }
    const int count = static_cast<int>(rows.size());
    const auto byteAt = [&](int row) {
        const SampleRow& r = rows[static_cast<std::size_t>(row - 1)];
        return in.logicSource ? r.logic : r.analog;
    };
    const auto matches = [&](std::uint8_t b) {
        return regs::triggerMatches(b, in.sentR5, in.sentR6);
    };
    // The level type checks its first sample against the controls as they are now.
    const auto firstMatches = [&](std::uint8_t b) {
        if (type == regs::TrigCode::Level) {
            const auto care = static_cast<std::uint8_t>(~in.sentR6);
            const auto want = static_cast<std::uint8_t>(in.imageR5 & ~in.imageR6);
            return (b & care) == want;
        }
        return matches(b);
    };
    // Type 30 looks for the condition becoming false: the same walk with the test inverted.
    const bool invert = type == regs::TrigCode::Leaving;

    using regs::TrigCode;
    int f = start + (type == TrigCode::Leaving ? 40 : type == TrigCode::Level ? -25 : 0);
    for (;;) {
        int i = f;
        bool restart = false;
        for (int k = 1; k <= kWindow; ++k, ++i) {
            if (i < 1 || i > count) {
                return start; // outside the capture: the search gives up on the default
            }
            const std::uint8_t b = byteAt(i);
            if (k == 1) {
                if (firstMatches(b) != invert) {
                    // Standing inside a run: walk back until outside it.
                    if (--f == 0) {
                        return start;
                    }
                    restart = true;
                    break;
                }
            } else if (matches(b) != invert) {
                return static_cast<std::int16_t>(i);
            }
        }
        if (!restart) {
            return start;
        }
    }
}

void TriggerSearch(FrontPanelState& s, std::int16_t start, bool logicSource) {
    if (!s.blnConnected) {
        return;
    }
    const TriggerSearchInput in{s.bytS_REG_R5, s.bytS_REG_R6, s.bytS_REG_R7,
                                s.bytREG_R5,   s.bytREG_R6,   logicSource};
    const std::size_t rows = std::min(static_cast<std::size_t>(std::max<int>(s.intCaptureLen, 0)),
                                      s.bytSampleBuf.size());
    s.intTrigIndex =
        findTriggerRow(std::span(s.bytSampleBuf).first(rows), start, in, s.intTrigIndex);
}

} // namespace tracely
