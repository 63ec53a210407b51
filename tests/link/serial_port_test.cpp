#include "src/link/port_names.h"
#include "src/link/serial_port.h"
#include "tests/support/pty_pair.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

using namespace tracely;
using tracely::test::PtyPair;
using namespace std::chrono_literals;
using Wait = SerialPort::Wait;

namespace {

int speedOf(int masterFd) {
    termios t{};
    if (::tcgetattr(masterFd, &t) != 0) {
        return 0;
    }
    return ::cfgetospeed(&t) == B115200 ? 115200 : ::cfgetospeed(&t) == B57600 ? 57600 : -1;
}

} // namespace

// A wake from another thread and a hang-up are the line thread's, and the engine's tests and the
// fault matrix meet them.
TEST(SerialPort, WritesAndWaitsForBytesWithADeadline) {
    PtyPair pty;
    SerialPort port;
    ASSERT_TRUE(port.open(QString::fromStdString(pty.slavePath()), 57600).ok());
    EXPECT_EQ(speedOf(pty.masterFd()), 57600);
    ASSERT_TRUE(port.write("?").ok());
    EXPECT_EQ(pty.readN(1, 2000ms), "?");
    EXPECT_EQ(port.waitReadable(QDeadlineTimer(20)), Wait::Timeout);
    ASSERT_TRUE(pty.write("ab"));
    ASSERT_EQ(port.waitReadable(QDeadlineTimer(2000)), Wait::Data);
    QByteArray got = port.readAvailable();
    while (got.size() < 2 && port.waitReadable(QDeadlineTimer(2000)) == Wait::Data) {
        got += port.readAvailable();
    }
    EXPECT_EQ(got, "ab");
    EXPECT_EQ(port.bytesRead(), 2u);
    EXPECT_EQ(port.bytesWritten(), 1u);
    // The speed changes on the open line.
    ASSERT_TRUE(port.setBaudRate(115200).ok());
    EXPECT_EQ(speedOf(pty.masterFd()), 115200);
    EXPECT_EQ(port.baudRate(), 115200);
}

TEST(SerialPort, DiscardDropsWhatWasWaiting) {
    PtyPair pty;
    SerialPort port;
    ASSERT_TRUE(port.open(QString::fromStdString(pty.slavePath()), 57600).ok());
    ASSERT_TRUE(pty.write("stale"));
    ASSERT_EQ(port.waitReadable(QDeadlineTimer(2000)), Wait::Data);
    port.discardInput();
    // Nothing there is no error: the line is still up.
    SerialStatus status;
    EXPECT_EQ(port.readAvailable(&status), QByteArray());
    EXPECT_TRUE(status.ok()) << toString(status.error);
}

TEST(SerialPort, PathsThatNameNothingOrNoDevice) {
    QTemporaryDir dir;
    const QString plainFile = dir.filePath("not-a-tty");
    {
        QFile f(plainFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    SerialPort port;
    for (const QString& path : {QString(), QStringLiteral("/dev/does-not-exist"), plainFile}) {
        const SerialStatus s = port.open(path, 57600);
        EXPECT_EQ(s.error, SerialError::OpenFailed) << path.toStdString();
        EXPECT_FALSE(port.isOpen());
    }
    EXPECT_EQ(port.write("?").error, SerialError::NotOpen);
}

TEST(SerialPort, OnlyALackOfPermissionCountsAsDenied) {
    QTemporaryDir dir;
    const QString file = dir.path() + QStringLiteral("/port");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    // Readable and writable; missing (the open reports it); below a file; no path at all.
    for (const QString& path : {file, dir.path() + "/missing", file + "/below-a-file", QString()}) {
        EXPECT_TRUE(mayOpenDevice(path)) << path.toStdString();
    }
    if (::geteuid() != 0) { // root may open anything: the denial shows for users only
        ASSERT_TRUE(f.setPermissions(QFileDevice::ReadOwner));
        EXPECT_FALSE(mayOpenDevice(file));
    }
}

TEST(SerialPort, ThePortIsThisProgramsAlone) {
    // A second user of the device, by its own name or through a link to it, is refused before
    // it touches the line: the first keeps its speed and its bytes.
    PtyPair pty;
    QTemporaryDir dir;
    const QString link = dir.filePath("scope");
    ASSERT_TRUE(QFile::link(QString::fromStdString(pty.slavePath()), link));
    SerialPort first;
    ASSERT_TRUE(first.open(link, 115200).ok());
    for (const QString& path : {QString::fromStdString(pty.slavePath()), link}) {
        SerialPort second;
        const SerialStatus s = second.open(path, 57600);
        EXPECT_EQ(s.error, SerialError::Busy) << path.toStdString();
        EXPECT_TRUE(s.detail.contains(path)) << s.detail.toStdString();
        EXPECT_FALSE(second.isOpen());
    }
    EXPECT_EQ(speedOf(pty.masterFd()), 115200);
    ASSERT_TRUE(first.write("?").ok());
    EXPECT_EQ(pty.readN(1, 2000ms), "?");
    // Once the first lets go, the port is free again; but not while another program that
    // locks the device its own way (as terminal programs do) holds it.
    first.close();
    {
        const int holder = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(holder, 0);
        ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
        SerialPort third;
        EXPECT_EQ(third.open(link, 57600).error, SerialError::Busy);
        ::close(holder);
    }
    SerialPort fourth;
    EXPECT_TRUE(fourth.open(link, 57600).ok());
}
