#pragma once

#include <cstdint>
#include <string>

// Front-panel numbers in the units a user reads them in: volts, seconds, volts per division,
// seconds per division. Plain arithmetic over the shared state's factors, no widgets.
namespace tracely::units {

// Volts one division holds for a channel scale in divisions per volt; 0 for a scale of 0 or
// one that is not finite (no meaningful reading rather than infinity).
double voltsPerDivision(float divisionsPerVolt);

// The input voltage drawn at graph height y (divisions): the inverse of "volts x scale,
// negated when inverted, plus offset".
double voltsAtDivision(double y, float divisionsPerVolt, float offsetDivisions, bool inverted);

// Seconds one time division holds for a time scale in divisions per second; 0 for a scale
// that is not positive.
double secondsPerDivision(std::int32_t divisionsPerSecond);

// Seconds from the trigger at graph x (divisions), the trigger being drawn at x = trigPos.
double secondsFromTrigger(double x, float trigPos, std::int32_t divisionsPerSecond);

// The trigger level's distance from mid-scale in converter steps, from the register images
// the instrument is given (level mode: R5 - 128; edge modes: R5 - 128 at or above mid-scale,
// otherwise -(127 - R6)).
int levelDistance(bool levelMode, double knobValue, std::uint8_t r5, std::uint8_t r6);

// Volts at the input of a level distance, for the primary channel's volts per count.
double levelVolts(int distance, float voltsPerCount);

// "500 mV", "1.5 V", "-2 us", "0 s": three significant digits at most, an SI prefix
// (n, u, m, none, k, M), trailing zeros dropped. Non-finite values give "-".
std::string withPrefix(double value, const std::string& unit);

// The pan slide's range in quarter divisions: the window of `windowDivisions` may move until
// the first or last display point reaches its edge, and never away from the start window
// (0), so that points narrower than the window stay in sight.
struct PanRange {
    int minimum = 0;
    int maximum = 0;
};
PanRange panRange(double plotBase, double step, int points, double windowDivisions = 10.0);

} // namespace tracely::units
