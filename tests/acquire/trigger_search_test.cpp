#include "src/acquire/trigger_search.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tracely;

namespace {

// Analog rows 1..n: byte(r) for each row r; the logic byte is its complement.
template <class F> std::vector<SampleRow> rows(int n, F byte) {
    std::vector<SampleRow> out;
    for (int r = 1; r <= n; ++r) {
        const auto b = static_cast<std::uint8_t>(byte(r));
        out.push_back(SampleRow{b, static_cast<std::uint8_t>(255 - b)});
    }
    return out;
}

// A threshold at 192: word 192, mask 63 matches every byte of 192 or more.
TriggerSearchInput threshold(int type) {
    return TriggerSearchInput{192, 63, static_cast<std::uint8_t>(type | 1), 192, 63, false};
}

} // namespace

TEST(TriggerSearch, RowsFoundAsTheWalkAndWindowSay) {
    const auto ramp = rows(300, [](int r) { return r - 1; }); // reaches 192 at row 193
    const auto highThenLow = rows(300, [](int r) { return r <= 150 ? 200 : 10; });
    const auto lowFirstRow = rows(100, [](int r) { return r == 1 ? 10 : 200; });
    const auto oneLowRow = rows(300, [](int r) { return r == 139 ? 10 : 200; });
    const auto shortHigh = rows(200, [](int) { return 200; });
    TriggerSearchInput allX{0, 0xFF, 0x21, 0, 0xFF, false};
    TriggerSearchInput allXLevel = allX;
    allXLevel.sentR7 = 0x01;
    TriggerSearchInput allXFalse = allX;
    allXFalse.sentR7 = 0x31;
    TriggerSearchInput changed = threshold(0x00); // controls moved since the capture went out
    changed.imageR5 = 0;
    changed.imageR6 = 0;
    const struct {
        const std::vector<SampleRow>& rows;
        int start;
        TriggerSearchInput in;
        int expected;
        const char* what;
    } cases[] = {
        {ramp, 150, threshold(0x20), 193, "before the run: the first match in the window"},
        {ramp, 250, threshold(0x20), 193, "inside the run: walks back to its first row"},
        {ramp, 193, threshold(0x20), 193, "on the first row of the run"},
        {ramp, 100, threshold(0x20), 100, "no match in 80 rows: the start"},
        {ramp, 114, threshold(0x20), 193, "the 80th row examined still counts"},
        {ramp, 113, threshold(0x20), 113, "an 81st row is never read"},
        {lowFirstRow, 5, threshold(0x20), 2, "the walk back examines row 1"},
        {ramp, 120, allX, 120, "all don't-care: the walk reaches row 0"},
        {ramp, 120, allXLevel, 120, "all don't-care, level"},
        {ramp, 60, allXFalse, 60, "all don't-care, becoming false: nothing fails"},
        {highThenLow, 100, threshold(0x30), 151, "becoming false: from start + 40"},
        {highThenLow, 130, threshold(0x30), 151, "start + 40 already low: walks back"},
        {oneLowRow, 100, threshold(0x30), 100, "becoming false reads start + 40, not + 39"},
        {shortHigh, 100, threshold(0x30), 100, "running past the capture: the start"},
        {ramp, 200, threshold(0x00), 193, "level: from start - 25"},
        {ramp, 25, threshold(0x00), 25, "level from 25 reads row 0: the start"},
        {ramp, 225, threshold(0x00), 193, "level inside the run: walks back"},
        {ramp, 225, changed, 201, "level: first sample judged by the controls' images"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(findTriggerRow(c.rows, static_cast<std::int16_t>(c.start), c.in, -1), c.expected)
            << c.what;
    }
}

TEST(TriggerSearch, NoSearchTypeAndTheLogicColumn) {
    const auto some = rows(5, [](int r) { return r <= 3 ? 0 : 255; });
    TriggerSearchInput none{192, 63, 0x10, 192, 63, false};
    EXPECT_EQ(findTriggerRow(some, 2, none, 42), 42);
    TriggerSearchInput logic{0xFF, 0x00, 0x20, 0xFF, 0x00, true}; // high logic = low analog
    const auto flipped = rows(5, [](int r) { return r <= 2 ? 200 : 0; });
    EXPECT_EQ(findTriggerRow(flipped, 1, logic, -1), 3);
}

TEST(TriggerSearch, StateWrapperLeavesTheIndexWithoutALink) {
    FrontPanelState s;
    s.bytSampleBuf = rows(300, [](int r) { return r - 1; });
    s.intCaptureLen = 300;
    s.bytS_REG_R5 = 192;
    s.bytS_REG_R6 = 63;
    s.bytS_REG_R7 = 0x21;
    s.intTrigIndex = 7;
    TriggerSearch(s, 150, false);
    EXPECT_EQ(s.intTrigIndex, 7);
    s.blnConnected = true;
    TriggerSearch(s, 150, false);
    EXPECT_EQ(s.intTrigIndex, 193);
    s.intCaptureLen = 32000; // beyond the buffer: never read past it
    TriggerSearch(s, 290, false);
    EXPECT_EQ(s.intTrigIndex, 290);
}
