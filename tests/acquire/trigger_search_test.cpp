#include "src/acquire/trigger_search.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tracely;

namespace {

// Analog rows from a list of bytes; row r holds values[r - 1].
std::vector<SampleRow> rowsOf(std::initializer_list<int> values) {
    std::vector<SampleRow> rows;
    for (int v : values) {
        rows.push_back(SampleRow{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(255 - v)});
    }
    return rows;
}

std::vector<SampleRow> ramp(int n, int from, int step) {
    std::vector<SampleRow> rows;
    for (int i = 0; i < n; ++i) {
        rows.push_back(SampleRow{static_cast<std::uint8_t>((from + i * step) & 0xFF), 0});
    }
    return rows;
}

// A threshold at 192: word 192, mask 63 matches every byte of 192 or more.
TriggerSearchInput threshold(int type) {
    return TriggerSearchInput{192, 63, static_cast<std::uint8_t>(type | 1), 192, 63, false};
}

} // namespace

TEST(TriggerSearch, BecomingTrueFindsTheFirstRowOfTheRun) {
    // Rows 1..300 rise by one from 0: the byte reaches 192 at row 193.
    const auto rows = ramp(300, 0, 1);
    // Start before the run: the first match within the window.
    EXPECT_EQ(findTriggerRow(rows, 150, threshold(0x20), -1), 193);
    // Start inside the run: walk back to its first row.
    EXPECT_EQ(findTriggerRow(rows, 250, threshold(0x20), -1), 193);
    // Start on the first matching row itself.
    EXPECT_EQ(findTriggerRow(rows, 193, threshold(0x20), -1), 193);
    // No match within 80 rows: the default.
    EXPECT_EQ(findTriggerRow(rows, 100, threshold(0x20), -1), 100);
    // The 80th row examined still counts; an 81st is never read.
    EXPECT_EQ(findTriggerRow(rows, 114, threshold(0x20), -1), 193);
    EXPECT_EQ(findTriggerRow(rows, 113, threshold(0x20), -1), 113);
}

TEST(TriggerSearch, AllDontCareWalksBackToRowZero) {
    const auto rows = ramp(200, 0, 1);
    TriggerSearchInput in{0, 0xFF, 0x21, 0, 0xFF, false};
    EXPECT_EQ(findTriggerRow(rows, 120, in, -1), 120);
    in.sentR7 = 0x01; // level
    EXPECT_EQ(findTriggerRow(rows, 120, in, -1), 120);
    in.sentR7 = 0x31; // becoming false: nothing ever fails to match
    EXPECT_EQ(findTriggerRow(rows, 60, in, -1), 60);
}

TEST(TriggerSearch, BecomingFalseStartsFortyRowsLater) {
    // High (200) for rows 1..150, then low (10).
    std::vector<SampleRow> rows(300, SampleRow{10, 0});
    for (int r = 0; r < 150; ++r) {
        rows[static_cast<std::size_t>(r)].analog = 200;
    }
    // From 100 the search begins at 140, inside the high run, and finds row 151.
    EXPECT_EQ(findTriggerRow(rows, 100, threshold(0x30), -1), 151);
    // From 130 it begins at 170, already low: it walks back to the high run, then on to 151.
    EXPECT_EQ(findTriggerRow(rows, 130, threshold(0x30), -1), 151);
    // Running past the end of a 200-row capture gives the default.
    std::vector<SampleRow> shortCapture(200, SampleRow{200, 0});
    EXPECT_EQ(findTriggerRow(shortCapture, 100, threshold(0x30), -1), 100);
}

TEST(TriggerSearch, LevelStartsTwentyFiveRowsEarlierAndUsesTheImageFirst) {
    const auto rows = ramp(300, 0, 1);
    EXPECT_EQ(findTriggerRow(rows, 200, threshold(0x00), -1), 193);
    // Start 25 reads row 0: outside the buffer, so the default.
    EXPECT_EQ(findTriggerRow(rows, 25, threshold(0x00), -1), 25);
    // From 225 the search begins at 200, inside the run: it walks back to 193. When the
    // controls have changed since the capture was requested, the first sample is judged by
    // the new word (here: bytes below 64), so 200 is not inside a run and the forward search,
    // by the programmed word, stops at the next row.
    EXPECT_EQ(findTriggerRow(rows, 225, threshold(0x00), -1), 193);
    TriggerSearchInput changed = threshold(0x00);
    changed.imageR5 = 0;
    changed.imageR6 = 0;
    EXPECT_EQ(findTriggerRow(rows, 225, changed, -1), 201);
}

TEST(TriggerSearch, NoSearchTypeAndTheLogicColumn) {
    const auto rows = rowsOf({0, 0, 0, 255, 255});
    TriggerSearchInput none{192, 63, 0x10, 192, 63, false};
    EXPECT_EQ(findTriggerRow(rows, 2, none, 42), 42);
    // Logic column: the logic bytes are 255 - analog, so the low analog rows are high logic.
    TriggerSearchInput logic{0xFF, 0x00, 0x20, 0xFF, 0x00, true};
    const auto flipped = rowsOf({200, 200, 0, 0, 0});
    EXPECT_EQ(findTriggerRow(flipped, 1, logic, -1), 3);
}

TEST(TriggerSearch, StateWrapperLeavesTheIndexWithoutALink) {
    FrontPanelState s;
    s.bytSampleBuf = ramp(300, 0, 1);
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
    // A capture length beyond the buffer never reads past it.
    s.intCaptureLen = 32000;
    TriggerSearch(s, 290, false);
    EXPECT_EQ(s.intTrigIndex, 290);
}
