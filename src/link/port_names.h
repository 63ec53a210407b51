#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace tracely {

// COMn -> device path: the path configured for COMn (PORTS section of the settings file) when
// there is one, otherwise the n-th serial device of the machine in order of its location.
// A configured bare name ("ttyUSB0") means the device of that name in /dev. An empty result
// means COMn names nothing.
using ConfiguredPort = std::function<QString(int portNumber)>;
QString resolvePortPath(int portNumber, const ConfiguredPort& configured);

// The two halves of the above, for a caller that must not wait on the machine's device list:
// the configured path alone (empty when COMn is not configured), and the machine's serial
// devices in order of their location (asking the system, which can take tens of milliseconds).
QString configuredPortPath(int portNumber, const ConfiguredPort& configured);
QStringList machinePortPaths();

// A port exists when its path leads to a character device; nothing is opened.
bool deviceExists(const QString& path);

// False only when this user lacks the permission to open the device for reading and writing;
// a missing path is for the open to report.
bool mayOpenDevice(const QString& path);

} // namespace tracely
