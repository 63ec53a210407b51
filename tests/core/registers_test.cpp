#include "src/core/front_panel_state.h"
#include "src/core/registers.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tracely;
using namespace tracely::regs;

namespace {
int code(std::uint8_t r7) {
    return r7 & 0x30;
}
} // namespace

TEST(R14, RangesPrimaryAndEnables) {
    // Channel A primary, both enabled: (b x 16) | a | 140.
    EXPECT_EQ(computeR14(3, 2, false, true, true), 175);
    // Disabling either channel copies the low nibble up.
    EXPECT_EQ(computeR14(3, 2, false, false, true), 255);
    EXPECT_EQ(computeR14(3, 2, false, true, false), 255);
    // Channel B primary: (a x 16) | b | 200, kept to eight bits.
    EXPECT_EQ(computeR14(3, 2, true, true, true), ((3 * 16) | 2 | 200) & 0xFF);
    EXPECT_EQ(computeR14(0, 1, true, true, false), 0x99);
    // Primary selection bit 2: set for A, clear for B, whatever the ranges.
    for (int a = 0; a < 4; ++a) {
        for (int b = 0; b < 4; ++b) {
            const auto ua = static_cast<std::uint8_t>(a);
            const auto ub = static_cast<std::uint8_t>(b);
            EXPECT_EQ(computeR14(ua, ub, false, true, true) & 7, 4 | a);
            EXPECT_EQ(computeR14(ua, ub, true, true, true) & 7, b);
        }
    }
}

TEST(TriggerRegisters, AnalogEdgesAroundTheMiddle) {
    const TriggerRegs start{};
    auto r = setTrigRegisters(start, TrigMode::RisingEdge, true, 128);
    EXPECT_EQ(r.r5, 128);
    EXPECT_EQ(r.r6, 127);
    EXPECT_EQ(code(r.r7), 0x20);
    r = setTrigRegisters(start, TrigMode::RisingEdge, true, 127);
    EXPECT_EQ(r.r5, 0);
    EXPECT_EQ(r.r6, 63);
    EXPECT_EQ(code(r.r7), 0x30);
    r = setTrigRegisters(start, TrigMode::RisingEdge, true, 192);
    EXPECT_EQ(r.r5, 192);
    EXPECT_EQ(r.r6, 63);
    EXPECT_EQ(code(r.r7), 0x20);
    // Falling edge swaps the two codes.
    r = setTrigRegisters(start, TrigMode::FallingEdge, true, 192);
    EXPECT_EQ(code(r.r7), 0x30);
    r = setTrigRegisters(start, TrigMode::FallingEdge, true, 64);
    EXPECT_EQ(r.r5, 0);
    EXPECT_EQ(r.r6, 63);
    EXPECT_EQ(code(r.r7), 0x20);
    // The other R7 bits survive: source and input bits.
    r = setTrigRegisters(TriggerRegs{0, 0, 0x0B}, TrigMode::FallingEdge, true, 200);
    EXPECT_EQ(r.r7 & 0x0F, 0x0B);
}

TEST(TriggerRegisters, LevelAndLogicSource) {
    auto r = setTrigRegisters(TriggerRegs{0, 63, 0x33}, TrigMode::Level, true, 128);
    EXPECT_EQ(r.r5, 128);
    EXPECT_EQ(r.r6, 0);
    EXPECT_EQ(r.r7, 0x03);
    // Logic source: only the code moves, the word stays.
    r = setTrigRegisters(TriggerRegs{0x5A, 0x0F, 0x02}, TrigMode::RisingEdge, false, 128);
    EXPECT_EQ(r.r5, 0x5A);
    EXPECT_EQ(r.r6, 0x0F);
    EXPECT_EQ(r.r7, 0x22);
    r = setTrigRegisters(r, TrigMode::FallingEdge, false, 128);
    EXPECT_EQ(r.r7, 0x32);
    r = setTrigRegisters(r, TrigMode::Level, false, 128);
    EXPECT_EQ(r.r7, 0x02);
    EXPECT_EQ(r.r5, 0x5A);
}

TEST(TriggerRegisters, LevelByteRoundsAndClamps) {
    EXPECT_EQ(levelByte(127.5), 128); // half to even
    EXPECT_EQ(levelByte(128.5), 128);
    EXPECT_EQ(levelByte(-3), 0);
    EXPECT_EQ(levelByte(1e300), 255);
    EXPECT_EQ(levelByte(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(levelByte(256), 255);
}

TEST(TriggerWord, SourceSwitchAndCycling) {
    TriggerRegs r = switchTrigSource(TriggerRegs{128, 0, 3}, true);
    EXPECT_EQ(r.r5, 0);
    EXPECT_EQ(r.r6, 255);
    EXPECT_EQ(r.r7, 2);

    // Bit 3 three times: "1", "0", "X", back to where it started.
    auto s1 = cycleTrigBit(r, 3, "X");
    EXPECT_EQ(s1.caption, "1");
    EXPECT_EQ(s1.regs.r5, 8);
    EXPECT_EQ(s1.regs.r6, 255 - 8);
    EXPECT_TRUE(s1.edgesEnabled);
    auto s2 = cycleTrigBit(setTrigRegisters(s1.regs, TrigMode::RisingEdge, false, 0), 3, "1");
    EXPECT_EQ(s2.caption, "0");
    EXPECT_EQ(s2.regs.r5, 0);
    EXPECT_EQ(s2.regs.r6, 255 - 8);
    EXPECT_EQ(code(s2.regs.r7), 0x20);
    auto s3 = cycleTrigBit(s2.regs, 3, "0");
    EXPECT_EQ(s3.caption, "X");
    EXPECT_EQ(s3.regs.r5, r.r5);
    EXPECT_EQ(s3.regs.r6, r.r6);
    // Back to all "X": edges off, level forced.
    EXPECT_FALSE(s3.edgesEnabled);
    EXPECT_TRUE(s3.forcedLevel);
    EXPECT_EQ(code(s3.regs.r7), 0);

    // An unknown caption changes nothing.
    auto s4 = cycleTrigBit(s1.regs, 3, "?");
    EXPECT_EQ(s4.caption, "?");
    EXPECT_EQ(s4.regs.r5, s1.regs.r5);
    EXPECT_EQ(s4.regs.r6, s1.regs.r6);
    // Bit numbers outside 0..7 are ignored rather than shifting out of range.
    auto s5 = cycleTrigBit(s1.regs, 9, "X");
    EXPECT_EQ(s5.regs.r5, s1.regs.r5);
}

TEST(TriggerWord, PatternTest) {
    // Word 192 with mask 63 is a threshold: every byte of 192 or more matches.
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(triggerMatches(static_cast<std::uint8_t>(b), 192, 63), b >= 192) << b;
    }
    // All don't-care matches everything; no don't-care matches one byte only.
    EXPECT_TRUE(triggerMatches(0x12, 0x00, 0xFF));
    EXPECT_TRUE(triggerMatches(0xA5, 0xA5, 0x00));
    EXPECT_FALSE(triggerMatches(0xA4, 0xA5, 0x00));
}

TEST(DumpMode, NeverTouchesTheImageBitsItDoesNotOwn) {
    EXPECT_EQ(dumpMode(3, true), 3);
    EXPECT_EQ(dumpMode(0x39, true), 0x3B);
    EXPECT_EQ(dumpMode(0x3F, false), 0x39);
    EXPECT_EQ(withAnalogSource(3, true), 11);
    EXPECT_EQ(withAnalogSource(11, false), 3);
}
