#include "src/acquire/receiver.h"
#include "tests/support/recorders.h"

#include <gtest/gtest.h>

using namespace tracely;
using tracely::test::RecordingLight;
using tracely::test::RecordingReporter;

namespace {

struct Rig {
    FrontPanelState state;
    RecordingLight light;
    RecordingReporter reporter;
    SerialPort port{[](int) { return QString(); }}; // never opens: reads and writes fail
    int dumps = 0;
    int captures = 0;
    std::string answerSeen;
    Receiver rx{state,
                port,
                light,
                reporter,
                [this] {
                    ++dumps;
                    answerSeen = state.varTrigAnswer;
                },
                [this] { ++captures; }};
};

QByteArray block(int leading, int pairs, int first) {
    QByteArray b(1, static_cast<char>(leading));
    for (int k = 0; k < pairs; ++k) {
        b += static_cast<char>((first + k) & 0xFF);       // logic
        b += static_cast<char>((first + k + 100) & 0xFF); // analog
    }
    return b;
}

} // namespace

TEST(Receiver, ChunkLayoutAndRowsKept) {
    FrontPanelState s;
    s.intCaptureLen = 300;
    s.bytSampleBuf.assign(300, SampleRow{});
    Receiver::unpackBlock(s, block('M', 256, 0));
    EXPECT_EQ(s.intWriteIdx, 257);
    EXPECT_EQ(s.bytSampleBuf[0].logic, 0);
    EXPECT_EQ(s.bytSampleBuf[0].analog, 100);
    EXPECT_EQ(s.bytSampleBuf[255].logic, 255);
    // The second block fills up to the capture length and drops the rest.
    Receiver::unpackBlock(s, block('M', 256, 256));
    EXPECT_EQ(s.intWriteIdx, 301);
    EXPECT_EQ(s.bytSampleBuf[299].logic, (256 + 43) & 0xFF);
    // A trailing odd byte is ignored.
    FrontPanelState t;
    t.intCaptureLen = 10;
    t.bytSampleBuf.assign(10, SampleRow{});
    Receiver::unpackBlock(t, block('M', 2, 7) + 'x');
    EXPECT_EQ(t.intWriteIdx, 3);
}

TEST(Receiver, FortyChunksIntoTenThousandRows) {
    Rig rig;
    FrontPanelState& s = rig.state;
    s.intCaptureLen = 10000;
    s.intChunksLeft = 40;
    s.bytSampleBuf.assign(10000, SampleRow{});
    for (int chunk = 0; chunk < 40; ++chunk) {
        s.blnDumping = true;
        rig.rx.onData(block(0, 256, chunk * 256));
    }
    EXPECT_EQ(s.intWriteIdx, 10001);
    EXPECT_EQ(rig.captures, 1);
    EXPECT_EQ(s.intChunksLeft, 0);
    EXPECT_FALSE(rig.light.lit);
}

TEST(Receiver, TriggerAnswersOfEachLength) {
    Rig rig;
    FrontPanelState& s = rig.state;
    s.blnConnected = true;

    // The echo alone: wait on for the answer.
    s.blnAwaitTrig = true;
    rig.rx.onData("T");
    EXPECT_TRUE(s.blnAwaitTrig);
    EXPECT_EQ(rig.light.colour(), colour::kYellow);
    EXPECT_EQ(rig.dumps, 0);

    // Six characters keep any "T"; only carriage returns go.
    s.blnArmed = true;
    rig.rx.onData("\r1T40\r");
    EXPECT_FALSE(s.blnAwaitTrig);
    EXPECT_FALSE(s.blnArmed);
    EXPECT_EQ(rig.answerSeen, "1T40");

    // Seven characters lose every "T" and "t" too.
    s.blnAwaitTrig = true;
    rig.rx.onData("T\r1f4t\r");
    EXPECT_EQ(rig.answerSeen, "1f4");
    EXPECT_EQ(rig.dumps, 2);

    // Any other length stalls: nothing is asked for.
    s.blnAwaitTrig = true;
    rig.rx.onData("\r1f\r");
    EXPECT_EQ(rig.dumps, 2);
    EXPECT_FALSE(s.blnAwaitTrig);
    EXPECT_FALSE(s.blnDumping);
}

TEST(Receiver, UnaskedDataAndShortChunksChangeNothing) {
    Rig rig;
    FrontPanelState& s = rig.state;
    s.intCaptureLen = 10;
    s.bytSampleBuf.assign(10, SampleRow{});
    rig.rx.onData(block(0, 5, 1));
    EXPECT_EQ(s.intWriteIdx, 1);
    s.blnDumping = true;
    s.intChunksLeft = 2;
    rig.rx.onData("MAB");
    EXPECT_FALSE(s.blnDumping);
    EXPECT_EQ(s.intChunksLeft, 2);
    EXPECT_EQ(rig.captures, 0);
}

TEST(Receiver, ADumpWithoutATimebaseEnds) {
    // Chunks counted down from zero (no timebase was ever set) end the dump at once.
    Rig rig;
    rig.state.blnDumping = true;
    rig.state.intChunksLeft = 0;
    rig.rx.onData(block(0, 256, 0));
    EXPECT_EQ(rig.captures, 1);
    EXPECT_FALSE(rig.state.blnDumping);
}

TEST(Receiver, ErrorEventShowsTheLinkLost) {
    Rig rig;
    rig.state.blnConnected = true;
    rig.state.blnDumping = true;
    rig.rx.onError(SerialError::DeviceLost, "gone");
    EXPECT_FALSE(rig.state.blnConnected);
    EXPECT_TRUE(rig.state.blnDumping); // the flags are left as they were
    EXPECT_EQ(rig.light.colour(), colour::kRed);
    EXPECT_EQ(rig.reporter.panels["sbrBaudRate"], "Baud: ");
    EXPECT_EQ(rig.reporter.panels["sbrSampleRate"], "Sample Rate: 25MSa/s");
}
