#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tracely::timebase {

inline constexpr int kPositions = 21;

// Time-range knob position -> display time scale.
struct TimeScale {
    std::int32_t lngTimeScale; // divisions per second
    std::int16_t intTimeBase;  // unit group: 0 ns, 1 us, 2 ms
    const char* label;         // seconds per division as the knob shows it
};
std::optional<TimeScale> timeScaleFor(int position);

// The sample rates the instrument offers, as the Options dialog names them.
enum class Rate { R10K, R25K, R100K, R25M };
std::optional<Rate> rateFromText(std::string_view text);
const char* rateText(Rate r);

// Everything a capture needs for one rate, speed and position.
struct CaptureGeometry {
    float sngTimeAdj;        // seconds per display point
    bool r8Bit1;             // decimating (slow) rates
    std::int16_t points;     // display points per channel and for the logic trace
    std::int16_t chunks;     // dump blocks to request
    std::int16_t capture;    // sample rows kept
    std::int16_t trigStart;  // row where the trigger search begins
    std::int16_t dumpOffset; // subtracted from the trigger address
    std::uint8_t r11, r12, r13, r20;
};

// Speeds other than 115200 take the 57600 column, as the capture cycle does.
CaptureGeometry captureGeometry(Rate rate, std::int32_t baud, int position);

// Knob value as the integer position the tables use: rounded half to even, with values far
// outside the scale (a hand-edited settings file) mapped to 0 instead of overflowing.
int knobPosition(double knobValue);

} // namespace tracely::timebase
