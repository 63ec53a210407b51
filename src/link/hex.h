#pragma once

#include <cstdint>
#include <string_view>

namespace tracely::hex {

// Value of a hexadecimal digit (either case), or -1.
constexpr int digitValue(char c) {
    if (c >= '0' && c <= '9') {
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

// Leading hexadecimal digits of text, up to the first other character; nothing read is 0.
// Saturates above `limit` and reports it, so that no length of input can overflow.
struct Parsed {
    std::uint32_t value = 0;
    bool overflow = false;
};
Parsed parsePrefix(std::string_view text, std::uint32_t limit);

// The text read as hexadecimal; a value above 255 gives 0.
std::uint8_t HexToByte(std::string_view text);

// Four characters: first digit x 4096 + the last three, so "8000" is 32768, never negative.
// Any other length is read whole; a value beyond the 32-bit signed range gives 0.
std::int32_t HexToLng(std::string_view text);

} // namespace tracely::hex
