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
    std::uint64_t received_ = 0;
    std::uint64_t garbageCount_ = 0;
    int lineBaud_ = 57600;
};

} // namespace tracely::sim
