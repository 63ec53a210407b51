#include "src/display/cursor_readout.h"

#include <gtest/gtest.h>

#include <utility>

using namespace tracely::display;

namespace {
ReadoutContext time(int group, std::int32_t scale) {
    return {.cursorType = 1, .timeBase = group, .timeScale = scale};
}
ReadoutContext freq(std::int32_t scale) {
    return {.cursorType = 3, .timeScale = scale};
}
CursorSpan dx(double d) {
    return {.x1 = 3.0, .x2 = 3.0 + d};
}
CursorSpan dy(double d) {
    return {.y1 = -1.0, .y2 = -1.0 + d};
}
} // namespace

TEST(CursorReadout, ReadingsInTheirUnitRanges) {
    const struct {
        CursorSpan span;
        ReadoutContext context;
        const char* text;
        double value;
    } cases[] = {
        {dx(0.5), time(1, 1000000), "500.00 nSec", 500.0},
        {dx(-1500), time(1, 1000000), "1.500 mSec", 1.5},
        {dx(2.5), time(2, 1000), "2.500 mSec", 2.5},
        {dx(0.5), time(2, 1000), "500.000 uSec", 500.0},
        {dx(2000), time(2, 1000), "2.000 Sec", 2.0},
        {dx(1.5), time(0, 1000000), "1.500 uSec", 1.5},
        {dx(1.0), freq(1000000), "1.000 MHz", 1.0},
        {dx(1.0), freq(1000), "1.000 KHz", 1.0},
        {dx(4.0), freq(1000), "250.0 Hz", 250.0},
        {dx(0.5), freq(1000000000), "2.000 GHz", 2.0},
        {dy(3.0), {.cursorType = 2, .scaleA = 2.0f}, "1.50 V", 1.5},
        {dy(3.0), {.cursorType = 2, .scaleB = 0.02f, .cursorsOn = "CH B"}, "150.0 V", 150.0},
        {dy(1.0), {.cursorType = 2, .scaleA = 10.0f}, "0.100 V", 0.1},
        {dy(2.5), {.cursorType = 2, .cursorsOn = "none"}, "2.50 V", 2.5}, // in divisions
    };
    for (const auto& c : cases) {
        const std::optional<Readout> r = cursorReadout(c.span, c.context);
        ASSERT_TRUE(r && r->value) << c.text;
        EXPECT_EQ(r->text, c.text);
        EXPECT_NEAR(*r->value, c.value, 1e-6 * c.value) << c.text;
    }
}

TEST(CursorReadout, ZeroPeriodKeepsTheOldReadingAndNonsenseGivesNone) {
    EXPECT_FALSE(cursorReadout(dx(0.0), freq(1000)).has_value());
    const std::pair<CursorSpan, ReadoutContext> none[] = {
        {dx(1), {.cursorType = 4}},                       // no such readout
        {dx(1), time(3, 1000)},                           // no such time group
        {dx(1), time(1, 0)},                              // no time scale
        {dx(1), freq(0)},                                 //
        {dy(1), {.cursorType = 2, .scaleA = 0.0f}},       // no channel scale
        {{.y1 = -1e308, .y2 = 1e308}, {.cursorType = 2}}, // difference beyond a double
    };
    for (const auto& [span, context] : none) {
        const std::optional<Readout> r = cursorReadout(span, context);
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->text, "");
        EXPECT_FALSE(r->value.has_value());
    }
    EXPECT_EQ(formatFixed(0.0004, 3), "0.000");
}
