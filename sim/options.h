#pragma once

#include "sim/signals.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tracely::sim {

// Faults the simulated instrument can be told to show, each to exercise one failure path of
// the program against a real line.
struct Faults {
    int wrongEchoAt = 0;   // the n-th command character is echoed wrongly (1-based)
    bool silent = false;   // no echo and no answer at all
    bool badIdent = false; // answers identification with a wrong identifier
    bool garbage = false;  // stray bytes after every answer
    int shortBlock = 0;    // dump block n (1-based, per trace) is cut short
    int hangUpInBlock = 0; // the line is hung up in the middle of dump block n
    bool hangUpAwaitingTrigger = false;
    int answerLength = 0;   // the trigger answer has this many characters (0: normal)
    bool noTrigger = false; // the trigger never comes, until the fault is gone
    // The echo of the n-th command character after each trace request is held back.
    int lateEchoAt = 0;
    double lateEchoMs = 600.0;
};

// Faults drawn at random from the seed: about one trace request in `everyTraces` gets one,
// which lasts until the next trace request. Only faults a program can ride out: the line
// stays up.
struct Chaos {
    int everyTraces = 0; // 0: none
};

struct Options {
    std::string ident = "BC000120";
    std::string linkPath;
    bool exitAfterHangUp = false;
    bool answer7 = false;
    bool noTrigger = false;
    bool pace = true;
    double latencyMs = 0.0; // added to every byte sent, as a USB-serial adapter does
    double jitterMs = 0.0;  // up to this much more per reply
    bool split = false;     // replies arrive in random pieces
    std::vector<int> bauds{57600, 115200};
    Waveform cha{WaveKind::Sine, 1000.0, 1.5, 0.0};
    Waveform chb{WaveKind::Square, 2000.0, 1.0, 0.0};
    LogicPattern logic{LogicKind::Counter, 10000.0, 0};
    std::uint64_t seed = 1;
    Faults faults;
    int faultsAfter = 0; // the faults sleep through this many captures
    Chaos chaos;
    std::string registerIni; // settings file to point a COM port at the link
    int registerCom = 1;
};

struct [[nodiscard]] ParseResult {
    Options options;
    bool help = false;
    std::string error; // empty when the command line was understood
};

ParseResult parseOptions(const std::vector<std::string>& args);
std::string helpText();

} // namespace tracely::sim
