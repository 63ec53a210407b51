#pragma once

#include "src/core/front_panel_state.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

// Automatic measurements of one capture: plain functions of the display points, in volts and
// seconds. A value that cannot be measured honestly has no number, only the reason.
namespace tracely::measure {

struct Value {
    std::optional<double> number;
    std::string reason; // why there is no number; empty when there is one

    static Value of(double v) { return {v, {}}; }
    static Value none(std::string why) { return {std::nullopt, std::move(why)}; }
};

// The analog channel's points and what they are measured against.
struct AnalogTrace {
    std::span<const float> volts;
    double secondsPerPoint = 0.0;
    // The converter's two ends in volts: a point sitting on one of them may have been cut off.
    double lowRail = 0.0;
    double highRail = 0.0;
};

struct AnalogMeasurements {
    Value frequency;                               // Hz
    Value period;                                  // s
    Value peakToPeak, minimum, maximum, mean, rms; // V
    Value duty;                                    // fraction of a period above the middle, 0..1
    Value riseTime, fallTime;                      // s, 10 % to 90 % of the swing
};

AnalogMeasurements measureAnalog(const AnalogTrace& trace);

struct LogicMeasurements {
    Value frequency; // Hz
    Value duty;      // 0..1
    Value pulses;    // complete high pulses in the capture
};

// Line 0..7 (D0..D7) of the logic points.
LogicMeasurements measureLogic(std::span<const LogicPoint> points, int line,
                               double secondsPerPoint);

} // namespace tracely::measure
