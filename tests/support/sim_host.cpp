#include "tests/support/sim_host.h"

#include <fcntl.h>
#include <pthread.h>
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
    if (::pipe2(controlPipe_, O_CLOEXEC) != 0) {
        controlPipe_[0] = controlPipe_[1] = -1;
    }
    thread_ = std::thread([this] {
        clockid_t id{};
        if (::pthread_getcpuclockid(::pthread_self(), &id) == 0) {
            clock_ = id;
            clockKnown_ = true;
        }
        host_->run(stopPipe_[0], controlPipe_[0]);
        timespec ts{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        cpuAtEnd_ = static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
        done_ = true;
    });
}

SimHost::~SimHost() {
    stop();
    for (int fd : {stopPipe_[0], stopPipe_[1], controlPipe_[0], controlPipe_[1]}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool SimHost::finished() const {
    return done_;
}

void SimHost::clearFaults() {
    const char c = 'c';
    (void)!::write(controlPipe_[1], &c, 1);
}

double SimHost::cpuSeconds() const {
    timespec ts{};
    if (done_ || !clockKnown_ || ::clock_gettime(clock_, &ts) != 0) {
        return cpuAtEnd_;
    }
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
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
