#include "src/settings/inifile.h"

#include <gtest/gtest.h>

#include <string>

namespace tracely {
namespace {

struct Case {
    std::string text;
    std::int32_t expected;
};

TEST(CLngDefault, ConvertsNumbersAndFallsBackOtherwise) {
    const Case cases[] = {
        {"12", 12},
        {"abc", 5},
        {"", 5},
        {"   ", 5},
        {" 7 ", 7},
        {"\t-7\t", -7},
        {"+3", 3},
        {"-0", 0},
        {"007", 7},
        {"12abc", 5},
        {"1 2", 5},
        {"-", 5},
        {".", 5},
        {"1.2.3", 5},
        {"--1", 5},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", 5},
        {"-2147483649", 5},
        {"99999999999999999999999999999999999999", 5},
        {std::string(5000, '9'), 5},
        {"0000000000000000000000000000000000000042", 42},
        {"&H10", 16},
        {"&hff", 255},
        {"&H7FFFFFFF", 2147483647},
        {"&HFFFFFFFF", -1},
        {"&H100000000", 5},
        {"&H", 5},
        {"&HG", 5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cInifile::CLngDefault(c.text, 5), c.expected) << '"' << c.text << '"';
    }
    EXPECT_EQ(cInifile::CLngDefault("", 7), 7);
}

TEST(CLngDefault, FractionsRoundHalfToEven) {
    const Case cases[] = {
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"-3.5", -4},
        {"0.5", 0},
        {"1.5", 2},
        {".5", 0},
        {"5.", 5},
        {"2.51", 3},
        {"2.4999999", 2},
        {"2.5000000001", 3},
        {"-0.4", 0},
        {"0.0000001", 0},
        {"2147483647.4", 2147483647},
        {"2147483647.5", -9},
        {"-2147483648.5", -2147483647 - 1},
        {"-2147483648.6", -9},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cInifile::CLngDefault(c.text, -9), c.expected) << c.text;
    }
}

TEST(CLngDefault, Exponents) {
    const Case cases[] = {
        {"1e3", 1000},
        {"1E3", 1000},
        {"2.5e1", 25},
        {"25e-1", 2},
        {"35E-1", 4},
        {"1e+2", 100},
        {"1e9", 1000000000},
        {"1e10", -9},
        {"1e", -9},
        {"1e+", -9},
        {"e3", -9},
        {"1e-999999999999", 0},
        {"1e999999999999", -9},
        {"0e999999999", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cInifile::CLngDefault(c.text, -9), c.expected) << c.text;
    }
}

} // namespace
} // namespace tracely
