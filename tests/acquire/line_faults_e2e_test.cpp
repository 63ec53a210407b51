#include "tests/acquire/scope.h"
#include "tests/support/wait.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>

using namespace tracely;
using tracely::test::EngineRecorder;
using tracely::test::Scope;
using tracely::test::simOptions;
using tracely::test::waitUntil;

// Repeat mode with echoes that come after their time-out, failures in a row, a frozen
// instrument. Every drawn capture is compared with what the simulator sent. Latency, jitter,
// split replies, stray bytes and a second program on the port are the fault matrix's.
TEST(LineFaults, LateEchoesAreTakenAsThemselves) {
    const struct {
        const char* name;
        int at;       // the character after each trace request whose echo comes late
        double ms;    // by how much
        int captures; // drawn before the run counts as riding through
        bool keepRepeating;
    } cases[] = {
        // In the dump request, whose echoes have 5 ms: every capture must still be right.
        {"in the dump request", 6, 30.0, 30, false},
        // In the next register programming, past its 500 ms: that capture is not requested,
        // and with the option on repeat mode re-arms by itself.
        {"in the register programming", 40, 600.0, 6, true},
    };
    for (const auto& c : cases) {
        sim::Options o = simOptions();
        o.seed = 7;
        o.faults.lateEchoAt = c.at;
        o.faults.lateEchoMs = c.ms;
        Scope scope(o);
        scope.engine.setTimeouts(tracely::test::protocolEchoes()); // the echoes must miss
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
        scope.engine.storeClicked(true);
        EXPECT_TRUE(
            scope.rec.status.contains(QStringLiteral("Running: %1 captures").arg(c.captures)))
            << c.name << ": " << scope.rec.status.join(" | ").toStdString();
        EXPECT_EQ(scope.misaligned(), 0) << c.name;
        const LinkHealth& h = scope.engine.health();
        EXPECT_GT(h.discarded + h.line.lateEchoes, 0u) << c.name;
    }
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
    LinkTimeouts t = tracely::test::shortStall();
    t.stallGraceMs = 400; // five stalls in a row
    scope.engine.setTimeouts(t);
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
    ASSERT_TRUE(tracely::test::startSimProgram(sim, link));
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
