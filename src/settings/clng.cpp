#include "src/settings/clng.h"

#include <string>

namespace tracely::ini {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexDigit(char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

std::optional<std::int32_t> fromHex(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char c : digits) {
        const int d = hexDigit(c);
        if (d < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<std::uint32_t>(d);
    }
    // Two's complement pattern to signed without relying on implementation-defined casts.
    return value <= 0x7FFFFFFFu ? static_cast<std::int32_t>(value)
                                : static_cast<std::int32_t>(static_cast<std::int64_t>(value) -
                                                            (std::int64_t{1} << 32));
}

// Exponents beyond this make any nonzero mantissa out of range (or round it to zero).
constexpr long kExponentLimit = 100000;

// A decimal number as its mantissa digits without the point; pointPos counts the digits
// before the point (after the exponent is applied).
struct Decimal {
    std::string digits;
    long pointPos = 0;
};

// Digits, an optional point and fraction, an optional exponent, and nothing after them.
std::optional<Decimal> parseDecimal(std::string_view s) {
    Decimal d;
    std::size_t i = 0;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        d.digits.push_back(s[i]);
    }
    d.pointPos = static_cast<long>(d.digits.size());
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && isDigit(s[i]); ++i) {
            d.digits.push_back(s[i]);
        }
    }
    if (d.digits.empty()) {
        return std::nullopt;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            expNegative = s[i] == '-';
            ++i;
        }
        if (i == s.size() || !isDigit(s[i])) {
            return std::nullopt;
        }
        long exponent = 0;
        for (; i < s.size() && isDigit(s[i]); ++i) {
            if (exponent < kExponentLimit) {
                exponent = exponent * 10 + (s[i] - '0');
            }
        }
        d.pointPos += expNegative ? -exponent : exponent;
    }
    if (i != s.size()) {
        return std::nullopt;
    }
    return d;
}

// The magnitude rounded half to even to a whole number; nothing when it has more than ten
// integer digits.
std::optional<std::int64_t> roundHalfEven(Decimal d) {
    // Drop leading zeros so that the count of integer digits is meaningful.
    const std::size_t firstNonZero = d.digits.find_first_not_of('0');
    if (firstNonZero == std::string::npos) {
        return 0;
    }
    const std::string& digits = d.digits.erase(0, firstNonZero);
    const long pointPos = d.pointPos - static_cast<long>(firstNonZero);
    if (pointPos > 10) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (long k = 0; k < pointPos; ++k) {
        const auto idx = static_cast<std::size_t>(k);
        value = value * 10 + (idx < digits.size() ? digits[idx] - '0' : 0);
    }
    // Round half to even on the fractional digits.
    const std::size_t fracStart = pointPos > 0 ? static_cast<std::size_t>(pointPos) : 0;
    if (pointPos >= 0 && fracStart < digits.size()) {
        const char first = digits[fracStart];
        const bool restNonZero = digits.find_first_not_of('0', fracStart + 1) != std::string::npos;
        if (first > '5' || (first == '5' && (restNonZero || value % 2 == 1))) {
            ++value;
        }
    }
    // pointPos < 0: the value is below 0.1 in magnitude and rounds to zero.
    return value;
}

} // namespace

std::optional<std::int32_t> toLong(std::string_view text) {
    std::string_view s = trimBlanks(text);
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) {
        return fromHex(s.substr(2));
    }
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    const std::optional<Decimal> decimal = parseDecimal(s);
    if (!decimal) {
        return std::nullopt;
    }
    std::optional<std::int64_t> value = roundHalfEven(*decimal);
    if (!value) {
        return std::nullopt;
    }
    if (negative) {
        *value = -*value;
    }
    if (*value < INT32_MIN || *value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*value);
}

} // namespace tracely::ini
