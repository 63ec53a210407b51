#include "tests/acquire/scope.h"
#include "tests/support/wait.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

using namespace tracely;
using tracely::test::EngineRecorder;
using tracely::test::Scope;
using tracely::test::simOptions;
using tracely::test::waitUntil;

// Repeat mode on lines as they are in the field: late, split, jittery, with echoes that come
// after their time-out and stray bytes. Every drawn capture is compared with what the
// simulator sent, and repeat mode must keep going.
namespace {

struct LineCase {
    const char* name;
    std::function<void(sim::Options&)> line;
    int captures; // drawn before the run counts as riding through
    bool keepRepeating;
    bool faultsExpected; // whether discarded captures are part of the picture
};

void runRepeat(const LineCase& c) {
    sim::Options o = simOptions();
    o.seed = 7;
    c.line(o);
    Scope scope(o);
    if (c.faultsExpected) { // late echoes must still miss the protocol's time-outs
        scope.engine.setTimeouts(tracely::test::protocolEchoes());
    }
    scope.engine.setKeepRepeating(c.keepRepeating);
    scope.engine.sampleModeChanged(true);
    scope.engine.acquireClicked();
    // Bounded by the link going down too: a run that cannot ride through ends there.
    waitUntil(
        [&] {
            return scope.rec.captures >= c.captures || scope.rec.commErrors > 0 ||
                   (!scope.rec.status.isEmpty() &&
                    scope.rec.status.last().startsWith(QStringLiteral("Link lost")));
        },
        60000);
    const bool rode = scope.rec.captures >= c.captures;
    scope.engine.storeClicked(true);
    EXPECT_TRUE(rode) << c.name << ": repeat mode stopped after " << scope.rec.captures
                      << " captures; " << scope.rec.status.join(" | ").toStdString();
    EXPECT_EQ(scope.misaligned(), 0) << c.name;
    if (rode) {
        EXPECT_TRUE(
            scope.rec.status.contains(QStringLiteral("Running: %1 captures").arg(c.captures)))
            << c.name;
    }
    const LinkHealth& h = scope.engine.health();
    EXPECT_GE(h.captures, static_cast<quint64>(c.captures)) << c.name;
    if (c.faultsExpected) {
        EXPECT_GT(h.discarded + h.line.lateEchoes + h.line.strayBytes, 0u) << c.name;
    } else {
        EXPECT_EQ(h.discarded, 0u) << c.name << ": " << h.lastFault.toStdString();
        EXPECT_EQ(h.line.echoMismatches, 0u) << c.name;
    }
}

} // namespace

TEST(LineFaults, LatencyJitterAndSplitRepliesNeverMisalignACapture) {
    const LineCase cases[] = {
        {"latency 1 ms", [](sim::Options& o) { o.latencyMs = 1.0; }, 20, false, false},
        {"jitter 2 ms", [](sim::Options& o) { o.jitterMs = 2.0; }, 30, false, false},
        {"split replies", [](sim::Options& o) { o.split = true; }, 40, false, false},
        {"all three",
         [](sim::Options& o) {
             o.latencyMs = 0.5;
             o.jitterMs = 1.0;
             o.split = true;
         },
         20, false, false},
    };
    for (const LineCase& c : cases) {
        runRepeat(c);
    }
}

TEST(LineFaults, LateEchoesAreTakenAsThemselves) {
    // The sixth character after each trace request is in the dump request, whose echoes have
    // 5 ms: its echo comes 30 ms late, every time, and every capture must still be right.
    const LineCase inDumpRequest{"late echo in the dump request",
                                 [](sim::Options& o) {
                                     o.faults.lateEchoAt = 6;
                                     o.faults.lateEchoMs = 30.0;
                                 },
                                 30, false, true};
    runRepeat(inDumpRequest);
    // The fortieth falls in the next register programming, past its 500 ms: that capture is
    // not requested, and with the option on repeat mode re-arms by itself.
    const LineCase inProgramming{"late echo in the register programming",
                                 [](sim::Options& o) {
                                     o.faults.lateEchoAt = 40;
                                     o.faults.lateEchoMs = 600.0;
                                 },
                                 6, true, true};
    runRepeat(inProgramming);
}

TEST(LineFaults, StrayBytesAfterEveryAnswer) {
    runRepeat({"garbage", [](sim::Options& o) { o.faults.garbage = true; }, 15, true, true});
}

TEST(LineFaults, WithoutTheOptionAFailedCaptureEndsRepeatModeAndSaysWhy) {
    sim::Options o = simOptions();
    o.faults.lateEchoAt = 40;
    o.faults.lateEchoMs = 600.0;
    Scope scope(o);
    scope.engine.setTimeouts(tracely::test::protocolEchoes()); // the late echo must miss 500 ms
    scope.engine.sampleModeChanged(true);
    scope.engine.acquireClicked();
    ASSERT_TRUE(waitUntil([&] { return scope.engine.health().discarded == 1; }, 10000));
    EXPECT_EQ(scope.rec.captures, 1);
    EXPECT_EQ(scope.rec.colour, colour::kRed);
    EXPECT_TRUE(scope.rec.status.last().startsWith("No trace requested"))
        << scope.rec.status.join(" | ").toStdString();
    EXPECT_EQ(scope.engine.health().line.timeouts, 1u);
    QCoreApplication::processEvents(); // a re-arm would have come with the failure
    EXPECT_FALSE(scope.state.blnArmed);
}

TEST(LineFaults, RepeatGivesUpAfterFiveFailuresInARowAndKeepsTheTrace) {
    // Every trace answer is cut short: each capture stalls until its time runs out.
    sim::Options o = simOptions();
    o.faults.answerLength = 4;
    Scope scope(o);
    scope.engine.setTimeouts(tracely::test::shortStall());
    scope.engine.setKeepRepeating(true);
    scope.engine.sampleModeChanged(true);
    scope.engine.acquireClicked();
    ASSERT_TRUE(waitUntil(
        [&] { return scope.rec.status.last().startsWith("Repeat stopped after 5"); }, 40000))
        << scope.rec.status.join(" | ").toStdString();
    EXPECT_EQ(scope.engine.health().discarded, 5u);
    EXPECT_EQ(scope.rec.colour, colour::kRed);
    EXPECT_TRUE(scope.rec.status.last().contains("stopped arriving"));
    QCoreApplication::processEvents();
    EXPECT_FALSE(scope.state.blnArmed);
}

TEST(LineFaults, AFrozenInstrumentNeverFreezesThePanel) {
    // The real simulator, stopped with SIGSTOP after a good capture.
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("scope"));
    QProcess sim;
    sim.start(QStringLiteral(TRACELY_SIM_BINARY),
              {QStringLiteral("--link"), link, QStringLiteral("--cha"),
               QStringLiteral("sine 100kHz 1.5V")});
    ASSERT_TRUE(sim.waitForStarted(5000));
    ASSERT_TRUE(waitUntil([&] { return sim.canReadLine(); }, 5000));
    FrontPanelState state;
    state.bytREG_R14 = 0xFF;
    AcquisitionEngine engine(
        state, [&](int n) { return n == 1 ? link : QStringLiteral("/dev/null-port"); });
    engine.setTimeRange(10);
    engine.setTimeouts(tracely::test::patient());
    EngineRecorder rec(engine);
    engine.acquireClicked();
    ASSERT_TRUE(waitUntil([&] { return rec.captures == 1; }, 10000));
    // Frozen, it echoes nothing: each character of the next programming waits 100 ms, and
    // the whole is given up after a second, by when the stopped process holds several.
    LinkTimeouts frozen = tracely::test::shortStall();
    frozen.programMs = 100;
    engine.setTimeouts(frozen);

    ::kill(static_cast<pid_t>(sim.processId()), SIGSTOP);
    int ticks = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] { ++ticks; });
    probe.start(10);
    engine.acquireClicked();
    ASSERT_TRUE(waitUntil([&] { return !state.blnConnected; }, 10000));
    // The panel went on all along, and says what happened.
    EXPECT_GT(ticks, 20);
    EXPECT_EQ(rec.colour, colour::kRed);
    EXPECT_TRUE(rec.lit);
    EXPECT_TRUE(rec.status.last().contains("stopped answering")) << rec.status.last().toStdString();
    EXPECT_EQ(rec.panels["sbrFirmWare"], "Firmware: ");
    EXPECT_FALSE(state.blnArmed);

    // Woken again, the next Acquire finds it and draws.
    ::kill(static_cast<pid_t>(sim.processId()), SIGCONT);
    engine.acquireClicked();
    EXPECT_TRUE(waitUntil([&] { return rec.captures == 2; }, 10000))
        << rec.status.join(" | ").toStdString();
    sim.terminate();
    sim.waitForFinished(5000);
}

TEST(LineFaults, ASecondProgramOnThePortIsRefusedAndTheFirstGoesOn) {
    Scope first(simOptions());
    first.engine.sampleModeChanged(true);
    first.engine.acquireClicked();
    ASSERT_TRUE(waitUntil([&] { return first.rec.captures >= 2; }, 10000));
    const std::int32_t baud = first.state.lngBaudRate;

    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("same-port"));
    ASSERT_TRUE(QFile::link(QString::fromStdString(first.sim.path()), link));
    for (const QString& path : {QString::fromStdString(first.sim.path()), link}) {
        FrontPanelState state;
        AcquisitionEngine second(
            state, [&](int n) { return n == 1 ? path : QStringLiteral("/dev/null-port"); });
        EngineRecorder rec(second);
        second.acquireClicked();
        ASSERT_TRUE(waitUntil([&] { return rec.commErrors == 1; }, 5000));
        EXPECT_FALSE(state.blnConnected);
        EXPECT_TRUE(rec.status.last().contains("busy")) << rec.status.last().toStdString();
        EXPECT_TRUE(rec.status.last().contains(path)) << rec.status.last().toStdString();
    }
    const int before = first.rec.captures;
    EXPECT_TRUE(waitUntil([&] { return first.rec.captures >= before + 3; }, 10000));
    first.engine.storeClicked(true);
    EXPECT_TRUE(first.state.blnConnected);
    EXPECT_EQ(first.state.lngBaudRate, baud);
    EXPECT_EQ(first.misaligned(), 0);
    EXPECT_EQ(first.engine.health().discarded, 0u);
}
