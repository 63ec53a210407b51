#include "src/acquire/reply_framer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tracely;
using Status = ReplyFramer::Status;

namespace {

// 512 sample bytes that differ from their neighbours, so a shift by one shows.
std::string samples(char first = 0) {
    std::string s;
    for (int i = 0; i < 512; ++i) {
        s += static_cast<char>(first + i * 7);
    }
    return s;
}

// Feeds `text` in pieces of the given sizes (the rest in one piece), as a split line delivers.
void feedSplit(ReplyFramer& f, const std::string& text, std::vector<std::size_t> pieces) {
    std::size_t at = 0;
    for (std::size_t n : pieces) {
        f.feed(std::string_view(text).substr(at, n));
        at += n;
    }
    f.feed(std::string_view(text).substr(std::min(at, text.size())));
}

} // namespace

TEST(ReplyFramer, EchoesAreTakenOneByteEachExactly) {
    struct Case {
        char sent;
        std::string arrives;
        Status status;
        char echo;
        std::uint64_t mismatches, stray;
    } cases[] = {
        {'[', "[", Status::Done, '[', 0, 0},
        {'a', "A", Status::Done, 'A', 1, 0},  // the other letter case is a mismatch
        {'s', "sx", Status::Done, 's', 0, 1}, // a byte nothing owes is stray
        {'n', "", Status::Pending, 0, 0, 0},  // nothing yet
    };
    for (const Case& c : cases) {
        ReplyFramer f;
        f.expectEcho(c.sent);
        f.feed(c.arrives);
        EXPECT_EQ(f.outcome().status, c.status) << c.arrives;
        EXPECT_EQ(f.outcome().echo, c.echo) << c.arrives;
        EXPECT_EQ(f.counts().mismatches, c.mismatches) << c.arrives;
        EXPECT_EQ(f.counts().stray, c.stray) << c.arrives;
    }
}

TEST(ReplyFramer, LateEchoesAreConsumedAsThemselvesNeverAsSamples) {
    // The dump request's last echoes come after their waits were given up; the block after
    // them must still start with its own "M" and take the next 512 bytes, not "]s>M...".
    ReplyFramer f;
    for (char c : std::string("]s>")) {
        f.expectEcho(c);
        f.giveUp();
    }
    EXPECT_TRUE(f.owesOthers());
    f.expectBlock();
    const std::string data = samples(3);
    feedSplit(f, "]s>M" + data, {1, 2, 2, 100});
    ASSERT_EQ(f.outcome().status, Status::Done);
    EXPECT_EQ(f.outcome().block, data);
    EXPECT_EQ(f.counts().lateEchoes, 3u);
    EXPECT_EQ(f.counts().stray, 0u);
    EXPECT_FALSE(f.owesOthers());

    // A late echo ahead of the next echo: both taken in order.
    ReplyFramer g;
    g.expectEcho('s');
    g.giveUp();
    g.expectEcho('n');
    g.feed("sn");
    EXPECT_EQ(g.outcome().status, Status::Done);
    EXPECT_EQ(g.outcome().echo, 'n');
    EXPECT_EQ(g.counts().lateEchoes, 1u);
}

TEST(ReplyFramer, BlockStartsAtItsEchoAndCountsItsBytes) {
    ReplyFramer f;
    f.expectBlock();
    const std::string data = samples(1);
    // Stray bytes before the echo; the block arrives in pieces.
    f.feed("\x01\x02");
    f.feed("M");
    f.feed(data.substr(0, 200));
    EXPECT_EQ(f.blockBytes(), 200);
    EXPECT_TRUE(f.waiting());
    f.feed(data.substr(200) + "zz"); // whatever follows the block belongs to nothing
    ASSERT_EQ(f.outcome().status, Status::Done);
    EXPECT_EQ(f.outcome().block, data);
    EXPECT_EQ(f.counts().stray, 4u);
    // An "M" inside the samples is a sample.
    ReplyFramer g;
    g.expectBlock();
    const std::string ms(512, 'M');
    g.feed("M" + ms);
    EXPECT_EQ(g.outcome().block, ms);
}

TEST(ReplyFramer, TriggerAnswerInEveryShapeAndSplit) {
    struct Case {
        std::string arrives;
        std::vector<std::size_t> pieces;
        Status status;
        std::string answer;
    } cases[] = {
        {"T\r1f40\r", {1, 1, 1, 1, 1, 1}, Status::Done, "1f40"}, // echo, then the answer
        {"T\r1f40\r", {}, Status::Done, "1f40"},                 // seven characters at once
        {"\r8000\r", {3}, Status::Done, "8000"},                 // no echo in front
        {"t\rABCD\r", {2}, Status::Done, "ABCD"},                // any letter case
        {"T", {}, Status::Pending, ""},                          // waiting for the trigger
        {"T\r1f", {}, Status::Pending, ""},                      // the answer under way
        {"T\r1g40\r", {}, Status::Broken, ""},                   // not a hex digit
        {"T\r1f40T", {}, Status::Broken, ""},                    // no closing CR
        {"T\r1f4\r", {}, Status::Broken, ""},                    // three digits
    };
    for (const Case& c : cases) {
        ReplyFramer f;
        f.expectTraceReply();
        feedSplit(f, c.arrives, c.pieces);
        EXPECT_EQ(f.outcome().status, c.status) << c.arrives;
        EXPECT_EQ(f.outcome().answer, c.answer) << c.arrives;
        EXPECT_EQ(f.counts().framingErrors, c.status == Status::Broken ? 1u : 0u) << c.arrives;
    }
}

TEST(ReplyFramer, AnAbandonedTraceIsTakenIfItAnswersAndSkippedIfNot) {
    // The next command cancels the trace before it answers: its echo is the next byte.
    ReplyFramer f;
    f.expectTraceReply();
    f.feed("T");
    f.giveUp();
    f.expectEcho('[');
    f.feed("[");
    EXPECT_EQ(f.outcome().status, Status::Done);
    EXPECT_EQ(f.outcome().echo, '[');

    // It answered first: the answer is taken whole and dropped.
    ReplyFramer g;
    g.expectTraceReply();
    g.giveUp();
    g.expectEcho('[');
    feedSplit(g, "T\r12ab\r[", {2, 3});
    EXPECT_EQ(g.outcome().echo, '[');
    EXPECT_EQ(g.counts().mismatches, 0u);
    EXPECT_EQ(g.counts().stray, 0u);
}

TEST(ReplyFramer, AnAbandonedBlockIsStillOwedByCount) {
    // Acquire pressed in the middle of a block: the rest of it comes before the next echo.
    ReplyFramer f;
    f.expectBlock();
    const std::string data = samples(9);
    f.feed("M" + data.substr(0, 100));
    f.giveUp();
    f.expectEcho('[');
    f.feed(data.substr(100, 300));
    EXPECT_TRUE(f.waiting());
    f.feed(data.substr(400) + "[");
    EXPECT_EQ(f.outcome().status, Status::Done);
    EXPECT_EQ(f.outcome().echo, '[');
    EXPECT_EQ(f.counts().mismatches, 0u);
}
