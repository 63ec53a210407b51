#include "src/settings/settings_values.h"

#include <gtest/gtest.h>

#include <string>

using namespace tracely::settings;

TEST(SettingsValues, Booleans) {
    EXPECT_EQ(readBoolean("True"), true);
    EXPECT_EQ(readBoolean("fALSE"), false);
    EXPECT_EQ(readBoolean("0"), false);
    EXPECT_EQ(readBoolean("-1"), true);
    EXPECT_EQ(readBoolean(" 2.5 "), true);
    EXPECT_FALSE(readBoolean("abc"));
    EXPECT_FALSE(readBoolean(""));
    EXPECT_FALSE(readBoolean("Truely"));
}

TEST(SettingsValues, PositionsRoundHalvesToEven) {
    EXPECT_EQ(readPosition("2.5"), 2);
    EXPECT_EQ(readPosition("3.5"), 4);
    EXPECT_EQ(readPosition("10"), 10);
    EXPECT_EQ(readPosition("7abc"), 7); // the leading number
    EXPECT_EQ(readPosition("abc"), 0);
    EXPECT_EQ(readPosition(""), 0);
    EXPECT_EQ(readPosition("-3"), -3);
    EXPECT_EQ(readPosition(std::string(400, '9')), 1000000); // clamped, never overflowing
    EXPECT_EQ(readPosition("1e400"), 1);                     // "1" then text
}

TEST(SettingsValues, StatesNumbersAndSingles) {
    EXPECT_EQ(readState("1"), true);
    EXPECT_EQ(readState("0"), false);
    EXPECT_FALSE(readState("2"));
    EXPECT_FALSE(readState("yes"));
    EXPECT_EQ(readNumber("-0.75"), -0.75);
    EXPECT_FALSE(readNumber("1.5V"));
    EXPECT_FALSE(readNumber("nan"));
    EXPECT_EQ(readSingle("5"), 5.0f);
    EXPECT_FALSE(readSingle("1e300")); // beyond single precision
    EXPECT_EQ(writeSingle(5.0f), "5");
    EXPECT_EQ(writeSingle(2.5f), "2.5");
    EXPECT_EQ(writeSingle(0.1f), "0.1");
    EXPECT_EQ(writeNumber(128.0), "128");
    EXPECT_EQ(writeNumber(-1.25), "-1.25");
    // What is written reads back to the same value.
    for (float f : {0.3f, 7.125f, -4.0f, 1e-7f}) {
        EXPECT_EQ(readSingle(writeSingle(f)), f);
    }
}
