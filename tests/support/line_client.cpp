#include "tests/support/line_client.h"

#include "tests/support/fd_io.h"

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
    return writeAll(fd_, data);
}

std::string LineClient::readN(std::size_t n, std::chrono::milliseconds wait) {
    return readUpTo(fd_, n, wait);
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
