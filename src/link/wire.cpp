#include "src/link/wire.h"

#include <array>

namespace tracely::wire {

namespace {
constexpr char kDigits[] = "0123456789abcdef";
}

std::string numberField(std::uint8_t value) {
    std::string out(1, kOpen);
    if (value == 0) {
        return out;
    }
    if (value >= 16) {
        out += kDigits[value >> 4];
    }
    out += kDigits[value & 15];
    out += kClose;
    return out;
}

std::string registerWrite(std::uint8_t reg, std::span<const std::uint8_t> values) {
    std::string out = numberField(reg);
    out += kSelect;
    bool first = true;
    for (std::uint8_t v : values) {
        if (!first) {
            out += kNext;
        }
        first = false;
        out += numberField(v);
        out += kStore;
    }
    return out;
}

std::string updateSequence(const RegisterImage& img) {
    const std::array<std::uint8_t, 4> trigger{img.r5, img.r6, img.r7, img.r8};
    const std::array<std::uint8_t, 5> timebase{img.r11, img.r12, img.r13, img.r14, img.r15};
    const std::array<std::uint8_t, 1> post{img.r20};
    return registerWrite(5, trigger) + registerWrite(11, timebase) + registerWrite(20, post);
}

std::string dumpRequestSequence(std::uint8_t r3, std::uint8_t r4, std::uint8_t dumpMode) {
    const std::array<std::uint8_t, 2> address{r3, r4};
    const std::array<std::uint8_t, 1> mode{dumpMode};
    return registerWrite(3, address) + registerWrite(7, mode) + kArm;
}

} // namespace tracely::wire
