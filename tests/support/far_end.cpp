#include "tests/support/far_end.h"

#include <chrono>

namespace tracely::test {

FarEnd::FarEnd(PtyPair& pty, Reply reply) : pty_(pty), reply_(std::move(reply)) {
    thread_ = std::thread([this] { run(); });
}

FarEnd::~FarEnd() {
    stop();
}

void FarEnd::stop() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::string FarEnd::received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

void FarEnd::run() {
    while (!stop_) {
        const std::string in = pty_.read(std::chrono::milliseconds(10));
        for (char c : in) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                received_ += c;
            }
            const std::string out = reply_(c);
            if (!out.empty()) {
                pty_.write(out);
            }
        }
    }
}

} // namespace tracely::test
