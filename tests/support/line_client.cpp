#include "tests/support/line_client.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace tracely::test {

LineClient::LineClient(const std::string& path, int baud) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ >= 0 && !setBaud(baud)) {
        close();
    }
}

LineClient::~LineClient() {
    close();
}

bool LineClient::setBaud(int baud) {
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) {
        return false;
    }
    ::cfmakeraw(&t);
    const speed_t s = baud == 115200 ? B115200 : baud == 57600 ? B57600 : B9600;
    ::cfsetspeed(&t, s);
    return ::tcsetattr(fd_, TCSANOW, &t) == 0;
}

bool LineClient::write(const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd_, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                pollfd p{fd_, POLLOUT, 0};
                ::poll(&p, 1, 50);
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string LineClient::readN(std::size_t n, std::chrono::milliseconds wait) {
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (out.size() < n) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            break;
        }
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0 || (p.revents & (POLLHUP | POLLERR))) {
            if (p.revents & POLLIN) {
                // drain what came before the hang-up
            } else {
                break;
            }
        }
        char buf[1024];
        const ssize_t got = ::read(fd_, buf, std::min(sizeof buf, n - out.size()));
        if (got <= 0) {
            if (got < 0 && errno == EAGAIN) {
                continue;
            }
            break;
        }
        out.append(buf, static_cast<std::size_t>(got));
    }
    return out;
}

std::string LineClient::exchange(const std::string& chars, std::chrono::milliseconds waitEach) {
    std::string answers;
    for (char c : chars) {
        write(std::string(1, c));
        answers += readN(1, waitEach);
    }
    return answers;
}

void LineClient::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace tracely::test
