#pragma once

#include "sim/options.h"
#include "sim/pty_host.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace tracely::test {

// Runs the simulator's host loop on its own thread for one test.
class SimHost {
public:
    explicit SimHost(sim::Options options);
    ~SimHost();
    SimHost(const SimHost&) = delete;
    SimHost& operator=(const SimHost&) = delete;

    const std::string& path() const { return host_->slavePath(); }
    // Whether the loop has ended by itself (a hang-up fault or --exit-after-hangup).
    bool finished() const;
    void stop();

private:
    sim::Options options_;
    std::unique_ptr<sim::PtyHost> host_;
    int stopPipe_[2] = {-1, -1};
    std::thread thread_;
    std::atomic<bool> done_{false};
};

} // namespace tracely::test
