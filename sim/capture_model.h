#pragma once

#include "sim/options.h"

#include <array>
#include <cstdint>
#include <optional>

// How the simulated instrument samples: the timebase it infers from the registers the program
// wrote, the analog conversion of the primary channel, and the trigger condition.
namespace tracely::sim {

using RegisterFile = std::array<std::uint8_t, 256>;

struct CaptureTiming {
    double dt = 4e-8;     // seconds between stored samples
    int post = 281;       // samples stored after the trigger sample up to the answered address
    int trigStart = 250;  // where the program will begin its trigger search
    int dumpOffset = 530; // what the program subtracts from the answer
    bool recognised = false;
};

// The timebase registers (R8 bit 1, R11, R13, R20) and the line speed select one row of the
// program's timebase tables; the sample period follows from its seconds per display point and
// the decimation the program applies at that speed. Unknown values fall back to 25 MSa/s.
CaptureTiming timingFor(const RegisterFile& regs, int baud);

struct AdcSetup {
    bool primaryIsA = true;
    std::uint8_t rangeCode = 3;
    bool pod = false;
};
AdcSetup adcSetup(const RegisterFile& regs);

// Volts at the input to the analog byte: 128 at zero, span/255 volts per count, clipped.
std::uint8_t analogByte(double volts, bool pod, std::uint8_t rangeCode);

enum class TriggerMode { Level, Becoming, Leaving };

struct TriggerSetup {
    bool analogSource = true;
    std::uint8_t pattern = 128;
    std::uint8_t dontCare = 0;
    TriggerMode mode = TriggerMode::Level;
};
TriggerSetup triggerSetup(const RegisterFile& regs);

struct Sample {
    std::uint8_t logic = 0;
    std::uint8_t analog = 128;
};

class SignalSource {
public:
    explicit SignalSource(const Options& o) : o_(o) {}
    Sample sample(std::int64_t n, double dt, const AdcSetup& adc) const;

    // The first sample number in [from, to) at which the trigger fires.
    std::optional<std::int64_t> findTrigger(std::int64_t from, std::int64_t to, double dt,
                                            const AdcSetup& adc, const TriggerSetup& trig) const;

private:
    const Options& o_;
};

} // namespace tracely::sim
