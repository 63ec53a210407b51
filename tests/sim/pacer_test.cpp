#include "sim/pacer.h"

#include <gtest/gtest.h>

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

TEST(Pacer, ADumpBlockTakesItsWireTime) {
    for (int baud : {57600, 115200}) {
        Pacer p;
        p.setBaud(baud);
        p.push(std::string(513, 'x'), 0.0);
        EXPECT_NEAR(p.dueAt(512), 513 * 10.0 / baud, 1e-12);
    }
}

TEST(Pacer, HangUpAfterTheLastByteAndUnpacedMode) {
    Pacer p;
    p.setBaud(115200);
    p.push("12", 0.0);
    p.pushHangUp(0.0);
    EXPECT_FALSE(p.hangUpDue(1.0)); // bytes still queued
    p.takeDue(1.0);
    EXPECT_TRUE(p.hangUpDue(1.0));

    Pacer fast(false);
    fast.push("xyz", 2.0);
    EXPECT_EQ(fast.takeDue(2.0), "xyz");
    fast.push("q", 3.0);
    fast.clear();
    EXPECT_FALSE(fast.nextDue());
}
