#include "tests/support/line_client.h"
#include "tests/support/wait.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace std::chrono_literals;
using tracely::test::LineClient;
using tracely::test::waitUntil;

// The tracely-sim program itself: its command line, link, signals and exit.
namespace {

struct SimProcess {
    explicit SimProcess(const QStringList& args) {
        proc.start(QStringLiteral(TRACELY_SIM_BINARY), args);
        proc.waitForStarted(5000);
    }
    ~SimProcess() {
        if (proc.state() != QProcess::NotRunning) {
            proc.kill();
            proc.waitForFinished(5000);
        }
    }
    QString firstLine() {
        waitUntil([&] { return proc.canReadLine() || proc.state() == QProcess::NotRunning; });
        return QString::fromLocal8Bit(proc.readLine()).trimmed();
    }
    QProcess proc;
};

QString linkTarget(const QString& path) {
    return QFile::symLinkTarget(path);
}

} // namespace

TEST(SimProgram, LinkFollowsTheTerminalAndGoesOnTerminate) {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("sim-port"));
    SimProcess sim({QStringLiteral("--link"), link, QStringLiteral("--no-pace")});
    const QString path = sim.firstLine();
    ASSERT_TRUE(path.startsWith(QStringLiteral("/dev/pts/"))) << path.toStdString();
    EXPECT_EQ(linkTarget(link), path);
    {
        LineClient line(link.toStdString(), 57600);
        line.write("?");
        EXPECT_EQ(line.readN(11, 2000ms), "?\rBC000120\r");
    }
    sim.proc.terminate(); // SIGTERM
    ASSERT_TRUE(sim.proc.waitForFinished(5000));
    EXPECT_EQ(sim.proc.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.proc.exitCode(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
}

TEST(SimProgram, ExitsAfterTheProgramHangsUp) {
    SimProcess sim({QStringLiteral("--exit-after-hangup"), QStringLiteral("--no-pace")});
    const QString path = sim.firstLine();
    {
        LineClient line(path.toStdString(), 115200);
        line.write("?");
        EXPECT_EQ(line.readN(11, 2000ms).size(), 11u);
        EXPECT_EQ(sim.proc.state(), QProcess::Running);
    }
    EXPECT_TRUE(sim.proc.waitForFinished(5000));
    EXPECT_EQ(sim.proc.exitCode(), 0);
}

TEST(SimProgram, RegistersItsPortInTheSettingsFileKeepingTheRest) {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("TRACELY.INI"));
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(
            "; my "
            "settings\r\n[OPTIONS]\r\nShowAN=True\r\n[PORTS]\r\nCOM2=/dev/ttyUSB0\r\nCOM1=old\r\n");
    }
    const QString link = dir.filePath(QStringLiteral("port"));
    SimProcess sim({QStringLiteral("--link"), link, QStringLiteral("--register-port"), ini,
                    QStringLiteral("--no-pace")});
    sim.firstLine();
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_EQ(text,
              "; my settings\r\n[OPTIONS]\r\nShowAN=True\r\n[PORTS]\r\nCOM2=/dev/ttyUSB0\r\nCOM1=" +
                  link.toLocal8Bit() + "\r\n");
}
