#include "tests/support/sim_host.h"

#include <fcntl.h>
#include <unistd.h>

namespace tracely::test {

SimHost::SimHost(sim::Options options) : options_(std::move(options)) {
    host_ = std::make_unique<sim::PtyHost>(options_);
    host_->open();
    // Set before the thread starts; from then on only the host thread calls them.
    host_->instrument().setBlockObserver([this](int trace, int block, const std::string& bytes) {
        const std::lock_guard lock(mutex_);
        blocks_.push_back({trace, block, bytes});
    });
    host_->instrument().setReceiveObserver([this](char c) {
        const std::lock_guard lock(mutex_);
        received_ += c;
    });
    if (::pipe2(stopPipe_, O_CLOEXEC) != 0) {
        stopPipe_[0] = stopPipe_[1] = -1;
    }
    thread_ = std::thread([this] {
        host_->run(stopPipe_[0]);
        done_ = true;
    });
}

SimHost::~SimHost() {
    stop();
    for (int fd : stopPipe_) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool SimHost::finished() const {
    return done_;
}

std::vector<SimHost::Block> SimHost::blocks() const {
    const std::lock_guard lock(mutex_);
    return blocks_;
}

std::string SimHost::received() const {
    const std::lock_guard lock(mutex_);
    return received_;
}

void SimHost::stop() {
    if (thread_.joinable()) {
        const char c = 'x';
        (void)!::write(stopPipe_[1], &c, 1);
        thread_.join();
    }
}

} // namespace tracely::test
