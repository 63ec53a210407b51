#pragma once

#include <cstdint>

// The bits of the trigger register R7 and the acquisition mode register R8, by name, for the
// program and the simulator alike.
namespace tracely::regs {

// R7 bit 0: trigger on the analog byte (set) or on the logic byte (clear).
inline constexpr std::uint8_t kR7AnalogTrigger = 0x01;
// R7 bit 1: in the image from start-up on; the dump request sends its own value in its place.
inline constexpr std::uint8_t kR7TraceLogic = 0x02;
// R7 bit 2: always clear in the image; the dump mode byte clears it with bit 1.
inline constexpr std::uint8_t kR7Bit2 = 0x04;
// R7 bit 3: analog input from the pod (set) or the BNC connector (clear).
inline constexpr std::uint8_t kR7PodInput = 0x08;
// R7 bits 5..4: the trigger mode code.
inline constexpr std::uint8_t kR7ModeMask = 0x30;
// R7 at start-up: analog trigger source, bit 1 set, level mode, BNC input.
inline constexpr std::uint8_t kR7Start = kR7AnalogTrigger | kR7TraceLogic;

// Bits 5..4 of R7: the trigger mode code. Code 10 is never programmed; a capture sent with it
// keeps the previous trigger row.
enum class TrigCode : std::uint8_t { Level = 0x00, Unused = 0x10, Becoming = 0x20, Leaving = 0x30 };

constexpr TrigCode trigCode(std::uint8_t r7) {
    return static_cast<TrigCode>(r7 & kR7ModeMask);
}

constexpr std::uint8_t withTrigCode(std::uint8_t r7, TrigCode code) {
    return static_cast<std::uint8_t>((r7 & ~kR7ModeMask) | static_cast<std::uint8_t>(code));
}

// R8 bit 0: set by the primary-channel handler and at start-up; nothing clears it.
inline constexpr std::uint8_t kR8Bit0 = 0x01;
// R8 bit 1: the instrument decimates (the slow sample rates).
inline constexpr std::uint8_t kR8Decimate = 0x02;

constexpr bool decimates(std::uint8_t r8) {
    return (r8 & kR8Decimate) != 0;
}

constexpr std::uint8_t withDecimation(std::uint8_t r8, bool on) {
    return on ? static_cast<std::uint8_t>(r8 | kR8Decimate)
              : static_cast<std::uint8_t>(r8 & ~kR8Decimate);
}

} // namespace tracely::regs
