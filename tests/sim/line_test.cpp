#include "src/link/hex.h"
#include "src/link/wire.h"
#include "tests/support/line_client.h"
#include "tests/support/sim_host.h"

#include <gtest/gtest.h>

using namespace tracely;
using namespace std::chrono_literals;
using tracely::test::LineClient;
using tracely::test::SimHost;

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
