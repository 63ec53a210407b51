#pragma once

#include <cstdint>

namespace tracely {

// Colours of the panel's lamps, as 0x00BBGGRR values. The link's status light (the trigger
// LED) says what the line is doing with the first three.
namespace colour {
inline constexpr std::uint32_t kRed = 255;       // communication error
inline constexpr std::uint32_t kYellow = 65535;  // waiting for a trigger; an offset is set
inline constexpr std::uint32_t kBlue = 16711680; // receiving a dump
inline constexpr std::uint32_t kGreen = 65280;   // every other lamp that is on
} // namespace colour

} // namespace tracely
