#pragma once

#include <array>
#include <cstdint>

// The channels' volts-per-division tables: what each knob position means for the input range
// the instrument is programmed with, the volts per raw count, and the display scale.
namespace tracely::scales {

struct ScaleRow {
    const char* label;      // knob label text (ends in one space)
    float value;            // volts per division the label stands for
    std::uint8_t rangeCode; // hardware input range, 0..3
    float adj;              // volts per raw count: full scale / 255
    float fullScale;        // volts across the 255 counts
    float scale;            // display divisions per volt
};

using ScaleTable = std::array<ScaleRow, 6>;

enum class Input { BncX10, BncX1, Pod };

const ScaleTable& table(Input input);

// Full-scale span in volts at the input connector for a range code (the x1 figures for the
// BNC input; the probe divides before the connector).
float inputSpan(bool pod, std::uint8_t rangeCode);

} // namespace tracely::scales
