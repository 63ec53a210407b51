#pragma once

#include "src/core/front_panel_state.h"
#include "src/link/port_names.h"
#include "src/link/serial_port.h"
#include "src/link/status_light.h"

namespace tracely {

// The lowest layer of the instrument link: echo-checked command characters, the trace
// request and the port existence test. Failures show on the status light and in
// blnSendFailed; nothing is thrown.
class LinkPrimitives {
public:
    LinkPrimitives(FrontPanelState& state, SerialPort& port, StatusLight& light,
                   ConfiguredPort configured);

    // Sends one command character and checks its echo (exact, case-sensitive).
    void Send_Char(char c);
    // Sends a string character by character through Send_Char.
    void sendChars(const std::string& chars);
    // Arms the instrument (">") and requests a trace ("T"); the answer arrives as events.
    void SendTrace();
    // Whether COMn leads to a serial device; the port is not opened.
    bool ComPortExists(int n) const;

    QString portPath(int n) const { return resolvePortPath(n, configured_); }

private:
    void fail();

    FrontPanelState& s_;
    SerialPort& port_;
    StatusLight& light_;
    ConfiguredPort configured_;
};

} // namespace tracely
