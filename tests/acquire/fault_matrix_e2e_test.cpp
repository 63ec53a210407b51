#include "src/link/serial_port.h"
#include "tests/acquire/scope.h"
#include "tests/support/wait.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <map>

// Every line fault x single and repeat mode x both speeds, end to end against the simulator on
// a real pseudo-terminal: what the panel shows, that the process idles while the link is down
// or a trigger never comes, and that the next Acquire after the fault has gone draws again.
// The table in tests/README.md lists the same rows.
using namespace tracely;
using tracely::test::EngineRecorder;
using tracely::test::simOptions;
using tracely::test::waitUntil;

namespace {

enum class Mode { Single, Repeat };
// What the test does to the line besides the simulator's own faults. Replace: the fault is a
// property of the line, gone only with another instrument.
enum class Act { None, Unplug, Kill, HoldPort, Replace };

struct Outcome {
    quint32 colour;         // the light, lit; 0: off
    bool connected;         // blnConnected
    int messageBoxes;       // "Unable to Communicate with Bitscope ..."
    const char* status;     // the last status text starts with this
    bool bare;              // the firmware, baud and port panels show their bare labels
    bool idles;             // the process idles here: the link is down or the trigger awaited
    bool mayGiveUp = false; // drawn, or given up with the reason said: never drawn wrong
    // Not connected, or (when a busy machine wakes the program late enough to find the whole
    // answer) connected at the instrument's own speed: never at the other.
    bool neverWrongSpeed = false;
};

constexpr quint32 kOff = 0;
// Drawn: the light off, the link up, nothing to report.
constexpr Outcome kDrawn{kOff, true, 0, "Capture complete", false, false};
constexpr Outcome kRunning{kOff, true, 0, "Running: ", false, false};
constexpr Outcome kDrawnOrGivenUp{kOff, true, 0, "", false, false, true, false};
constexpr Outcome kNoInstrument{colour::kRed, false, 1, "Not connected: no BitScope", true, true};
constexpr Outcome kNotAtTheWrongSpeed{colour::kRed, false, 1,     "Not connected: no BitScope",
                                      true,         true,  false, true};
constexpr Outcome kLinkLost{colour::kRed, false, 0, "Link lost: ", true, true};
constexpr Outcome kNoTrace{colour::kRed, true, 0, "No trace requested: ", false, false};
constexpr Outcome kDiscarded{colour::kRed, true, 0, "Capture discarded: ", false, false};
constexpr Outcome kWaiting{colour::kYellow, true, 0, "Waiting for trigger", false, true};
constexpr Outcome kBusy{colour::kRed, false, 1, "Not connected: COM1", true, true};

struct Row {
    const char* name;
    int warmUp; // good captures before the fault strikes
    std::function<void(sim::Options&)> line;
    Act act;
    Outcome single, repeat;
    bool keepRepeating = false; // the option: repeat mode re-arms after a discarded capture
    bool protocolIdent = false; // the protocol's own time-out to identify
};

using O = sim::Options;
const Row kRows[] = {
    {"OneSpeedOnly", 0, [](O&) {}, Act::None, kDrawn, kRunning},
    {"WrongEcho", 2, [](O& o) { o.faults.wrongEchoAt = 5; }, Act::None, kNoTrace, kNoTrace},
    {"SilenceFromTheStart", 0, [](O& o) { o.faults.silent = true; }, Act::None, kNoInstrument,
     kNoInstrument},
    {"SilenceMidRun", 2, [](O& o) { o.faults.silent = true; }, Act::None, kLinkLost, kLinkLost},
    {"WrongIdentifier", 0, [](O& o) { o.faults.badIdent = true; }, Act::None, kNoInstrument,
     kNoInstrument},
    // Stray bytes that come after an echo was asked for are taken as that echo: whether a
    // capture is disturbed depends on when they come.
    {"Garbage", 2, [](O& o) { o.faults.garbage = true; }, Act::None, kDrawnOrGivenUp, kRunning,
     true},
    {"ShortBlock", 2, [](O& o) { o.faults.shortBlock = 1; }, Act::None, kLinkLost, kLinkLost},
    {"HangUpMidDump", 2, [](O& o) { o.faults.hangUpInBlock = 2; }, Act::None, kLinkLost, kLinkLost},
    {"HangUpAwaitingTrigger", 2, [](O& o) { o.faults.hangUpAwaitingTrigger = true; }, Act::None,
     kLinkLost, kLinkLost},
    {"OddAnswerLength", 2, [](O& o) { o.faults.answerLength = 4; }, Act::None, kDiscarded,
     kDiscarded},
    // In the dump request, whose echoes have 5 ms.
    {"LateEcho", 2,
     [](O& o) {
         o.faults.lateEchoAt = 6;
         o.faults.lateEchoMs = 600.0;
     },
     Act::None, kDrawn, kRunning},
    {"SplitReplies", 0, [](O& o) { o.split = true; }, Act::None, kDrawn, kRunning},
    {"Latency", 0, [](O& o) { o.latencyMs = 5.0; }, Act::None, kDrawn, kRunning},
    {"Jitter", 0, [](O& o) { o.jitterMs = 5.0; }, Act::None, kDrawn, kRunning},
    // A USB-serial adapter's latency timer (16 ms) before every byte: found all the same.
    {"IdentThroughAnAdaptersLatency", 0, [](O& o) { o.latencyMs = 16.0; }, Act::Replace, kDrawn,
     kRunning, false, true},
    // The identifier comes after the probe's time-out: no speed is taken for it, the answer to
    // the first probe least of all as the answer to the second.
    {"IdentAnswerPastItsTimeOut", 0, [](O& o) { o.latencyMs = 260.0; }, Act::Replace,
     kNotAtTheWrongSpeed, kNotAtTheWrongSpeed, false, true},
    {"TriggerNeverComes", 2, [](O& o) { o.faults.noTrigger = true; }, Act::None, kWaiting,
     kWaiting},
    {"DevicePathVanishes", 2, [](O&) {}, Act::Unplug, kLinkLost, kLinkLost},
    {"SimulatorKilledMidDump", 0, [](O&) {}, Act::Kill, kLinkLost, kLinkLost},
    {"PortHeldByAnotherProgram", 0, [](O&) {}, Act::HoldPort, kBusy, kBusy},
};

// The engine on COM1 = a link in a folder of the test's own, so an instrument can be unplugged
// (the link goes), killed (the link dangles) and plugged in again.
class Rig {
public:
    Rig(int baud, bool protocolIdent) : baud_(baud) {
        engine.setTimeRange(10);
        // The stalls and time-outs the rows provoke cost about a second; the late echo (600 ms)
        // still misses its dump request, and the capture behind it still arrives in time.
        LinkTimeouts t = test::patient();
        // A late identifier is overtaken by the quiet wait before the second speed, however
        // late the busy machine wakes the line's thread.
        t.quietMs = protocolIdent ? 250 : t.quietMs;
        t.programMs = 500;
        t.stallGraceMs = 1000;
        t.blockMs = 1500;
        engine.setTimeouts(t, 50);
    }
    ~Rig() { engine.stop(); }

    void plug(sim::Options o) {
        retire();
        o.bauds = {baud_};
        sim = std::make_unique<test::SimHost>(std::move(o));
        QFile::remove(link);
        QFile::link(QString::fromStdString(sim->path()), link);
    }
    // The simulator process itself, paced, with a dump long enough to be cut.
    void plugProcess() {
        retire();
        proc = std::make_unique<QProcess>();
        ASSERT_TRUE(test::startSimProgram(*proc, link, {"--baud", QString::number(baud_)}));
    }
    void unplug() {
        QFile::remove(link);
        retire();
    }
    void retire() {
        if (sim) {
            for (const test::SimHost::Block& b : sim->blocks()) {
                sent_[{generation_, b.trace}] += b.bytes;
            }
            sim.reset(); // its terminal closes: the line hangs up
        }
        ++generation_;
    }
    double simCpu() const { return sim ? sim->cpuSeconds() : 0.0; }

    // Presses Acquire until `count` captures are drawn from an instrument without faults. The
    // simulator shares a busy machine with the program and may now and then miss the 10 ms of
    // an identification or the 500 ms of an echo; it is then asked again, as a user would, at
    // most seven times. The presses beyond the first are counted.
    bool drawHealthy(int count, bool repeat, bool pressFirst = true) {
        for (int press = 0; press < 8 && rec.captures < count; ++press) {
            retries += press > 0 ? 1 : 0;
            const qsizetype said = rec.status.size();
            const int drawnBefore = rec.captures;
            if (press > 0 || pressFirst) {
                engine.acquireClicked();
            }
            waitUntil(
                [&] {
                    return stoppedSince(said) ||
                           (repeat ? rec.captures >= count : rec.captures > drawnBefore);
                },
                15000);
        }
        return rec.captures >= count;
    }
    int retries = 0;

    // Whether a capture or an identification failed since the status text `said`.
    bool stoppedSince(qsizetype said) const {
        for (qsizetype i = said; i < rec.status.size(); ++i) {
            for (const char* failed :
                 {"Not connected", "No trace requested", "Capture discarded", "Link lost"}) {
                if (rec.status[i].startsWith(QLatin1String(failed))) {
                    return true;
                }
            }
        }
        return false;
    }

    // Every drawn capture is the start of what one trace of one simulator sent.
    int misaligned() {
        std::map<std::pair<int, int>, std::string> sent = sent_;
        if (sim) {
            for (const test::SimHost::Block& b : sim->blocks()) {
                sent[{generation_, b.trace}] += b.bytes;
            }
        }
        return test::misaligned(drawn, sent);
    }

    QTemporaryDir dir;
    QString link = dir.filePath(QStringLiteral("scope"));
    std::unique_ptr<test::SimHost> sim;
    std::unique_ptr<QProcess> proc;
    FrontPanelState state = [] {
        FrontPanelState s;
        s.bytREG_R14 = 0xFF; // the level trigger sees the sine (see scope.h)
        return s;
    }();
    AcquisitionEngine engine{
        state, [this](int n) { return n == 1 ? link : QStringLiteral("/dev/null-port"); }};
    EngineRecorder rec{engine};
    std::vector<std::string> drawn;
    QMetaObject::Connection keep =
        QObject::connect(&engine, &AcquisitionEngine::captureReady, &rec.ctx,
                         [this] { drawn.push_back(test::drawnBytes(state)); });

private:
    int baud_;
    int generation_ = 0;
    std::map<std::pair<int, int>, std::string> sent_;
};

std::string describe(const Rig& rig) {
    return "status: " + rig.rec.status.join(" | ").toStdString() +
           "; last fault: " + rig.engine.health().lastFault.toStdString() +
           "; time-outs: " + std::to_string(rig.engine.health().line.timeouts) +
           ", mismatches: " + std::to_string(rig.engine.health().line.echoMismatches) +
           ", late echoes: " + std::to_string(rig.engine.health().line.lateEchoes);
}

using Cell = std::tuple<int, Mode, int>; // row, mode, speed

class FaultMatrix : public testing::TestWithParam<Cell> {};

TEST_P(FaultMatrix, DefinedOutcomeIdleAndRecovery) {
    const auto [index, mode, baud] = GetParam();
    const Row& row = kRows[index];
    const bool repeat = mode == Mode::Repeat;
    const Outcome& want = repeat ? row.repeat : row.single;
    Rig rig(baud, row.protocolIdent);
    sim::Options o = simOptions();
    o.seed = 11;
    row.line(o);
    o.faultsAfter = row.warmUp;
    std::unique_ptr<SerialPort> holder;
    if (row.act == Act::Kill) {
        rig.plugProcess();
        rig.engine.setTimeRange(15); // 60 blocks: seconds of dump to be killed in
    } else {
        rig.plug(o);
    }
    if (row.act == Act::HoldPort) {
        holder = std::make_unique<SerialPort>();
        ASSERT_TRUE(holder->open(rig.link, baud).ok());
    }

    // The captures before the fault, then the fault.
    rig.engine.sampleModeChanged(repeat);
    rig.engine.setKeepRepeating(row.keepRepeating);
    const bool drawn = want.colour == kOff && want.connected;
    if (repeat && row.warmUp == 0 && !drawn && row.act != Act::Kill) {
        rig.engine.acquireClicked();
    }
    for (int k = 1; k <= row.warmUp; ++k) {
        ASSERT_TRUE(rig.drawHealthy(repeat ? row.warmUp : k, repeat)) << describe(rig);
    }
    const int before = rig.rec.captures;
    const int boxesBefore = rig.rec.commErrors;
    const int retriesBefore = rig.retries;
    const qsizetype said = rig.rec.status.size();
    if (row.act == Act::Unplug) {
        rig.unplug();
    } else if (drawn && !want.mayGiveUp) {
        // The fault is ridden out: captures are drawn in spite of it.
        ASSERT_TRUE(rig.drawHealthy(before + (repeat ? 3 : 1), repeat, !repeat || row.warmUp == 0))
            << row.name << ": " << describe(rig);
    } else if (!repeat && row.act != Act::Kill) {
        rig.engine.acquireClicked();
    }
    if (row.act == Act::Kill) {
        // Killed once its dump is under way (a press a busy machine spoiled is repeated).
        for (int press = 0; press < 8 && rig.rec.lastProgress < 1; ++press) {
            rig.retries += press > 0 ? 1 : 0;
            const qsizetype from = rig.rec.status.size();
            rig.engine.acquireClicked();
            waitUntil([&] { return rig.rec.lastProgress >= 1 || rig.stoppedSince(from); }, 10000);
        }
        ASSERT_GE(rig.rec.lastProgress, 1) << describe(rig);
        ::kill(static_cast<pid_t>(rig.proc->processId()), SIGKILL);
        rig.proc->waitForFinished(5000);
    }

    const QString status = QString::fromLatin1(want.status);
    const auto givenUp = [&] {
        for (qsizetype i = said; i < rig.rec.status.size(); ++i) {
            if (rig.rec.status[i].startsWith(QLatin1String("No trace requested")) ||
                rig.rec.status[i].startsWith(QLatin1String("Capture discarded"))) {
                return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(waitUntil(
        [&] {
            if (want.mayGiveUp) {
                return rig.rec.captures > before || givenUp();
            }
            if (want.neverWrongSpeed && rig.state.blnConnected) {
                return true;
            }
            if (drawn) {
                return rig.rec.status.last().startsWith(status);
            }
            return rig.rec.status.size() > 0 && rig.rec.status.last().startsWith(status) &&
                   rig.rec.commErrors - boxesBefore >= want.messageBoxes;
        },
        15000))
        << row.name << ": " << describe(rig);
    if (want.neverWrongSpeed && rig.state.blnConnected) {
        EXPECT_EQ(rig.rec.panels["sbrBaudRate"], QStringLiteral("Baud: %1").arg(baud));
        RecordProperty("identified_late_on_a_busy_machine", 1);
        return;
    }
    const bool gaveUp = want.mayGiveUp && rig.rec.captures == before;
    if (gaveUp) {
        RecordProperty("stray_bytes_disturbed_the_capture", 1);
    }
    if (drawn && repeat) {
        // Store lets the capture already asked for end (its trigger wait lights yellow): the
        // light is read once the engine is idle.
        rig.engine.storeClicked(true);
        EXPECT_TRUE(waitUntil([&] { return !rig.state.blnArmed && !rig.state.blnDumping; }))
            << describe(rig);
    }
    QCoreApplication::processEvents();

    EXPECT_EQ(rig.rec.lit ? rig.rec.colour : kOff, gaveUp ? colour::kRed : want.colour)
        << describe(rig);
    EXPECT_EQ(rig.state.blnConnected, want.connected);
    // A press that had to be repeated on a busy machine may have said so in a box of its own.
    EXPECT_GE(rig.rec.commErrors - boxesBefore, want.messageBoxes);
    EXPECT_LE(rig.rec.commErrors - boxesBefore, want.messageBoxes + rig.retries - retriesBefore);
    EXPECT_EQ(rig.rec.panels["sbrFirmWare"] == QStringLiteral("Firmware: "), want.bare);
    if (!drawn) {
        // Nothing of a broken capture is drawn (one already on its way when the line is
        // pulled may be).
        EXPECT_LE(rig.rec.captures, before + (row.act == Act::Unplug ? 1 : 0)) << describe(rig);
        // Repeat mode is not re-armed behind the user's back after a fault.
        EXPECT_EQ(rig.state.blnArmed, want.colour == colour::kYellow);
    }
    if (status.startsWith(QLatin1String("No trace requested")) && rig.sim) {
        const std::string sent = rig.sim->received();
        EXPECT_EQ(sent.find('T', sent.rfind("[5]@")), std::string::npos) << "a trace was asked for";
    }
    if (row.act == Act::Unplug) {
        // With the device gone, the next Acquire finds no instrument and says so.
        rig.engine.acquireClicked();
        EXPECT_TRUE(waitUntil([&] { return rig.rec.commErrors == boxesBefore + 1; }, 5000));
        EXPECT_TRUE(rig.rec.status.last().startsWith(QLatin1String("Not connected")));
    }
    if (want.idles) {
        // Over half a second of its event loop; the simulator's thread is not the program's.
        EXPECT_LT(test::cpuShareOver(500, [&] { return rig.simCpu(); }), 0.01) << row.name;
    }

    // The fault goes; the next Acquire draws again, at the instrument's speed.
    holder.reset();
    if (row.act != Act::None || !rig.sim || rig.sim->finished()) {
        rig.plug(simOptions());
    } else {
        rig.sim->clearFaults();
    }
    if (want.colour == colour::kYellow) {
        // The trigger comes at last: the capture waiting for it is drawn.
        EXPECT_TRUE(waitUntil([&] { return rig.rec.captures > before; }, 5000)) << describe(rig);
    }
    rig.engine.setTimeRange(10);
    const int then = rig.rec.captures;
    ASSERT_TRUE(rig.drawHealthy(then + (repeat ? 3 : 1), repeat))
        << row.name << " did not recover: " << describe(rig);
    rig.engine.storeClicked(true);
    if (rig.retries > 0) {
        RecordProperty("acquire_pressed_again_on_a_busy_machine", rig.retries);
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(rig.state.blnConnected);
    EXPECT_EQ(rig.rec.panels["sbrBaudRate"], QStringLiteral("Baud: %1").arg(baud));
    EXPECT_EQ(rig.misaligned(), 0);
}

std::string cellName(const testing::TestParamInfo<Cell>& info) {
    const auto [index, mode, baud] = info.param;
    return std::string(kRows[index].name) + (mode == Mode::Single ? "_Single_" : "_Repeat_") +
           std::to_string(baud);
}

// Every row once, modes and speeds taken in turn so that each pair turns up: the ordinary
// suite's share (test_fault_matrix).
std::vector<Cell> everyRowOnce() {
    std::vector<Cell> cells;
    for (int i = 0; i < static_cast<int>(std::size(kRows)); ++i) {
        cells.emplace_back(i, i % 2 == 0 ? Mode::Single : Mode::Repeat,
                           (i / 2) % 2 == 0 ? 57600 : 115200);
    }
    return cells;
}

INSTANTIATE_TEST_SUITE_P(Line, FaultMatrix, testing::ValuesIn(everyRowOnce()), cellName);
// Every row in both modes at both speeds: the long run's (test_fault_matrix_all, make
// test-long).
INSTANTIATE_TEST_SUITE_P(AllCells, FaultMatrix,
                         testing::Combine(testing::Range(0, static_cast<int>(std::size(kRows))),
                                          testing::Values(Mode::Single, Mode::Repeat),
                                          testing::Values(57600, 115200)),
                         cellName);

} // namespace
