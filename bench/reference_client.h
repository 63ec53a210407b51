#pragma once

#include "src/instrument/timebase.h"
#include "src/link/wire.h"

#include <cstddef>
#include <cstdint>
#include <string>

// A minimal client that captures exactly as the program does on the wire (the same bytes, each
// command character echo-checked one at a time), with none of the program's machinery: the
// yardstick the acquisition engine is measured against.
namespace tracely::bench {

// Everything one capture sends, for a rate, line speed and knob position. Kept in one place so
// that every client benchmarked in a run programs the identical register image.
struct CapturePlan {
    timebase::Rate rate;
    int baud;
    int position;
    timebase::CaptureGeometry geometry; // chunks, dumpOffset and the timebase registers
    wire::RegisterImage image;          // what Update sends
    std::uint8_t dumpMode;              // R7 during the dump request
};

// Level trigger at mid scale on the analog byte (R5 128, R6 0, R7 3), R14 175, R15 0, and the
// timebase tables' values for the rest.
CapturePlan planFor(timebase::Rate rate, int baud, int position);

struct ReferenceStats {
    int captures = 0;     // timed captures completed (the warm-up is not counted)
    double seconds = 0.0; // wall time of those captures
    double capturesPerSecond = 0.0;
    // Mean received (echoes, trigger reply, dump blocks): a mean because the dump request's
    // text, and so its echoes, is as long as the trigger address makes it.
    double bytesPerCapture = 0.0;
    double triggerWait = 0.0;   // mean seconds the line stood idle waiting for the trigger
    double lineLimit = 0.0;     // captures/s if only byte times and the trigger wait counted
    double ratio = 0.0;         // capturesPerSecond / lineLimit
    std::size_t staleBytes = 0; // discarded before command characters; 0 on a sound line
    std::string error;          // why the run stopped; empty when every capture framed
};

// Opens the line at plan.baud, identifies once, makes one warm-up capture and then `captures`
// timed ones. A capture that cannot be framed ends the run with `error` set and the figures of
// the captures completed before it.
ReferenceStats runReferenceCaptures(const std::string& ptyPath, const CapturePlan& plan,
                                    int captures);

} // namespace tracely::bench
