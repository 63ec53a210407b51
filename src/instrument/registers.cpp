#include "src/instrument/registers.h"

#include <cmath>

namespace tracely::regs {

namespace {
constexpr std::uint8_t u8(int v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}
} // namespace

std::uint8_t computeR14(std::uint8_t rangeA, std::uint8_t rangeB, bool primaryIsB, bool chAEnabled,
                        bool chBEnabled) {
    std::uint8_t r14 =
        primaryIsB ? u8((rangeA * 16) | rangeB | 200) : u8((rangeB * 16) | rangeA | 140);
    if (!chAEnabled || !chBEnabled) {
        r14 = u8(((r14 & 15) * 16) | (r14 & 15));
    }
    return r14;
}

std::uint8_t levelByte(double knobValue) {
    if (!(knobValue > 0.0)) { // also catches NaN
        return 0;
    }
    if (knobValue >= 255.0) {
        return 255;
    }
    return static_cast<std::uint8_t>(std::nearbyint(knobValue)); // ties to even
}

TriggerRegs setTrigRegisters(TriggerRegs in, TrigMode mode, bool analogSource, double level) {
    const std::uint8_t L = levelByte(level);
    TriggerRegs r = in;
    // The edge codes swap below 128: there the threshold pattern (0, mask 63) matches the low
    // band, so a rising signal is one that stops matching.
    const auto thresholdEdge = [&](bool rising) {
        if (L >= 128) {
            r.r5 = L;
            r.r6 = u8(255 - L);
            r.r7 = withTrigCode(r.r7, rising ? TrigCode::Becoming : TrigCode::Leaving);
        } else {
            r.r5 = 0;
            r.r6 = 63;
            r.r7 = withTrigCode(r.r7, rising ? TrigCode::Leaving : TrigCode::Becoming);
        }
    };
    switch (mode) {
    case TrigMode::Level:
        r.r7 = withTrigCode(r.r7, TrigCode::Level);
        if (analogSource) {
            r.r5 = L;
            r.r6 = 0;
        }
        break;
    case TrigMode::RisingEdge:
        if (analogSource) {
            thresholdEdge(true);
        } else {
            r.r7 = withTrigCode(r.r7, TrigCode::Becoming);
        }
        break;
    case TrigMode::FallingEdge:
        if (analogSource) {
            thresholdEdge(false);
        } else {
            r.r7 = withTrigCode(r.r7, TrigCode::Leaving);
        }
        break;
    }
    return r;
}

TriggerRegs switchTrigSource(TriggerRegs in, bool logicSource) {
    TriggerRegs r = in;
    if (logicSource) {
        r.r7 = u8(r.r7 & ~kR7AnalogTrigger);
        r.r6 = 255;
        r.r5 = 0;
    } else {
        r.r7 = u8(r.r7 | kR7AnalogTrigger);
    }
    return r;
}

TrigBitStep cycleTrigBit(TriggerRegs in, int bit, const std::string& caption) {
    TrigBitStep out{in, caption, false, false};
    if (bit < 0 || bit > 7) {
        out.edgesEnabled = in.r6 < 255;
        return out;
    }
    const int b = 1 << bit;
    TriggerRegs& r = out.regs;
    if (caption == "X") {
        out.caption = "1";
        r.r5 = u8(r.r5 | b);
        r.r6 = u8(r.r6 & ~b);
    } else if (caption == "1") {
        out.caption = "0";
        r.r5 = u8(r.r5 & ~b);
        r.r6 = u8(r.r6 & ~b);
    } else if (caption == "0") {
        out.caption = "X";
        r.r6 = u8(r.r6 | b);
        if (bit == 7) {
            r.r5 = u8(r.r5 & ~b);
        }
    }
    if (r.r6 < 255) {
        out.edgesEnabled = true;
    } else {
        out.forcedLevel = true;
        r.r7 = withTrigCode(r.r7, TrigCode::Level);
    }
    return out;
}

} // namespace tracely::regs
