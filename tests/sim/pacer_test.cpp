#include "sim/pacer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using tracely::sim::LineDelays;
using tracely::sim::Pacer;

TEST(Pacer, TenBitTimesPerByteBackToBack) {
    Pacer p;
    p.setBaud(57600);
    const double bt = 10.0 / 57600;
    p.push("abc", 1.0);
    ASSERT_EQ(p.queued(), 3u);
    EXPECT_DOUBLE_EQ(p.dueAt(0), 1.0 + bt);
    EXPECT_DOUBLE_EQ(p.dueAt(2), 1.0 + 3 * bt);
    // Bytes handed over while the line is busy queue behind the others.
    p.push("d", 1.0 + bt / 2);
    EXPECT_DOUBLE_EQ(p.dueAt(3), 1.0 + 4 * bt);
    EXPECT_EQ(p.takeDue(1.0 + 2.5 * bt), "ab");
    EXPECT_EQ(p.takeDue(1.0 + 10 * bt), "cd");
    // After an idle gap the line starts afresh.
    p.push("e", 5.0);
    EXPECT_DOUBLE_EQ(*p.nextDue(), 5.0 + bt);
}

namespace {
constexpr double kByte = 10.0 / 57600;

// Arrival times of a session's replies, some handed over while the line is busy, some after
// a gap.
std::vector<double> session(const LineDelays& d) {
    Pacer p(true, d);
    p.setBaud(57600);
    const std::pair<std::string, double> replies[] = {
        {"?", 1.0},        {"\rBC000120\r", 1.0},        {"[", 1.0001},
        {"\r1c2f\r", 1.5}, {std::string(512, 'b'), 1.6}, {"M", 1.6001}};
    for (const auto& [bytes, at] : replies) {
        p.push(bytes, at);
    }
    std::vector<double> due;
    for (std::size_t i = 0; i < p.queued(); ++i) {
        due.push_back(p.dueAt(i));
    }
    return due;
}
} // namespace

TEST(PacerDelays, InOrderNeverEarlyAndDecidedByTheSeed) {
    const std::vector<double> plain = session({});
    const struct {
        LineDelays d;
        double most; // the latest a byte may come beyond its paced time plus the latency
    } cases[] = {{{0.016}, 0.0},
                 {{0.0, 0.020}, 0.020},
                 {{0.002, 0.001}, 0.001},
                 {{0.0, 0.0, true}, 1.0},
                 {{0.001, 0.004, true}, 1.0}};
    for (const auto& c : cases) {
        for (std::uint64_t seed = 1; seed <= 20; ++seed) {
            LineDelays d = c.d;
            d.seed = seed;
            const std::vector<double> due = session(d);
            ASSERT_EQ(due.size(), plain.size());
            EXPECT_TRUE(std::is_sorted(due.begin(), due.end())) << "seed " << seed;
            for (std::size_t i = 0; i < due.size(); ++i) {
                EXPECT_GE(due[i], plain[i] + d.latency) << "seed " << seed << " byte " << i;
                EXPECT_LE(due[i], plain[i] + d.latency + c.most) << "seed " << seed;
            }
            EXPECT_EQ(due, session(d));
        }
    }
    EXPECT_NE(session({0.0, 0.004, true, 1}), session({0.0, 0.004, true, 2}));
}

TEST(PacerDelays, SplitRepliesComeInPiecesWithShortPauses) {
    double longest = 0.0;
    for (const std::size_t size : {2u, 7u, 512u}) {
        for (std::uint64_t seed = 1; seed <= 30; ++seed) {
            Pacer p(true, {0.0, 0.0, true, seed});
            p.setBaud(57600);
            p.push(std::string(size, 'x'), 1.0);
            EXPECT_DOUBLE_EQ(p.dueAt(0), 1.0 + kByte); // the first piece goes at once
            int pieces = 1;
            for (std::size_t i = 1; i < size; ++i) {
                const double pause = p.dueAt(i) - p.dueAt(i - 1) - kByte;
                EXPECT_GE(pause, -1e-9) << size << " seed " << seed;
                EXPECT_LE(pause, LineDelays::kMaxPause + 1e-9) << size << " seed " << seed;
                pieces += pause > 1e-9 ? 1 : 0;
                longest = std::max(longest, pause);
            }
            EXPECT_GE(pieces, 2) << size << " seed " << seed;
        }
    }
    EXPECT_GT(longest, LineDelays::kMaxPause / 2);
}
