// How long the GUI thread is busy per capture: the whole window in repeat mode against the
// paced simulator, with a 10 ms probe timer whose lateness shows every stretch the event loop
// could not run.
#include "src/app/main_window.h"
#include "src/widgets/knob.h"
#include "src/widgets/two_state_button.h"
#include "tests/support/sim_host.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

struct Result {
    int captures = 0;
    double medianMs = 0.0;
    double worstMs = 0.0;
    int points = 0;
};

Result run(int position, int baud, int captures) {
    tracely::sim::Options o;
    o.bauds = {baud};
    tracely::test::SimHost sim(o);
    QTemporaryDir dir;
    const std::string ini = dir.filePath(QStringLiteral("TRACELY.INI")).toStdString();
    std::ofstream(ini) << "[PORTS]\nCOM1=" << sim.path() << "\n";

    tracely::MainWindow win(ini);
    win.setSplashTime(0);
    win.setMessageBox([](const QString&, const QString&) {});
    win.formLoad();
    win.show();
    const tracely::FrontPanel& p = win.panel();
    p.CWKTimeRange->setValue(position);

    // The longest lateness of the probe between one capture and the next.
    std::vector<double> perCapture;
    double worstSinceLast = 0.0;
    QElapsedTimer since;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const double late = static_cast<double>(since.nsecsElapsed()) * 1e-6 - 10.0;
        worstSinceLast = std::max(worstSinceLast, late);
        since.start();
    });
    int drawn = 0;
    QObject::connect(&win.engine(), &tracely::AcquisitionEngine::captureReady, [&] {
        // Measured up to the next capture's arrival, so that this one's drawing counts.
        if (drawn++ > 0) {
            perCapture.push_back(worstSinceLast);
        }
        worstSinceLast = 0.0;
    });
    since.start();
    probe.start(10);
    p.CWBSampleMode->setValue(true);
    p.cmdCapture->click();
    QDeadlineTimer limit(600000);
    while (drawn <= captures && !limit.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    p.cmdStore->click();
    probe.stop();
    win.close();

    Result r;
    r.captures = static_cast<int>(perCapture.size());
    r.points = win.state().intCHaLen;
    if (!perCapture.empty()) {
        std::sort(perCapture.begin(), perCapture.end());
        r.medianMs = perCapture[perCapture.size() / 2];
        r.worstMs = perCapture.back();
    }
    return r;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    std::puts("GUI thread busy per capture (10 ms probe timer's lateness), repeat mode, paced "
              "simulator");
    std::printf("%3s %6s %7s %5s %10s %9s\n", "pos", "baud", "points", "caps", "median ms",
                "worst ms");
    struct Config {
        int position, baud, captures;
    } configs[] = {{15, 115200, 6}, {10, 115200, 60}, {13, 115200, 20}};
    for (const Config& c : configs) {
        const Result r = run(c.position, c.baud, c.captures);
        std::printf("%3d %6d %7d %5d %10.2f %9.2f\n", c.position, c.baud, r.points, r.captures,
                    r.medianMs, r.worstMs);
        std::fflush(stdout);
    }
    return 0;
}
