#include "src/link/dump_address.h"

#include <gtest/gtest.h>

using tracely::SplitDumpAddress;

TEST(DumpAddress, StartAddressLowAndHighByte) {
    auto a = SplitDumpAddress("1f40", 505); // 8000 - 505 = 7495 = 1d47
    ASSERT_TRUE(a);
    EXPECT_EQ(a->r3, 0x47);
    EXPECT_EQ(a->r4, 0x1d);
    a = SplitDumpAddress("0100", 505); // wraps: 65536 + 256 - 505 = 65287
    ASSERT_TRUE(a);
    EXPECT_EQ(a->r3, 7);
    EXPECT_EQ(a->r4, 255);
    a = SplitDumpAddress("01f0", 0x10); // three digits: one for the high byte
    ASSERT_TRUE(a);
    EXPECT_EQ(a->r3, 0xe0);
    EXPECT_EQ(a->r4, 0x01);
    a = SplitDumpAddress("0110", 0x20);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->r3, 0xf0);
    EXPECT_EQ(a->r4, 0x00);
    // Four digits of 8000 or more read the same signed or unsigned.
    a = SplitDumpAddress("FFFF", 15400);
    ASSERT_TRUE(a);
    EXPECT_EQ((a->r4 << 8) | a->r3, 65535 - 15400);
    // Longer answers keep only the last four digits of the difference.
    a = SplitDumpAddress("12345", 5);
    ASSERT_TRUE(a);
    EXPECT_EQ((a->r4 << 8) | a->r3, 0x2340);
}

TEST(DumpAddress, AnswersThatAreNotHexNumbers) {
    for (const char* bad : {"", "1f4g", " 1f4", "T1f4", "123456789"}) {
        EXPECT_FALSE(SplitDumpAddress(bad, 505)) << bad;
    }
}
