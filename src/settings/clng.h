#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tracely::ini {

// Text to a signed 32-bit integer the way the classic BASIC CLng converts text: blanks around
// the number, an optional sign, decimal digits with an optional fraction and exponent ("1e3"),
// or "&H" with up to eight hexadecimal digits (taken as a 32-bit pattern, "&HFFFFFFFF" is -1).
// Fractions round half to even. Nothing when the text is not such a number or the rounded
// value does not fit. Any length of input is safe: digits are never converted blindly.
std::optional<std::int32_t> toLong(std::string_view text);

} // namespace tracely::ini
