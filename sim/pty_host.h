#pragma once

#include "sim/instrument.h"
#include "sim/options.h"
#include "sim/pacer.h"

#include <ctime>
#include <optional>
#include <string>

namespace tracely::sim {

// Hosts the instrument on the master side of a pseudo-terminal: reads what the program writes,
// paces the answers out at the line speed the program set, and notices the program opening and
// closing the line.
class PtyHost {
public:
    explicit PtyHost(const Options& options);
    ~PtyHost();
    PtyHost(const PtyHost&) = delete;
    PtyHost& operator=(const PtyHost&) = delete;

    // Opens the terminal; the slave path is then available. Returns an error text on failure.
    std::string open();
    const std::string& slavePath() const { return slavePath_; }
    // To set its observers before run() starts.
    Instrument& instrument() { return instrument_; }

    // Serves until stopFd becomes readable (a signal), the line is hung up by a fault, or, with
    // --exit-after-hangup, the program closes the line. Returns the exit status. Whenever
    // controlFd becomes readable, what it holds is read and the faults are cleared.
    int run(int stopFd, int controlFd = -1);

private:
    double now() const;
    int lineBaud() const;
    bool programConnected() const;
    void readInput(double t);
    [[nodiscard]] bool flushOutput(double t);
    void drainOpenNotices();

    // One turn of a connected line: the instrument's due work and its output, then how long
    // the loop may wait (Wait), that it must go round again at once (Again), or that a hang-up
    // fault closed the line (Closed).
    struct Turn {
        enum What { Wait, Again, Closed } what;
        int timeoutMs;
    };
    Turn serveLine(double t);
    // The wait before the next pass: until the pacer's next byte when connected, within limit.
    timespec waitFor(bool connected, double t, int timeoutMs) const;

    const Options& o_;
    Pacer pacer_;
    Instrument instrument_;
    int master_ = -1;
    int opened_ = -1; // inotify on the terminal: the program opening it
    std::string slavePath_;
    std::string pendingWrite_;
    std::optional<double> closeAt_;
    long long startNs_ = 0;
};

} // namespace tracely::sim
