#include "src/app/main_window.h"
#include "src/settings/settings_file.h"
#include "src/ui/program_info.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 1;
    (void)!::write(g_signalPipe[1], &c, 1); // all a signal handler may safely do
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tracely"));
    QApplication::setApplicationVersion(tracely::buildVersion());

    tracely::MainWindow window(
        tracely::locateSettings(QCoreApplication::applicationDirPath().toStdString()));

    // SIGINT and SIGTERM close the window the ordinary way: the port is closed and the
    // settings are saved. One may come while start-up still waits for the splash box.
    bool closing = false;
    bool started = false;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &window,
                         [&window, &closing, &started] {
                             char c = 0;
                             (void)!::read(g_signalPipe[0], &c, 1);
                             closing = true;
                             if (started) {
                                 window.close();
                             } else {
                                 window.endSplashTime(); // no need to show it any longer
                             }
                         });
        struct sigaction sa {};
        sa.sa_handler = onSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(SIGINT, &sa, nullptr);
        sigaction(SIGTERM, &sa, nullptr);
    }

    window.formLoad();
    started = true;
    if (closing) {
        window.close(); // asked to stop while starting: finish the start, then close as usual
        return 0;
    }
    window.show();
    return QApplication::exec();
}
