#pragma once

#include "src/acquire/acquisition_engine.h"
#include "tests/support/engine_recorder.h"
#include "tests/support/sim_host.h"
#include "tests/support/wait.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tracely::test {

// Generous time-outs where no test is about them: on a machine busy with other work the
// simulator's thread may not echo within 500 ms (5 ms in the dump request), nor a register
// programming on a jittery line finish within its line time and 3 s.
inline LinkTimeouts patient() {
    LinkTimeouts t;
    t.programMs = 2000;
    t.dumpRequestMs = 200;
    t.stallGraceMs = 10000;
    return t;
}

// For tests that provoke a stall: it is declared after one second instead of three.
inline LinkTimeouts shortStall() {
    LinkTimeouts t = patient();
    t.stallGraceMs = 1000;
    return t;
}

// The protocol's own time-outs: for tests whose faults must miss them.
inline LinkTimeouts protocolEchoes() {
    return LinkTimeouts{};
}

// The capture as drawn, logic and analog byte of each row in turn, as the simulator sent them.
inline std::string drawnBytes(const FrontPanelState& state) {
    std::string raw;
    const auto rows = static_cast<std::size_t>(std::max(state.intWriteIdx - 1, 0));
    for (std::size_t r = 0; r < rows && r < state.bytSampleBuf.size(); ++r) {
        raw += static_cast<char>(state.bytSampleBuf[r].logic);
        raw += static_cast<char>(state.bytSampleBuf[r].analog);
    }
    return raw;
}

// The share of one core this process used while its event loop ran for `ms` of wall time,
// less the CPU time `others` says threads that are not the program's (a simulator's) used.
inline double cpuShareOver(
    int ms, const std::function<double()>& others = [] { return 0.0; }) {
    const auto cpu = [&] {
        timespec ts{};
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9 - others();
    };
    const double cpu0 = cpu();
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return (cpu() - cpu0) / (static_cast<double>(wall.nsecsElapsed()) * 1e-9);
}

// How many drawn captures are not, pair for pair, the start of what was sent for one trace:
// anything shifted, swapped or mixed from two traces.
template <class Key>
int misaligned(const std::vector<std::string>& drawn, const std::map<Key, std::string>& sent) {
    return static_cast<int>(std::count_if(drawn.begin(), drawn.end(), [&](const std::string& d) {
        return d.empty() || std::none_of(sent.begin(), sent.end(), [&](const auto& trace) {
                   return trace.second.compare(0, d.size(), d) == 0;
               });
    }));
}

inline sim::Options simOptions() {
    sim::Options o;
    o.pace = false;
    o.cha = sim::Waveform{sim::WaveKind::Sine, 100000.0, 1.5, 0.0};
    return o;
}

// The simulator program on `link` with a 100 kHz sine on channel A, paced: true once it says
// it is listening.
inline bool startSimProgram(QProcess& sim, const QString& link, const QStringList& more = {}) {
    sim.start(QStringLiteral(TRACELY_SIM_BINARY),
              QStringList{QStringLiteral("--link"), link, QStringLiteral("--cha"),
                          QStringLiteral("sine 100kHz 1.5V")} +
                  more);
    return sim.waitForStarted(5000) && waitUntil([&] { return sim.canReadLine(); }, 5000);
}

// An acquisition engine on COM1 = the simulator, with what it drew kept for comparison.
struct Scope {
    explicit Scope(sim::Options o) : sim(std::move(o)) {
        // Channel A primary on range code 3 with one channel enabled, so the level trigger at
        // 128 sees the sine (the start-up image has R14 0 until the panel computes it).
        state.bytREG_R14 = 0xFF;
        engine.setTimeRange(10);
        engine.setTimeouts(patient());
        QObject::connect(&engine, &AcquisitionEngine::captureReady, &rec.ctx,
                         [this] { drawn.push_back(drawnBytes(state)); });
    }

    int misaligned() const {
        std::map<int, std::string> sent;
        for (const SimHost::Block& b : sim.blocks()) {
            sent[b.trace] += b.bytes;
        }
        return test::misaligned(drawn, sent);
    }

    SimHost sim;
    FrontPanelState state;
    AcquisitionEngine engine{state, [this](int n) {
                                 return n == 1 ? QString::fromStdString(sim.path())
                                               : QStringLiteral("/dev/null-port");
                             }};
    EngineRecorder rec{engine};
    std::vector<std::string> drawn;
};

} // namespace tracely::test
