#include "tests/support/sim_host.h"

#include <fcntl.h>
#include <unistd.h>

namespace tracely::test {

SimHost::SimHost(sim::Options options) : options_(std::move(options)) {
    host_ = std::make_unique<sim::PtyHost>(options_);
    host_->open();
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

void SimHost::stop() {
    if (thread_.joinable()) {
        const char c = 'x';
        (void)!::write(stopPipe_[1], &c, 1);
        thread_.join();
    }
}

} // namespace tracely::test
