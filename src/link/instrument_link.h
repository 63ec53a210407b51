#pragma once

#include "src/core/front_panel_state.h"
#include "src/link/link_reporter.h"
#include "src/link/primitives.h"

#include <functional>

namespace tracely {

// The command side of the link: finds and identifies the instrument (InitHdwe), programs the
// register image and requests a trace (Update), and starts a dump (RequestDump).
class InstrumentLink {
public:
    using KnobValue = std::function<double()>;

    InstrumentLink(FrontPanelState& state, SerialPort& port, StatusLight& light,
                   LinkReporter& reporter, ConfiguredPort configured, KnobValue timeRange);

    void InitHdwe();
    void Update();
    void RequestDump();
    void CofigTime();

    LinkPrimitives& primitives() { return prim_; }
    const LinkPrimitives& primitives() const { return prim_; }

    // Firmware identifiers the program knows how to drive.
    static bool knownFirmware(const std::string& id);

private:
    bool probe(qint32 baud);
    void showLinkUp();

    FrontPanelState& s_;
    SerialPort& port_;
    StatusLight& light_;
    LinkReporter& reporter_;
    LinkPrimitives prim_;
    KnobValue timeRange_;
};

} // namespace tracely
