#pragma once

// The tables typed into tests/data, as rows; the build turns each CSV into the .inc included
// here (tables.cmake). Shared by the simulator and the tests that check the program.
namespace tracely::tables {

// One row per rate, line speed and knob position (timebase.csv).
struct TimebaseRow {
    const char* rate;
    int baud, position;
    const char* label;
    long long timeScale;
    int timeBase;
    double timeAdj; // seconds per display point
    int r8Bit1, points, chunks, capture, trigStart, dumpOffset, r11, r12, r13, r20;
};
inline constexpr TimebaseRow kTimebase[] = {
#include "timebase.inc"
};

// One row per input and knob position (scales.csv).
struct ScaleRow {
    const char* input;
    int position;
    const char* label;
    double value;
    int rangeCode;
    double adj, fullScale, scale;
};
inline constexpr ScaleRow kScales[] = {
#include "scales.inc"
};

} // namespace tracely::tables
