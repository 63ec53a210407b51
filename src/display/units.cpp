#include "src/display/units.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace tracely::units {

namespace {
// The pan slide's designed ends, in quarter divisions.
constexpr double kPanSlideEnd = 5500.0;
constexpr double kPanQuantum = 0.25;
} // namespace

double voltsPerDivision(float divisionsPerVolt) {
    if (!std::isfinite(divisionsPerVolt) || divisionsPerVolt == 0.0f) {
        return 0.0;
    }
    return 1.0 / static_cast<double>(divisionsPerVolt);
}

double voltsAtDivision(double y, float divisionsPerVolt, float offsetDivisions, bool inverted) {
    const double v =
        (y - static_cast<double>(offsetDivisions)) * voltsPerDivision(divisionsPerVolt);
    return inverted ? -v : v;
}

double secondsPerDivision(std::int32_t divisionsPerSecond) {
    return divisionsPerSecond > 0 ? 1.0 / static_cast<double>(divisionsPerSecond) : 0.0;
}

double secondsFromTrigger(double x, float trigPos, std::int32_t divisionsPerSecond) {
    return (x - static_cast<double>(trigPos)) * secondsPerDivision(divisionsPerSecond);
}

int levelDistance(bool levelMode, double knobValue, std::uint8_t r5, std::uint8_t r6) {
    if (levelMode || knobValue >= 128.0) {
        return static_cast<int>(r5) - 128;
    }
    return -(127 - static_cast<int>(r6));
}

double levelVolts(int distance, float voltsPerCount) {
    return static_cast<double>(distance) * static_cast<double>(voltsPerCount);
}

std::string withPrefix(double value, const std::string& unit) {
    if (!std::isfinite(value)) {
        return "-";
    }
    struct Prefix {
        double factor;
        const char* text;
    };
    static constexpr std::array<Prefix, 6> kPrefixes{
        {{1e6, "M"}, {1e3, "k"}, {1.0, ""}, {1e-3, "m"}, {1e-6, "u"}, {1e-9, "n"}}};
    const double magnitude = std::fabs(value);
    Prefix chosen = kPrefixes.back();
    if (magnitude == 0.0) {
        chosen = {1.0, ""};
    } else {
        for (const Prefix& p : kPrefixes) {
            // Rounded to three digits first, so that 999.7 mV reads "1 V", not "1000 mV".
            const double scaled = magnitude / p.factor;
            if (scaled >= 0.9995) {
                chosen = p;
                break;
            }
        }
    }
    const double scaled = value / chosen.factor;
    const double a = std::fabs(scaled);
    const int decimals = a >= 99.95 ? 0 : (a >= 9.995 ? 1 : 2);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, scaled);
    std::string text(buf);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    if (text == "-0") {
        text = "0";
    }
    return text + " " + chosen.text + unit;
}

PanRange panRange(double plotBase, double step, int points, double windowDivisions) {
    if (points <= 0 || !std::isfinite(plotBase) || !std::isfinite(step) ||
        !std::isfinite(windowDivisions)) {
        return {};
    }
    const double first = plotBase;
    const double last = plotBase + (points - 1) * step;
    if (!std::isfinite(last)) {
        return {};
    }
    const double lo = std::min({0.0, first, last});
    const double hi = std::max({0.0, first - windowDivisions, last - windowDivisions});
    const auto quarters = [](double d, bool up) {
        const double q =
            up ? std::ceil(d / kPanQuantum - 1e-9) : std::floor(d / kPanQuantum + 1e-9);
        return static_cast<int>(std::clamp(q, -kPanSlideEnd, kPanSlideEnd));
    };
    return {quarters(lo, false), quarters(hi, true)};
}

} // namespace tracely::units
