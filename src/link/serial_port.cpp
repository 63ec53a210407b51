#include "src/link/serial_port.h"

#include <QDeadlineTimer>

#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>

namespace tracely {

namespace {
// Poll interval of the hang-up watch; a vanished device raises no reliable event on Linux.
constexpr int kWatchdogMs = 100;
// How long a text-mode read waits for the line to fall quiet once it has its bytes: many
// character times at the slowest speed, and short beside any answer the program waits for.
constexpr int kQuietMs = 2;

QSerialPort::Parity parityFor(int code) {
    switch (code) {
    case 1:
        return QSerialPort::OddParity;
    case 2:
        return QSerialPort::EvenParity;
    default:
        return QSerialPort::NoParity;
    }
}

QSerialPort::FlowControl flowFor(int code) {
    switch (code) {
    case 1:
        return QSerialPort::SoftwareControl;
    case 2:
        return QSerialPort::HardwareControl;
    default:
        return QSerialPort::NoFlowControl;
    }
}

QSerialPort::DataBits dataBitsFor(int bits) {
    switch (bits) {
    case 5:
        return QSerialPort::Data5;
    case 6:
        return QSerialPort::Data6;
    case 7:
        return QSerialPort::Data7;
    default:
        return QSerialPort::Data8;
    }
}

SerialStatus failure(SerialError e, QString detail = {}) {
    return {e, std::move(detail)};
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
    case SerialError::Timeout:
        return "read time-out";
    case SerialError::DeviceLost:
        return "device lost";
    case SerialError::WriteFailed:
        return "write failed";
    }
    return "unknown error";
}

SerialPort::SerialPort(PathResolver resolver, QObject* parent)
    : QObject(parent), resolver_(std::move(resolver)) {
    asyncTimeout_.setSingleShot(true);
    quiet_.setSingleShot(true);
    quiet_.setInterval(kQuietMs);
    watchdog_.setInterval(kWatchdogMs);
    connect(&port_, &QSerialPort::readyRead, this, &SerialPort::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialPort::onPortError);
    connect(&quiet_, &QTimer::timeout, this, &SerialPort::deliver);
    connect(&asyncTimeout_, &QTimer::timeout, this, [this] {
        if (pending_ > 0) {
            pending_ = 0;
            quiet_.stop();
            emit errorOccurred(SerialError::Timeout,
                               QStringLiteral("no answer within %1 ms").arg(readTimeoutMs_));
        }
    });
    connect(&watchdog_, &QTimer::timeout, this, [this] {
        if (hungUp()) {
            lose(QStringLiteral("the device hung up"));
        }
    });
}

SerialPort::~SerialPort() {
    close();
}

qint32 SerialPort::baudRate() const {
    return port_.isOpen() ? port_.baudRate() : baud_;
}

bool SerialPort::isOpen() const {
    return port_.isOpen();
}

qint64 SerialPort::bytesWaiting() const {
    if (!port_.isOpen()) {
        return 0;
    }
    int inDriver = 0;
    if (::ioctl(static_cast<int>(port_.handle()), FIONREAD, &inDriver) != 0) {
        inDriver = 0;
    }
    return port_.bytesAvailable() + inDriver;
}

SerialStatus SerialPort::open(const QString& path) {
    close();
    if (path.isEmpty()) {
        return failure(SerialError::OpenFailed,
                       QStringLiteral("COM%1 names no device").arg(portNumber_));
    }
    port_.setPortName(path);
    if (!port_.open(QIODevice::ReadWrite)) {
        const QString why = port_.errorString();
        port_.clearError();
        return failure(SerialError::OpenFailed, path + QStringLiteral(": ") + why);
    }
    openPath_ = path;
    openNumber_ = portNumber_;
    lostSignalled_ = false;
    requestLowLatency();
    port_.clear(QSerialPort::Input); // whatever the line held before we opened it is stale
    port_.clearError();
    watchdog_.start();
    return {};
}

void SerialPort::requestLowLatency() {
    // Echo round trips dominate this protocol; USB adapters otherwise batch for milliseconds.
    // Not every driver knows the request (a pseudo-terminal does not): failure is fine.
    serial_struct ss{};
    const int fd = static_cast<int>(port_.handle());
    if (fd >= 0 && ::ioctl(fd, TIOCGSERIAL, &ss) == 0) {
        ss.flags |= ASYNC_LOW_LATENCY;
        (void)::ioctl(fd, TIOCSSERIAL, &ss);
    }
}

SerialStatus SerialPort::configure() {
    const bool ok = port_.setBaudRate(baud_) && port_.setDataBits(dataBitsFor(dataBits_)) &&
                    port_.setParity(parityFor(parity_)) &&
                    port_.setStopBits(QSerialPort::OneStop) &&
                    port_.setFlowControl(flowFor(handshaking_));
    if (dtrEnable_) {
        port_.setDataTerminalReady(true);
        if (handshaking_ != 2) {
            port_.setRequestToSend(true);
        }
    }
    if (!ok) {
        const QString why = port_.errorString();
        port_.clearError();
        if (hungUp()) {
            lose(why);
            return failure(SerialError::DeviceLost, why);
        }
        return failure(SerialError::OpenFailed, why);
    }
    return {};
}

SerialStatus SerialPort::apply() {
    if (!port_.isOpen() || openNumber_ != portNumber_) {
        const QString path = resolver_ ? resolver_(portNumber_) : QString();
        if (SerialStatus s = open(path); !s.ok()) {
            return s;
        }
    }
    SerialStatus s = configure();
    if (pending_ > 0) {
        armAsyncTimer();
    }
    return s;
}

void SerialPort::close() {
    pending_ = 0;
    asyncTimeout_.stop();
    quiet_.stop();
    watchdog_.stop();
    if (port_.isOpen()) {
        port_.close();
    }
    port_.clearError();
    openPath_.clear();
    openNumber_ = 0;
}

SerialStatus SerialPort::discardInput() {
    pending_ = 0;
    asyncTimeout_.stop();
    quiet_.stop();
    if (!port_.isOpen()) {
        return failure(SerialError::NotOpen);
    }
    port_.clear(QSerialPort::Input);
    port_.readAll();
    return {};
}

SerialStatus SerialPort::write(const QByteArray& data) {
    if (!port_.isOpen()) {
        return failure(SerialError::NotOpen);
    }
    if (hungUp()) {
        lose(QStringLiteral("the device hung up"));
        return failure(SerialError::DeviceLost);
    }
    if (port_.write(data) != data.size()) {
        const QString why = port_.errorString();
        port_.clearError();
        return failure(SerialError::WriteFailed, why);
    }
    port_.flush();
    return {};
}

ReadResult SerialPort::read(int maxChars) {
    pending_ = 0;
    asyncTimeout_.stop();
    quiet_.stop();
    if (!port_.isOpen()) {
        return {{}, failure(SerialError::NotOpen)};
    }
    const qint64 want = maxChars > 0 ? maxChars : 1;
    QDeadlineTimer deadline(readTimeoutMs_ > 0 ? readTimeoutMs_ : 0);
    while (port_.bytesAvailable() < want) {
        if (hungUp()) {
            lose(QStringLiteral("the device hung up"));
            return {{}, failure(SerialError::DeviceLost)};
        }
        const qint64 left = deadline.remainingTime();
        if (left <= 0) {
            break;
        }
        port_.waitForReadyRead(static_cast<int>(left));
        port_.clearError();
    }
    QByteArray data = port_.read(want);
    if (data.isEmpty()) {
        return {{}, failure(SerialError::Timeout)};
    }
    return {data, {}};
}

SerialStatus SerialPort::startRead(int n) {
    quiet_.stop();
    if (!port_.isOpen()) {
        pending_ = 0;
        return failure(SerialError::NotOpen);
    }
    pending_ = n > 0 ? n : 1;
    armAsyncTimer();
    // Bytes may already be waiting; complete from the event loop, never inside this call.
    QTimer::singleShot(0, this, &SerialPort::onReadyRead);
    return {};
}

void SerialPort::armAsyncTimer() {
    if (waitForever_ || pending_ == 0) {
        asyncTimeout_.stop();
    } else {
        asyncTimeout_.start(readTimeoutMs_ > 0 ? readTimeoutMs_ : 1);
    }
}

void SerialPort::onReadyRead() {
    if (pending_ == 0 || !port_.isOpen() || port_.bytesAvailable() < pending_) {
        return;
    }
    if (textMode_) {
        quiet_.start(); // restarted by every arrival until the line falls quiet
    } else {
        // Outside the port's own signal, so the handler may block in a synchronous read.
        QTimer::singleShot(0, this, &SerialPort::deliver);
    }
}

void SerialPort::deliver() {
    if (pending_ == 0 || !port_.isOpen() || port_.bytesAvailable() < pending_) {
        return;
    }
    const QByteArray data = textMode_ ? port_.readAll() : port_.read(pending_);
    pending_ = 0;
    asyncTimeout_.stop();
    emit dataReceived(data); // the handler may start the next read
}

bool SerialPort::hungUp() const {
    if (!port_.isOpen()) {
        return false;
    }
    pollfd p{static_cast<int>(port_.handle()), POLLIN, 0};
    if (::poll(&p, 1, 0) < 0) {
        return false;
    }
    return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void SerialPort::onPortError(QSerialPort::SerialPortError e) {
    if (e == QSerialPort::NoError) {
        return;
    }
    // A hung-up line makes Qt report a read error on every event-loop turn; closing at the
    // first one keeps the CPU idle while the link is down.
    if (e == QSerialPort::ResourceError || hungUp()) {
        lose(port_.errorString());
        return;
    }
    port_.clearError();
}

void SerialPort::lose(const QString& why) {
    close();
    if (lostSignalled_) {
        return;
    }
    lostSignalled_ = true;
    emit errorOccurred(SerialError::DeviceLost, why);
}

} // namespace tracely
