#pragma once

#include "sim/options.h"
#include "sim/pty_host.h"

#include <atomic>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tracely::test {

// Runs the simulator's host loop on its own thread for one test, and records what went over
// the line so a test can compare it with what the program made of it.
class SimHost {
public:
    struct Block {
        int trace;         // trace requests answered so far: 1 for the first trace's blocks
        int block;         // 1-based, counted from the latest trace request
        std::string bytes; // the 512 sample bytes as produced, before any fault cut them short
    };

    explicit SimHost(sim::Options options);
    ~SimHost();
    SimHost(const SimHost&) = delete;
    SimHost& operator=(const SimHost&) = delete;

    const std::string& path() const { return host_->slavePath(); }
    // Whether the loop has ended by itself (a hang-up fault or --exit-after-hangup).
    bool finished() const;
    void stop();
    // The fault is gone: every fault the options set stops, from the next byte on.
    void clearFaults();
    // CPU time the simulator's thread has used, so a test can tell it from the program's.
    double cpuSeconds() const;

    // Safe to call while the loop runs.
    std::vector<Block> blocks() const;
    std::string received() const; // every character the program sent, in order

private:
    sim::Options options_;
    std::unique_ptr<sim::PtyHost> host_;
    int stopPipe_[2] = {-1, -1};
    int controlPipe_[2] = {-1, -1};
    std::thread thread_;
    std::atomic<bool> done_{false};
    std::atomic<clockid_t> clock_{CLOCK_THREAD_CPUTIME_ID}; // the thread's, once it runs
    std::atomic<bool> clockKnown_{false};
    std::atomic<double> cpuAtEnd_{0.0};
    mutable std::mutex mutex_;
    std::vector<Block> blocks_;
    std::string received_;
};

} // namespace tracely::test
