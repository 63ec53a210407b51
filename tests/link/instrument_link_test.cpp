#include "src/link/instrument_link.h"
#include "tests/support/far_end.h"
#include "tests/support/recorders.h"
#include "tests/support/sim_host.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <map>

using namespace tracely;
using tracely::test::FarEnd;
using tracely::test::PtyPair;
using tracely::test::RecordingLight;
using tracely::test::RecordingReporter;
using tracely::test::SimHost;

namespace {

// An instrument that echoes commands and answers "?" with the given text.
FarEnd::Reply instrument(std::string ident, std::string trace = {}) {
    return [ident, trace](char c) -> std::string {
        if (c == '?') {
            return "?" + ident;
        }
        if (c == 'T') {
            return "T" + trace;
        }
        return std::string(1, c);
    };
}

// A link whose COM ports are whatever the test says they are.
struct Rig {
    std::map<int, std::string> ports;
    FrontPanelState state;
    RecordingLight light;
    RecordingReporter reporter;
    double timeRange = 10;
    ConfiguredPort configured = [this](int n) {
        const auto it = ports.find(n);
        // Unlisted ports name a device that is not there, so the machine's own serial ports
        // never take part in a test.
        return QString::fromStdString(it != ports.end() ? it->second
                                                        : "/dev/null-port-" + std::to_string(n));
    };
    SerialPort port{[this](int n) { return configured(n); }};
    InstrumentLink link{state, port, light, reporter, configured, [this] { return timeRange; }};
};

} // namespace

TEST(InitHdwe, FindsTheInstrumentAndShowsTheLink) {
    PtyPair pty;
    FarEnd far(pty, instrument("\rBC000120\r"));
    Rig rig;
    rig.ports[1] = pty.slavePath();
    rig.link.InitHdwe();
    EXPECT_TRUE(rig.state.blnConnected);
    EXPECT_EQ(rig.state.varFirmware, "BC000120");
    EXPECT_EQ(rig.state.intComPort, 1);
    EXPECT_EQ(rig.state.lngBaudRate, 115200);
    EXPECT_EQ(rig.reporter.panels["sbrFirmWare"], "Firmware: BC000120");
    EXPECT_EQ(rig.reporter.panels["sbrBaudRate"], "Baud: 115200");
    EXPECT_EQ(rig.reporter.panels["sbrComPort"], "Com: 1");
    EXPECT_EQ(rig.reporter.panels["sbrSampleRate"], "Sample Rate: 25MSa/s");
    EXPECT_FALSE(rig.light.lit);
    EXPECT_EQ(rig.reporter.commErrors, 0);
    // Identification always recomputes the timebase for the knob as it stands.
    EXPECT_FALSE(rig.state.blnTimeChanged);
    EXPECT_EQ(rig.state.intCaptureLenNext, 500);
    EXPECT_EQ(rig.state.bytREG_R20, 7); // the 115200 column
}

TEST(InitHdwe, SkipsMissingPortsAndWrongAnswers) {
    PtyPair one;
    PtyPair three;
    FarEnd wrong(one, instrument("\rBC999999\r"));
    FarEnd right(three, instrument("\rBC000220\r"));
    Rig rig;
    rig.ports[1] = one.slavePath();
    rig.ports[3] = three.slavePath();
    rig.link.InitHdwe();
    EXPECT_TRUE(rig.state.blnConnected);
    EXPECT_EQ(rig.state.intComPort, 3);
    EXPECT_EQ(rig.reporter.panels["sbrComPort"], "Com: 3");
    EXPECT_EQ(wrong.received(), "??"); // asked at both speeds
    EXPECT_EQ(right.received(), "?");
}

TEST(InitHdwe, AnAnswerWithALineFeedDoesNotIdentify) {
    PtyPair pty;
    FarEnd far(pty, instrument("\rBC000120\n"));
    Rig rig;
    rig.ports[1] = pty.slavePath();
    rig.link.InitHdwe();
    EXPECT_FALSE(rig.state.blnConnected);
    EXPECT_EQ(rig.reporter.commErrors, 1);
}

TEST(InitHdwe, NoPortAtAllSendsNothingAndSaysSo) {
    Rig rig;
    rig.state.blnConnected = true;
    rig.link.InitHdwe();
    EXPECT_FALSE(rig.state.blnConnected);
    EXPECT_EQ(rig.reporter.commErrors, 1);
    EXPECT_EQ(rig.light.colour(), colour::kRed);
    EXPECT_TRUE(rig.light.lit);
    EXPECT_EQ(rig.reporter.panels["sbrFirmWare"], "Firmware: ");
    EXPECT_EQ(rig.reporter.panels["sbrCursorData"], "Cursors On: CH A");
    // With the link down, every Update tries again and says so again.
    rig.link.Update();
    rig.link.Update();
    EXPECT_EQ(rig.reporter.commErrors, 3);
}

TEST(InitHdwe, ChosenPortAnsweringOnlyAt57600) {
    sim::Options o;
    o.pace = false;
    o.bauds = {57600};
    SimHost sim(o);
    Rig rig;
    rig.ports[5] = sim.path();
    rig.state.blnAutoPort = false;
    rig.state.intComPort = 5;
    rig.link.InitHdwe();
    EXPECT_TRUE(rig.state.blnConnected);
    EXPECT_EQ(rig.state.lngBaudRate, 57600);
    EXPECT_EQ(rig.reporter.panels["sbrBaudRate"], "Baud: 57600");
    EXPECT_EQ(rig.state.bytREG_R20, 3); // the 57600 column
}

TEST(Update, SendsTheRegisterImageThenRequestsATrace) {
    PtyPair pty;
    FarEnd far(pty, instrument("\rBC000120\r"));
    Rig rig;
    rig.ports[1] = pty.slavePath();
    rig.state.bytREG_R14 = 175;
    rig.state.bytREG_R13 = 1;
    rig.link.Update();
    ASSERT_TRUE(rig.state.blnConnected);
    // At 115200 the timebase registers are R11 2, R13 1, R20 7.
    const std::string expected = "?[5]@[80]sn[sn[3]sn[1]s[b]@[2]sn[sn[1]sn[af]sn[s[14]@[7]s>T";
    EXPECT_TRUE(tracely::test::waitUntil([&] { return far.received() == expected; }))
        << far.received();
    EXPECT_EQ(rig.state.bytS_REG_R5, 128);
    EXPECT_EQ(rig.state.bytS_REG_R7, 3);
    EXPECT_EQ(rig.state.bytS_REG_R8, 1);
    EXPECT_TRUE(rig.state.blnArmed);
    EXPECT_EQ(rig.state.intCaptureLen, 500);
    EXPECT_EQ(rig.state.intChunksLeft, 2);
    EXPECT_EQ(rig.light.colour(), colour::kYellow);
}

TEST(Update, AFailedEchoStillSendsTheRestButNoTrace) {
    PtyPair pty;
    int brackets = 0;
    FarEnd far(pty, [&](char c) -> std::string {
        if (c == '?') {
            return "?\rBC000120\r";
        }
        if (c == '[' && brackets++ == 0) {
            return "{"; // the very first "[" comes back wrong
        }
        return std::string(1, c);
    });
    Rig rig;
    rig.ports[1] = pty.slavePath();
    rig.link.Update();
    EXPECT_TRUE(rig.state.blnSendFailed);
    EXPECT_FALSE(rig.state.blnArmed);
    EXPECT_EQ(rig.light.colour(), colour::kRed);
    EXPECT_TRUE(rig.light.lit);
    const std::string sent = far.received();
    EXPECT_EQ(sent.find('T'), std::string::npos);
    EXPECT_NE(sent.find("[14]@[7]s"), std::string::npos); // the last register went out
}

TEST(RequestDump, AddressAndModeFromTheAnswer) {
    PtyPair pty;
    FarEnd far(pty, FarEnd::echo);
    Rig rig;
    rig.ports[1] = pty.slavePath();
    rig.state.blnConnected = true;
    rig.port.setPortNumber(1);
    rig.port.setReadTimeout(200);
    ASSERT_TRUE(rig.port.apply().ok());
    rig.state.varTrigAnswer = "1f40";
    rig.state.intDumpOffset = 505;
    rig.link.RequestDump();
    EXPECT_EQ(far.received(), "[3]@[47]sn[1d]s[7]@[3]s>");
    EXPECT_EQ(rig.state.bytREG_R7, 3); // the image keeps its bits

    // An answer that is no number keeps the address and still sends the rest; the option
    // off clears bits 1 and 2 of the mode.
    rig.state.varTrigAnswer = "zz";
    rig.state.blnShowTrigLogic = false;
    rig.state.bytREG_R7 = 0x27;
    rig.link.RequestDump();
    EXPECT_EQ(far.received(), "[3]@[47]sn[1d]s[7]@[3]s>[3]@[47]sn[1d]s[7]@[21]s>");
    EXPECT_EQ(rig.state.bytREG_R7, 0x27);
}
