#include "src/display/cursor_readout.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace tracely::display {

namespace {

Readout reading(double d, int decimals, const char* unit) {
    if (!std::isfinite(d)) {
        return {};
    }
    return {formatFixed(d, decimals) + unit, d};
}

} // namespace

std::string formatFixed(double d, int decimals) {
    // Large enough for any finite double in fixed notation with a few decimals.
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), d,
                                      std::chars_format::fixed, decimals);
    if (result.ec != std::errc{}) {
        return {};
    }
    return std::string(buffer.data(), result.ptr);
}

Readout timeReadout(double seconds, int timeBase) {
    switch (timeBase) {
    case 0: {
        const double ns = seconds * 1000000000.0;
        return ns < 1000.0 ? reading(ns, 2, " nSec") : reading(ns / 1000.0, 3, " uSec");
    }
    case 1: {
        const double us = seconds * 1000000.0;
        if (us < 1.0) {
            return reading(us * 1000.0, 2, " nSec");
        }
        return us < 1000.0 ? reading(us, 3, " uSec") : reading(us / 1000.0, 3, " mSec");
    }
    case 2: {
        const double ms = seconds * 1000.0;
        if (ms < 1.0) {
            return reading(ms * 1000.0, 3, " uSec");
        }
        return ms < 1000.0 ? reading(ms, 3, " mSec") : reading(ms / 1000.0, 3, " Sec");
    }
    default:
        return {};
    }
}

Readout voltageReadout(double volts) {
    if (volts >= 100.0) {
        return reading(volts, 1, " V");
    }
    return volts >= 1.0 ? reading(volts, 2, " V") : reading(volts, 3, " V");
}

std::optional<Readout> frequencyReadout(double seconds) {
    if (seconds == 0.0) {
        return std::nullopt;
    }
    const double kHz = 1.0 / (seconds * 1000.0);
    if (kHz < 1.0) {
        return reading(kHz * 1000.0, 1, " Hz");
    }
    if (kHz < 1000.0) {
        return reading(kHz, 3, " KHz");
    }
    if (kHz < 1000000.0) {
        return reading(kHz / 1000.0, 3, " MHz");
    }
    return reading(kHz / 1000000.0, 3, " GHz");
}

std::optional<Readout> cursorReadout(const CursorSpan& span, const ReadoutContext& c) {
    const auto seconds = [&]() -> double {
        return c.timeScale == 0 ? std::numeric_limits<double>::quiet_NaN()
                                : std::abs(span.x2 - span.x1) * (1.0 / c.timeScale);
    };
    switch (static_cast<CursorType>(c.cursorType)) {
    case CursorType::Time: {
        const double d = seconds();
        return std::isfinite(d) ? timeReadout(d, c.timeBase) : Readout{};
    }
    case CursorType::Voltage: {
        double d = std::abs(span.y2 - span.y1);
        if (c.cursorsOn == "CH A" || c.cursorsOn == "CH B") {
            const float scale = c.cursorsOn == "CH A" ? c.scaleA : c.scaleB;
            if (scale == 0.0f) {
                return Readout{};
            }
            d *= 1.0 / static_cast<double>(scale);
        }
        return voltageReadout(d);
    }
    case CursorType::Frequency: {
        const double d = seconds();
        return std::isfinite(d) ? frequencyReadout(d) : Readout{};
    }
    }
    return Readout{};
}

} // namespace tracely::display
