#include "sim/capture_model.h"

#include "src/instrument/decimation.h"
#include "src/instrument/registers.h"
#include "tests/data/tables.h"

#include <cmath>
#include <string_view>

namespace tracely::sim {

using tables::kScales;
using tables::kTimebase;
using tables::ScaleRow;
using tables::TimebaseRow;

CaptureTiming timingFor(const RegisterFile& regs, int baud) {
    const int column = baud == 115200 ? 115200 : 57600;
    const int slow = regs::decimates(regs[8]) ? 1 : 0;
    for (const TimebaseRow& g : kTimebase) {
        if (g.baud == column && g.r8Bit1 == slow && g.r11 == regs[11] && g.r12 == regs[12] &&
            g.r13 == regs[13] && g.r20 == regs[20]) {
            const int decimation = regs::decimationStep(g.r8Bit1 != 0, baud);
            CaptureTiming t;
            t.dt = static_cast<double>(static_cast<float>(g.timeAdj)) / decimation;
            t.post = g.dumpOffset - g.trigStart + 1;
            t.trigStart = g.trigStart;
            t.dumpOffset = g.dumpOffset;
            t.recognised = true;
            return t;
        }
    }
    return CaptureTiming{};
}

namespace {

double inputSpan(bool pod, std::uint8_t rangeCode) {
    // The x1 rows give each range code's span at the connector (the probe divides before it).
    const std::string_view input = pod ? "POD" : "BNC x1";
    for (const ScaleRow& r : kScales) {
        if (input == r.input && r.rangeCode == (rangeCode & 3)) {
            return r.fullScale;
        }
    }
    return 0.0;
}

} // namespace

AdcSetup adcSetup(const RegisterFile& regs) {
    AdcSetup a;
    a.primaryIsA = (regs[14] & 4) != 0;
    a.rangeCode = static_cast<std::uint8_t>(regs[14] & 3);
    a.pod = (regs[7] & regs::kR7PodInput) != 0;
    return a;
}

std::uint8_t analogByte(double volts, bool pod, std::uint8_t rangeCode) {
    const double perCount = inputSpan(pod, rangeCode) / 255.0;
    const double counts = 128.0 + volts / perCount;
    if (!(counts > 0.0)) {
        return 0;
    }
    if (counts >= 255.0) {
        return 255;
    }
    return static_cast<std::uint8_t>(std::lround(counts));
}

TriggerSetup triggerSetup(const RegisterFile& regs) {
    TriggerSetup t;
    t.analogSource = (regs[7] & regs::kR7AnalogTrigger) != 0;
    t.pattern = regs[5];
    t.dontCare = regs[6];
    switch (regs::trigCode(regs[7])) {
    case regs::TrigCode::Becoming:
        t.mode = TriggerMode::Becoming;
        break;
    case regs::TrigCode::Leaving:
        t.mode = TriggerMode::Leaving;
        break;
    default:
        t.mode = TriggerMode::Level;
        break;
    }
    return t;
}

Sample SignalSource::sample(std::int64_t n, double dt, const AdcSetup& adc) const {
    // The signal source and the sampling clock are separate crystals: a signal whose period is
    // a whole number of samples would otherwise show the converter the same few values for
    // ever, and a level trigger between them would never fire.
    constexpr double kSourceClockOffset = 37e-6;
    const double t = static_cast<double>(n) * dt * (1.0 + kSourceClockOffset);
    const Waveform& w = adc.primaryIsA ? o_.cha : o_.chb;
    Sample s;
    s.analog =
        analogByte(voltage(w, t, n, o_.seed, adc.primaryIsA ? 0 : 1), adc.pod, adc.rangeCode);
    s.logic = logicByte(o_.logic, t, o_.seed);
    return s;
}

std::optional<std::int64_t> SignalSource::findTrigger(std::int64_t from, std::int64_t to, double dt,
                                                      const AdcSetup& adc,
                                                      const TriggerSetup& trig) const {
    const auto matches = [&](std::int64_t n) {
        const Sample s = sample(n, dt, adc);
        return regs::triggerMatches(trig.analogSource ? s.analog : s.logic, trig.pattern,
                                    trig.dontCare);
    };
    bool prev = matches(from - 1);
    for (std::int64_t n = from; n < to; ++n) {
        const bool now = matches(n);
        const bool fired = trig.mode == TriggerMode::Level      ? now
                           : trig.mode == TriggerMode::Becoming ? (now && !prev)
                                                                : (!now && prev);
        if (fired) {
            return n;
        }
        prev = now;
    }
    return std::nullopt;
}

} // namespace tracely::sim
