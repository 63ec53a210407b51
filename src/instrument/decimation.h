#pragma once

#include <cstdint>

namespace tracely::regs {

// Samples per display point: when R8 bit 1 has the instrument decimate, one sample in 10 at
// 115200 baud and one in 20 at any other speed is kept; otherwise every sample.
constexpr int decimationStep(bool decimating, std::int32_t baud) {
    if (!decimating) {
        return 1;
    }
    return baud == 115200 ? 10 : 20;
}

} // namespace tracely::regs
