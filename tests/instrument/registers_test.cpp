#include "src/instrument/registers.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tracely;
using namespace tracely::regs;

// The trigger registers as the handlers set them are checked through the panel (PanelTest).
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

TEST(TriggerRegisters, LevelByteRoundsAndClamps) {
    EXPECT_EQ(levelByte(127.5), 128); // half to even
    EXPECT_EQ(levelByte(128.5), 128);
    EXPECT_EQ(levelByte(-3), 0);
    EXPECT_EQ(levelByte(1e300), 255);
    EXPECT_EQ(levelByte(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(levelByte(256), 255);
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
