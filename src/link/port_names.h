#pragma once

#include <QString>

#include <functional>

namespace tracely {

// COMn -> device path: the path configured for COMn (PORTS section of the settings file) when
// there is one, otherwise the n-th serial device of the machine in order of its location.
// A configured bare name ("ttyUSB0") means the device of that name in /dev. An empty result
// means COMn names nothing.
using ConfiguredPort = std::function<QString(int portNumber)>;
QString resolvePortPath(int portNumber, const ConfiguredPort& configured);

// A port exists when its path leads to a character device; nothing is opened.
bool deviceExists(const QString& path);

} // namespace tracely
