#include "src/link/hex.h"
#include "src/link/wire.h"
#include "tests/support/line_client.h"
#include "tests/support/sim_host.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

using namespace tracely;
using namespace std::chrono_literals;
using tracely::test::LineClient;
using tracely::test::SimHost;
using tracely::test::waitUntil;

// The simulator through a real pseudo-terminal, as the program meets it.
namespace {

sim::Options quick() {
    sim::Options o;
    o.pace = false;
    return o;
}

std::string startUpImage() {
    return wire::updateSequence({128, 0, 3, 1, 0, 0, 1, 175, 0, 3});
}

// Programs the start-up image, arms and requests a trace; returns what came back after the
// echoes.
std::string trace(LineClient& line, std::size_t answerLength = 6) {
    const std::string seq = startUpImage() + ">";
    EXPECT_EQ(line.exchange(seq, 1000ms), seq);
    line.write("T");
    return line.readN(1 + answerLength, 3000ms);
}

// Nothing else came before: a command sent now is echoed as the very next byte.
void expectNothingPending(LineClient& line) {
    EXPECT_EQ(line.exchange("n", 1000ms), "n");
}

} // namespace

TEST(SimLine, SpeedMismatchGivesGarbage) {
    sim::Options o = quick();
    o.bauds = {115200};
    SimHost sim(o);
    LineClient line(sim.path(), 57600);
    line.write("?");
    const std::string got = line.readN(1, 1000ms);
    EXPECT_EQ(got.size(), 1u);
    EXPECT_NE(got, "?");
    line.setBaud(115200); // one byte of garbage and no more: the answer follows at once
    line.write("?");
    EXPECT_EQ(line.readN(11, 1000ms), "?\rBC000120\r");
}

TEST(SimLine, TraceAnswerFramingAndDumpBlocks) {
    SimHost sim(quick());
    LineClient line(sim.path(), 57600);
    const std::string answer = trace(line);
    ASSERT_EQ(answer.size(), 7u);
    EXPECT_EQ(answer[0], 'T');
    EXPECT_EQ(answer[1], '\r');
    EXPECT_EQ(answer[6], '\r');
    const int start = (hex::HexToLng(answer.substr(2, 4)) - 505) & 0xFFFF;
    const std::string req = wire::dumpRequestSequence(static_cast<std::uint8_t>(start),
                                                      static_cast<std::uint8_t>(start >> 8), 3);
    EXPECT_EQ(line.exchange(req, 1000ms), req);
    for (int block = 0; block < 3; ++block) {
        line.write("M");
        const std::string got = line.readN(513, 1000ms);
        ASSERT_EQ(got.size(), 513u) << block;
        EXPECT_EQ(got[0], 'M');
    }
    expectNothingPending(line);
}

TEST(SimLine, ANewCommandEndsTheWaitWithoutAnAnswer) {
    sim::Options o = quick();
    o.noTrigger = true;
    SimHost sim(o);
    LineClient line(sim.path(), 57600);
    EXPECT_EQ(line.exchange("T", 1000ms), "T");
    line.write("?"); // the answer to "?" is the next thing on the line
    EXPECT_EQ(line.readN(11, 1000ms), "?\rBC000120\r");
}

TEST(SimLine, SevenCharacterAnswerCarriesTheEcho) {
    sim::Options o = quick();
    o.answer7 = true;
    SimHost sim(o);
    LineClient line(sim.path(), 57600);
    const std::string answer = trace(line);
    ASSERT_EQ(answer.size(), 7u);
    EXPECT_EQ(answer.substr(0, 2), "T\r");
    EXPECT_EQ(answer.back(), '\r');
    expectNothingPending(line);

    // Until the trigger comes, not even the echo.
    sim::Options waiting = quick();
    waiting.answer7 = true;
    waiting.noTrigger = true;
    SimHost idle(waiting);
    LineClient other(idle.path(), 57600);
    other.write("T");
    expectNothingPending(other); // the next command ends the wait: no echo, no answer
}

TEST(SimFaults, WrongEchoSilenceAndIdentifier) {
    {
        sim::Options o = quick();
        o.faults.wrongEchoAt = 3;
        SimHost sim(o);
        LineClient line(sim.path(), 57600);
        const std::string got = line.exchange("[5]@", 1000ms);
        ASSERT_EQ(got.size(), 4u);
        EXPECT_EQ(got.substr(0, 2), "[5");
        EXPECT_NE(got[2], ']');
        EXPECT_EQ(got[3], '@');
    }
    {
        sim::Options o = quick();
        o.faults.silent = true;
        SimHost sim(o);
        LineClient line(sim.path(), 57600);
        line.write("?[5]");
        ASSERT_TRUE(waitUntil([&] { return sim.received() == "?[5]"; }));
        EXPECT_EQ(line.readN(1, 20ms), ""); // taken in, and nothing sent for it
    }
    {
        sim::Options o = quick();
        o.faults.badIdent = true;
        SimHost sim(o);
        LineClient line(sim.path(), 57600);
        line.write("?");
        const std::string got = line.readN(11, 1000ms);
        EXPECT_EQ(got.size(), 11u);
        EXPECT_EQ(got.find("BC000120"), std::string::npos);
    }
}

TEST(SimFaults, GarbageBetweenAnswers) {
    sim::Options o = quick();
    o.faults.garbage = true;
    SimHost sim(o);
    LineClient line(sim.path(), 57600);
    line.write("?");
    EXPECT_EQ(line.readN(14, 1000ms).size(), 14u); // the answer and three stray bytes
}

TEST(SimFaults, TriggerAnswerOfUnexpectedLength) {
    sim::Options o = quick();
    o.faults.answerLength = 4;
    SimHost sim(o);
    LineClient line(sim.path(), 57600);
    const std::string got = trace(line, 4);
    EXPECT_EQ(got.size(), 1u + 4u);
    expectNothingPending(line);
}

TEST(SimFaults, ShortBlock) {
    sim::Options o = quick();
    o.faults.shortBlock = 2;
    SimHost sim(o);
    LineClient line(sim.path(), 57600);
    ASSERT_EQ(trace(line).size(), 7u);
    line.write("M");
    EXPECT_EQ(line.readN(513, 1000ms).size(), 513u);
    line.write("M");
    EXPECT_EQ(line.readN(101, 1000ms).size(), 101u);
    expectNothingPending(line);
}

TEST(SimFaults, HangUpInTheMiddleOfABlock) {
    sim::Options o = quick();
    o.faults.hangUpInBlock = 1;
    SimHost sim(o);
    LineClient line(sim.path(), 57600);
    ASSERT_EQ(trace(line).size(), 7u);
    line.write("M");
    const std::string got = line.readN(513, 1000ms);
    EXPECT_GE(got.size(), 1u);
    EXPECT_LT(got.size(), 513u);
    EXPECT_TRUE(test::waitUntil([&] { return sim.finished(); }, 2000));
}

TEST(SimFaults, HangUpWhileWaitingForTheTrigger) {
    sim::Options o = quick();
    o.faults.hangUpAwaitingTrigger = true;
    SimHost sim(o);
    LineClient line(sim.path(), 57600);
    line.write("T");
    EXPECT_EQ(line.readN(7, 1000ms), "T");
    EXPECT_TRUE(test::waitUntil([&] { return sim.finished(); }, 2000));
}

TEST(SimHostRecords, BlocksAsProducedAndEveryCharacterReceived) {
    sim::Options o = quick();
    o.faults.shortBlock = 2;
    SimHost sim(o);
    LineClient line(sim.path(), 57600);
    ASSERT_EQ(trace(line).size(), 7u);
    std::vector<std::string> wire;
    for (int k = 0; k < 2; ++k) {
        line.write("M");
        wire.push_back(line.readN(k == 0 ? 513 : 101, 1000ms));
    }
    ASSERT_TRUE(waitUntil([&] { return sim.blocks().size() == 2; }, 2000));
    const std::vector<SimHost::Block> blocks = sim.blocks();
    for (std::size_t k = 0; k < 2; ++k) {
        EXPECT_EQ(blocks[k].trace, 1);
        EXPECT_EQ(blocks[k].block, static_cast<int>(k) + 1);
        ASSERT_EQ(blocks[k].bytes.size(), 512u);
        ASSERT_GE(wire[k].size(), 1u);
        // What went over the wire is the recorded block, cut short by the fault in the second.
        EXPECT_EQ(wire[k].substr(1), blocks[k].bytes.substr(0, wire[k].size() - 1)) << k;
    }
    EXPECT_EQ(wire[1].size(), 101u);
    EXPECT_EQ(sim.received(), startUpImage() + ">TMM");
}
