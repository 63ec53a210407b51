// Units checked against rows typed in from the channel-scale and time-range tables
// (tests/data/units.tsv), through the program's own tables.
#include "src/display/units.h"
#include "src/instrument/scale_tables.h"
#include "src/instrument/timebase.h"
#include "src/widgets/unit_ticker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace tracely;

std::vector<std::vector<std::string>> rows(const std::string& kind) {
    std::ifstream in(std::string(TRACELY_TEST_DATA) + "/units.tsv");
    std::vector<std::vector<std::string>> out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string> cells;
        std::stringstream ss(line);
        std::string cell;
        while (std::getline(ss, cell, '\t')) {
            cells.push_back(cell);
        }
        if (!cells.empty() && cells[0] == kind) {
            out.push_back(cells);
        }
    }
    return out;
}

const scales::ScaleRow& row(const std::string& input, const std::string& position) {
    const scales::Input in = input == "bnc10"  ? scales::Input::BncX10
                             : input == "bnc1" ? scales::Input::BncX1
                                               : scales::Input::Pod;
    return scales::table(in).at(static_cast<std::size_t>(std::stoi(position) - 1));
}

TEST(Units, VoltsPerDivisionFollowTheKnobTable) {
    const auto table = rows("vdiv");
    ASSERT_EQ(table.size(), 7u);
    for (const auto& r : table) {
        const double vdiv = units::voltsPerDivision(row(r[1], r[2]).scale);
        EXPECT_EQ(units::withPrefix(vdiv, "V"), r[3]) << r[1] << " " << r[2];
    }
}

TEST(Units, DivisionsBecomeVoltsWithScaleOffsetAndInversion) {
    const auto table = rows("volts");
    ASSERT_EQ(table.size(), 8u);
    for (const auto& r : table) {
        const double v = units::voltsAtDivision(std::stod(r[3]), row(r[1], r[2]).scale,
                                                std::stof(r[4]), r[5] == "1");
        EXPECT_NEAR(v, std::stod(r[6]), 1e-4 * std::max(1.0, std::fabs(std::stod(r[6]))))
            << r[1] << " " << r[2] << " y " << r[3];
    }
}

TEST(Units, TriggerLevelInVoltsOfThePrimaryChannel) {
    const auto table = rows("level");
    ASSERT_EQ(table.size(), 7u);
    for (const auto& r : table) {
        const int d = units::levelDistance(r[3] == "level", std::stod(r[4]),
                                           static_cast<std::uint8_t>(std::stoi(r[5])),
                                           static_cast<std::uint8_t>(std::stoi(r[6])));
        const double v = units::levelVolts(d, row(r[1], r[2]).adj);
        EXPECT_NEAR(v, std::stod(r[7]), 1e-5) << r[1] << " " << r[2] << " knob " << r[4];
    }
}

TEST(Units, SecondsPerDivisionAndFromTheTrigger) {
    const auto sdiv = rows("sdiv");
    ASSERT_EQ(sdiv.size(), 5u);
    for (const auto& r : sdiv) {
        const auto t = timebase::timeScaleFor(std::stoi(r[1]));
        ASSERT_TRUE(t);
        EXPECT_EQ(units::withPrefix(units::secondsPerDivision(t->lngTimeScale), "s"), r[2]);
    }
    const auto time = rows("time");
    ASSERT_EQ(time.size(), 4u);
    for (const auto& r : time) {
        const auto t = timebase::timeScaleFor(std::stoi(r[1]));
        ASSERT_TRUE(t);
        const double s =
            units::secondsFromTrigger(std::stod(r[2]), std::stof(r[3]), t->lngTimeScale);
        EXPECT_NEAR(s, std::stod(r[4]), 1e-12) << "position " << r[1];
        EXPECT_EQ(units::withPrefix(s, "s"), r[5]);
    }
}

TEST(Units, DegenerateScalesGiveNoReading) {
    EXPECT_EQ(units::voltsPerDivision(0.0f), 0.0);
    EXPECT_EQ(units::voltsPerDivision(NAN), 0.0);
    EXPECT_EQ(units::secondsPerDivision(0), 0.0);
    EXPECT_EQ(units::withPrefix(INFINITY, "V"), "-");
    EXPECT_EQ(units::withPrefix(0.9997, "V"), "1 V");
    EXPECT_EQ(units::withPrefix(-0.0004, "V"), "-400 uV");
    EXPECT_EQ(units::withPrefix(12.34, "V"), "12.3 V");
}

TEST(Units, LabelsAreThinnedUntilTheyFit) {
    struct Case {
        double tick, widest;
        int every;
    };
    for (const Case& c : {Case{60, 30, 1}, Case{20, 30, 2}, Case{10, 30, 5}, Case{5, 44, 10},
                          Case{0.5, 10, 1000000}, Case{40, 0, 1}}) {
        EXPECT_EQ(widgets::labelEvery(c.tick, c.widest), c.every) << c.tick << " " << c.widest;
    }
}

TEST(Units, PanStopsWherePointsEnd) {
    struct Case {
        double base, step;
        int points;
        int lo, hi;
    };
    for (const Case& c : {
             Case{5, 0.04, 500, 0, 60},    // points from 5 to 24.96 divisions
             Case{-20, 0.1, 500, -80, 80}, // -20 .. 29.9 divisions
             Case{5, 40, 500, 0, 5500},    // far past the slide's end: its end
             Case{0, 1, 0, 0, 0},          // no points, no pan
             Case{NAN, 1, 10, 0, 0},
         }) {
        const auto r = units::panRange(c.base, c.step, c.points);
        EXPECT_EQ(r.minimum, c.lo) << c.base << " " << c.step;
        EXPECT_EQ(r.maximum, c.hi) << c.base << " " << c.step;
    }
}

} // namespace
