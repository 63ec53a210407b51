#pragma once

#include <cstdint>

namespace tracely {

// The link's status light (the trigger LED). Colours are 0x00BBGGRR values.
class StatusLight {
public:
    virtual ~StatusLight() = default;
    virtual void setColour(std::uint32_t bgr) = 0;
    virtual void setLit(bool on) = 0;
};

namespace colour {
inline constexpr std::uint32_t kRed = 255;       // communication error
inline constexpr std::uint32_t kYellow = 65535;  // waiting for a trigger
inline constexpr std::uint32_t kBlue = 16711680; // receiving a dump
} // namespace colour

} // namespace tracely
