#pragma once

#include <QString>

namespace tracely {

// What the Options dialog needs from the main window besides the shared state and the panel.
class OptionsHost {
public:
    virtual ~OptionsHost() = default;

    // Recomputes the cursor readout after the cursor options changed.
    virtual void DisplayCursorData() = 0;
    // Starts the link on intComPort (blnAutoPort is false after a port pick).
    virtual void InitHdwe() = 0;
    // Whether COMn leads to a serial device (nothing is opened).
    virtual bool ComPortExists(int n) const = 0;
    // The device path COMn resolves to, shown as the port entry's tooltip.
    virtual QString portPath(int n) const = 0;
};

} // namespace tracely
