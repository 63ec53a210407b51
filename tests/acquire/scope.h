#pragma once

#include "src/acquire/acquisition_engine.h"
#include "tests/support/engine_recorder.h"
#include "tests/support/sim_host.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tracely::test {

// Identification gets more than the instrument's 10 ms to answer: on a loaded machine the
// simulator's thread may not run that soon, and no test here is about that time-out.
inline LinkTimeouts patientIdent() {
    LinkTimeouts t;
    t.identMs = 200;
    return t;
}

// For tests that provoke a stall: it is declared after a short grace instead of 3 s.
inline LinkTimeouts shortStall() {
    LinkTimeouts t = patientIdent();
    t.blockMs = 300;
    t.stallGraceMs = 200;
    return t;
}

inline sim::Options simOptions() {
    sim::Options o;
    o.pace = false;
    o.cha = sim::Waveform{sim::WaveKind::Sine, 100000.0, 1.5, 0.0};
    return o;
}

// An acquisition engine on COM1 = the simulator, with what it drew kept for comparison.
struct Scope {
    explicit Scope(sim::Options o) : sim(std::move(o)) {
        // Channel A primary on range code 3 with one channel enabled, so the level trigger at
        // 128 sees the sine (the start-up image has R14 0 until the panel computes it).
        state.bytREG_R14 = 0xFF;
        engine.setTimeRange(10);
        engine.setTimeouts(patientIdent());
        QObject::connect(&engine, &AcquisitionEngine::captureReady, &rec.ctx, [this] {
            std::string raw;
            const auto rows = static_cast<std::size_t>(std::max(state.intWriteIdx - 1, 0));
            for (std::size_t r = 0; r < rows && r < state.bytSampleBuf.size(); ++r) {
                raw += static_cast<char>(state.bytSampleBuf[r].logic);
                raw += static_cast<char>(state.bytSampleBuf[r].analog);
            }
            drawn.push_back(raw);
        });
    }

    // Every drawn capture must be, pair for pair, the start of what the simulator sent for one
    // of its traces: nothing shifted, swapped or mixed from two traces.
    int misaligned() const {
        std::map<int, std::string> sent;
        for (const SimHost::Block& b : sim.blocks()) {
            sent[b.trace] += b.bytes;
        }
        std::set<std::string> traces;
        for (const std::string& d : drawn) {
            for (const auto& [trace, bytes] : sent) {
                if (bytes.size() >= d.size()) {
                    traces.insert(bytes.substr(0, d.size()));
                }
            }
        }
        return static_cast<int>(std::count_if(drawn.begin(), drawn.end(), [&](const auto& d) {
            return d.empty() || traces.count(d) == 0;
        }));
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
