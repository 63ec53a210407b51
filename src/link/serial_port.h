#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <functional>

namespace tracely {

enum class SerialError {
    None,
    NotOpen,    // no port could be opened, or the operation needs an open port
    OpenFailed, // the device path does not exist or refused to open
    Timeout,    // nothing (or not enough) arrived within the read time-out
    DeviceLost, // the far end hung up or the adapter was unplugged
    WriteFailed,
};

const char* toString(SerialError e);

struct SerialStatus {
    SerialError error = SerialError::None;
    QString detail;
    bool ok() const { return error == SerialError::None; }
};

struct ReadResult {
    QByteArray data;
    SerialStatus status;
    bool ok() const { return status.ok(); }
};

// The serial component: one port, settings that take effect on apply(), synchronous and
// asynchronous reads. Ports are numbered 1..8; a resolver turns a number into a device path.
class SerialPort : public QObject {
    Q_OBJECT
public:
    using PathResolver = std::function<QString(int portNumber)>;

    explicit SerialPort(PathResolver resolver, QObject* parent = nullptr);
    ~SerialPort() override;

    // --- Settings (take effect on apply()).
    void setPortNumber(int n) { portNumber_ = n; }
    int portNumber() const { return portNumber_; }
    void setBaudRate(qint32 baud) { baud_ = baud; }
    // The speed the open port really runs at; the setting when closed.
    qint32 baudRate() const;
    void setDataBits(int bits) { dataBits_ = bits; }
    // The two further line settings; 0 is "none" for both.
    void setParity(int code) { parity_ = code; }
    void setHandshaking(int code) { handshaking_ = code; }
    void setReadTimeout(int ms) { readTimeoutMs_ = ms; }
    int readTimeout() const { return readTimeoutMs_; }
    // On: received data is delivered as text. A text-mode asynchronous read waits for the line
    // to fall quiet once it has its bytes and delivers all that came, so an answer one byte
    // longer than asked for arrives whole.
    void setTextMode(bool on) { textMode_ = on; }
    bool textMode() const { return textMode_; }
    // On: an asynchronous read waits without time-out (a trigger may take any time).
    void setWaitForever(bool on) { waitForever_ = on; }
    bool waitForever() const { return waitForever_; }
    // Assert DTR and RTS when the port opens (some adapters power the line driver from them).
    void setDtrEnable(bool on) { dtrEnable_ = on; }

    // Opens the numbered port if needed (reopening when the number changed) and applies the
    // settings.
    SerialStatus apply();
    bool isOpen() const;
    QString devicePath() const { return openPath_; }

    // Throws away received but unread data, and cancels an outstanding asynchronous read.
    SerialStatus discardInput();
    SerialStatus write(const QByteArray& data);
    // Waits up to the read time-out for maxChars characters; returns what came (at least one),
    // or Timeout when nothing did. Cancels an outstanding asynchronous read.
    ReadResult read(int maxChars);
    // Returns at once; dataReceived follows with the bytes, or errorOccurred with Timeout when
    // the read time-out passes first (unless waiting forever).
    SerialStatus startRead(int n);
    bool readPending() const { return pending_ > 0; }
    // Bytes received and not yet read, in the component and in the driver.
    qint64 bytesWaiting() const;
    void close();

signals:
    void dataReceived(const QByteArray& data);
    void errorOccurred(tracely::SerialError error, const QString& detail);

private:
    void onReadyRead();
    void onPortError(QSerialPort::SerialPortError e);
    void deliver();
    bool hungUp() const;
    void lose(const QString& why);
    void armAsyncTimer();
    SerialStatus open(const QString& path);
    SerialStatus configure();
    void requestLowLatency();

    PathResolver resolver_;
    QSerialPort port_;
    QTimer asyncTimeout_;
    QTimer quiet_;
    QTimer watchdog_;
    QString openPath_;
    int openNumber_ = 0;

    int portNumber_ = 1;
    qint32 baud_ = 57600;
    int dataBits_ = 8;
    int parity_ = 0;
    int handshaking_ = 0;
    int readTimeoutMs_ = 500;
    bool textMode_ = true;
    bool waitForever_ = false;
    bool dtrEnable_ = false;

    int pending_ = 0;
    bool lostSignalled_ = false;
};

} // namespace tracely

Q_DECLARE_METATYPE(tracely::SerialError)
