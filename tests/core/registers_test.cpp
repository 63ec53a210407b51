#include "src/core/front_panel_state.h"
#include "src/core/registers.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <utility>

using namespace tracely;
using namespace tracely::regs;

// The trigger registers as the handlers set them are checked through the panel (PanelTest).
TEST(R14, RangesPrimaryAndEnables) {
    const struct {
        int a, b;
        bool bPrimary, aOn, bOn;
        int want;
    } cases[] = {
        {3, 2, false, true, true, 175},  // A primary: (b x 16) | a | 140
        {3, 2, false, false, true, 255}, // a channel off: the low nibble copied up
        {3, 2, false, true, false, 255},
        {3, 2, true, true, true, 0xFA}, // B primary: (a x 16) | b | 200, kept to eight bits
        {0, 1, true, true, false, 0x99},
        {0, 0, false, true, true, 0x8C}, // primary selection bit 2: set for A, clear for B
        {3, 3, true, true, true, 0xFB},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(computeR14(static_cast<std::uint8_t>(c.a), static_cast<std::uint8_t>(c.b),
                             c.bPrimary, c.aOn, c.bOn),
                  c.want)
            << c.a << c.b << c.bPrimary << c.aOn << c.bOn;
    }
}

TEST(TriggerRegisters, LevelByteRoundsAndClampsAndTheWordMatches) {
    const std::pair<double, int> levels[] = {{127.5, 128},
                                             {128.5, 128},
                                             {-3.0, 0},
                                             {1e300, 255},
                                             {std::numeric_limits<double>::quiet_NaN(), 0},
                                             {256.0, 255}};
    for (const auto& [level, want] : levels) {
        EXPECT_EQ(levelByte(level), want) << level; // halves to even
    }
    // Word 192 with mask 63 is a threshold: every byte of 192 or more matches.
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(triggerMatches(static_cast<std::uint8_t>(b), 192, 63), b >= 192) << b;
    }
    // All don't-care matches everything; no don't-care matches one byte only.
    EXPECT_TRUE(triggerMatches(0x12, 0x00, 0xFF));
    EXPECT_FALSE(triggerMatches(0xA4, 0xA5, 0x00));
}

TEST(DumpMode, NeverTouchesTheImageBitsItDoesNotOwn) {
    EXPECT_EQ(std::tuple(dumpMode(3, true), dumpMode(0x39, true), dumpMode(0x3F, false),
                         withAnalogSource(3, true), withAnalogSource(11, false)),
              std::tuple(3, 0x3B, 0x39, 11, 3));
}
