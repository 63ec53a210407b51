#pragma once

#include "tests/support/pty_pair.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace tracely::test {

// Plays a scripted instrument on the master side of a pseudo-terminal, on its own thread, so
// that code blocking in a synchronous read on the GUI thread gets its answers. `reply` maps each
// received byte to what goes back (the echo, a wrong echo, nothing ...).
class FarEnd {
public:
    using Reply = std::function<std::string(char)>;

    explicit FarEnd(PtyPair& pty, Reply reply);
    ~FarEnd();
    FarEnd(const FarEnd&) = delete;
    FarEnd& operator=(const FarEnd&) = delete;

    // Everything received so far.
    std::string received() const;
    void stop();

private:
    void run();

    PtyPair& pty_;
    Reply reply_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::string received_;
    std::thread thread_;
};

} // namespace tracely::test
