#include "src/link/wire.h"

#include <gtest/gtest.h>

#include <array>

using namespace tracely::wire;

TEST(NumberField, Encodings) {
    EXPECT_EQ(numberField(0), "[");
    EXPECT_EQ(numberField(5), "[5]");
    EXPECT_EQ(numberField(15), "[f]");
    EXPECT_EQ(numberField(16), "[10]");
    EXPECT_EQ(numberField(128), "[80]");
    EXPECT_EQ(numberField(250), "[fa]");
    EXPECT_EQ(numberField(255), "[ff]");
    // Cost of a register store: 2, 4 or 5 characters with its "s".
    for (int v = 0; v < 256; ++v) {
        const auto len = numberField(static_cast<std::uint8_t>(v)).size() + 1;
        EXPECT_EQ(len, v == 0 ? 2u : v < 16 ? 4u : 5u) << v;
    }
}

TEST(RegisterWrite, UpdateSequenceOfTheStartUpImage) {
    const RegisterImage img{128, 0, 3, 1, 0, 0, 1, 175, 0, 3};
    EXPECT_EQ(updateSequence(img), "[5]@[80]sn[sn[3]sn[1]s[b]@[sn[sn[1]sn[af]sn[s[14]@[3]s");
}

TEST(RegisterWrite, SingleAndZeroValues) {
    const std::array<std::uint8_t, 1> zero{0};
    EXPECT_EQ(registerWrite(7, zero), "[7]@[s");
    const std::array<std::uint8_t, 2> two{0x47, 0x1d};
    EXPECT_EQ(registerWrite(3, two), "[3]@[47]sn[1d]s");
}

TEST(DumpRequest, Sequence) {
    EXPECT_EQ(dumpRequestSequence(0x47, 0x1d, 3), "[3]@[47]sn[1d]s[7]@[3]s>");
    // A start address below 256 sends R4 as "[" "s".
    EXPECT_EQ(dumpRequestSequence(0xf0, 0, 3), "[3]@[f0]sn[s[7]@[3]s>");
}
