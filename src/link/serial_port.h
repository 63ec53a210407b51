#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>

#include <memory>

class QSerialPort;

namespace tracely {

enum class [[nodiscard]] SerialError{
    None,
    NotOpen,    // the operation needs an open port
    OpenFailed, // the device path does not exist or refused to open
    Busy,       // another program holds the port
    Timeout,    // nothing (or not enough) arrived in time
    DeviceLost, // the far end hung up or the adapter was unplugged
    WriteFailed,
};

const char* toString(SerialError e);

struct [[nodiscard]] SerialStatus {
    SerialError error = SerialError::None;
    QString detail;
    bool ok() const { return error == SerialError::None; }
};

// The serial component, for the one thread that talks to the instrument: opens a port for
// this program alone, writes, and waits for bytes with a deadline. The wait can be cut short
// from any thread with wake(), so the thread that blocks on the line stays at the orders of
// the rest of the program.
class SerialPort {
public:
    SerialPort();
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the device at `path` (8 data bits, no parity, one stop bit, raw) for this program
    // alone: a port another program holds is Busy, and is left as that program set it.
    SerialStatus open(const QString& path, qint32 baud);
    SerialStatus setBaudRate(qint32 baud);
    // The speed the open port runs at (the last requested one when closed).
    qint32 baudRate() const { return baud_; }
    bool isOpen() const;
    QString devicePath() const { return path_; }
    void close();

    SerialStatus write(const QByteArray& data);

    enum class [[nodiscard]] Wait{Data, Timeout, Woken, Lost};
    // Waits until bytes are there to read, the deadline passes, wake() is called or the line
    // goes away. A pending wake() is taken by this call.
    Wait waitReadable(QDeadlineTimer deadline);
    // What the driver holds now, without waiting. An empty result with DeviceLost means the
    // line went away.
    QByteArray readAvailable(SerialStatus* status = nullptr);
    // Throws away what the driver holds.
    void discardInput();

    // Thread-safe: ends the current or next waitReadable() with Woken.
    void wake();

    // Bytes written and read since the port object was made.
    quint64 bytesWritten() const { return written_; }
    quint64 bytesRead() const { return read_; }

private:
    int fd() const;
    void requestLowLatency();

    std::unique_ptr<QSerialPort> port_;
    int lockFd_ = -1; // held for as long as the port is open: our claim on the device
    int wakeFd_ = -1;
    QString path_;
    qint32 baud_ = 57600;
    quint64 written_ = 0;
    quint64 read_ = 0;
};

} // namespace tracely
