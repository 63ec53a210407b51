#include "sim/options.h"
#include "sim/pty_host.h"
#include "sim/register_port.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sys/signalfd.h>
#include <unistd.h>

using namespace tracely::sim;

int main(int argc, char** argv) {
    const ParseResult parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.help) {
        std::cout << helpText();
        return 0;
    }
    if (!parsed.error.empty()) {
        std::cerr << "tracely-sim: " << parsed.error << "\n";
        return 2;
    }
    const Options& o = parsed.options;

    // SIGINT and SIGTERM arrive as a readable descriptor, so the loop ends cleanly and the link
    // is removed.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    sigprocmask(SIG_BLOCK, &stop, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    const int stopFd = signalfd(-1, &stop, SFD_CLOEXEC);
    // SIGUSR1: the fault is gone.
    sigset_t clear;
    sigemptyset(&clear);
    sigaddset(&clear, SIGUSR1);
    sigprocmask(SIG_BLOCK, &clear, nullptr);
    const int clearFd = signalfd(-1, &clear, SFD_CLOEXEC);
    if (stopFd < 0 || clearFd < 0) {
        std::cerr << "tracely-sim: signalfd: " << std::strerror(errno) << "\n";
        return 1;
    }

    PtyHost host(o);
    if (o.chaos.everyTraces > 0) {
        host.instrument().setFaultObserver(
            [](const std::string& what) { std::cerr << "fault: " << what << std::endl; });
    }
    if (const std::string err = host.open(); !err.empty()) {
        std::cerr << "tracely-sim: " << err << "\n";
        return 1;
    }
    if (!o.linkPath.empty()) {
        ::unlink(o.linkPath.c_str()); // a link left by an earlier run
        if (::symlink(host.slavePath().c_str(), o.linkPath.c_str()) != 0) {
            std::cerr << "tracely-sim: cannot link " << o.linkPath << ": " << std::strerror(errno)
                      << "\n";
            return 1;
        }
    }
    if (!o.registerIni.empty()) {
        if (const std::string err = registerPort(o.registerIni, o.registerCom, o.linkPath);
            !err.empty()) {
            std::cerr << "tracely-sim: " << err << "\n";
        }
    }
    std::cout << host.slavePath() << std::endl;

    const int status = host.run(stopFd, clearFd);
    if (!o.linkPath.empty()) {
        ::unlink(o.linkPath.c_str());
    }
    return status;
}
