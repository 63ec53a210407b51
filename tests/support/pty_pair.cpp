#include "tests/support/pty_pair.h"

#include "tests/support/fd_io.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace tracely::test {

PtyPair::PtyPair() {
    char name[256] = {};
    int master = -1;
    int slave = -1;
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&master, &slave, name, &raw, nullptr) != 0) {
        return;
    }
    master_ = master;
    slaveKeep_ = slave;
    slavePath_ = name;
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyPair::~PtyPair() {
    hangUp();
}

bool PtyPair::write(const std::string& data) {
    return writeAll(master_, data);
}

std::string PtyPair::read(std::chrono::milliseconds wait) {
    return readAvailable(master_, wait);
}

std::string PtyPair::readN(std::size_t n, std::chrono::milliseconds wait) {
    return readUpTo(master_, n, wait);
}

void PtyPair::hangUp() {
    if (slaveKeep_ >= 0) {
        ::close(slaveKeep_);
        slaveKeep_ = -1;
    }
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

} // namespace tracely::test
