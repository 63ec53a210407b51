#include "sim/pty_host.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

namespace tracely::sim {

namespace {

// While nobody has the line open the master reports a hang-up on every poll, so the loop waits
// for the terminal being opened (inotify) instead, and looks again at this interval in case
// the notice is missed.
constexpr int kIdlePollMs = 20;
constexpr double kHangUpGraceS = 0.1;

long long monotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int speedOf(speed_t s) {
    switch (s) {
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    case B230400:
        return 230400;
    case B460800:
        return 460800;
    case B921600:
        return 921600;
    default:
        return 0;
    }
}

LineDelays delaysOf(const Options& o) {
    return LineDelays{o.latencyMs / 1000.0, o.jitterMs / 1000.0, o.split, o.seed};
}

} // namespace

PtyHost::PtyHost(const Options& options)
    : o_(options), pacer_(options.pace, delaysOf(options)), instrument_(options, pacer_),
      startNs_(monotonicNs()) {}

PtyHost::~PtyHost() {
    if (master_ >= 0) {
        ::close(master_);
    }
    if (opened_ >= 0) {
        ::close(opened_);
    }
}

void PtyHost::drainOpenNotices() {
    alignas(inotify_event) char buf[4096];
    while (::read(opened_, buf, sizeof buf) > 0) {
    }
}

double PtyHost::now() const {
    return static_cast<double>(monotonicNs() - startNs_) * 1e-9;
}

std::string PtyHost::open() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        return std::string("cannot open a pseudo-terminal: ") + std::strerror(errno);
    }
    char name[128] = {};
    if (::ptsname_r(master_, name, sizeof name) != 0) {
        return std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
    }
    slavePath_ = name;
    // A raw line from the start, as a serial port: no echo or line editing by the terminal.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave >= 0) {
        termios t{};
        if (::tcgetattr(slave, &t) == 0) {
            ::cfmakeraw(&t);
            ::cfsetspeed(&t, B57600);
            ::tcsetattr(slave, TCSANOW, &t);
        }
        ::close(slave);
    }
    // Told when the program opens or closes the terminal (after our own open above).
    opened_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (opened_ >= 0 && ::inotify_add_watch(opened_, name, IN_OPEN | IN_CLOSE) < 0) {
        ::close(opened_);
        opened_ = -1;
    }
    return {};
}

int PtyHost::lineBaud() const {
    termios t{};
    // On Linux the master reports the settings the program made on its end.
    if (::tcgetattr(master_, &t) != 0) {
        return 0;
    }
    return speedOf(::cfgetospeed(&t));
}

bool PtyHost::programConnected() const {
    pollfd p{master_, POLLIN, 0};
    return ::poll(&p, 1, 0) >= 0 && (p.revents & POLLHUP) == 0;
}

void PtyHost::readInput(double t) {
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0) {
            return;
        }
        const int baud = lineBaud();
        for (ssize_t i = 0; i < n; ++i) {
            instrument_.receive(buf[i], t, baud);
        }
    }
}

bool PtyHost::flushOutput(double t) {
    pendingWrite_ += pacer_.takeDue(t);
    while (!pendingWrite_.empty()) {
        const ssize_t n = ::write(master_, pendingWrite_.data(), pendingWrite_.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno == EAGAIN; // the program is not reading: keep the rest
        }
        pendingWrite_.erase(0, static_cast<std::size_t>(n));
    }
    return true;
}

PtyHost::Turn PtyHost::serveLine(double t) {
    instrument_.tick(t);
    if (!flushOutput(t)) {
        return {Turn::Again, 0};
    }
    if (pacer_.hangUpDue(t)) {
        // A hang-up fault: the line goes away with us, once the program has had a moment to
        // take in the last bytes (closing the master flushes them).
        if (!closeAt_) {
            closeAt_ = t + kHangUpGraceS;
        } else if (t >= *closeAt_) {
            ::close(master_);
            master_ = -1;
            return {Turn::Closed, 0};
        }
    }
    std::optional<double> next = closeAt_ ? closeAt_ : pacer_.nextDue();
    if (const auto e = instrument_.nextEvent(); e && (!next || *e < *next)) {
        next = e;
    }
    int timeoutMs = next ? static_cast<int>(std::ceil(std::max(0.0, *next - t) * 1000.0)) : -1;
    if (timeoutMs < 0 || timeoutMs > 1000) {
        timeoutMs = 1000;
    }
    return {Turn::Wait, timeoutMs};
}

timespec PtyHost::waitFor(bool connected, double t, int timeoutMs) const {
    // Sub-millisecond waits matter at these speeds (a byte is 87 us at 115200).
    std::optional<double> due = closeAt_ ? closeAt_ : pacer_.nextDue();
    timespec ts{};
    const double waitS = connected && due ? std::max(0.0, std::min(*due - t, timeoutMs / 1000.0))
                                          : timeoutMs / 1000.0;
    ts.tv_sec = static_cast<time_t>(waitS);
    ts.tv_nsec = static_cast<long>((waitS - static_cast<double>(ts.tv_sec)) * 1e9);
    return ts;
}

int PtyHost::run(int stopFd, int controlFd) {
    bool connected = false;
    for (;;) {
        const bool nowConnected = programConnected();
        if (connected && !nowConnected) {
            instrument_.lineClosed();
            pendingWrite_.clear();
            if (o_.exitAfterHangUp) {
                return 0;
            }
        }
        connected = nowConnected;

        const double t = now();
        int timeoutMs = kIdlePollMs;
        if (connected) {
            const Turn turn = serveLine(t);
            if (turn.what == Turn::Again) {
                continue;
            }
            if (turn.what == Turn::Closed) {
                return 0;
            }
            timeoutMs = turn.timeoutMs;
        }

        pollfd fds[3] = {{stopFd, POLLIN, 0}, {master_, POLLIN, 0}, {controlFd, POLLIN, 0}};
        if (connected && !pendingWrite_.empty()) {
            fds[1].events |= POLLOUT;
        }
        if (!connected) {
            // The program opening the terminal; nothing to watch there without an inotify
            // descriptor (poll skips a negative one).
            fds[1] = {opened_ < 0 ? -1 : opened_, POLLIN, 0};
        }
        const timespec ts = waitFor(connected, t, timeoutMs);
        const int r = ::ppoll(fds, 3, &ts, nullptr);
        if (r < 0 && errno != EINTR) {
            return 1;
        }
        if (fds[0].revents & POLLIN) {
            return 0;
        }
        if (fds[2].revents & POLLIN) {
            char buf[512]; // a few signalfd records, or a pipe's bytes: one read takes them
            (void)!::read(controlFd, buf, sizeof buf);
            instrument_.clearFaults();
        }
        if (!connected && (fds[1].revents & POLLIN)) {
            drainOpenNotices();
            continue;
        }
        if (connected && (fds[1].revents & POLLIN)) {
            readInput(now());
        }
    }
}

} // namespace tracely::sim
