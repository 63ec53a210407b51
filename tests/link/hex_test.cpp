#include "src/link/hex.h"

#include <gtest/gtest.h>

#include <string>

using namespace tracely::hex;

TEST(HexToByte, ValuesAndLimits) {
    EXPECT_EQ(HexToByte("ff"), 255);
    EXPECT_EQ(HexToByte("FF"), 255);
    EXPECT_EQ(HexToByte("7f"), 127);
    EXPECT_EQ(HexToByte("100"), 0); // does not fit
    EXPECT_EQ(HexToByte(""), 0);
    EXPECT_EQ(HexToByte("1g"), 1); // stops at the first non-digit
    EXPECT_EQ(HexToByte("0000000000000000000000ff"), 255);
    EXPECT_EQ(HexToByte(std::string(10000, 'f')), 0);
}

TEST(HexToLng, FourCharactersNeverNegative) {
    EXPECT_EQ(HexToLng("8000"), 32768);
    EXPECT_EQ(HexToLng("FFFF"), 65535);
    EXPECT_EQ(HexToLng("1f40"), 8000);
    EXPECT_EQ(HexToLng("0100"), 256);
    EXPECT_EQ(HexToLng("x100"), 256); // first character alone is not a digit
}

TEST(HexToLng, OtherLengths) {
    EXPECT_EQ(HexToLng("1f"), 31);
    EXPECT_EQ(HexToLng("12345"), 0x12345);
    EXPECT_EQ(HexToLng("7fffffff"), 0x7fffffff);
    EXPECT_EQ(HexToLng("80000000"), 0);           // beyond a signed Long
    EXPECT_EQ(HexToLng(std::string(64, '9')), 0); // any length, no overflow
    EXPECT_EQ(HexToLng("zz"), 0);
    EXPECT_EQ(HexToLng(""), 0);
}
