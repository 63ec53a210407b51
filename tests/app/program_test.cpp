#include "tests/support/wait.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The tracely program itself: a copy in any folder works, and SIGTERM closes it the ordinary
// way, saving the settings beside it.
TEST(Program, TerminateClosesTheWindowAndSavesTheSettings) {
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("tracely"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TRACELY_BINARY), copy));
    QFile::setPermissions(copy, QFile::permissions(copy) | QFile::ExeOwner);

    QProcess prog;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    prog.setProcessEnvironment(env);
    prog.start(copy, {});
    ASSERT_TRUE(prog.waitForStarted(5000));
    // Terminate once it has its SIGTERM handler (signal 15 is bit 14 of SigCgt).
    const auto catchesTerm = [&] {
        QFile status(QStringLiteral("/proc/%1/status").arg(prog.processId()));
        if (!status.open(QIODevice::ReadOnly)) {
            return false;
        }
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("SigCgt:")) {
                return (line.mid(7).trimmed().toULongLong(nullptr, 16) & (1ull << 14)) != 0;
            }
        }
        return false;
    };
    ASSERT_TRUE(tracely::test::waitUntil(catchesTerm, 10000))
        << prog.readAllStandardError().toStdString();
    prog.terminate();
    ASSERT_TRUE(prog.waitForFinished(10000));
    EXPECT_EQ(prog.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(prog.exitCode(), 0);
    QFile ini(dir.filePath(QStringLiteral("TRACELY.INI")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    EXPECT_TRUE(text.contains("[TRIGGER]"));
    EXPECT_TRUE(text.contains("Timerange=10"));
}
