#pragma once

#include "src/ui/options_choices.h"

#include <QString>

#include <functional>

namespace tracely {

// What the Options dialog needs from the main window besides the shared state and the panel.
class OptionsHost {
public:
    virtual ~OptionsHost() = default;

    // Recomputes the cursor readout after the cursor options changed.
    virtual void DisplayCursorData() = 0;
    // Starts the link on intComPort (blnAutoPort is false after a port pick); `done` learns,
    // later, whether it came up.
    virtual void InitHdwe(std::function<void(bool connected)> done) = 0;
    // Whether COMn leads to a serial device (nothing is opened).
    virtual bool ComPortExists(int n) const = 0;
    // The device path COMn resolves to, shown as the port entry's tooltip.
    virtual QString portPath(int n) const = 0;
    // Whether this user may open COMn's device; the tooltip says so when not.
    virtual options::PortAccess portAccess(int n) const { return options::portAccess(portPath(n)); }
    // Re-arming by itself in repeat mode after a capture was discarded on a line fault.
    virtual bool keepRepeating() const = 0;
    virtual void setKeepRepeating(bool on) = 0;
    // The link's counts and last fault, in lines of text.
    virtual QString linkHealth() const = 0;
};

} // namespace tracely
