#pragma once

#include "src/instrument/trigger_codes.h"

#include <cstdint>
#include <string>

// Register arithmetic of the front panel: pure functions, so that panel handlers call them and
// tests check them without widgets.
namespace tracely::regs {

// R14: input ranges and primary channel. primaryIsB is the primary-channel button's state
// (off: channel A is primary). When either channel is disabled the low nibble is copied into
// the high nibble.
std::uint8_t computeR14(std::uint8_t rangeA, std::uint8_t rangeB, bool primaryIsB, bool chAEnabled,
                        bool chBEnabled);

enum class TrigMode { Level, RisingEdge, FallingEdge };

struct TriggerRegs {
    std::uint8_t r5 = 128;
    std::uint8_t r6 = 0;
    std::uint8_t r7 = 3;
};

// Trigger-level knob value as the byte the registers take: rounded half to even, clamped to
// 0..255 so that an out-of-range value from a hand-edited settings file cannot overflow.
std::uint8_t levelByte(double knobValue);

// R5, R6 and R7 bits 5..4 for a trigger mode. With the analog source the level L becomes a
// threshold pattern; with the logic source only the R7 code changes (R5/R6 hold the word).
TriggerRegs setTrigRegisters(TriggerRegs in, TrigMode mode, bool analogSource, double level);

// Trigger source switch: logic clears R7 bit 0 and makes every word bit "X" (R5 0, R6 255);
// analog sets R7 bit 0 and leaves R5/R6 for setTrigRegisters.
TriggerRegs switchTrigSource(TriggerRegs in, bool logicSource);

// One press of the trigger-word button of bit n (0..7): "X" -> "1" -> "0" -> "X".
struct TrigBitStep {
    TriggerRegs regs;
    std::string caption; // the button's new caption
    bool edgesEnabled;   // at least one bit is not "X"
    bool forcedLevel;    // the word became all "X": level mode selected, R7 code 00
};
TrigBitStep cycleTrigBit(TriggerRegs in, int bit, const std::string& caption);

// The pattern test shared by the trigger search and the instrument: b matches when the bits
// not marked don't-care in mask r6 equal those of pattern r5.
constexpr bool triggerMatches(std::uint8_t b, std::uint8_t r5, std::uint8_t r6) {
    const auto care = static_cast<std::uint8_t>(~r6);
    return (b & care) == (r5 & care);
}

// R7 with the analog input source bit (3) set for the pod, cleared for the BNC.
constexpr std::uint8_t withAnalogSource(std::uint8_t r7, bool pod) {
    return pod ? static_cast<std::uint8_t>(r7 | kR7PodInput)
               : static_cast<std::uint8_t>(r7 & ~kR7PodInput);
}

// The dump mode byte sent in place of R7 by a dump request; the image itself is not changed.
constexpr std::uint8_t dumpMode(std::uint8_t r7, bool showTrigLogic) {
    return showTrigLogic ? static_cast<std::uint8_t>(r7 | kR7TraceLogic)
                         : static_cast<std::uint8_t>(r7 & ~(kR7TraceLogic | kR7Bit2));
}

} // namespace tracely::regs
