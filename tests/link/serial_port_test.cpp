#include "src/link/serial_port.h"
#include "tests/support/pty_pair.h"
#include "tests/support/wait.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tracely;
using tracely::test::PtyPair;
using tracely::test::waitUntil;
using namespace std::chrono_literals;

namespace {

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        port.setPortNumber(1);
        port.setBaudRate(57600);
        port.setReadTimeout(200);
        ASSERT_TRUE(port.apply().ok());
    }

    PtyPair pty;
    QString path = QString::fromStdString(pty.slavePath());
    SerialPort port{[this](int n) { return n == 1 ? path : QString(); }};
    QSignalSpy received{&port, &SerialPort::dataReceived};
    QSignalSpy errors{&port, &SerialPort::errorOccurred};
};

SerialError errorAt(const QSignalSpy& spy, int i) {
    return spy.at(i).at(0).value<SerialError>();
}

} // namespace

TEST_F(SerialPortTest, SynchronousReadReturnsWhatCameUpToTheCount) {
    ASSERT_TRUE(pty.write("ab"));
    ReadResult r = port.read(1);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.data, "a");
    r = port.read(11); // fewer than asked: what came, once the time-out passes
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.data, "b");
    ASSERT_TRUE(port.write("?[5]@").ok());
    EXPECT_EQ(pty.readN(5, 2000ms), "?[5]@");
    port.setReadTimeout(20);
    r = port.read(1);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.status.error, SerialError::Timeout);
    EXPECT_EQ(errors.count(), 0); // a synchronous failure goes to the caller, not the signal
}

TEST_F(SerialPortTest, AsynchronousBinaryReadsDeliverExactlyTheCount) {
    port.setTextMode(false);
    for (int n : {1, 6, 513}) {
        received.clear();
        ASSERT_TRUE(port.startRead(n).ok());
        std::string block(static_cast<std::size_t>(n) + 3, '\0');
        for (std::size_t i = 0; i < block.size(); ++i) {
            block[i] = static_cast<char>(i * 7);
        }
        ASSERT_TRUE(pty.write(block));
        ASSERT_TRUE(waitUntil([&] { return received.count() == 1; })) << n;
        const QByteArray got = received.at(0).at(0).toByteArray();
        EXPECT_EQ(got.size(), n);
        EXPECT_EQ(got, QByteArray::fromStdString(block.substr(0, static_cast<std::size_t>(n))));
        // The surplus stays for the next read.
        EXPECT_TRUE(waitUntil([&] { return port.bytesWaiting() == 3; }));
        port.discardInput();
    }
    EXPECT_EQ(errors.count(), 0);
}

TEST_F(SerialPortTest, AsyncReadCompletesFromBytesAlreadyWaiting) {
    ASSERT_TRUE(pty.write("T"));
    ASSERT_TRUE(waitUntil([&] { return port.bytesWaiting() == 1; }));
    ASSERT_TRUE(port.startRead(1).ok());
    EXPECT_EQ(received.count(), 0); // never inside the call
    ASSERT_TRUE(waitUntil([&] { return received.count() == 1; }));
    EXPECT_EQ(received.at(0).at(0).toByteArray(), "T");
}

TEST_F(SerialPortTest, TextReadTakesAnAnswerOneLongerThanAsked) {
    port.setTextMode(true);
    port.setWaitForever(true);
    port.apply();
    ASSERT_TRUE(port.startRead(6).ok());
    ASSERT_TRUE(pty.write("T\r1f40\r"));
    ASSERT_TRUE(waitUntil([&] { return received.count() == 1; }));
    EXPECT_EQ(received.at(0).at(0).toByteArray(), "T\r1f40\r");
}

TEST_F(SerialPortTest, AsyncReadTimesOutUnlessWaitingForever) {
    port.setReadTimeout(30);
    port.setWaitForever(false);
    port.apply();
    ASSERT_TRUE(port.startRead(6).ok());
    ASSERT_TRUE(pty.write("\r1f"));
    ASSERT_TRUE(waitUntil([&] { return errors.count() == 1; }));
    EXPECT_EQ(errorAt(errors, 0), SerialError::Timeout);
    EXPECT_EQ(received.count(), 0);
    EXPECT_FALSE(port.readPending());

    // Waiting forever: the same silence raises nothing; the answer still completes the read.
    errors.clear();
    port.discardInput();
    port.setWaitForever(true);
    port.apply();
    ASSERT_TRUE(port.startRead(1).ok());
    EXPECT_FALSE(waitUntil([&] { return errors.count() > 0; }, 150));
    ASSERT_TRUE(pty.write("T"));
    ASSERT_TRUE(waitUntil([&] { return received.count() == 1; }));
    EXPECT_EQ(errors.count(), 0);
}

TEST_F(SerialPortTest, HangUpOfTheFarEndIsReportedOnceAndThePortGoesQuiet) {
    port.setWaitForever(true);
    port.apply();
    ASSERT_TRUE(port.startRead(1).ok());
    pty.hangUp();
    ASSERT_TRUE(waitUntil([&] { return errors.count() >= 1; }, 2000));
    EXPECT_EQ(errorAt(errors, 0), SerialError::DeviceLost);
    // Closed, so no read notifier can spin; and nothing more is raised.
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(waitUntil([&] { return errors.count() > 1; }, 300));
    EXPECT_EQ(errors.count(), 1);
    // Later operations fail cleanly instead of raising again.
    EXPECT_EQ(port.write("x").error, SerialError::NotOpen);
    EXPECT_EQ(port.read(1).status.error, SerialError::NotOpen);
    EXPECT_EQ(errors.count(), 1);
}

TEST_F(SerialPortTest, HangUpWhileIdleIsNoticedWithoutARead) {
    pty.hangUp();
    ASSERT_TRUE(waitUntil([&] { return errors.count() >= 1; }, 2000));
    EXPECT_EQ(errorAt(errors, 0), SerialError::DeviceLost);
    EXPECT_FALSE(waitUntil([&] { return errors.count() > 1; }, 300));
}

TEST_F(SerialPortTest, SynchronousReadNoticesAHangUp) {
    port.setReadTimeout(5000);
    pty.hangUp();
    const ReadResult r = port.read(1);
    EXPECT_EQ(r.status.error, SerialError::DeviceLost);
    EXPECT_EQ(errors.count(), 1);
}

TEST_F(SerialPortTest, DiscardInputDropsWhatWasWaiting) {
    ASSERT_TRUE(pty.write("xyz"));
    ASSERT_TRUE(waitUntil([&] { return port.bytesWaiting() == 3; }));
    ASSERT_TRUE(port.discardInput().ok());
    EXPECT_EQ(port.bytesWaiting(), 0);
    ASSERT_TRUE(pty.write("Q"));
    const ReadResult r = port.read(1);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.data, "Q");
    // A pending asynchronous read is cancelled too: its bytes never arrive as an event.
    port.setTextMode(false);
    ASSERT_TRUE(port.startRead(2).ok());
    port.discardInput();
    ASSERT_TRUE(pty.write("ab"));
    EXPECT_FALSE(waitUntil([&] { return received.count() > 0; }, 150));
}

TEST(SerialPortOpen, PortsThatNameNothingOrNoDevice) {
    QTemporaryDir dir;
    const QString plainFile = dir.filePath("not-a-tty");
    {
        QFile f(plainFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    SerialPort port([&](int n) {
        return n == 1 ? QString() : n == 2 ? QStringLiteral("/dev/does-not-exist") : plainFile;
    });
    QSignalSpy errors(&port, &SerialPort::errorOccurred);
    for (int n : {1, 2, 3}) {
        port.setPortNumber(n);
        const SerialStatus s = port.apply();
        EXPECT_EQ(s.error, SerialError::OpenFailed) << n;
        EXPECT_FALSE(port.isOpen());
    }
    EXPECT_EQ(port.write("?").error, SerialError::NotOpen);
    EXPECT_EQ(port.startRead(1).error, SerialError::NotOpen);
    EXPECT_EQ(errors.count(), 0);
}

TEST(SerialPortOpen, ChangingThePortNumberReopens) {
    PtyPair a;
    PtyPair b;
    SerialPort port(
        [&](int n) { return QString::fromStdString(n == 1 ? a.slavePath() : b.slavePath()); });
    port.setPortNumber(1);
    ASSERT_TRUE(port.apply().ok());
    EXPECT_EQ(port.devicePath().toStdString(), a.slavePath());
    port.setPortNumber(2);
    ASSERT_TRUE(port.apply().ok());
    EXPECT_EQ(port.devicePath().toStdString(), b.slavePath());
    ASSERT_TRUE(port.write("?").ok());
    EXPECT_EQ(b.readN(1, 2000ms), "?");
    EXPECT_EQ(a.read(50ms), "");
}
