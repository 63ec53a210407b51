#pragma once

#include "src/instrument/trigger_codes.h"
#include "src/link/wire.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>

#include <array>
#include <cstdint>

namespace tracely {

// What the GUI side asks of the thread that talks to the instrument, and what that thread
// reports back. Plain values: they cross between threads as queued signal arguments.

// InitHdwe: find and identify the instrument.
struct IdentifyOrder {
    bool autoPort = true; // search COM1..COM8; otherwise try comPort only
    int comPort = 1;
    // [n]: the path configured for COMn, empty when it is not: then COMn is the n-th serial
    // device of the machine, looked up on the line's thread (the list takes a while to get).
    std::array<QString, 9> configured;
};

// Update's line work: the register image, then the trace request, the dump request and the
// dump, with everything the capture needs.
struct CaptureOrder {
    quint64 seq = 0; // names the capture in every report about it
    wire::RegisterImage regs{};
    int chunks = 0;
    std::int16_t dumpOffset = 0;
    std::uint8_t r3 = 0, r4 = 0;      // kept when the trigger answer gives no address
    std::uint8_t r7 = regs::kR7Start; // the dump mode is derived from it at the answer
    bool showTrigLogic = true;
};

// Read time-outs and limits of the protocol, in milliseconds. Tests shorten them so that a
// time-out they provoke costs them little.
struct LinkTimeouts {
    // The identifier is taken by its count (eleven characters); the time-out only bounds a port
    // that does not answer. A USB-serial adapter holds bytes for up to 16 ms (its latency
    // timer) and a busy machine adds more, so it is far above the line time of the answer.
    int identMs = 200;
    int programMs = 500;
    int dumpRequestMs = 5;
    int blockMs = 3000;
    int stallGraceMs = 3000;  // a capture may take its line time plus this before it is given up
    int quietMs = 50;         // after a fault the line counts as quiet when nothing came this long
    int settleLimitMs = 2000; // and gives up waiting for quiet after this
};

enum class CaptureFault {
    EchoFailed,   // a register did not echo right: no trace was requested
    Framing,      // an answer broke its structure
    Stalled,      // an answer or the dump stopped arriving
    NotAnswering, // the instrument stopped echoing
};

// The line's counts since the program started, as the thread that talks to it keeps them.
struct LineCounters {
    quint64 bytesOut = 0;
    quint64 bytesIn = 0;
    quint64 echoMismatches = 0;
    quint64 lateEchoes = 0;
    quint64 timeouts = 0;
    quint64 framingErrors = 0;
    quint64 strayBytes = 0;
};

} // namespace tracely

Q_DECLARE_METATYPE(tracely::CaptureFault)
Q_DECLARE_METATYPE(tracely::LineCounters)
