#include "src/link/serial_port.h"

#include "src/link/link_log.h"

#include <QFileInfo>
#include <QSerialPort>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace tracely {

namespace {
SerialStatus failure(SerialError e, QString detail = {}) {
    qCInfo(lcLink).noquote() << toString(e) << detail;
    return {e, std::move(detail)};
}

QString systemError(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}
} // namespace

const char* toString(SerialError e) {
    switch (e) {
    case SerialError::None:
        return "no error";
    case SerialError::NotOpen:
        return "port not open";
    case SerialError::OpenFailed:
        return "port could not be opened";
    case SerialError::Busy:
        return "port in use by another program";
    case SerialError::Timeout:
        return "read time-out";
    case SerialError::DeviceLost:
        return "device lost";
    case SerialError::WriteFailed:
        return "write failed";
    }
    return "unknown error";
}

SerialPort::SerialPort() : wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

SerialPort::~SerialPort() {
    close();
    if (wakeFd_ >= 0) {
        ::close(wakeFd_);
    }
}

bool SerialPort::isOpen() const {
    return port_ && port_->isOpen();
}

int SerialPort::fd() const {
    return isOpen() ? static_cast<int>(port_->handle()) : -1;
}

SerialStatus SerialPort::open(const QString& path, qint32 baud) {
    close();
    baud_ = baud;
    if (path.isEmpty()) {
        return failure(SerialError::OpenFailed, QStringLiteral("no device named"));
    }
    // One name per device, so that a symbolic link and its target count as the same port.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QString device = canonical.isEmpty() ? path : canonical;

    // Claim the device before anything touches its line settings: a second program must
    // find it busy and leave the first one's line as it is. An advisory lock binds even
    // programs that TIOCEXCL does not (a superuser's).
    lockFd_ = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (lockFd_ < 0) {
        const int err = errno;
        return failure(err == EBUSY ? SerialError::Busy : SerialError::OpenFailed,
                       path + QStringLiteral(": ") + systemError(err));
    }
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(lockFd_);
        lockFd_ = -1;
        return failure(SerialError::Busy, path + QStringLiteral(": in use by another program"));
    }

    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(device);
    port_->setBaudRate(baud);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!port_->open(QIODevice::ReadWrite)) {
        const bool busy = port_->error() == QSerialPort::PermissionError &&
                          port_->errorString().contains(QStringLiteral("lock"));
        const QString why = port_->errorString();
        close();
        return failure(busy ? SerialError::Busy : SerialError::OpenFailed,
                       path + QStringLiteral(": ") + why);
    }
    // Other programs (not running as superuser) cannot open the line at all while we have it.
    (void)::ioctl(fd(), TIOCEXCL);
    // Reads and writes below never block: the waits are ours, with deadlines and a wake-up.
    const int flags = ::fcntl(fd(), F_GETFL);
    if (flags >= 0) {
        (void)::fcntl(fd(), F_SETFL, flags | O_NONBLOCK);
    }
    // Some adapters power their line driver from these.
    port_->setDataTerminalReady(true);
    port_->setRequestToSend(true);
    path_ = path;
    requestLowLatency();
    discardInput(); // whatever the line held before we opened it is stale
    return {};
}

void SerialPort::requestLowLatency() {
    // Echo round trips dominate this protocol; USB adapters otherwise batch for milliseconds.
    // Not every driver knows the request (a pseudo-terminal does not): failure is fine.
    serial_struct ss{};
    if (fd() >= 0 && ::ioctl(fd(), TIOCGSERIAL, &ss) == 0) {
        ss.flags |= ASYNC_LOW_LATENCY;
        (void)::ioctl(fd(), TIOCSSERIAL, &ss);
    }
}

SerialStatus SerialPort::setBaudRate(qint32 baud) {
    baud_ = baud;
    if (!isOpen()) {
        return failure(SerialError::NotOpen);
    }
    if (!port_->setBaudRate(baud)) {
        const QString why = port_->errorString();
        port_->clearError();
        return failure(SerialError::OpenFailed, why);
    }
    return {};
}

void SerialPort::close() {
    if (port_) {
        if (port_->isOpen()) {
            port_->close();
        }
        port_.reset();
    }
    if (lockFd_ >= 0) {
        ::close(lockFd_); // releases the claim
        lockFd_ = -1;
    }
    path_.clear();
}

SerialStatus SerialPort::write(const QByteArray& data) {
    if (!isOpen()) {
        return failure(SerialError::NotOpen);
    }
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n =
            ::write(fd(), data.constData() + done, static_cast<std::size_t>(data.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EAGAIN) {
            pollfd p{fd(), POLLOUT, 0};
            if (::poll(&p, 1, 1000) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0) {
                continue;
            }
        }
        const int err = errno;
        return failure(err == EIO || err == ENXIO ? SerialError::DeviceLost
                                                  : SerialError::WriteFailed,
                       systemError(err));
    }
    written_ += static_cast<quint64>(done);
    return {};
}

SerialPort::Wait SerialPort::waitReadable(QDeadlineTimer deadline) {
    for (;;) {
        // A closed port waits for the wake-up alone (fd -1 is skipped by poll).
        pollfd fds[2] = {{fd(), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        const qint64 left = deadline.remainingTime(); // -1: forever
        const int timeout = left < 0 ? -1 : static_cast<int>(std::min<qint64>(left, 1 << 30));
        const int r = ::poll(fds, 2, timeout);
        if (r < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Wait::Lost;
        }
        if (fds[1].revents & POLLIN) {
            std::uint64_t n = 0;
            (void)!::read(wakeFd_, &n, sizeof n);
            return Wait::Woken;
        }
        if (isOpen() && (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL))) {
            // The last bytes before a hang-up still count; after them the line is gone.
            int waiting = 0;
            if (::ioctl(fd(), FIONREAD, &waiting) == 0 && waiting > 0) {
                return Wait::Data;
            }
            return Wait::Lost;
        }
        if (fds[0].revents & POLLIN) {
            return Wait::Data;
        }
        if (r == 0) {
            return Wait::Timeout;
        }
    }
}

QByteArray SerialPort::readAvailable(SerialStatus* status) {
    if (status) {
        *status = {};
    }
    QByteArray out;
    if (!isOpen()) {
        if (status) {
            *status = failure(SerialError::NotOpen);
        }
        return out;
    }
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd(), buf, sizeof buf);
        if (n > 0) {
            out.append(buf, n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        // A raw line with no minimum count reads 0 when nothing is there.
        if (n == 0 || errno == EAGAIN) {
            break;
        }
        // An I/O error: the far end is gone.
        if (out.isEmpty() && status) {
            *status = failure(SerialError::DeviceLost, systemError(errno));
        }
        break;
    }
    read_ += static_cast<quint64>(out.size());
    return out;
}

void SerialPort::discardInput() {
    if (isOpen()) {
        ::tcflush(fd(), TCIFLUSH);
    }
}

void SerialPort::wake() {
    const std::uint64_t one = 1;
    (void)!::write(wakeFd_, &one, sizeof one);
}

} // namespace tracely
