#include "src/measure/measure_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace tracely::measure {

namespace {

const char* unitText(Unit unit) {
    switch (unit) {
    case Unit::Hertz:
        return "Hz";
    case Unit::Seconds:
        return "s";
    case Unit::Volts:
        return "V";
    default:
        return "";
    }
}

// Never in the user's locale, so the text is the same on every machine.
std::string fixed(double v, int decimals) {
    std::array<char, 64> buf{};
    const auto r =
        std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed, decimals);
    return {buf.data(), r.ptr};
}

double rounded(double v) {
    const std::string text = fixed(v, 3);
    double back = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), back);
    return back;
}

} // namespace

std::string formatValue(const Value& value, Unit unit) {
    if (!value.number || !std::isfinite(*value.number)) {
        return "\u2014";
    }
    const double v = *value.number;
    if (unit == Unit::Count) {
        return fixed(v, 0);
    }
    if (unit == Unit::Ratio) {
        return fixed(v * 100.0, 1) + " %";
    }
    struct Prefix {
        double scale;
        const char* text;
    };
    static constexpr std::array<Prefix, 9> kPrefixes{{{1e-12, "p"},
                                                      {1e-9, "n"},
                                                      {1e-6, "\u00b5"},
                                                      {1e-3, "m"},
                                                      {1.0, ""},
                                                      {1e3, "k"},
                                                      {1e6, "M"},
                                                      {1e9, "G"},
                                                      {1e12, "T"}}};
    const double a = std::fabs(v);
    std::size_t k = 4; // no prefix for zero
    if (a > 0.0) {
        k = 0;
        // Rounded to four figures first, so 999.96 reads 1.000 k rather than 1000.0.
        while (k + 1 < kPrefixes.size() && rounded(a / kPrefixes[k + 1].scale) >= 1.0) {
            ++k;
        }
    }
    double m = v / kPrefixes[k].scale;
    const double am = std::fabs(m);
    const int decimals = am >= 99.995 ? 1 : am >= 9.9995 ? 2 : 3;
    return fixed(m, decimals) + " " + kPrefixes[k].text + unitText(unit);
}

} // namespace tracely::measure
