#include "src/acquire/acquisition_engine.h"
#include "src/acquire/link_session.h"
#include "tests/support/engine_recorder.h"
#include "tests/support/far_end.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <tuple>

using namespace tracely;
using tracely::test::EngineRecorder;
using tracely::test::FarEnd;
using tracely::test::PtyPair;
using tracely::test::waitUntil;

// The engine's routines against scripted instruments on real pseudo-terminals: what goes out
// on the wire, byte for byte, and what the panel is told.
namespace {

std::string block(char first) {
    std::string b = "M";
    for (int i = 0; i < 512; ++i) {
        b += static_cast<char>(first + i);
    }
    return b;
}

// An instrument that echoes every command, answers "?" with `ident`, a trace request with
// `answer` (after the echo "T") and every "M" with a block.
FarEnd::Reply instrument(std::string ident, std::string answer = "\r1f40\r") {
    return [ident, answer](char c) -> std::string {
        if (c == '?') {
            return "?" + ident;
        }
        if (c == 'T') {
            return "T" + answer;
        }
        if (c == 'M') {
            return block('a');
        }
        return std::string(1, c);
    };
}

// An engine whose COM ports are whatever the test says they are.
struct Rig {
    std::map<int, std::string> ports;
    FrontPanelState state;
    AcquisitionEngine engine{state, [this](int n) {
                                 const auto it = ports.find(n);
                                 // Unlisted ports name nothing, so the machine's own serial
                                 // ports never take part in a test.
                                 return QString::fromStdString(
                                     it != ports.end() ? it->second
                                                       : "/dev/null-port-" + std::to_string(n));
                             }};
    EngineRecorder rec{engine};

    Rig() {
        state.bytREG_R14 = 175; // channel A alone, on range 3: as the panel sets it
        engine.setTimeouts(LinkTimeouts{});
    }

    bool identify() {
        bool done = false;
        engine.InitHdwe([&](bool) { done = true; });
        return waitUntil([&] { return done; });
    }
};

const std::string kUpdateAt115200 = "[5]@[80]sn[sn[3]sn[1]s[b]@[2]sn[sn[1]sn[af]sn[s[14]@[7]s";

} // namespace

TEST(InitHdwe, FindsTheInstrumentAndShowsTheLink) {
    PtyPair pty;
    FarEnd far(pty, instrument("\rBC000120\r"));
    Rig rig;
    rig.ports[1] = pty.slavePath();
    ASSERT_TRUE(rig.identify());
    EXPECT_TRUE(rig.state.blnConnected);
    EXPECT_EQ(rig.state.varFirmware, "BC000120");
    EXPECT_EQ(rig.state.intComPort, 1);
    EXPECT_EQ(rig.state.lngBaudRate, 115200);
    EXPECT_EQ(rig.rec.panels["sbrFirmWare"], "Firmware: BC000120");
    EXPECT_EQ(rig.rec.panels["sbrBaudRate"], "Baud: 115200");
    EXPECT_EQ(rig.rec.panels["sbrComPort"], "Com: 1");
    EXPECT_EQ(rig.rec.panels["sbrSampleRate"], "Sample Rate: 25MSa/s");
    EXPECT_FALSE(rig.rec.lit);
    EXPECT_EQ(rig.rec.commErrors, 0);
    // Identification always recomputes the timebase for the knob as it stands.
    EXPECT_FALSE(rig.state.blnTimeChanged);
    EXPECT_EQ(rig.state.intCaptureLenNext, 500);
    EXPECT_EQ(rig.state.bytREG_R20, 7); // the 115200 column
}

TEST(InitHdwe, SkipsMissingPortsAndWrongAnswers) {
    // COM1 ends its identifier with a line feed, COM2 names another instrument, COM3 is none.
    PtyPair one;
    PtyPair two;
    PtyPair four;
    FarEnd lineFeed(one, instrument("\rBC000120\n"));
    FarEnd wrong(two, instrument("\rBC999999\r"));
    FarEnd right(four, instrument("\rBC000220\r"));
    Rig rig;
    rig.ports[1] = one.slavePath();
    rig.ports[2] = two.slavePath();
    rig.ports[4] = four.slavePath();
    ASSERT_TRUE(rig.identify());
    EXPECT_TRUE(rig.state.blnConnected);
    EXPECT_EQ(rig.state.intComPort, 4);
    EXPECT_EQ(rig.rec.panels["sbrComPort"], "Com: 4");
    EXPECT_EQ(wrong.received(), "??"); // asked at both speeds
    EXPECT_EQ(right.received(), "?");
}

TEST(InitHdwe, NoPortAtAllSaysSoOncePerUpdate) {
    Rig rig;
    rig.state.blnConnected = true;
    ASSERT_TRUE(rig.identify());
    EXPECT_FALSE(rig.state.blnConnected);
    EXPECT_EQ(rig.rec.commErrors, 1);
    EXPECT_EQ(rig.rec.colour, colour::kRed);
    EXPECT_TRUE(rig.rec.lit);
    EXPECT_EQ(rig.rec.panels["sbrFirmWare"], "Firmware: ");
    EXPECT_EQ(rig.rec.panels["sbrCursorData"], "Cursors On: CH A");
    // With the link down, every Update tries again and says so again.
    rig.engine.Update();
    ASSERT_TRUE(waitUntil([&] { return rig.rec.commErrors == 2; }));
    rig.engine.Update();
    ASSERT_TRUE(waitUntil([&] { return rig.rec.commErrors == 3; }));
    EXPECT_FALSE(rig.state.blnArmed);
}

TEST(Update, TheWholeCaptureOnTheWireByteForByte) {
    PtyPair pty;
    FarEnd far(pty, instrument("\rBC000120\r"));
    Rig rig;
    rig.ports[1] = pty.slavePath();
    rig.engine.setTimeRange(9); // a dump offset of 505
    rig.engine.Update();
    ASSERT_TRUE(waitUntil([&] { return rig.rec.captures == 1; }));
    // Identification, the register image, the trace request, then the dump request for the
    // answer 1f40 less 505 (1d47) with the option on, and the two blocks.
    EXPECT_EQ(far.received(), "?[5]@[80]sn[sn[3]sn[1]s[b]@[2]sn[sn[1]sn[af]sn[s[14]@[5]s>T"
                              "[3]@[47]sn[1d]s[7]@[3]s>MM");
    const FrontPanelState& s = rig.state;
    EXPECT_EQ(s.bytS_REG_R5, 128);
    EXPECT_EQ(s.bytS_REG_R7, 3);
    EXPECT_EQ(s.bytS_REG_R8, 1);
    EXPECT_EQ(s.varTrigAnswer, "1f40");
    EXPECT_EQ(s.bytREG_R3, 0x47);
    EXPECT_EQ(s.bytREG_R4, 0x1d);
    EXPECT_EQ(s.bytREG_R7, 3); // the dump mode is sent, never stored
    EXPECT_EQ(s.intWriteIdx, 501);
    // Logic byte first, then the analog byte, from each block's second byte on.
    EXPECT_EQ(s.bytSampleBuf[0].logic, 'a');
    EXPECT_EQ(s.bytSampleBuf[0].analog, 'a' + 1);
    EXPECT_EQ(s.bytSampleBuf[256].logic, 'a');
    EXPECT_FALSE(s.blnArmed);
    EXPECT_FALSE(s.blnDumping);
    EXPECT_TRUE(s.blnCaptureDone);
    EXPECT_FALSE(rig.rec.lit);
}

TEST(Update, DumpModeWithTheOptionOff) {
    PtyPair pty;
    FarEnd far(pty, instrument("\rBC000120\r"));
    Rig rig;
    rig.ports[1] = pty.slavePath();
    rig.engine.setTimeRange(9);
    rig.state.blnShowTrigLogic = false;
    rig.state.bytREG_R7 = 0x27;
    rig.engine.Update();
    ASSERT_TRUE(waitUntil([&] { return rig.rec.captures == 1; }));
    EXPECT_NE(far.received().find("T[3]@[47]sn[1d]s[7]@[21]s>M"), std::string::npos)
        << far.received();
    EXPECT_EQ(rig.state.bytREG_R7, 0x27);
}

TEST(Update, AFailedEchoStillSendsTheRestButNoTraceAndTheNextUpdateStartsClean) {
    PtyPair pty;
    int brackets = 0;
    const FarEnd::Reply base = instrument("\rBC000120\r");
    FarEnd far(pty, [&](char c) -> std::string {
        return c == '[' && brackets++ == 0 ? "{" : base(c); // the very first "[" comes back wrong
    });
    Rig rig;
    rig.ports[1] = pty.slavePath();
    rig.engine.Update();
    ASSERT_TRUE(waitUntil([&] { return rig.engine.health().discarded == 1; }));
    EXPECT_TRUE(rig.state.blnSendFailed);
    EXPECT_FALSE(rig.state.blnArmed);
    EXPECT_EQ(rig.rec.colour, colour::kRed);
    EXPECT_TRUE(rig.rec.lit);
    rig.engine.Update();
    ASSERT_TRUE(waitUntil([&] { return rig.rec.captures == 1; }));
    // Every character of the first went out, but no ">" and no "T" until the second.
    EXPECT_EQ(far.received().substr(0, 3 + 2 * kUpdateAt115200.size()),
              "?" + kUpdateAt115200 + kUpdateAt115200 + ">T");
}

TEST(Update, ANewRateTakesEffectInTheCaptureItIsAppliedFor) {
    PtyPair pty;
    FarEnd far(pty, instrument("\rBC000120\r"));
    Rig rig;
    rig.ports[1] = pty.slavePath();
    rig.engine.Update();
    ASSERT_TRUE(waitUntil([&] { return rig.rec.captures == 1; }));
    EXPECT_EQ(rig.state.intCaptureLen, 500);
    // The Options dialog's Apply: a new rate, and the timebase to be worked out again.
    rig.state.strSampleRate = "100KSa/s";
    rig.state.blnTimeChanged = true;
    const std::size_t sent = far.received().size();
    rig.engine.Update();
    ASSERT_TRUE(waitUntil([&] { return rig.rec.captures == 2; }));
    const std::string second = far.received().substr(sent);
    EXPECT_EQ(second.substr(second.find('>', second.find('T'))), ">M"); // one block, not two
    EXPECT_EQ(rig.state.intCaptureLen, 200);
    EXPECT_EQ(rig.state.intCHaLen, 21);
}

TEST(Update, AnAnswerThatIsNoAddressDrawsNothing) {
    PtyPair pty;
    FarEnd far(pty, instrument("\rBC000120\r", "\r1g40\r"));
    Rig rig;
    rig.ports[1] = pty.slavePath();
    rig.engine.Update();
    ASSERT_TRUE(waitUntil([&] { return rig.engine.health().discarded == 1; }));
    EXPECT_EQ(rig.rec.colour, colour::kRed);
    EXPECT_TRUE(rig.rec.lit);
    EXPECT_FALSE(rig.state.blnArmed);
    EXPECT_EQ(rig.rec.captures, 0);
    EXPECT_TRUE(rig.state.blnConnected);
    EXPECT_EQ(rig.engine.health().line.framingErrors, 1u);
    EXPECT_TRUE(rig.rec.status.last().contains("not a hex digit"))
        << rig.rec.status.join('|').toStdString();
    EXPECT_EQ(far.received().find("[3]@"), std::string::npos); // no dump was asked for
}

TEST(Update, ANewUpdateWhileArmedRequestsAgain) {
    PtyPair pty;
    FarEnd far(pty, instrument("\rBC000120\r", "")); // never triggers
    Rig rig;
    rig.ports[1] = pty.slavePath();
    // The register programming has its line time plus a grace; the trigger wait after it has
    // none: it is still waiting when the wait is said in words, well after the grace.
    LinkTimeouts t;
    t.stallGraceMs = 250;
    rig.engine.setTimeouts(t, 750);
    rig.engine.Update();
    // Waiting for the trigger: the lamp is yellow, and a wait that goes on is said in words.
    ASSERT_TRUE(waitUntil([&] { return rig.rec.lit && rig.rec.colour == colour::kYellow; }));
    EXPECT_TRUE(rig.state.blnArmed);
    ASSERT_TRUE(waitUntil([&] { return rig.rec.status.last() == "Waiting for trigger"; }));
    EXPECT_EQ(rig.engine.health().discarded, 0u);
    EXPECT_EQ(rig.rec.colour, colour::kYellow);
    rig.state.bytREG_R5 = 0x40; // the trigger controls changed the level and the mask
    rig.state.bytREG_R6 = 0x3f;
    rig.engine.Update();
    const std::string second = "[5]@[40]sn[3f]sn[3]sn[1]s[b]@[2]sn[sn[1]sn[af]sn[s[14]@[7]s>T";
    // The first trace is given up without an answer; its echo "T" is not taken for the next.
    ASSERT_TRUE(waitUntil([&] { return far.received() == "?" + kUpdateAt115200 + ">T" + second; }))
        << far.received();
    EXPECT_TRUE(rig.state.blnArmed);
    // What the capture will be searched with: the registers as they went out.
    EXPECT_EQ(std::tuple(rig.state.bytS_REG_R5, rig.state.bytS_REG_R6, rig.state.bytS_REG_R7,
                         rig.state.bytS_REG_R8),
              std::tuple(0x40, 0x3f, 3, 1));
    EXPECT_EQ(rig.engine.health().line.echoMismatches, 0u);
}

TEST(Update, ADumpRequestEchoedAsAnotherCharacterIsReadButNotDrawn) {
    // The instrument echoes the dump request's closing ">" as "!": what it obeyed may not be
    // what was sent, so the dump may come from another address. It is read to its end, and
    // discarded with the reason.
    PtyPair pty;
    std::atomic<bool> triggered{false};
    const FarEnd::Reply base = instrument("\rBC000120\r");
    FarEnd far(pty, [&](char c) {
        triggered = triggered || c == 'T';
        return triggered && c == '>' ? std::string("!") : base(c);
    });
    Rig rig;
    rig.ports[1] = pty.slavePath();
    rig.engine.setTimeouts(LinkTimeouts{});
    rig.engine.Update();
    ASSERT_TRUE(waitUntil([&] { return rig.engine.health().discarded == 1; }))
        << rig.rec.status.join('|').toStdString();
    EXPECT_EQ(rig.rec.captures, 0);
    EXPECT_NE(far.received().find(">M"), std::string::npos); // the dump was still read
    EXPECT_TRUE(rig.rec.status.last().startsWith("Capture discarded: the dump request"))
        << rig.rec.status.join('|').toStdString();
}

TEST(Update, AcquireWhileABlockThatNeverComesIsAwaitedStartsClean) {
    // The second "M" is lost on the line: its block never comes. Acquire, pressed while the
    // program still waits for it, draws from the next trace: none of its echoes is taken for
    // the missing block.
    PtyPair pty;
    std::atomic<int> dumps{0};
    const FarEnd::Reply base = instrument("\rBC000120\r");
    FarEnd far(pty, [&](char c) { return c == 'M' && ++dumps == 2 ? std::string() : base(c); });
    Rig rig;
    rig.ports[1] = pty.slavePath();
    LinkTimeouts t;
    t.blockMs = 60000;
    rig.engine.setTimeouts(t);
    rig.engine.Update();
    ASSERT_TRUE(waitUntil([&] { return dumps == 2; }));
    rig.engine.acquireClicked();
    EXPECT_TRUE(waitUntil([&] { return rig.rec.captures == 1; }, 10000))
        << rig.rec.status.join(" | ").toStdString();
    EXPECT_TRUE(rig.state.blnConnected);
    EXPECT_EQ(rig.engine.health().line.timeouts, 0u);
}
