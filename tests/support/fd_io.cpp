#include "tests/support/fd_io.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace tracely::test {

bool writeAll(int fd, std::string_view data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                pollfd p{fd, POLLOUT, 0};
                ::poll(&p, 1, 100);
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string readAvailable(int fd, std::chrono::milliseconds wait) {
    std::string out;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(wait.count())) <= 0) {
        return out;
    }
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) {
            return out;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
}

std::string readUpTo(int fd, std::size_t n, std::chrono::milliseconds wait) {
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (out.size() < n) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        pollfd p{fd, POLLIN, 0};
        if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) {
            break;
        }
        char buf[1024];
        const ssize_t got = ::read(fd, buf, std::min(sizeof buf, n - out.size()));
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (got <= 0) {
            break; // hung up
        }
        out.append(buf, static_cast<std::size_t>(got));
    }
    return out;
}

} // namespace tracely::test
