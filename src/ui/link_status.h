#pragma once

#include "src/acquire/link_phase.h"

#include <QString>

#include <cstdint>

namespace tracely {

// The instrument's state in words, from the engine's phase reports, the dump's progress and
// the Store button. Plain logic: the overlay and the accessibility show what it says.
class LinkStatus {
public:
    void phase(LinkPhase p, const QString& detail);
    // Dump blocks done of total; total 0 ends the readout.
    void progress(int done, int total);
    // Store freezes the display until the next Acquire.
    void stored(bool on);
    void repeat(bool on) { repeat_ = on; }

    LinkPhase current() const { return phase_; }
    // One line: "Waiting for trigger", "Receiving 12 / 60", "Stored" ...
    QString headline() const;
    // What the headline leaves out: ports tried, the fault, empty when nothing.
    QString detail() const { return detail_; }
    // The detail worth showing under the headline: why there is no instrument or why the
    // captures stopped; empty otherwise.
    QString explanation() const;
    // Worth a banner over the graph: the user is waiting for something or must act.
    bool worthShowing() const;

private:
    LinkPhase phase_ = LinkPhase::NoInstrument;
    QString detail_;
    int done_ = 0;
    int total_ = 0;
    bool stored_ = false;
    bool repeat_ = false;
};

// The COND lamp's colour in words: "off, idle", "yellow, waiting for trigger", "blue,
// receiving", "red, communication error".
QString lampWords(bool lit, std::uint32_t colour);

} // namespace tracely
