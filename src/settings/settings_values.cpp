#include "src/settings/settings_values.h"

#include "src/settings/clng.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace tracely::settings {

namespace {

std::string_view trim(std::string_view t) {
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front()))) {
        t.remove_prefix(1);
    }
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) {
        t.remove_suffix(1);
    }
    return t;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// from_chars for doubles, refusing a leading '+' as it does but accepting it as people write.
std::optional<double> parseDouble(std::string_view t, bool whole) {
    if (!t.empty() && t.front() == '+') {
        t.remove_prefix(1);
    }
    if (t.empty()) {
        return std::nullopt;
    }
    double v = 0.0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || (whole && end != t.data() + t.size()) || !std::isfinite(v)) {
        return std::nullopt;
    }
    return v;
}

// The longest prefix that reads as a decimal number ("2.5abc" -> "2.5").
std::string_view numericPrefix(std::string_view t) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        ++i;
    }
    bool digits = false;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
        ++i;
        digits = true;
    }
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
            ++i;
            digits = true;
        }
    }
    return digits ? t.substr(0, i) : std::string_view{};
}

} // namespace

std::optional<bool> readBoolean(std::string_view text) {
    const std::string_view t = trim(text);
    if (equalsNoCase(t, "true")) {
        return true;
    }
    if (equalsNoCase(t, "false")) {
        return false;
    }
    if (const auto n = parseDouble(t, true)) {
        return *n != 0.0;
    }
    return std::nullopt;
}

int readPosition(std::string_view text) {
    constexpr double kLimit = 1e6; // far beyond any knob, well inside int
    const std::string_view digits = numericPrefix(trim(text));
    std::optional<double> n = parseDouble(digits, true);
    if (!n && !digits.empty()) {
        n = digits.front() == '-' ? -kLimit : kLimit; // too many digits for a double
    }
    if (!n) {
        return 0;
    }
    const double clamped = std::clamp(*n, -kLimit, kLimit);
    return static_cast<int>(std::nearbyint(clamped)); // halves to even
}

std::optional<double> readNumber(std::string_view text) {
    return parseDouble(trim(text), true);
}

std::optional<bool> readState(std::string_view text) {
    const auto n = ini::toLong(text);
    if (!n || (*n != 0 && *n != 1)) {
        return std::nullopt;
    }
    return *n == 1;
}

std::optional<float> readSingle(std::string_view text) {
    const auto n = parseDouble(trim(text), true);
    if (!n || std::fabs(*n) > static_cast<double>(std::numeric_limits<float>::max())) {
        return std::nullopt;
    }
    return static_cast<float>(*n);
}

std::string writeSingle(float value) {
    std::array<char, 64> buf{};
    const auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    return ec == std::errc() ? std::string(buf.data(), end) : std::string("0");
}

std::string writeNumber(double value) {
    std::array<char, 64> buf{};
    const auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    return ec == std::errc() ? std::string(buf.data(), end) : std::string("0");
}

} // namespace tracely::settings
