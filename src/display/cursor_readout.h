#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The cursor readout as text: a time difference, a voltage difference or a frequency.
namespace tracely::display {

enum class CursorType : int { Time = 1, Voltage = 2, Frequency = 3 };

struct Readout {
    std::string text;            // number and unit, e.g. "1.50 V"; empty for no reading
    std::optional<double> value; // the number shown, in the unit shown
};

// "d" with `decimals` decimals and at least one integer digit, '.' as the separator.
std::string formatFixed(double d, int decimals);

// A time difference in seconds, shown in the unit range of the time-range group (0, 1, 2).
// An unknown group gives no reading.
Readout timeReadout(double seconds, int timeBase);

// A voltage difference already converted to volts (or divisions when no channel applies).
Readout voltageReadout(double volts);

// The frequency of a period in seconds. A zero period has no frequency: nullopt, so that
// the caller keeps the reading it showed before.
std::optional<Readout> frequencyReadout(double seconds);

struct CursorSpan {
    double x1 = 0.0, y1 = 0.0; // "Cursor1" on the analog graph
    double x2 = 0.0, y2 = 0.0; // "Cursor2"
};

struct ReadoutContext {
    int cursorType = 1;
    int timeBase = 1;
    std::int32_t timeScale = 1000000; // graph x units per second
    float scaleA = 1.0f;              // divisions per volt
    float scaleB = 1.0f;
    std::string cursorsOn = "CH A"; // which channel a voltage refers to
};

// The reading for two cursors; nullopt means "keep the previous reading" (a frequency with
// both cursors at the same x). A time scale or channel scale of 0, or a difference too large
// to be finite, gives an empty reading rather than a meaningless number.
std::optional<Readout> cursorReadout(const CursorSpan& span, const ReadoutContext& context);

} // namespace tracely::display
