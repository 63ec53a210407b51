#include "sim/options.h"
#include "sim/pty_host.h"
#include "sim/register_port.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <iostream>
#include <sys/signalfd.h>
#include <unistd.h>

using namespace tracely::sim;

namespace {

// A descriptor that becomes readable when one of the signals arrives (they are blocked so
// that they arrive only there); -1 on failure.
int signalDescriptor(std::initializer_list<int> signals) {
    sigset_t set;
    sigemptyset(&set);
    for (int s : signals) {
        sigaddset(&set, s);
    }
    sigprocmask(SIG_BLOCK, &set, nullptr);
    return signalfd(-1, &set, SFD_CLOEXEC);
}

// The link path names the pseudo-terminal; false (with the reason printed) when it cannot.
bool makeLink(const std::string& linkPath, const std::string& slavePath) {
    ::unlink(linkPath.c_str()); // a link left by an earlier run
    if (::symlink(slavePath.c_str(), linkPath.c_str()) != 0) {
        std::cerr << "tracely-sim: cannot link " << linkPath << ": " << std::strerror(errno)
                  << "\n";
        return false;
    }
    return true;
}

} // namespace

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
    // is removed; SIGUSR1: the fault is gone.
    std::signal(SIGPIPE, SIG_IGN);
    const int stopFd = signalDescriptor({SIGINT, SIGTERM});
    const int clearFd = signalDescriptor({SIGUSR1});
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
    if (!o.linkPath.empty() && !makeLink(o.linkPath, host.slavePath())) {
        return 1;
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
