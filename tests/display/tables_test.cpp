#include "src/display/cursor_readout.h"
#include "src/instrument/scale_tables.h"
#include "tests/data/tables.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace tracely {
namespace {

using tables::kScales;
using tables::ScaleRow;

struct ReadoutRow {
    int type, timeBase;
    long long timeScale;
    const char* on;
    double scale, distance;
    const char* text;
    int keeps;
};
constexpr ReadoutRow kReadouts[] = {
#include "readout.inc"
};

scales::Input inputNamed(const std::string& name) {
    return name == "BNC x10"  ? scales::Input::BncX10
           : name == "BNC x1" ? scales::Input::BncX1
                              : scales::Input::Pod;
}

TEST(Tables, EveryScaleRowAsTabled) {
    ASSERT_EQ(std::size(kScales), 18u);
    for (const ScaleRow& r : kScales) {
        const scales::ScaleRow& got =
            scales::table(inputNamed(r.input)).at(static_cast<std::size_t>(r.position - 1));
        const std::string row = std::string(r.input) + " " + std::to_string(r.position);
        EXPECT_STREQ(got.label, r.label) << row;
        EXPECT_EQ(got.value, static_cast<float>(r.value)) << row;
        EXPECT_EQ(got.rangeCode, r.rangeCode) << row;
        EXPECT_EQ(got.adj, static_cast<float>(r.adj)) << row;
        EXPECT_EQ(got.fullScale, static_cast<float>(r.fullScale)) << row;
        EXPECT_EQ(got.scale, static_cast<float>(r.scale)) << row;
        if (std::string(r.input) != "BNC x10") { // the x1 and pod spans at the connector
            EXPECT_EQ(scales::inputSpan(std::string(r.input) == "POD",
                                        static_cast<std::uint8_t>(r.rangeCode)),
                      static_cast<float>(r.fullScale))
                << row;
        }
    }
}

TEST(Tables, EveryReadoutRowAsTabled) {
    for (const ReadoutRow& r : kReadouts) {
        display::ReadoutContext c;
        c.cursorType = r.type;
        c.timeBase = r.timeBase;
        c.timeScale = static_cast<std::int32_t>(r.timeScale);
        c.cursorsOn = r.on;
        // The other channel's scale must not count.
        c.scaleA = c.cursorsOn == "CH B" ? 1000.0f : static_cast<float>(r.scale);
        c.scaleB = c.cursorsOn == "CH B" ? static_cast<float>(r.scale) : 1000.0f;
        const bool voltage = r.type == 2;
        display::CursorSpan span;
        (voltage ? span.y1 : span.x1) = 3.0;
        (voltage ? span.y2 : span.x2) = 3.0 + r.distance;
        const auto got = display::cursorReadout(span, c);
        const std::string row = std::string(r.text) + " from " + std::to_string(r.distance);
        ASSERT_EQ(!got.has_value(), r.keeps != 0) << row;
        if (got) {
            EXPECT_EQ(got->text, r.text) << row;
            // The number kept is the one shown, in the unit shown.
            if (*r.text != '\0') {
                EXPECT_NEAR(got->value.value_or(-1), std::strtod(r.text, nullptr), 5e-4) << row;
            }
        }
    }
}

} // namespace
} // namespace tracely
