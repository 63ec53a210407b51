// Units checked against rows typed in from the channel-scale and time-range tables
// (tests/data/units.tsv), through the program's own tables.
#include "src/display/units.h"
#include "src/instrument/scale_tables.h"
#include "src/instrument/timebase.h"
#include "src/widgets/unit_ticker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace tracely;

const scales::ScaleRow& row(const std::string& input, const std::string& position) {
    const scales::Input in = input == "bnc10"  ? scales::Input::BncX10
                             : input == "bnc1" ? scales::Input::BncX1
                                               : scales::Input::Pod;
    return scales::table(in).at(static_cast<std::size_t>(std::stoi(position) - 1));
}

std::uint8_t byte(const std::string& cell) {
    return static_cast<std::uint8_t>(std::stoi(cell));
}

TEST(Units, EveryRowOfTheTypedInTable) {
    std::map<std::string, int> seen;
    std::ifstream in(std::string(TRACELY_TEST_DATA) + "/units.tsv");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string> r;
        std::stringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) {
            r.push_back(cell);
        }
        SCOPED_TRACE(line);
        ++seen[r[0]];
        if (r[0] == "vdiv") {
            EXPECT_EQ(units::withPrefix(units::voltsPerDivision(row(r[1], r[2]).scale), "V"), r[3]);
        } else if (r[0] == "volts") {
            const double want = std::stod(r[6]);
            EXPECT_NEAR(units::voltsAtDivision(std::stod(r[3]), row(r[1], r[2]).scale,
                                               std::stof(r[4]), r[5] == "1"),
                        want, 1e-4 * std::max(1.0, std::fabs(want)));
        } else if (r[0] == "level") {
            const int d =
                units::levelDistance(r[3] == "level", std::stod(r[4]), byte(r[5]), byte(r[6]));
            EXPECT_NEAR(units::levelVolts(d, row(r[1], r[2]).adj), std::stod(r[7]), 1e-5);
        } else {
            const auto t = timebase::timeScaleFor(std::stoi(r[1]));
            ASSERT_TRUE(t);
            const double s =
                r[0] == "sdiv"
                    ? units::secondsPerDivision(t->lngTimeScale)
                    : units::secondsFromTrigger(std::stod(r[2]), std::stof(r[3]), t->lngTimeScale);
            if (r[0] == "time") {
                EXPECT_NEAR(s, std::stod(r[4]), 1e-12);
            }
            EXPECT_EQ(units::withPrefix(s, "s"), r.back());
        }
    }
    EXPECT_EQ(seen, (std::map<std::string, int>{
                        {"level", 7}, {"sdiv", 5}, {"time", 4}, {"vdiv", 7}, {"volts", 8}}));
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
    const struct {
        double tick, widest;
        int every;
    } cases[] = {{60, 30, 1}, {20, 30, 2},        {10, 30, 5},
                 {5, 44, 10}, {0.5, 10, 1000000}, {40, 0, 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(widgets::labelEvery(c.tick, c.widest), c.every) << c.tick << " " << c.widest;
    }
}

TEST(Units, PanStopsWherePointsEnd) {
    const struct {
        double base, step;
        int points, lo, hi;
    } cases[] = {
        {5, 0.04, 500, 0, 60},    // points from 5 to 24.96 divisions
        {-20, 0.1, 500, -80, 80}, // -20 .. 29.9 divisions
        {5, 40, 500, 0, 5500},    // far past the slide's end: its end
        {0, 1, 0, 0, 0},          // no points, no pan
        {NAN, 1, 10, 0, 0},
    };
    for (const auto& c : cases) {
        const auto r = units::panRange(c.base, c.step, c.points);
        EXPECT_EQ(std::pair(r.minimum, r.maximum), std::pair(c.lo, c.hi))
            << c.base << " " << c.step;
    }
}

} // namespace
