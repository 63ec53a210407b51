#pragma once

#include "sim/capture_model.h"
#include "sim/options.h"
#include "sim/pacer.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace tracely::sim {

// The instrument's command engine, free of any I/O: bytes come in with the time they arrived
// and the line speed, answers go to the pacer, and tick() lets time pass for a trace waiting
// for its trigger. Times are seconds on one monotonic clock.
class Instrument {
public:
    Instrument(const Options& options, Pacer& out);

    // Sees every dump block as the instrument produced it, before a fault cuts it short:
    // traceNo counts the trace requests answered (0 before the first), blockNo the blocks since
    // the latest trace request (1-based), bytes are the 512 sample bytes (logic, analog pairs).
    using BlockObserver = std::function<void(int traceNo, int blockNo, const std::string& bytes)>;
    // Sees every character received from the program, in order.
    using ReceiveObserver = std::function<void(char c)>;
    void setBlockObserver(BlockObserver observer) { blockObserver_ = std::move(observer); }
    void setReceiveObserver(ReceiveObserver observer) { receiveObserver_ = std::move(observer); }
    // Hears of every fault --chaos injects, in words.
    using FaultObserver = std::function<void(const std::string& what)>;
    void setFaultObserver(FaultObserver observer) { faultObserver_ = std::move(observer); }

    // The fault is gone: every configured fault and --chaos stop for good.
    void clearFaults();
    std::uint64_t chaosFaults() const { return chaosFaults_; }

    void receive(char c, double now, int lineBaud);
    void tick(double now);
    // When tick() next has something to do; nothing when no trace is pending.
    std::optional<double> nextEvent() const;
    // The program closed the line: whatever was under way is dropped.
    void lineClosed();

    bool tracePending() const { return trace_.has_value(); }
    std::uint8_t reg(int n) const { return regs_[static_cast<std::size_t>(n & 0xFF)]; }
    std::uint16_t dumpAddress() const { return dumpAddress_; }
    std::uint64_t charactersReceived() const { return received_; }

    // How often a pending trace searches on for its trigger, and how far ahead of the clock.
    static constexpr double kSearchInterval = 0.05;
    static constexpr std::int64_t kSearchSamplesPerTick = 200000;

private:
    struct Capture {
        double dt = 4e-8;
        std::int64_t triggerSample = 0;
        std::uint16_t triggerAddress = 0;
        AdcSetup adc;
    };
    struct Trace {
        CaptureTiming timing;
        AdcSetup adc;
        TriggerSetup trigger;
        std::int64_t searchFrom = 0;
        std::optional<std::int64_t> found;
        double answerDue = 0.0;
        double nextSearch = 0.0;
    };

    void command(char c, double now);
    void echo(char c, double now);
    void startTrace(double now, int lineBaud);
    void searchStep(double now);
    void answerTrace(double now);
    void sendDumpBlock(double now);
    void sendGarbage(double now, int count);
    char garbageFor(char c);
    // At a trace request: draws this trace's chaos fault.
    void traceRequested();
    // Sleeping faults wake with the first register programming after enough dumps.
    void wakeFaults(char c);
    bool triggerWithheld() const { return o_.noTrigger || faults_.noTrigger; }
    void drawChaos();

    // What --chaos gave the current trace; positions count command characters after its "T".
    struct TraceFault {
        int wrongEchoAt = 0;
        int lateEchoAt = 0;
        double lateEchoMs = 0.0;
        int lostAt = 0; // this character never reaches the instrument
        int answerLength = 0;
        int shortBlock = 0;
        bool garbage = false;
    };

    const Options& o_;
    Pacer& out_;
    SignalSource source_;
    RegisterFile regs_{};
    int selected_ = 0;
    int number_ = 0;
    bool addressWritten_ = false;
    std::uint16_t dumpAddress_ = 0;
    std::optional<Trace> trace_;
    Capture memory_;
    int blocksThisTrace_ = 0;
    int tracesAnswered_ = 0;
    std::int64_t sinceTrace_ = -1; // command characters since the latest "T"; -1 before any
    BlockObserver blockObserver_;
    ReceiveObserver receiveObserver_;
    FaultObserver faultObserver_;
    Faults faults_;                // in force now
    bool faultsAsleep_ = false;    // --faults-after has not yet passed
    std::uint64_t faultsFrom_ = 0; // characters received when they woke
    int traceRequests_ = 0;
    int tracesDumped_ = 0;
    char last_ = 0;
    bool chaosOn_ = false;
    TraceFault once_;
    std::uint64_t chaosFaults_ = 0;
    std::uint64_t received_ = 0;
    std::uint64_t garbageCount_ = 0;
    int lineBaud_ = 57600;
};

} // namespace tracely::sim
