#pragma once

#include <cstdint>

namespace tracely {

// Colours of the link's status light (the trigger LED), as 0x00BBGGRR values.
namespace colour {
inline constexpr std::uint32_t kRed = 255;       // communication error
inline constexpr std::uint32_t kYellow = 65535;  // waiting for a trigger
inline constexpr std::uint32_t kBlue = 16711680; // receiving a dump
} // namespace colour

} // namespace tracely
