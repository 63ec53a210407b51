#include "src/settings/settings_values.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace tracely::settings;

TEST(SettingsValues, ReadWhatIsThereAndRefuseTheRest) {
    const std::optional<bool> no;
    // clang-format off
    const struct { const char* text; std::optional<bool> boolean, state; } flags[] = {
        {"tRUE", true, no}, {"fALSE", false, no}, {"0", false, false}, {"1", true, true},
        {"-1", true, no}, {" 2.5 ", true, no}, {"2", true, no}, {"abc", no, no}, {"", no, no},
        {"Truely", no, no}, {"yes", no, no}};
    // clang-format on
    for (const auto& f : flags) {
        EXPECT_EQ(readBoolean(f.text), f.boolean) << f.text;
        EXPECT_EQ(readState(f.text), f.state) << f.text;
    }
    EXPECT_EQ(readNumber("-0.75"), -0.75);
    EXPECT_FALSE(readNumber("1.5V"));
    EXPECT_FALSE(readNumber("nan"));
    EXPECT_EQ(readSingle("5"), 5.0f);
    EXPECT_FALSE(readSingle("1e300")); // beyond single precision
}

TEST(SettingsValues, PositionsTakeTheLeadingNumberRoundedAndClamped) {
    // clang-format off
    const struct { std::string text; int want; } cases[] = {
        {"2.5", 2}, {"3.5", 4}, {"-3", -3}, {"7abc", 7}, {"abc", 0}, {"", 0},
        {std::string(400, '9'), 1000000}, {"1e400", 1}};
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(readPosition(c.text), c.want) << c.text;
    }
}

TEST(SettingsValues, NumbersAreWrittenShortAndReadBackExactly) {
    EXPECT_EQ(writeSingle(5.0f), "5");
    EXPECT_EQ(writeSingle(0.1f), "0.1");
    EXPECT_EQ(writeNumber(128.0), "128");
    EXPECT_EQ(writeNumber(-1.25), "-1.25");
    for (float f : {0.3f, 7.125f, -4.0f, 1e-7f}) {
        EXPECT_EQ(readSingle(writeSingle(f)), f);
    }
}
