#pragma once

#include "src/measure/measurements.h"

#include <string>

namespace tracely::measure {

enum class Unit { Hertz, Seconds, Volts, Ratio, Count };

// "1.000 kHz", "250.0 µs", "-1.234 V", "50.0 %", "12"; "—" when there is no number.
// Four significant figures with the SI prefix that keeps 1 to 999 before the point.
std::string formatValue(const Value& value, Unit unit);

} // namespace tracely::measure
